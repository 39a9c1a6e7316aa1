#include "platform/SingleInstance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/Paths.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace orx {

// Every test has its own runtime folder, so locks of other tests and of real runs never meet.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1); }
    bool Free(const std::string& exe) { return SingleInstanceLock::Acquire(exe) != nullptr; }

    test::TempFolder runtime_;
    const std::string exe_ = "/opt/orx/bin/brenvik";
};

bool AcquireAndKeep(const std::string& exe) {  // kept until the process ends
    return SingleInstanceLock::Acquire(exe).release() != nullptr;
}

TEST_F(SingleInstanceTest, TheSameExecutableRunsOnceAcrossProcessesUntilTheHolderEnds) {
    test::ChildProcess first([&] { return AcquireAndKeep(exe_); });
    ASSERT_TRUE(first.StepSucceeded());
    test::ChildProcess second([&] { return AcquireAndKeep(exe_); });
    EXPECT_FALSE(second.StepSucceeded());
    EXPECT_FALSE(Free(exe_));
    test::ChildProcess copy([&] { return AcquireAndKeep("/home/op/orx/brenvik"); });
    EXPECT_TRUE(copy.StepSucceeded());  // a copy in another folder is another program
    first.Kill();                       // as a crash would
    EXPECT_TRUE(Free(exe_));
}

TEST_F(SingleInstanceTest, OddPathsHaveOneLockEachAndTheFallbackFolderIsPrivate) {
    const std::string windowsStyle = "C:\\Program Files\\ORX\\brenvik.exe",
                      deep = "/" + std::string(300, 'a') + "/brenvik";  // longer than a name
    auto lock = SingleInstanceLock::Acquire(windowsStyle);
    auto deepLock = SingleInstanceLock::Acquire(deep);
    ASSERT_TRUE(lock && deepLock);
    EXPECT_TRUE(std::filesystem::exists(runtime_ / "C:_Program Files_ORX_brenvik.exe"));
    EXPECT_FALSE(Free(windowsStyle));
    EXPECT_FALSE(Free(deep));
    EXPECT_TRUE(Free("/" + std::string(300, 'b') + "/brenvik"));
    unsetenv("XDG_RUNTIME_DIR");
    struct stat st {};
    ASSERT_EQ(stat(RuntimeFolder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, geteuid());
}

TEST_F(SingleInstanceTest, AFallbackFolderTakenByAnotherUserRefusesTheStartInsteadOfTheLock) {
    unsetenv("XDG_RUNTIME_DIR");
    test::TempFolder tmp;
    SetTempRootForTesting(tmp.Path());
    const std::string planted = tmp / ("orx-" + std::to_string(geteuid()));
    ASSERT_EQ(mkdir(planted.c_str(), 0777), 0);
    chmod(planted.c_str(), 0777);  // anyone may enter: as good as another user's
    std::string refused;
    EXPECT_EQ(SingleInstanceLock::Acquire(exe_, &refused), nullptr);
    EXPECT_EQ(refused, planted + "/");
    EXPECT_EQ(RuntimeFolder(), "");
    EXPECT_EQ(PrivateSubfolder("orx-file-locks"), "");

    ASSERT_EQ(rmdir(planted.c_str()), 0);  // gone: made private for this user and used
    auto lock = SingleInstanceLock::Acquire(exe_, &refused);
    EXPECT_NE(lock, nullptr);
    EXPECT_EQ(refused, "");
    EXPECT_EQ(RuntimeFolder(), planted + "/");
    SetTempRootForTesting("");
}

}  // namespace orx
