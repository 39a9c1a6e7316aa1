#include "app/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/Paths.h"

namespace orx {

std::string ReplaceTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(path.c_str(), nullptr)) {
            std::string result(real);
            std::free(real);
            return result;
        }
    }
    return path;
}

bool IsReadOnlyFile(const std::string& target) {
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) {
        return false;
    }
    return (st.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0;
}

int CreateTempBeside(const std::string& target, std::string& tempPath) {
    static unsigned counter = 0;
    const std::string base =
        FolderOf(target) + "." + FileNameOf(target) + ".tmp-" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = base + std::to_string(++counter);
        const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            struct stat st {};
            if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
                fchmod(fd, st.st_mode & 07777);
            }
            tempPath = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

bool WriteAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size < static_cast<size_t>(SSIZE_MAX) ? size : SSIZE_MAX);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool WriteFileReplacing(const std::string& path, std::string_view content) {
    const std::string target = ReplaceTarget(path);
    if (IsReadOnlyFile(target)) {
        return false;
    }
    std::string temp;
    const int fd = CreateTempBeside(target, temp);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, content.data(), content.size());
    // The data must be on disk before the rename makes it the file, or a crash could leave the
    // new name pointing at nothing.
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
    }
    return ok;
}

}  // namespace orx
