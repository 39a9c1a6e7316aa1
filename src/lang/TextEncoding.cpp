#include "lang/TextEncoding.h"

#include <array>
#include <map>
#include <vector>

#include "app/IniFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace orx {

namespace {

// The code points of bytes 0x80 to 0xFF of one code page.
using HighHalf = std::array<char32_t, 128>;

// The character of one byte; 0 when the code page leaves the byte undefined.
char32_t DecodeHighByte(unsigned char byte, int codePage) {
#ifdef _WIN32
    const char in = static_cast<char>(byte);
    wchar_t out[2] = {};
    const int n =
        MultiByteToWideChar(static_cast<UINT>(codePage), MB_ERR_INVALID_CHARS, &in, 1, out, 2);
    return n == 1 ? static_cast<char32_t>(out[0]) : 0;
#else
    const std::string name = "CP" + std::to_string(codePage);
    iconv_t converter = iconv_open("UTF-32LE", name.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return 0;
    }
    char in = static_cast<char>(byte);
    unsigned char out[8] = {};
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    if (result != static_cast<size_t>(-1)) {
        // Code pages with combining marks hold a letter back until the next byte.
        result = iconv(converter, nullptr, nullptr, &outPtr, &outLeft);
    }
    iconv_close(converter);
    if (result == static_cast<size_t>(-1) || outLeft != sizeof out - 4) {
        return 0;
    }
    return static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                 (static_cast<uint32_t>(out[3]) << 24));
#endif
}

const HighHalf& TableOf(int codePage) {
    static std::map<int, HighHalf> tables;
    auto it = tables.find(codePage);
    if (it != tables.end()) {
        return it->second;
    }
    HighHalf half{};
    for (size_t i = 0; i < half.size(); ++i) {
        half[i] = DecodeHighByte(static_cast<unsigned char>(0x80 + i), codePage);
    }
    const auto taken = [&half](char32_t c) {
        for (const char32_t used : half) {
            if (used == c)
                return true;
        }
        return false;
    };
    // An undefined byte, or a second byte for a character already taken, still needs a
    // character of its own so that encoding gives the byte back: the control character of the
    // same value (as Windows maps undefined bytes), else one of the private use area.
    for (size_t i = 0; i < half.size(); ++i) {
        bool duplicate = false;
        for (size_t j = 0; j < i; ++j) {
            duplicate = duplicate || (half[i] != 0 && half[i] == half[j]);
        }
        if (half[i] == 0 || duplicate) {
            const auto own = static_cast<char32_t>(0x80 + i);
            half[i] = taken(own) ? static_cast<char32_t>(0xF700 + 0x80 + i) : own;
        }
    }
    return tables.emplace(codePage, half).first->second;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The next code point of valid UTF-8 at text[i], advancing i; false at invalid bytes.
bool NextCodePoint(std::string_view text, size_t& i, char32_t& c) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        c = lead;
        ++i;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (i + length > text.size()) {
        return false;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return false;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return false;
    }
    i += length;
    return true;
}

bool EncodeOne(char32_t c, const HighHalf& half, char& out) {
    if (c < 0x80) {
        out = static_cast<char>(c);
        return true;
    }
    for (size_t k = 0; k < half.size(); ++k) {
        if (half[k] == c) {
            out = static_cast<char>(0x80 + k);
            return true;
        }
    }
    return false;
}

bool ConvertTable(TranslationTable& table, int codePage, bool decode) {
    std::vector<TranslationText> texts;
    texts.reserve(table.Size());
    for (size_t i = 0; i < table.Size(); ++i) {
        std::string text;
        if (decode) {
            text = DecodeCodePage(table.TextAt(i), codePage);
        } else if (!EncodeCodePage(table.TextAt(i), codePage, text)) {
            return false;
        }
        texts.push_back({table.Entries()[i].key, std::move(text)});
    }
    table.Assign(texts);
    return true;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    char32_t c = 0;
    while (i < text.size()) {
        if (!NextCodePoint(text, i, c)) {
            return false;
        }
    }
    return true;
}

bool IsSupportedCodePage(int codePage) {
    return codePage == 874 || (codePage >= 1250 && codePage <= 1258);
}

int LegacyCodePage() {
    const int codePage = GetIniInt("Language", "CodePage", kDefaultCodePage);
    return IsSupportedCodePage(codePage) ? codePage : kDefaultCodePage;
}

int DetectEncoding(const TranslationTable& table, int legacyCodePage) {
    for (size_t i = 0; i < table.Size(); ++i) {
        if (!IsValidUtf8(table.TextAt(i))) {
            return legacyCodePage;
        }
    }
    return kCodePageUtf8;
}

std::string DecodeCodePage(std::string_view bytes, int codePage) {
    if (codePage == kCodePageUtf8) {
        return std::string(bytes);
    }
    const HighHalf& half = TableOf(codePage);
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        AppendUtf8(out, byte < 0x80 ? byte : half[byte - 0x80]);
    }
    return out;
}

bool EncodeCodePage(std::string_view utf8, int codePage, std::string& out) {
    out.clear();
    if (codePage == kCodePageUtf8) {
        out = utf8;
        return IsValidUtf8(utf8);
    }
    const HighHalf& half = TableOf(codePage);
    size_t i = 0;
    char32_t c = 0;
    while (i < utf8.size()) {
        char byte = 0;
        if (!NextCodePoint(utf8, i, c) || !EncodeOne(c, half, byte)) {
            return false;
        }
        out.push_back(byte);
    }
    return true;
}

std::string FirstUnencodable(std::string_view utf8, int codePage) {
    size_t i = 0;
    char32_t c = 0;
    while (i < utf8.size()) {
        const size_t start = i;
        if (!NextCodePoint(utf8, i, c)) {
            return std::string(utf8.substr(start, 1));
        }
        char byte = 0;
        if (codePage != kCodePageUtf8 && !EncodeOne(c, TableOf(codePage), byte)) {
            return std::string(utf8.substr(start, i - start));
        }
    }
    return {};
}

bool DecodeTable(TranslationTable& table, int codePage) {
    return codePage == kCodePageUtf8 || ConvertTable(table, codePage, true);
}

bool EncodeTable(TranslationTable& table, int codePage) {
    if (codePage == kCodePageUtf8) {
        for (size_t i = 0; i < table.Size(); ++i) {
            if (!IsValidUtf8(table.TextAt(i))) {
                return false;
            }
        }
        return true;
    }
    TranslationTable copy = table;
    if (!ConvertTable(copy, codePage, false)) {
        return false;
    }
    table = std::move(copy);
    return true;
}

}  // namespace orx
