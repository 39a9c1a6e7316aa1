#pragma once

#include <sys/resource.h>
#include <unistd.h>

namespace orx::test {

// While it lives, this process cannot open another descriptor (EMFILE): a transient failure of
// every socket() and open().
class DescriptorLimit {
public:
    DescriptorLimit() {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit limit = saved_;
        limit.rlim_cur = static_cast<rlim_t>(lowestFree);
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;

private:
    rlimit saved_{};
};

}  // namespace orx::test
