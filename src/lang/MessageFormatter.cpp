#include "lang/MessageFormatter.h"

#include <algorithm>
#include <optional>

namespace orx {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct StringConversion {
    bool leftAlign = false;
    size_t width = 0;
    std::optional<size_t> precision;
};

// Reads a decimal number at pos, saturating far below any overflow.
size_t ReadNumber(std::string_view text, size_t& pos) {
    constexpr size_t kLimit = size_t{1} << 24;
    size_t value = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        value = std::min(kLimit, value * 10 + static_cast<size_t>(text[pos] - '0'));
        ++pos;
    }
    return value;
}

// Parses a string conversion "<flags><width>.<precision>s" that makes up the whole text.
std::optional<StringConversion> ParseStringConversion(std::string_view conversion) {
    StringConversion result;
    size_t pos = 0;
    while (pos < conversion.size() &&
           (conversion[pos] == '-' || conversion[pos] == '+' || conversion[pos] == ' ' ||
            conversion[pos] == '#' || conversion[pos] == '0')) {
        result.leftAlign = result.leftAlign || conversion[pos] == '-';
        ++pos;
    }
    result.width = std::min(kMaxInsertWidth, ReadNumber(conversion, pos));
    if (pos < conversion.size() && conversion[pos] == '.') {
        ++pos;
        result.precision = ReadNumber(conversion, pos);
    }
    std::string_view type = conversion.substr(pos);
    if (type == "s" || type == "S" || type == "hs" || type == "ls") {
        return result;
    }
    return std::nullopt;
}

void AppendInsert(std::string& out, std::string_view value, const StringConversion& conversion) {
    if (conversion.precision && value.size() > *conversion.precision) {
        value = value.substr(0, *conversion.precision);
    }
    const size_t padding = conversion.width > value.size() ? conversion.width - value.size() : 0;
    if (!conversion.leftAlign) {
        out.append(padding, ' ');
    }
    out.append(value);
    if (conversion.leftAlign) {
        out.append(padding, ' ');
    }
}

}  // namespace

std::string FormatMessageText(std::string_view pattern, std::span<const std::string> args) {
    std::string out;
    out.reserve(pattern.size());
    size_t pos = 0;
    while (pos < pattern.size()) {
        const char c = pattern[pos++];
        if (c != '%') {
            out.push_back(c);
            continue;
        }
        if (pos >= pattern.size()) {
            break;
        }
        const char escape = pattern[pos++];
        if (escape == '0') {
            break;
        }
        if (IsDigit(escape)) {
            size_t number = static_cast<size_t>(escape - '0');
            if (pos < pattern.size() && IsDigit(pattern[pos])) {
                number = number * 10 + static_cast<size_t>(pattern[pos++] - '0');
            }
            const std::string_view value =
                number >= 1 && number <= args.size() ? std::string_view(args[number - 1]) : "";
            StringConversion conversion;
            if (pos < pattern.size() && pattern[pos] == '!') {
                const size_t close = pattern.find('!', pos + 1);
                if (close != std::string_view::npos) {
                    if (auto parsed =
                            ParseStringConversion(pattern.substr(pos + 1, close - pos - 1))) {
                        conversion = *parsed;
                        pos = close + 1;
                    }
                }
            }
            AppendInsert(out, value, conversion);
            continue;
        }
        switch (escape) {
            case 'n':
                out.push_back('\n');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'r':
                out.push_back('\r');
                break;
            default:  // "%%", "%.", "%!", "% " and any other character stand for themselves
                out.push_back(escape);
                break;
        }
    }
    return out;
}

}  // namespace orx
