#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "app/PathLock.h"

namespace orx {

// Raised by BinaryFile when a read or write fails after a successful open. It aborts the
// operation in progress and is caught at that operation's boundary (a load or save), never
// further out.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raw, unbuffered file. While it is open, the program's own processes may read the file but not
// write it. POSIX has no share modes; they are emulated with advisory locks keyed by the path
// (app/PathLock.h): read mode holds the path's lock shared, write mode holds it exclusive, so an
// open for writing fails while anyone reads or writes the file, and an open for reading fails
// while someone writes it. Programs that ignore these locks are not held back by them.
class BinaryFile {
public:
    enum class Mode {
        Read,   // an existing file
        Write,  // creates the file, replacing an existing one
    };

    BinaryFile() = default;
    ~BinaryFile();  // an unclosed write is discarded: the file on disk stays as it was
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    bool Open(const std::string& path, Mode mode);
    // Reads up to size bytes; returns how many were read (fewer only at the end of the file).
    size_t Read(void* buffer, size_t size);
    void Write(const void* buffer, size_t size);
    uint64_t Length() const;
    // A write-mode file is written beside its target and renamed over it here, so a save that
    // fails half-way never destroys the previous file. Throws FileError when that fails.
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

private:
    void Discard();  // closes without saving and releases the lock

    int fd_ = -1;
    Mode mode_ = Mode::Read;
    std::string path_;
    std::string tempPath_;
    PathLock lock_;
};

// Opens path only when it is a regular file (or, with O_CREAT in flags, missing), and never
// waits in the open: a FIFO, device or folder under that name gives -1. The descriptor is
// close-on-exec and blocking.
int OpenRegularFile(const std::string& path, int flags, mode_t createMode = 0);

bool FileExists(const std::string& path);  // file or folder
bool CanOpenForReading(const std::string& path);
bool ForceDeleteFile(const std::string& path);  // also when read-only

}  // namespace orx
