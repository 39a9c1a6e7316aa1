#pragma once

#include <cstdint>

namespace orx {

// A 32-bit key naming one translatable text. Bits 31-30 give its kind: 11 a string-table text
// (the string id in bits 0-15), 10 a dialog text (the template id, masked to 14 bits, in bits
// 16-29 and the control id in bits 0-15; control 0 is the caption). Kind 01 is unused by the
// program's own texts. Controls that share an id share a key.
using TranslationKey = uint32_t;

enum class TranslationKind : uint32_t {
    None = 0,
    Reserved = 1,
    DialogText = 2,
    StringText = 3,
};

inline constexpr TranslationKey kStringKeyBase = 0xC0000000u;
inline constexpr TranslationKey kDialogKeyBase = 0x80000000u;

constexpr TranslationKey StringKey(int stringId) {
    return kStringKeyBase | (static_cast<uint32_t>(stringId) & 0xFFFFu);
}

constexpr TranslationKey DialogKey(int templateId, int controlId = 0) {
    return kDialogKeyBase | ((static_cast<uint32_t>(templateId) & 0x3FFFu) << 16) |
           (static_cast<uint32_t>(controlId) & 0xFFFFu);
}

constexpr TranslationKind KindOf(TranslationKey key) {
    return static_cast<TranslationKind>(key >> 30);
}

}  // namespace orx
