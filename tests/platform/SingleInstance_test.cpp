#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "ChildProcess.h"
#include "platform/Paths.h"

namespace orx {
namespace {

// Every test gets its own runtime folder, so locks of other tests and of real runs never meet.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "orx-run-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        runtime_ = pattern;
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_RUNTIME_DIR");
        std::filesystem::remove_all(runtime_);
    }
    std::string runtime_;
};

bool AcquireAndKeep(const std::string& executable) {
    return SingleInstanceLock::Acquire(executable).release() != nullptr;  // kept until exit
}

TEST_F(SingleInstanceTest, TheSameExecutableRunsOnceAcrossProcesses) {
    const std::string exe = "/opt/orx/bin/brenvik";
    test::ChildProcess first([&] { return AcquireAndKeep(exe); });
    ASSERT_TRUE(first.StepSucceeded());
    EXPECT_TRUE(std::filesystem::exists(runtime_ + "/_opt_orx_bin_brenvik"));

    test::ChildProcess second([&] { return AcquireAndKeep(exe); });
    EXPECT_FALSE(second.StepSucceeded());
    EXPECT_EQ(SingleInstanceLock::Acquire(exe), nullptr);

    // A copy in another folder is another instance.
    test::ChildProcess elsewhere([&] { return AcquireAndKeep("/home/op/orx/brenvik"); });
    EXPECT_TRUE(elsewhere.StepSucceeded());

    first.Finish();
    test::ChildProcess third([&] { return AcquireAndKeep(exe); });
    EXPECT_TRUE(third.StepSucceeded());
}

TEST_F(SingleInstanceTest, ACrashedHolderFreesTheLock) {
    const std::string exe = "/opt/orx/bin/brenvik";
    test::ChildProcess holder([&] { return AcquireAndKeep(exe); });
    ASSERT_TRUE(holder.StepSucceeded());
    EXPECT_EQ(SingleInstanceLock::Acquire(exe), nullptr);
    holder.Kill();
    EXPECT_NE(SingleInstanceLock::Acquire(exe), nullptr);
}

TEST_F(SingleInstanceTest, WindowsStyleAndVeryLongPaths) {
    const std::string windowsStyle = "C:\\Program Files\\ORX\\brenvik.exe";
    auto lock = SingleInstanceLock::Acquire(windowsStyle);
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(std::filesystem::exists(runtime_ + "/C:_Program Files_ORX_brenvik.exe"));
    EXPECT_EQ(SingleInstanceLock::Acquire(windowsStyle), nullptr);

    // Longer than a file name may be: still one lock per path, and distinct paths stay distinct.
    const std::string deep = "/" + std::string(300, 'a') + "/brenvik";
    const std::string deeper = "/" + std::string(300, 'b') + "/brenvik";
    auto deepLock = SingleInstanceLock::Acquire(deep);
    ASSERT_NE(deepLock, nullptr);
    EXPECT_EQ(SingleInstanceLock::Acquire(deep), nullptr);
    EXPECT_NE(SingleInstanceLock::Acquire(deeper), nullptr);
}

TEST_F(SingleInstanceTest, ChildrenDoNotInheritTheLock) {
    const std::string exe = "/opt/orx/bin/brenvik";
    auto lock = SingleInstanceLock::Acquire(exe);
    ASSERT_NE(lock, nullptr);
    // A program started by the holder outlives it; the lock must not live on in that program.
    int execDone[2];
    ASSERT_EQ(pipe2(execDone, O_CLOEXEC), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(execDone[1]);
    char ignored;
    ASSERT_EQ(read(execDone[0], &ignored, 1), 0);  // end of file: the exec has happened
    close(execDone[0]);

    lock.reset();
    EXPECT_NE(SingleInstanceLock::Acquire(exe), nullptr);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

TEST_F(SingleInstanceTest, TheFallbackRuntimeFolderIsPrivate) {
    unsetenv("XDG_RUNTIME_DIR");
    const std::string fallback = RuntimeFolder();
    ASSERT_FALSE(fallback.empty());
    struct stat st {};
    ASSERT_EQ(stat(fallback.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, geteuid());
}

}  // namespace
}  // namespace orx
