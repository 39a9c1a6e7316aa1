#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "platform/Paths.h"

namespace orx {
namespace {

// File names are limited to 255 bytes; a longer lock name keeps its tail (the most specific part
// of the path) and gains a hash of the whole name so that different paths stay apart.
std::string LockFileName(const std::string& executablePath) {
    std::string name = executablePath;
    for (char& c : name) {
        if (c == '/' || c == '\\') {
            c = '_';
        }
    }
    constexpr size_t kMaxName = 200;
    if (name.size() > kMaxName) {
        uint64_t hash = 1469598103934665603ull;
        for (unsigned char c : name) {
            hash = (hash ^ c) * 1099511628211ull;
        }
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
        name = std::string(hex) + "_" + name.substr(name.size() - (kMaxName - 17));
    }
    return name;
}

}  // namespace

std::unique_ptr<SingleInstanceLock> SingleInstanceLock::Acquire(const std::string& executablePath,
                                                                std::string* refusedFolder) {
    std::string refused;
    const std::string folder = RuntimeFolder(&refused);
    if (refusedFolder != nullptr) {
        *refusedFolder = refused;
    }
    if (!refused.empty()) {
        return nullptr;
    }
    // Without any place for the lock the program still runs: refusing to start would be worse
    // than a second copy.
    if (folder.empty()) {
        return std::unique_ptr<SingleInstanceLock>(new SingleInstanceLock(-1));
    }
    const std::string path = folder + LockFileName(executablePath);
    // O_CLOEXEC: a child process must not inherit the lock and keep it alive after we die.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        return std::unique_ptr<SingleInstanceLock>(new SingleInstanceLock(-1));
    }
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool held = errno == EWOULDBLOCK;
        close(fd);
        if (held) {
            return nullptr;
        }
        return std::unique_ptr<SingleInstanceLock>(new SingleInstanceLock(-1));
    }
    return std::unique_ptr<SingleInstanceLock>(new SingleInstanceLock(fd));
}

SingleInstanceLock::~SingleInstanceLock() {
    // The lock file itself stays: removing it would let a third process lock a fresh file while
    // a second one still waits on the old one.
    if (fd_ >= 0) {
        close(fd_);
    }
}

}  // namespace orx
