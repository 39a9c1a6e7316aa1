#pragma once

// Events of the files in one folder observed through inotify (IN_CREATE unless told otherwise),
// so that a test can tell one rewrite from many or see how often a file is read.

#include <sys/inotify.h>
#include <unistd.h>

#include <map>
#include <stdexcept>
#include <string>

namespace orx::test {

class FolderEvents {
public:
    explicit FolderEvents(const std::string& folder, uint32_t mask = IN_CREATE) {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0 || inotify_add_watch(fd_, folder.c_str(), mask) < 0)
            throw std::runtime_error("inotify unavailable");
    }
    ~FolderEvents() { close(fd_); }
    FolderEvents(const FolderEvents&) = delete;
    FolderEvents& operator=(const FolderEvents&) = delete;

    // The events of each file name since the last call.
    std::map<std::string, int> Take() {
        std::map<std::string, int> events;
        alignas(inotify_event) char buffer[8192];
        for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0)
                    ++events[event->name];
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return events;
    }

    // How often name was replaced the way the program saves (a new file beside it, renamed over
    // it) since the last call: the new files are counted, as renames onto one name may merge.
    int Replaced(const std::string& name) {
        int count = 0;
        for (const auto& [file, n] : Take())
            count += file.starts_with("." + name + ".tmp") ? n : 0;
        return count;
    }

private:
    int fd_ = -1;
};

}  // namespace orx::test
