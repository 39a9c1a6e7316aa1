#pragma once

// A stand-in program run as a child process in a window folder of the test's own.

#include <fcntl.h>
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
    // Starts the program args[0], its standard output into the file dir_/"out"; returns the
    // window of that title once it is up.
    WindowHandle Start(std::vector<std::string> args, const std::string& title) {
        std::vector<char*> argv{nullptr};
        for (std::string& a : args)
            argv.insert(argv.end() - 1, a.data());
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (dir_ / "out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        WaitUntil([&] { return FindWindowByTitle(title) != 0; });
        return FindWindowByTitle(title);
    }
    // Closes the child's window; its exit status, -1 when it did not exit normally in time.
    int Close(WindowHandle window) {
        EXPECT_EQ(SendWindowMessage(window, kWmClose, 0, 0, nullptr, 0), 0);
        int status = -1;
        WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempFolder dir_;
    WindowFolder windows_;
    pid_t pid_ = 0;
};

}  // namespace orx::test
