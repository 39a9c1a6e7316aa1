#pragma once

// Counts how often files in a folder are replaced the way the program saves them (a new file
// beside the old one, renamed over it), observed through inotify, so a test can tell one rewrite
// from many. The new files are counted: renames onto one name may be merged into one event.

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace orx::test {

class ReplaceCounter {
public:
    explicit ReplaceCounter(const std::string& folder) {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0 || inotify_add_watch(fd_, folder.c_str(), IN_CREATE) < 0)
            throw std::runtime_error("inotify unavailable");
    }
    ~ReplaceCounter() { close(fd_); }
    ReplaceCounter(const ReplaceCounter&) = delete;
    ReplaceCounter& operator=(const ReplaceCounter&) = delete;

    // Files made beside name (".<name>.tmp-...") since the last call.
    int Count(const std::string& name) {
        alignas(inotify_event) char buffer[8192];
        int count = 0;
        for (;;) {
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                return count;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && std::string(event->name).starts_with("." + name + ".tmp"))
                    ++count;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    int fd_ = -1;
};

}  // namespace orx::test
