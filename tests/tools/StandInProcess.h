#pragma once

// A stand-in program run as a child process in a window folder of the test's own.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <iterator>
#include <sstream>

#include "support/StandIns.h"

extern char** environ;

namespace orx::test {

inline std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

class StandInProcess : public ::testing::Test {
protected:
    // Starts the command line; returns the window of that title once it is up.
    WindowHandle Start(const std::string& commandLine, const std::string& title) {
        std::vector<std::string> args = Words(commandLine);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        WindowHandle h = 0;
        WaitUntil([&] { return (h = FindWindowByTitle(title)) != 0; });
        return h;
    }
    // The exit status of the child; -1 when it did not exit normally in time.
    int ExitStatus() {
        int status = -1;
        WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempFolder dir_;
    WindowFolder windows_;
    pid_t pid_ = 0;
};

}  // namespace orx::test
