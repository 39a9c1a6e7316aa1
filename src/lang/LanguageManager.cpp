#include "lang/LanguageManager.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/AppSettings.h"
#include "app/AsciiCase.h"
#include "app/IniFile.h"
#include "lang/ProgramTexts.h"
#include "lang/TextServices.h"
#include "lang/TranslationEditing.h"
#include "platform/Paths.h"

namespace orx {

namespace {

constexpr const char* kSection = "Language";
constexpr const char* kKey = "Name";
constexpr const char* kLanguageExtension = ".brl";

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const bool less =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                     [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
    if (less || !EqualsNoCase(a, b)) {
        return less;
    }
    return a < b;
}

// Loads a language or master file and brings its texts to UTF-8; the encoding read is returned
// through encoding.
int LoadDecoded(TranslationTable& table, const std::string& path, int& encoding) {
    encoding = kCodePageUtf8;
    const int result = table.Load(path);
    if (result != TranslationTable::kOk) {
        return result;
    }
    encoding = DetectEncoding(table, LegacyCodePage());
    DecodeTable(table, encoding);
    return result;
}

// Saves a copy of table (UTF-8 in memory) in the given encoding.
int SaveEncoded(const TranslationTable& table, const std::string& path, int encoding) {
    TranslationTable copy = table;
    // The editor lets no text through that the file's encoding cannot hold; refusing here
    // rather than writing a replacement keeps every character.
    if (!EncodeTable(copy, encoding)) {
        return TranslationTable::kCannotCreate;
    }
    return copy.Save(path);
}

std::string TitleWithoutLastExtension(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

bool LanguageManager::Startup() {
    available_ = false;
    current_.Clear();
    currentIndex_ = 0;
    currentName_.clear();
    languageNames_.clear();
    languageFiles_.clear();
    int masterEncoding = kCodePageUtf8;
    available_ = LoadDecoded(master_, MasterPath(), masterEncoding) == TranslationTable::kOk;
    if (!available_) {
        return false;
    }
    ScanLanguages();
    currentName_ = GetIniString(kSection, kKey, "");
    ApplyLanguage();
    return true;
}

void LanguageManager::ScanLanguages() {
    languageNames_.clear();
    languageFiles_.clear();
    const std::string& folder = Settings().appDir;
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? std::string(".") : folder, error);
    std::vector<std::string> files;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        std::string name = it->path().filename().string();
        // A file named only ".brl" has an empty title, which is the built-in language's name:
        // listing it would load that file whenever the built-in language is selected.
        if (FileKind(name) == kFileKindLanguage && !FileTitleOf(name).empty()) {
            files.push_back(std::move(name));
        }
    }
    std::sort(files.begin(), files.end(), LessIgnoringCase);
    for (std::string& file : files) {
        languageNames_.push_back(FileTitleOf(file));
        languageFiles_.push_back(std::move(file));
    }
}

void LanguageManager::ApplyLanguage() {
    int index = 0;
    for (size_t i = 0; i < languageNames_.size(); ++i) {
        if (EqualsNoCase(languageNames_[i], currentName_)) {
            index = static_cast<int>(i) + 1;
            break;
        }
    }
    current_.Clear();
    currentEncoding_ = kCodePageUtf8;
    // The listed file is loaded, not currentName + ".brl": on a file system that tells case
    // apart the stored name may differ in case from the file.
    if (index != 0 &&
        LoadDecoded(current_, LanguageFilePath(index), currentEncoding_) != TranslationTable::kOk) {
        current_.Clear();
        currentName_.clear();
        index = 0;
    }
    currentIndex_ = index;
    WriteIniString(kSection, kKey, currentName_);
}

bool LanguageManager::SelectLanguage(int index) {
    if (!available_) {
        return false;
    }
    if (index < 0 || index > static_cast<int>(languageNames_.size()) || index == currentIndex_) {
        return false;
    }
    currentName_ = index == 0 ? std::string() : languageNames_[static_cast<size_t>(index) - 1];
    ApplyLanguage();
    return true;
}

bool LanguageManager::EditCurrentLanguage(TranslationEditor& editor) {
    if (!available_ || currentIndex_ == 0) {
        return false;
    }
    if (!editor.EditTranslations(current_, currentEncoding_)) {
        return false;
    }
    // The file the language was loaded from, whose name may differ in case from currentName.
    const std::string path = LanguageFilePath(currentIndex_);
    if (SaveEncoded(current_, path, currentEncoding_) != TranslationTable::kOk) {
        ReportFileError(TranslationTable::kCannotOpen, path);
    }
    return true;
}

bool LanguageManager::CreateLanguage(TranslationEditor& editor) {
    if (!available_) {
        return false;
    }
    TranslationTable table;
    if (!editor.EditTranslations(table, kCodePageUtf8) || table.Empty()) {
        return false;
    }
    const std::string path = editor.ChooseNewLanguageFile();
    if (path.empty()) {
        return false;
    }
    // A new file is readable on Windows too when the code page holds every text.
    const int legacy = LegacyCodePage();
    TranslationTable encoded = table;
    const int encoding = EncodeTable(encoded, legacy) ? legacy : kCodePageUtf8;
    if (SaveEncoded(table, path, encoding) != TranslationTable::kOk) {
        ReportFileError(TranslationTable::kCannotOpen, path);
        return false;
    }
    ScanLanguages();
    currentName_ = TitleWithoutLastExtension(path);
    ApplyLanguage();
    return true;
}

std::optional<std::string> LanguageManager::LanguageName(int index) const {
    if (index == 0) {
        const char* text = ProgramStringText(kStringBuiltInLanguage);
        return std::string(text ? text : "");
    }
    if (index < 0 || index > static_cast<int>(languageNames_.size())) {
        return std::nullopt;
    }
    return languageNames_[static_cast<size_t>(index) - 1];
}

std::string LanguageManager::MasterPath() const {
    if (!masterPathOverride_.empty()) {
        return masterPathOverride_;
    }
    return PathInAppDir(FileTitleOf(ExecutablePath()), ".lna");
}

std::string LanguageManager::LanguageFilePath(int index) const {
    if (index < 1 || index > static_cast<int>(languageFiles_.size())) {
        return {};
    }
    return PathInAppDir(languageFiles_[static_cast<size_t>(index) - 1]);
}

std::string LanguageManager::LanguageFilePathFor(const std::string& name) {
    return PathInAppDir(name, kLanguageExtension);
}

LanguageManager& Languages() {
    static LanguageManager manager;
    return manager;
}

void ResetLanguagesForTesting() {
    Languages() = LanguageManager();
}

}  // namespace orx
