#pragma once

#include <string>

namespace orx {

// A clip opened for reading by a decoder host. Only a regular file is opened: the type is
// checked before the open (a FIFO named like a clip would block open() until a writer came),
// the open itself does not block, and the type is checked again on the open descriptor, so a
// file swapped in between is refused too.
class ClipFile {
public:
    // Not open when path names no readable regular file.
    explicit ClipFile(const std::string& path);
    ~ClipFile();
    ClipFile(const ClipFile&) = delete;
    ClipFile& operator=(const ClipFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // The open descriptor (blocking again, close-on-exec); -1 when not open.
    int Descriptor() const { return fd_; }

private:
    int fd_ = -1;
};

}  // namespace orx
