#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>

namespace orx::test {

// Runs a step in a forked process that stays alive until Kill(), so a test can observe from
// outside what the step left held (locks, open files). The step's result comes back by pipe.
class ChildProcess {
public:
    explicit ChildProcess(const std::function<bool()>& step) {
        int report[2];
        if (pipe(report) != 0 || (pid_ = fork()) < 0)
            throw std::runtime_error("pipe or fork failed");
        if (pid_ == 0) {
            const char result = step() ? '1' : '0';
            // Ends by signal only: exit handlers, the framework and sanitizers belong to the
            // parent.
            if (write(report[1], &result, 1) != 1)
                _exit(2);
            for (;;)
                pause();
        }
        close(report[1]);
        char result = '0';
        ok_ = read(report[0], &result, 1) == 1 && result == '1';
        close(report[0]);
    }
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool StepSucceeded() const { return ok_; }

    // Ends the child at once, as a crash would.
    void Kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    bool ok_ = false;
};

}  // namespace orx::test
