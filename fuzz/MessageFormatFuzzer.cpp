// Message formatting with stored format strings: a translation replaces a message template, and
// the formatter fills it with arguments such as paths. Input: the template, then the arguments,
// separated by NUL bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "lang/LanguageManager.h"
#include "lang/MessageFormatter.h"
#include "lang/ProgramTexts.h"
#include "lang/TextServices.h"
#include "lang/TranslationKey.h"
#include "lang/TranslationTable.h"

namespace {

constexpr int kMessageId = 22169;  // a warning the program formats without arguments
constexpr int kCommandId = 32771;  // a command text: tool name, line break, tool tip
constexpr int kCannotOpenCode = 0x101;

// A master file and a selected language, so that stored texts take part as they do at run time.
struct Environment {
    Environment() {
        orx::Settings().appDir = scratch.Path();
        orx::SetIniPath(scratch / "brenvik.ini");
        orx::WriteIniString("Language", "Name", "Fuzz");
        orx::TranslationTable table;
        table.Assign({{orx::StringKey(kMessageId), "master"}});
        const std::vector<uint8_t> image = table.Serialize();
        orx::fuzz::WriteWholeFile(scratch / "brenvik.lna", image.data(), image.size());
        orx::fuzz::WriteWholeFile(scratch / "Fuzz.brl", image.data(), image.size());
        orx::Languages().SetMasterPath(scratch / "brenvik.lna");
        if (!orx::Languages().Startup() || orx::Languages().CurrentIndex() != 1) {
            orx::fuzz::Fail("the language environment did not start");
        }
    }
    orx::fuzz::ScratchFolder scratch;
    orx::fuzz::SilentUiHost ui;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Environment env;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t patternEnd = std::min(input.find('\0'), input.size());
    const std::string pattern(input.substr(0, patternEnd));
    std::vector<std::string> args;
    size_t longestArg = 0;
    for (size_t pos = patternEnd; pos < input.size();) {
        const size_t end = std::min(input.find('\0', pos + 1), input.size());
        args.emplace_back(input.substr(pos + 1, end - pos - 1));
        longestArg = std::max(longestArg, args.back().size());
        pos = end;
    }

    const std::string text = orx::FormatMessageText(pattern, args);
    // Each insert is at least two template bytes and at most the widest of a padded field and
    // its argument.
    const size_t bound =
        pattern.size() + pattern.size() / 2 * std::max(orx::kMaxInsertWidth, longestArg);
    if (text.size() > bound) {
        orx::fuzz::Fail("a template made more text than its inserts can");
    }
    if (pattern.find('%') == std::string::npos && text != pattern) {
        orx::fuzz::Fail("a template without escapes changed");
    }

    // The same template as a stored translation, through the text services.
    const std::string path = args.empty() ? std::string("/video/x.vid") : args.front();
    orx::Languages().MutableCurrentTable().Assign(
        {{orx::StringKey(kMessageId), pattern},
         {orx::StringKey(kCommandId), pattern},
         {orx::StringKey(orx::kStringFileErrorBase + (kCannotOpenCode & 0xFF)), pattern}});
    (void)orx::FormatTranslated(kMessageId, {path, "2"});
    (void)orx::TooltipText(kCommandId);
    const long boxes = env.ui.boxes;
    orx::ReportFileError(kCannotOpenCode, path);
    if (env.ui.boxes != boxes + 1) {
        orx::fuzz::Fail("a file error was not shown once");
    }
    return 0;
}
