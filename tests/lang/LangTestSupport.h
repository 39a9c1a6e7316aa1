#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "app/UiHost.h"
#include "lang/LanguageManager.h"
#include "lang/TranslationTable.h"

namespace orx::test {

// A fresh folder per test, removed afterwards. Its path ends with the separator.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orx-lang-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern + "/";
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteTable(const std::string& path, const std::vector<TranslationText>& texts) {
    TranslationTable table;
    table.Assign(texts);
    WriteBytes(path, table.Serialize());
}

struct ShownBox {
    std::string text;
    std::string caption;
    unsigned type = 0;
};

class RecordingUiHost : public UiHost {
public:
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       unsigned type) override {
        boxes.push_back({text, caption, type});
        return answer;
    }
    void SetWaitCursor(bool) override {}

    std::vector<ShownBox> boxes;
    int answer = id::Ok;
};

// The program folder, settings file, language manager and UI host of one test.
class LanguageEnvironment {
public:
    LanguageEnvironment() {
        Settings().appDir = folder.Path();
        SetIniPath(folder / "brenvik.ini");
        ResetLanguagesForTesting();
        Languages().SetMasterPath(MasterPath());
        SetUiHost(&ui);
    }
    ~LanguageEnvironment() {
        SetUiHost(nullptr);
        ResetLanguagesForTesting();
    }

    std::string MasterPath() const { return folder / "brenvik.lna"; }
    void WriteMaster(const std::vector<TranslationText>& texts) const {
        WriteTable(MasterPath(), texts);
    }
    void WriteLanguage(const std::string& fileName,
                       const std::vector<TranslationText>& texts) const {
        WriteTable(folder / fileName, texts);
    }

    TempFolder folder;
    RecordingUiHost ui;
};

}  // namespace orx::test
