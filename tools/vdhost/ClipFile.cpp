#include "ClipFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orx {

ClipFile::ClipFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
}

ClipFile::~ClipFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

}  // namespace orx
