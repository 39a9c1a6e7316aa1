#include "lang/TextServices.h"

#include <string_view>
#include <vector>

#include "app/UiHost.h"
#include "lang/LanguageManager.h"
#include "lang/MessageFormatter.h"
#include "lang/ProgramTexts.h"
#include "lang/TranslationKey.h"

namespace orx {

namespace {

// Stored texts hold a tab as the two characters backslash and "t".
std::string ExpandTabPairs(std::string_view stored) {
    std::string text;
    text.reserve(stored.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\\' && i + 1 < stored.size() && stored[i + 1] == 't') {
            text.push_back('\t');
            ++i;
        } else {
            text.push_back(stored[i]);
        }
    }
    return text;
}

// A box whose type names no icon gets the exclamation icon when it asks for a decision or
// confirms a message; Abort/Retry/Ignore and Retry/Cancel boxes stay without one.
unsigned WithDefaultIcon(unsigned type) {
    if ((type & mb::IconMask) != 0) {
        return type;
    }
    switch (type & mb::ButtonMask) {
        case mb::Ok:
        case mb::OkCancel:
        case mb::YesNoCancel:
        case mb::YesNo:
            return type | mb::IconWarning;
        default:
            return type;
    }
}

}  // namespace

bool LookupTranslation(uint32_t key, std::string& text) {
    const LanguageManager& languages = Languages();
    if (!languages.IsAvailable()) {
        return false;
    }
    const char* found = nullptr;
    if (languages.CurrentIndex() != 0) {
        found = languages.CurrentTable().Find(key);
    }
    if (found == nullptr) {
        found = languages.MasterTable().Find(key);
    }
    if (found == nullptr) {
        return false;
    }
    text = ExpandTabPairs(found);
    return true;
}

std::string TranslateString(int id, bool* found) {
    std::string text;
    bool ok = LookupTranslation(StringKey(id), text);
    if (!ok) {
        const char* own = ProgramStringText(id);
        ok = own != nullptr;
        text = ok ? own : "";
    }
    if (found != nullptr) {
        *found = ok;
    }
    return text;
}

int TranslatedMessageBox(int id, unsigned type) {
    return ShowMessageText(TranslateString(id), type);
}

int ShowMessageText(const std::string& text, unsigned type) {
    // The caption is the program's own title, which no language replaces.
    const char* title = ProgramStringText(kStringProgramTitle);
    return Ui().ShowMessageBox(text, title != nullptr ? title : "", WithDefaultIcon(type));
}

std::string FormatTranslated(int id, std::initializer_list<std::string> args) {
    return FormatMessageText(TranslateString(id),
                             std::span<const std::string>(args.begin(), args.size()));
}

void ReportFileError(int code, const std::string& path) {
    bool found = false;
    const int id = kStringFileErrorBase + (code & 0xFF);
    TranslateString(id, &found);
    // A code without a message of its own still names the file.
    std::string text = FormatTranslated(found ? id : kStringFileErrorBase, {path});
    const unsigned icon = (code & 0x100) != 0 ? mb::IconError : mb::IconWarning;
    ShowMessageText(text, mb::Ok | icon);
}

std::string TooltipText(int commandId) {
    const std::string text = TranslateString(commandId);
    const size_t lineBreak = text.find('\n');
    return lineBreak == std::string::npos ? std::string() : text.substr(lineBreak + 1);
}

}  // namespace orx
