#include "lnagen/LanguageSource.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <unordered_map>

namespace orx {

namespace {

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
            ++pos;
        }
        const size_t start = pos;
        while (pos < text.size() && text[pos] != ' ' && text[pos] != '\t') {
            ++pos;
        }
        if (pos > start) {
            words.push_back(text.substr(start, pos - start));
        }
    }
    return words;
}

bool ParseId(std::string_view word, int low, int high, int& value) {
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size() && value >= low && value <= high;
}

bool ParseKey(std::string_view text, TranslationKey& key) {
    const std::vector<std::string_view> words = Words(text);
    int first = 0;
    int second = 0;
    if (words.size() == 3 && words[0] == "dialog" && ParseId(words[1], 1, 0x3FFF, first) &&
        ParseId(words[2], 0, 0xFFFF, second)) {
        key = DialogKey(first, second);
        return true;
    }
    if (words.size() == 2 && words[0] == "string" && ParseId(words[1], 0, 0xFFFF, first)) {
        key = StringKey(first);
        return true;
    }
    return false;
}

std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out.push_back('\n');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// The insert numbers a template uses ("%%" is no insert).
std::set<int> Inserts(std::string_view text) {
    std::set<int> numbers;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        const char next = text[i + 1];
        if (next >= '1' && next <= '9') {
            int number = next - '0';
            if (i + 2 < text.size() && text[i + 2] >= '0' && text[i + 2] <= '9') {
                number = number * 10 + (text[i + 2] - '0');
            }
            numbers.insert(number);
        }
        ++i;
    }
    return numbers;
}

}  // namespace

std::string DescribeKey(TranslationKey key) {
    if (KindOf(key) == TranslationKind::StringText) {
        return "string " + std::to_string(key & 0xFFFF);
    }
    return "dialog " + std::to_string((key >> 16) & 0x3FFF) + " " + std::to_string(key & 0xFFFF);
}

bool ParseLanguageSource(std::string_view source, std::vector<TranslationText>& texts,
                         std::string& error) {
    texts.clear();
    std::set<TranslationKey> seen;
    size_t lineNumber = 0;
    while (!source.empty()) {
        ++lineNumber;
        const size_t end = source.find('\n');
        const std::string_view line = Trim(source.substr(0, end));
        source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        const size_t equals = line.find('=');
        TranslationKey key = 0;
        if (equals == std::string_view::npos || !ParseKey(line.substr(0, equals), key)) {
            error = where +
                    "expected 'dialog <template> <control> = text' or "
                    "'string <id> = text'";
            return false;
        }
        if (!seen.insert(key).second) {
            error = where + DescribeKey(key) + " appears twice";
            return false;
        }
        const std::string text = Unescape(Trim(line.substr(equals + 1)));
        if (text.empty()) {
            error = where + DescribeKey(key) + " has no text";
            return false;
        }
        texts.push_back({key, text});
    }
    return true;
}

bool MatchMaster(const std::vector<TranslationText>& master,
                 const std::vector<TranslationText>& texts, bool requireComplete,
                 std::vector<TranslationText>& ordered, std::string& error) {
    ordered.clear();
    std::unordered_map<TranslationKey, const std::string*> byKey;
    for (const TranslationText& item : texts) {
        byKey.emplace(item.key, &item.text);
    }
    std::set<TranslationKey> masterKeys;
    for (const TranslationText& original : master) {
        masterKeys.insert(original.key);
        const auto it = byKey.find(original.key);
        if (it == byKey.end()) {
            if (requireComplete) {
                error = DescribeKey(original.key) + " has no translation";
                return false;
            }
            continue;
        }
        const std::string& translation = *it->second;
        if (Inserts(translation) != Inserts(original.text)) {
            error = DescribeKey(original.key) + " does not use the inserts of its original";
            return false;
        }
        const bool isCommand = KindOf(original.key) == TranslationKind::StringText &&
                               (original.key & 0xFFFF) >= 32768 &&
                               original.text.find('\n') != std::string::npos;
        if (isCommand && translation.find('\n') == std::string::npos) {
            error = DescribeKey(original.key) + " lacks the line break before its tool tip";
            return false;
        }
        ordered.push_back({original.key, translation});
    }
    for (const TranslationText& item : texts) {
        if (masterKeys.count(item.key) == 0) {
            error = DescribeKey(item.key) + " is not a text of the program";
            return false;
        }
    }
    return true;
}

}  // namespace orx
