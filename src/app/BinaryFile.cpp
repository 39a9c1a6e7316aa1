#include "app/BinaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/AtomicFile.h"

namespace orx {
namespace {

std::string Describe(const char* what, const std::string& path, int error) {
    return std::string(what) + " " + path + ": " + std::strerror(error);
}

}  // namespace

int OpenRegularFile(const std::string& path, int flags, mode_t createMode) {
    struct stat st {};
    // Checked before the open: opening a FIFO waits for its other end, and opening a device may
    // act on it. Only a missing name may be created.
    if (stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            return -1;
        }
    } else if (errno != ENOENT || (flags & O_CREAT) == 0) {
        return -1;
    }
    // Non-blocking, because the name may have been swapped for a FIFO since the check.
    const int fd = open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, createMode);
    if (fd < 0) {
        return -1;
    }
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

BinaryFile::~BinaryFile() {
    Discard();
}

void BinaryFile::Discard() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        unlink(tempPath_.c_str());
        tempPath_.clear();
    }
    lock_.Release();
}

bool BinaryFile::Open(const std::string& path, Mode mode) {
    Discard();
    if (path.empty()) {
        return false;
    }
    mode_ = mode;
    path_ = path;
    if (mode == Mode::Read) {
        if (!lock_.TryAcquire(path, false)) {
            return false;
        }
        const int fd = OpenRegularFile(path, O_RDONLY);
        if (fd < 0) {
            lock_.Release();
            return false;
        }
        fd_ = fd;
        return true;
    }

    if (!lock_.TryAcquire(path, true)) {
        return false;
    }
    const std::string target = ReplaceTarget(path);
    struct stat st {};
    const bool exists = stat(target.c_str(), &st) == 0;
    // A read-only file or something that is not a file cannot be replaced.
    if ((exists && !S_ISREG(st.st_mode)) || IsReadOnlyFile(target)) {
        lock_.Release();
        return false;
    }
    const int fd = CreateTempBeside(target, tempPath_);
    if (fd < 0) {
        lock_.Release();
        return false;
    }
    fd_ = fd;
    path_ = target;
    return true;
}

size_t BinaryFile::Read(void* buffer, size_t size) {
    if (fd_ < 0) {
        throw FileError("read from a file that is not open");
    }
    char* p = static_cast<char*>(buffer);
    size_t total = 0;
    while (total < size) {
        const ssize_t n = read(fd_, p + total, size - total);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError(Describe("cannot read", path_, errno));
        }
        if (n == 0) {
            break;
        }
        total += static_cast<size_t>(n);
    }
    return total;
}

void BinaryFile::Write(const void* buffer, size_t size) {
    if (fd_ < 0 || mode_ != Mode::Write) {
        throw FileError("write to a file that is not open for writing: " + path_);
    }
    if (!WriteAll(fd_, buffer, size)) {
        throw FileError(Describe("cannot write", path_, errno));
    }
}

uint64_t BinaryFile::Length() const {
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0) {
        return 0;
    }
    return static_cast<uint64_t>(st.st_size);
}

void BinaryFile::Close() {
    if (fd_ < 0) {
        return;
    }
    if (mode_ == Mode::Read) {
        Discard();
        return;
    }
    int error = 0;
    if (fsync(fd_) != 0) {
        error = errno;
    }
    if (close(fd_) != 0 && error == 0) {
        error = errno;
    }
    fd_ = -1;
    if (error == 0 && rename(tempPath_.c_str(), path_.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        Discard();  // removes the temporary file; the previous file stays as it was
        throw FileError(Describe("cannot save", path_, error));
    }
    tempPath_.clear();
    lock_.Release();
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool CanOpenForReading(const std::string& path) {
    BinaryFile file;
    return file.Open(path, BinaryFile::Mode::Read);
}

bool ForceDeleteFile(const std::string& path) {
    if (!FileExists(path)) {
        return false;
    }
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return false;
    }
    // Read-only means no write permission at all; the owner's write bit clears it, all other
    // bits stay. A link is removed itself, its target left alone.
    if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
        chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
    }
    return unlink(path.c_str()) == 0;
}

}  // namespace orx
