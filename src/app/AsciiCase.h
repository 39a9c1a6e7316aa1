#pragma once

#include <cstddef>
#include <string_view>

namespace orx {

// Names in settings files, playlists and language lists compare as the Windows program compares
// them: without regard to the case of ASCII letters; other bytes must be equal.
inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace orx
