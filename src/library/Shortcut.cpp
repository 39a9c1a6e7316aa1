#include "library/Shortcut.h"

#include <sys/stat.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "app/BinaryFile.h"

namespace orx {
namespace {

// Shell Link binary format: a 76-byte header, an optional item-ID list, then the link
// information that holds the target's local path or network share.
constexpr size_t kHeaderSize = 0x4C;
constexpr uint8_t kShellLinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kHasTargetIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;
constexpr uint32_t kForceNoLinkInfo = 0x100;
constexpr uint32_t kLocalBasePath = 0x1;     // link-info flag: volume id and local base path
constexpr uint32_t kNetworkRelative = 0x2;   // link-info flag: network link and path suffix
constexpr size_t kLinkInfoMinHeader = 0x1C;  // the fields every version has
constexpr size_t kNetworkLinkMinSize = 0x14;
constexpr size_t kMaxTargetLength = 259;

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The NUL-terminated string at offset inside a block; false when it would run past the block.
bool StringIn(const uint8_t* block, size_t blockSize, size_t offset, std::string_view& text) {
    if (offset >= blockSize) {
        return false;
    }
    const void* nul = std::memchr(block + offset, 0, blockSize - offset);
    if (nul == nullptr) {
        return false;
    }
    text = {reinterpret_cast<const char*>(block + offset),
            static_cast<size_t>(static_cast<const uint8_t*>(nul) - (block + offset))};
    return true;
}

bool TargetFromLinkInfo(const uint8_t* info, size_t size, std::string& path) {
    const uint32_t headerSize = Le32(info + 4);
    if (headerSize < kLinkInfoMinHeader || headerSize > size) {
        return false;
    }
    const uint32_t flags = Le32(info + 8);
    std::string_view suffix;
    if (!StringIn(info, size, Le32(info + 24), suffix)) {
        return false;
    }
    if ((flags & kNetworkRelative) != 0) {
        // The network form is asked for first.
        const size_t linkOffset = Le32(info + 20);
        if (linkOffset >= size || size - linkOffset < kNetworkLinkMinSize) {
            return false;
        }
        const uint8_t* link = info + linkOffset;
        const size_t linkSize = Le32(link);
        if (linkSize < kNetworkLinkMinSize || linkSize > size - linkOffset) {
            return false;
        }
        std::string_view netName;
        if (!StringIn(link, linkSize, Le32(link + 8), netName) || netName.empty()) {
            return false;
        }
        path.assign(netName);
        if (!suffix.empty()) {
            if (path.back() != '\\') {
                path += '\\';
            }
            path += suffix;
        }
        return true;
    }
    if ((flags & kLocalBasePath) != 0) {
        std::string_view base;
        if (!StringIn(info, size, Le32(info + 16), base)) {
            return false;
        }
        path.assign(base);
        path += suffix;
        return true;
    }
    return false;
}

}  // namespace

bool ParseShortcut(const uint8_t* data, size_t size, ShortcutTarget& target) {
    if (data == nullptr || size < kHeaderSize || Le32(data) != kHeaderSize ||
        std::memcmp(data + 4, kShellLinkClassId, sizeof kShellLinkClassId) != 0) {
        return false;
    }
    const uint32_t linkFlags = Le32(data + 0x14);
    const uint32_t attributes = Le32(data + 0x18);
    size_t pos = kHeaderSize;
    if ((linkFlags & kHasTargetIdList) != 0) {
        if (size - pos < 2) {
            return false;
        }
        const size_t listSize = Le16(data + pos);
        pos += 2;
        if (listSize > size - pos) {
            return false;
        }
        pos += listSize;
    }
    // Without link information the target is only an item-ID list, which names shell objects
    // rather than a file path.
    if ((linkFlags & kHasLinkInfo) == 0 || (linkFlags & kForceNoLinkInfo) != 0 ||
        size - pos < kLinkInfoMinHeader) {
        return false;
    }
    const size_t infoSize = Le32(data + pos);
    if (infoSize < kLinkInfoMinHeader || infoSize > size - pos) {
        return false;
    }
    std::string path;
    if (!TargetFromLinkInfo(data + pos, infoSize, path) || path.empty() ||
        path.size() > kMaxTargetLength) {
        return false;
    }
    target.path = std::move(path);
    target.attributes = attributes;
    return true;
}

bool ResolveShortcut(const std::string& lnkPath, ShortcutTarget& target) {
    // Only regular files: opening a pipe for reading would wait for a writer.
    struct stat st {};
    if (stat(lnkPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    BinaryFile file;
    if (!file.Open(lnkPath, BinaryFile::Mode::Read)) {
        return false;
    }
    try {
        const uint64_t length = file.Length();
        if (length > kMaxShortcutFileSize) {
            return false;
        }
        std::vector<uint8_t> bytes(static_cast<size_t>(length));
        bytes.resize(file.Read(bytes.data(), bytes.size()));
        return ParseShortcut(bytes.data(), bytes.size(), target);
    } catch (const FileError&) {
        return false;
    }
}

}  // namespace orx
