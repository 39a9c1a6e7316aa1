#pragma once

#include <Qt>
#include <cstdint>

namespace orx {

// Keys are stored and matched as Windows virtual-key codes, so that hot keys in a settings file
// written on Windows mean the same keys here. Modifier bits of a hot-key value (bits 16 and up).
inline constexpr uint32_t kHotKeyShift = 1;
inline constexpr uint32_t kHotKeyCtrl = 2;
inline constexpr uint32_t kHotKeyAlt = 4;
inline constexpr uint32_t kHotKeyExtended = 8;  // never produced by a key press

// The virtual-key code of a Qt key (as in QKeyEvent::key()), or 0 when it has none. Keypad keys
// are told apart by Qt::KeypadModifier. Shifted symbols of the US layout give their key's code
// ('!' is the key '1'), as Windows reports the key, not the character.
uint32_t VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

// The modifier set of a hot-key value: 1 Shift, 2 Ctrl, 4 Alt (Meta and the keypad flag ignored).
uint32_t HotKeyModifiers(Qt::KeyboardModifiers modifiers);

}  // namespace orx
