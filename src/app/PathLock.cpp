#include "app/PathLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
        lockFile_ = std::move(other.lockFile_);
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
    // The last holder removes the lock file. Someone who opened it just before the removal
    // holds a lock on a file nobody else can find any more, so a lock is only good while the
    // name still leads to the locked file; otherwise the attempt starts again with a new file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd =
            open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
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
        struct stat opened {};
        struct stat named {};
        if (fstat(fd, &opened) == 0 && stat(lockFile.c_str(), &named) == 0 &&
            opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            fd_ = fd;
            lockFile_ = lockFile;
            return true;
        }
        close(fd);
    }
    return true;
}

void PathLock::Release() {
    if (fd_ < 0) {
        return;
    }
    // Only a holder that can take the lock exclusively is the last one; it removes the file
    // while it still holds it. A shared holder that fails here simply lets go: another holder
    // remains and removes the file later.
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        unlink(lockFile_.c_str());
    }
    close(fd_);
    fd_ = -1;
    lockFile_.clear();
}

}  // namespace orx
