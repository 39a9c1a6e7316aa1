#pragma once

#include <span>
#include <vector>

#include "lang/TranslationTable.h"

namespace orx {

// The program's own texts: the string table and the template texts of the translated dialogs.
// They are shown when no translation exists, and the build writes them into the master file.

struct ProgramString {
    int id = 0;
    const char* text = nullptr;
};

// A fixed text of a dialog; control 0 is the caption.
struct DialogText {
    int templateId = 0;
    int controlId = 0;
    const char* text = nullptr;
};

// Template ids of the translated dialogs.
inline constexpr int kDialogSettings = 304;
inline constexpr int kDialogEditTranslation = 1163;
inline constexpr int kDialogHotkeys = 1164;
inline constexpr int kDialogEditPlaylist = 1168;
inline constexpr int kDialogEditDescription = 1169;
inline constexpr int kDialogEditTransition = 1170;
inline constexpr int kDialogConfirmDelete = 1171;
inline constexpr int kDialogInputLabels = 1172;
inline constexpr int kDialogEditInputLabel = 1173;

// Control id shared by the static texts of a dialog that are never addressed one by one.
inline constexpr int kStaticControlId = 65535;

inline constexpr int kStringFileErrorBase = 2999;     // + low byte of a file result code
inline constexpr int kStringAirLogNotWritten = 3060;  // %1 the air log's path
inline constexpr int kStringForeignFolder = 3061;     // %1 the folder
inline constexpr int kStringCharacterNotInCodePage = 22190;
inline constexpr int kStringBuiltInLanguage = 33500;
inline constexpr int kStringProgramTitle = 57344;

// Ascending by id.
std::span<const ProgramString> ProgramStrings();
// By dialog, in the order each dialog lists its controls; caption first.
std::span<const DialogText> DialogTexts();

// nullptr when the program has no such string / dialog text.
const char* ProgramStringText(int id);
const char* DialogTemplateText(int templateId, int controlId);

// Every dialog text, then every string, each with its key: the contents of the master file.
std::vector<TranslationText> MasterTexts();

}  // namespace orx
