#include "lang/TranslationEditing.h"

#include <algorithm>

namespace orx {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte length of the first count characters of UTF-8 text (all of it when shorter).
size_t BytesOfCharacters(std::string_view text, size_t count) {
    size_t i = 0;
    for (size_t n = 0; n < count && i < text.size(); ++n) {
        ++i;
        while (i < text.size() && IsContinuationByte(text[i])) {
            ++i;
        }
    }
    return i;
}

size_t CharacterCount(std::string_view text) {
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

}  // namespace

std::vector<std::string> TranslationsFor(const TranslationTable& master,
                                         const TranslationTable& table) {
    std::vector<std::string> translations;
    translations.reserve(master.Size());
    for (const TranslationEntry& entry : master.Entries()) {
        const char* text = table.Find(entry.key);
        translations.emplace_back(text != nullptr ? text : "");
    }
    return translations;
}

void RebuildTable(TranslationTable& table, const TranslationTable& master,
                  const std::vector<std::string>& translations) {
    std::vector<TranslationText> texts;
    const size_t count = std::min(master.Size(), translations.size());
    for (size_t i = 0; i < count; ++i) {
        if (!translations[i].empty()) {
            texts.push_back({master.Entries()[i].key, translations[i]});
        }
    }
    table.Assign(texts);
}

std::string StoredTranslation(std::string_view typed, std::string_view original) {
    std::string text;
    text.reserve(typed.size());
    for (const char c : typed) {
        if (c != '\r') {
            text.push_back(c);
        }
    }
    if (std::all_of(text.begin(), text.end(), IsBlank) || text == original) {
        return {};
    }
    return text;
}

std::string RowLabel(std::string_view original) {
    const std::string_view line = original.substr(0, original.find('\n'));
    constexpr size_t kLongest = 25;
    constexpr size_t kKept = 23;
    if (CharacterCount(line) <= kLongest) {
        return std::string(line);
    }
    return std::string(line.substr(0, BytesOfCharacters(line, kKept))) + "...";
}

}  // namespace orx
