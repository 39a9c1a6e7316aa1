#include "app/BinaryFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace orx {

using namespace orx::test;
constexpr auto kRead = BinaryFile::Mode::Read, kWrite = BinaryFile::Mode::Write;

class BinaryFileTest : public ::testing::Test {
protected:
    BinaryFileTest() { setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1); }
    std::string Path(const std::string& name = "list.vid") const { return folder_ / name; }
    static long Files(const std::string& folder) {
        return std::distance(std::filesystem::directory_iterator(folder), {});
    }
    long LockFiles() const { return Files(runtime_ / "orx-file-locks"); }
    TempFolder folder_, runtime_;
};

TEST_F(BinaryFileTest, ASaveReplacesTheFileOnlyWhenItCompletes) {
    const std::string data("\x01\x00\x02", 3);
    WriteFile(Path(), "an older and longer content");
    {
        BinaryFile abandoned;  // destroyed without Close
        ASSERT_TRUE(abandoned.Open(Path(), kWrite));
        abandoned.Write("new content", 11);
    }
    EXPECT_EQ(ReadFile(Path()), "an older and longer content");
    EXPECT_EQ(Files(folder_.Path()), 1);

    BinaryFile file;
    ASSERT_TRUE(file.Open(Path(), kWrite));
    file.Write(data.data(), 3);
    file.Close();
    EXPECT_EQ(ReadFile(Path()), data);  // replaced, not overwritten

    ASSERT_TRUE(file.Open(Path(), kWrite));
    file.Write("new content", 11);
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
        if (entry.path() != Path())
            std::filesystem::remove(entry.path());  // the half-written file is taken away
    }
    EXPECT_THROW(file.Close(), FileError);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadFile(Path()), data);
}

TEST_F(BinaryFileTest, ReadersShareWritersExcludeAcrossProcessesAndLockFilesGoWithTheLastHolder) {
    WriteFile(Path(), "old");
    BinaryFile first, second, writer;
    ASSERT_TRUE(first.Open(Path(), kRead));
    ASSERT_TRUE(second.Open(Path(), kRead));
    EXPECT_TRUE(CanOpenForReading(Path()));
    first.Close();  // another reader remains: the lock and its file stay
    EXPECT_EQ(LockFiles(), 1);
    EXPECT_FALSE(writer.Open(folder_.Path() + "./list.vid", kWrite));  // same file, other spelling
    second.Close();
    EXPECT_EQ(LockFiles(), 0);
    ASSERT_TRUE(writer.Open(Path(), kWrite));  // the path is free again after the removal
    EXPECT_FALSE(first.Open(Path(), kRead));
    writer.Write("old", 3);
    writer.Close();
    EXPECT_EQ(LockFiles(), 0);

    ChildProcess child([&] { return (new BinaryFile)->Open(Path(), kWrite); });  // held to the end
    ASSERT_TRUE(child.StepSucceeded());
    EXPECT_FALSE(CanOpenForReading(Path()));
    EXPECT_FALSE(writer.Open(Path(), kWrite));
    child.Kill();  // the writer dies: its lock goes with it and the old file is still there
    EXPECT_TRUE(CanOpenForReading(Path()));
    EXPECT_EQ(ReadFile(Path()), "old");
}

TEST_F(BinaryFileTest, OnlyRegularFilesOpenNothingWaitsAndReadOnlyFilesAndLinksHold) {
    for (const char* name : {"locked.vid", "target.mpg"}) {
        WriteFile(Path(name), "keep");
        std::filesystem::permissions(Path(name), std::filesystem::perms(0444));
    }
    BinaryFile file;
    EXPECT_FALSE(file.Open(folder_.Path(), kRead));
    EXPECT_FALSE(file.Open(folder_.Path(), kWrite));
    EXPECT_FALSE(file.Open(Path("locked.vid"), kWrite));
    EXPECT_TRUE(ForceDeleteFile(Path("locked.vid")));
    EXPECT_FALSE(ForceDeleteFile(folder_.Path()));  // folders are not deleted
    ASSERT_EQ(symlink(Path("target.mpg").c_str(), Path("link.mpg").c_str()), 0);
    EXPECT_TRUE(ForceDeleteFile(Path("link.mpg")));  // the link goes, its target stays as it was
    EXPECT_EQ(std::filesystem::status(Path("target.mpg")).permissions(),
              std::filesystem::perms(0444));

    ASSERT_EQ(mkfifo(Path().c_str(), 0600), 0);
    alarm(20);  // an open that waits for the FIFO's writer ends the test instead of hanging it
    EXPECT_FALSE(file.Open(Path(), kRead));
    EXPECT_FALSE(file.Open(Path(), kWrite));  // not replaced either
    EXPECT_EQ(OpenRegularFile("/dev/null", O_WRONLY | O_APPEND), -1);
    alarm(0);
    EXPECT_TRUE(std::filesystem::is_fifo(Path()));
    const int created = OpenRegularFile(Path("new.txt"), O_WRONLY | O_CREAT | O_APPEND, 0644);
    ASSERT_GE(created, 0);
    EXPECT_EQ(fcntl(created, F_GETFL) & O_NONBLOCK, 0);
    close(created);
}

}  // namespace orx
