#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>

namespace orx::test {

// Runs a step in a forked process and keeps that process alive until Finish() or Kill(), so a
// test can observe from outside what the step left held (locks, open files). The step's bool
// result is reported back through a pipe.
class ChildProcess {
public:
    explicit ChildProcess(const std::function<bool()>& step) {
        int report[2];
        if (pipe(report) != 0) {
            throw std::runtime_error("pipe failed");
        }
        pid_ = fork();
        if (pid_ < 0) {
            throw std::runtime_error("fork failed");
        }
        if (pid_ == 0) {
            close(report[0]);
            const char result = step() ? '1' : '0';
            if (write(report[1], &result, 1) != 1) {
                _exit(2);
            }
            // Waits for its end by signal: no exit handlers run, the test framework and its
            // sanitizers belong to the parent.
            for (;;) {
                pause();
            }
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

    // Asks the child to end, as a closing program would, and waits for it.
    void Finish() { End(SIGTERM); }
    // Ends the child at once, as a crash would.
    void Kill() { End(SIGKILL); }

private:
    void End(int signal) {
        if (pid_ <= 0) {
            return;
        }
        ::kill(pid_, signal);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

    pid_t pid_ = -1;
    bool ok_ = false;
};

}  // namespace orx::test
