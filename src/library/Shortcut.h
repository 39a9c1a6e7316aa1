#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orx {

// File attribute bit of a shortcut's target that marks a folder.
inline constexpr uint32_t kShortcutTargetFolder = 0x10;
// Shortcut files are small; a larger file is not read.
inline constexpr size_t kMaxShortcutFileSize = 1 << 20;

struct ShortcutTarget {
    std::string path;         // as recorded, at most 259 characters; may be a Windows path
    uint32_t attributes = 0;  // the target's attributes from the link header
};

// Reads a ".lnk" file in the Shell Link binary format: the target is the network share name
// joined with the common path suffix when the link records one (the UNC form is asked for first),
// else the local base path followed by the suffix. The recorded path is used unchanged (no search
// for a moved target). False for a missing, unreadable, truncated or corrupt file, a link without
// link information, an empty target or one longer than 259 characters.
bool ResolveShortcut(const std::string& lnkPath, ShortcutTarget& target);
// The same on the file's bytes.
bool ParseShortcut(const uint8_t* data, size_t size, ShortcutTarget& target);

}  // namespace orx
