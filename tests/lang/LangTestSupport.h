#pragma once

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "lang/LanguageManager.h"
#include "lang/TranslationTable.h"
#include "support/RecordingUiHost.h"
#include "support/TempFolder.h"

namespace orx::test {

// The program folder (master "brenvik.lna"), settings file, language manager and UI host of a test.
struct LanguageEnvironment {
    LanguageEnvironment() {
        Settings().appDir = folder.Path();
        SetIniPath(folder / "brenvik.ini");
        ResetLanguagesForTesting();
        Languages().SetMasterPath(folder / "brenvik.lna");
    }

    void Write(const std::string& file, const std::vector<TranslationText>& texts) const {
        TranslationTable table;
        table.Assign(texts);
        WriteBytes(folder / file, table.Serialize());
    }

    TempFolder folder;
    RecordingUiHost ui;
};

}  // namespace orx::test
