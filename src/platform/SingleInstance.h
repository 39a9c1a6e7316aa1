#pragma once

#include <memory>
#include <string>

namespace orx {

// A lock that marks the one running instance of an executable. It is held for as long as the
// object (and so the process) lives; the operating system frees it when the process dies.
class SingleInstanceLock {
public:
    // Name: the executable's full path with every separator replaced by "_". Returns nullptr when
    // another live process holds the lock of the same name, and also when the folder for the
    // lock is taken by another user: a lock there would mean nothing. Then refusedFolder (when
    // given) names that folder, and is left empty otherwise.
    static std::unique_ptr<SingleInstanceLock> Acquire(const std::string& executablePath,
                                                       std::string* refusedFolder = nullptr);
    ~SingleInstanceLock();

    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

private:
    explicit SingleInstanceLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace orx
