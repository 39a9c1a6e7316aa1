#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace orx {

// Texts shown to the operator, in the selected interface language. Each falls back to the
// program's own text (the built-in string table) when there is no translation.

// Current table, then master table; "\t" pairs become tabs. False when neither has the key.
bool LookupTranslation(uint32_t key, std::string& text);
// The translation of string id, else the program's own text ("" and found = false when none).
std::string TranslateString(int id, bool* found = nullptr);
// Shows TranslateString(id) in a message box of the given mb:: type; returns the button id.
int TranslatedMessageBox(int id, unsigned type);
int ShowMessageText(const std::string& text, unsigned type);
// TranslateString(id) with %1..%99 replaced by args (a missing argument inserts nothing),
// "%%" a percent sign, and the formatter's other escapes.
std::string FormatTranslated(int id, std::initializer_list<std::string> args);
// Message 2999 + (code & 0xFF) with the path as %1: error icon when bit 0x100 is set, else the
// warning icon.
void ReportFileError(int code, const std::string& path);
// Everything after the first line break of TranslateString(commandId); "" when there is none.
std::string TooltipText(int commandId);

}  // namespace orx
