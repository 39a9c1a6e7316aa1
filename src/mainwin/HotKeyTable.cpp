#include "mainwin/HotKeyTable.h"

#include <string>

#include "app/IniFile.h"

namespace orx {

namespace {

std::string KeyName(int k) {
    return "Key" + std::to_string(k);
}

}  // namespace

void HotKeyTable::Load() {
    for (int k = 0; k < kCount; ++k) {
        keys[k] = static_cast<uint32_t>(
            GetIniInt("HotKeys", KeyName(k), static_cast<int32_t>(kDefaults[k])));
    }
}

void HotKeyTable::Save() const {
    IniWriteBatch batch;
    for (int k = 0; k < kCount; ++k) {
        WriteIniInt("HotKeys", KeyName(k), static_cast<int32_t>(keys[k]));
    }
}

int HotKeyTable::Match(uint32_t virtualKey, uint32_t modifiers) const {
    if (virtualKey == 0) {
        return -1;
    }
    // The extended-key flag (8) that a value recorded from an arrow key, Insert, Delete, Home,
    // End, Page Up/Down or a right-hand Ctrl/Alt carries is kept in the value, so files stay
    // readable on Windows, but plays no part in matching: a key press never carries it.
    constexpr uint32_t kExtendedBit = 8;
    for (int k = 0; k < kCount; ++k) {
        if ((keys[k] & 0xFFFF) == virtualKey && ((keys[k] >> 16) & ~kExtendedBit) == modifiers) {
            return k;
        }
    }
    return -1;
}

}  // namespace orx
