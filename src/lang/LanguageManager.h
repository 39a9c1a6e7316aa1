#pragma once

#include <optional>
#include <string>
#include <vector>

#include "lang/TextEncoding.h"
#include "lang/TranslationTable.h"

namespace orx {

class TranslationEditor;

// The interface languages: the master table (every translatable key with its original text,
// read from the master file beside the executable), the table of the selected language, and the
// list of language files (".brl") in the program folder. The selection is kept in the settings
// under "Language"/"Name"; the empty name is the built-in language.
//
// Exactly one per process (Languages()); used from the user-interface thread only.
class LanguageManager {
public:
    // Loads the master file, then, when it loaded, lists the languages and applies the one named
    // in the settings. Returns IsAvailable(). Without a master file nothing is translated and the
    // settings are not read; no message is shown.
    bool Startup();
    // Rebuilds the list from the ".brl" files of the program folder (extension matched without
    // regard to case), sorted by name without regard to case so the order does not depend on
    // the file system.
    void ScanLanguages();
    // Loads the language named CurrentName() (matched without regard to case against the list,
    // the first match wins) and writes the name to the settings. A name not in the list selects
    // the built-in language but stays in the settings; a listed file that fails to load clears
    // the name.
    void ApplyLanguage();
    // Selects list position index (0 the built-in language); true when the selection changed.
    bool SelectLanguage(int index);
    // Position 0 is the built-in language's name (string 33500, untranslated); none past the
    // end.
    std::optional<std::string> LanguageName(int index) const;

    // Runs the editor on the current language and saves it to the file it was loaded from, in
    // the encoding it was read in. False for the built-in language, without a master file, or
    // when the operator cancelled; true otherwise, also when the save failed (reported; the
    // edited translations stay in effect).
    bool EditCurrentLanguage(TranslationEditor& editor);
    // Runs the editor on an empty table, asks for a file and saves the new language there (in
    // the legacy code page when every text fits it, else in UTF-8), then lists the languages
    // again and applies the new one. False when cancelled, nothing was translated or the save
    // failed (reported).
    bool CreateLanguage(TranslationEditor& editor);

    bool IsAvailable() const { return available_; }
    // The encoding the current language file was read in (kCodePageUtf8 or a code page).
    int CurrentEncoding() const { return currentEncoding_; }
    int CurrentIndex() const { return currentIndex_; }
    const std::string& CurrentName() const { return currentName_; }
    void SetCurrentName(std::string name) { currentName_ = std::move(name); }
    const std::vector<std::string>& LanguageNames() const { return languageNames_; }

    const TranslationTable& MasterTable() const { return master_; }
    const TranslationTable& CurrentTable() const { return current_; }
    // The translation editor rebuilds the current language in place.
    TranslationTable& MutableCurrentTable() { return current_; }

    // Program folder + executable base name + ".lna", unless overridden.
    std::string MasterPath() const;
    void SetMasterPath(std::string path) { masterPathOverride_ = std::move(path); }
    // The file of the language at list position index (1..n); "" for other positions.
    std::string LanguageFilePath(int index) const;
    // Program folder + name + ".brl".
    static std::string LanguageFilePathFor(const std::string& name);

private:
    bool available_ = false;
    TranslationTable master_;
    TranslationTable current_;
    std::vector<std::string> languageNames_;  // titles, in list order
    std::vector<std::string> languageFiles_;  // file names as found, parallel to languageNames_
    std::string currentName_;
    int currentIndex_ = 0;
    int currentEncoding_ = kCodePageUtf8;
    std::string masterPathOverride_;
};

// The process-wide manager.
LanguageManager& Languages();
// Replaces it by a fresh, empty manager (tests).
void ResetLanguagesForTesting();

}  // namespace orx
