#pragma once

#include <string>

namespace orx {

// An advisory lock that stands for a file path, shared by the program's own processes. POSIX
// files have no share modes, so "others may read but not write" is built from flock() on a lock
// file kept per path in the per-user runtime folder: readers hold it shared, writers exclusive.
// The lock is keyed by the path (not the file's inode) because writers replace files by renaming
// a new file over them. Programs that do not take these locks are not held back by them. A lock
// file exists only while someone holds it.
class PathLock {
public:
    PathLock() = default;
    ~PathLock() { Release(); }
    PathLock(PathLock&& other) noexcept : fd_(other.fd_), lockFile_(std::move(other.lockFile_)) {
        other.fd_ = -1;
    }
    PathLock& operator=(PathLock&& other) noexcept;
    PathLock(const PathLock&) = delete;
    PathLock& operator=(const PathLock&) = delete;

    // False when another holder has a conflicting lock on the same path (also one held through
    // another PathLock of this process). When no lock folder is available the path is treated
    // as unlocked and the call succeeds.
    bool TryAcquire(const std::string& path, bool exclusive);
    void Release();

private:
    int fd_ = -1;
    std::string lockFile_;  // removed by the last holder, so lock files do not pile up
};

}  // namespace orx
