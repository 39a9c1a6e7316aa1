#include "ui/FilePickers.h"

#include <array>
#include <string_view>

#include "lang/TextServices.h"
#include "ui/QtFilePickers.h"

namespace orx::ui {

namespace {

// The extensions of the file-kind table; the first four kinds have descriptions (9054 + kind).
constexpr std::array<std::string_view, 4> kDescribedExtensions = {".*", ".brl", ".mpg", ".vid"};
constexpr int kFileKindDescriptionBase = 9054;

FilePickers* g_installed = nullptr;

}  // namespace

std::string BuildFileFilter(int kind1, int kind2, int kind3) {
    std::string filter;
    for (const int kind : {kind1, kind2, kind3}) {
        if (kind < 0 || kind >= static_cast<int>(kDescribedExtensions.size())) {
            // -1 ends the list; a kind without a description has no filter to offer.
            break;
        }
        const std::string_view extension = kDescribedExtensions[static_cast<size_t>(kind)];
        filter += TranslateString(kFileKindDescriptionBase + kind);
        filter += " (*";
        filter += extension;
        filter += ")|*";
        filter += extension;
        filter += "|";
    }
    return filter;
}

FilePickers& Pickers() {
    if (g_installed != nullptr) {
        return *g_installed;
    }
    static QtFilePickers qtPickers;
    return qtPickers;
}

void SetFilePickers(FilePickers* pickers) {
    g_installed = pickers;
}

}  // namespace orx::ui
