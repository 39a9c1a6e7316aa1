#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace orx {

// Raised by BinaryFile when a read or write fails after a successful open. It aborts the
// operation in progress and is caught at that operation's boundary (a load or save), never
// further out.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raw, unbuffered file. While it is open, the program's own processes may read the file but not
// write it (advisory locks; other programs are not bound by them).
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
    int fd_ = -1;
    Mode mode_ = Mode::Read;
    std::string path_;
    std::string tempPath_;
};

bool FileExists(const std::string& path);  // file or folder
bool CanOpenForReading(const std::string& path);
bool ForceDeleteFile(const std::string& path);  // also when read-only

}  // namespace orx
