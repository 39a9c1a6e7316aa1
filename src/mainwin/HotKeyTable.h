#pragma once

#include <array>
#include <cstdint>

namespace orx {

// The main window's five hot keys. A value holds a virtual-key code in bits 0-15 and the
// modifier set (1 Shift, 2 Ctrl, 4 Alt, 8 extended) in bits 16 and up; 0 is no key.
class HotKeyTable {
public:
    enum Command { kRefresh = 0, kEdit = 1, kPlay = 2, kPause = 3, kStop = 4 };
    static constexpr int kCount = 5;
    // Ctrl+R, F2, F5, F6, F8.
    static constexpr std::array<uint32_t, kCount> kDefaults = {0x20052, 0x71, 0x74, 0x75, 0x77};

    std::array<uint32_t, kCount> keys = kDefaults;

    // "HotKeys"/"Key0".."Key4" of the settings store, defaults for missing keys.
    void Load();
    void Save() const;

    // The first command whose value is this key with exactly this modifier set (1 Shift, 2 Ctrl,
    // 4 Alt), the extended flag of the value disregarded; -1 when none is.
    int Match(uint32_t virtualKey, uint32_t modifiers) const;
};

}  // namespace orx
