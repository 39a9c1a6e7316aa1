#include "app/PathLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/Paths.h"

namespace orx {
namespace {

// The same file reached through different spellings of its folder gets the same key.
std::string CanonicalPath(const std::string& path) {
    std::string folder = FolderOf(path);
    if (folder.empty()) {
        folder = ".";
    }
    std::string result;
    if (char* real = realpath(folder.c_str(), nullptr)) {
        result = real;
        std::free(real);
    } else {
        result = folder;
    }
    return WithTrailingSeparator(result) + FileNameOf(path);
}

std::string LockFileFor(const std::string& path) {
    const std::string folder = PrivateSubfolder("orx-file-locks");
    if (folder.empty()) {
        return {};
    }
    uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : CanonicalPath(path)) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.lock", static_cast<unsigned long long>(hash));
    return folder + name;
}

}  // namespace

PathLock& PathLock::operator=(PathLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

bool PathLock::TryAcquire(const std::string& path, bool exclusive) {
    Release();
    const std::string lockFile = LockFileFor(path);
    if (lockFile.empty()) {
        return true;
    }
    const int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return true;
    }
    int rc;
    do {
        rc = flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool held = errno == EWOULDBLOCK;
        close(fd);
        return !held;
    }
    fd_ = fd;
    return true;
}

void PathLock::Release() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

}  // namespace orx
