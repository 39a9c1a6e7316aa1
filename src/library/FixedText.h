#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace orx {

// The text fields of stored records (playlist entries, library records) have a fixed size. A
// field's text ends at its first NUL, or at the field's end where a damaged record has none.
template <size_t N>
std::string_view FixedText(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

// Stores at most N - 1 bytes of the text and zero-fills the rest, so the stored field always ends
// in a NUL and carries no bytes of an earlier text.
template <size_t N>
void SetFixedText(char (&field)[N], std::string_view text) {
    const size_t length = std::min(text.size(), N - 1);
    if (length > 0) {  // an empty view may carry no data pointer at all
        std::memcpy(field, text.data(), length);
    }
    std::memset(field + length, 0, N - length);
}

}  // namespace orx
