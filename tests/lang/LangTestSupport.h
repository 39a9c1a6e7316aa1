#pragma once

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "lang/LanguageManager.h"
#include "lang/TranslationEditing.h"
#include "lang/TranslationTable.h"
#include "support/RecordingUiHost.h"
#include "support/TempFolder.h"

namespace orx::test {

// A language file holding the texts byte for byte (no encoding is applied).
inline std::string LanguageFileBytes(const std::vector<TranslationText>& texts) {
    TranslationTable table;
    table.Assign(texts);
    const std::vector<uint8_t> bytes = table.Serialize();
    return std::string(bytes.begin(), bytes.end());
}

// The program folder (master "brenvik.lna"), settings file, language manager and UI host of a test.
struct LanguageEnvironment {
    LanguageEnvironment() {
        Settings().appDir = folder.Path();
        SetIniPath(folder / "brenvik.ini");
        ResetLanguagesForTesting();
        Languages().SetMasterPath(folder / "brenvik.lna");
    }

    void Write(const std::string& file, const std::vector<TranslationText>& texts) const {
        WriteFile(folder / file, LanguageFileBytes(texts));
    }

    TempFolder folder;
    RecordingUiHost ui;
};

// Answers the editor with fixed translations in master order (no answer cancels), counting its
// runs and noting what it was shown.
struct ScriptedEditor : TranslationEditor {
    bool EditTranslations(TranslationTable& table, int codePage) override {
        ++runs;
        seenCodePage = codePage;
        seen = TranslationsFor(Languages().MasterTable(), table);
        if (answer.empty())
            return false;
        RebuildTable(table, Languages().MasterTable(), answer);
        return true;
    }
    std::string ChooseNewLanguageFile() override { return file; }
    std::vector<std::string> answer, seen;
    std::string file;
    int seenCodePage = 0, runs = 0;
};

}  // namespace orx::test
