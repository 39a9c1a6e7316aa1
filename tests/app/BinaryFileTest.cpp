#include "app/BinaryFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace orx {

using namespace orx::test;
constexpr auto kRead = BinaryFile::Mode::Read, kWrite = BinaryFile::Mode::Write;

class BinaryFileTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name = "list.vid") const { return folder_ / name; }
    TempFolder folder_;
};

TEST_F(BinaryFileTest, ASaveReplacesTheFileOnlyWhenItCompletes) {
    const std::string data("\x01\x00\x02", 3);
    WriteFile(Path(), "an older and longer content");
    auto abandoned = std::make_unique<BinaryFile>();
    ASSERT_TRUE(abandoned->Open(Path(), kWrite));
    abandoned->Write("new content", 11);
    abandoned.reset();  // destroyed without Close
    EXPECT_EQ(ReadFile(Path()), "an older and longer content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()), {}), 1);

    BinaryFile file;
    ASSERT_TRUE(file.Open(Path(), kWrite));
    file.Write(data.data(), 3);
    file.Close();
    ASSERT_TRUE(file.Open(Path(), kRead));
    EXPECT_EQ(file.Length(), 3u);  // replaced, not overwritten
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 8), 3u);  // short read at the end
    EXPECT_EQ(std::string(buffer, 3), data);
    file.Close();

    ASSERT_TRUE(file.Open(Path(), kWrite));
    file.Write("new content", 11);
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
        if (entry.path() != Path()) {
            std::filesystem::remove(entry.path());  // the half-written file is taken away
        }
    }
    EXPECT_THROW(file.Close(), FileError);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadFile(Path()), data);
}

TEST_F(BinaryFileTest, ReadersShareWritersExcludeAcrossProcessesAndReadOnlyFilesAndLinksHold) {
    WriteFile(Path(), "old");
    BinaryFile reader, writer;
    ASSERT_TRUE(reader.Open(Path(), kRead));
    EXPECT_TRUE(CanOpenForReading(Path()));
    EXPECT_FALSE(writer.Open(folder_.Path() + "./list.vid", kWrite));  // same file, other spelling
    reader.Close();

    ChildProcess child([&] { return (new BinaryFile)->Open(Path(), kWrite); });  // held to the end
    ASSERT_TRUE(child.StepSucceeded());
    EXPECT_FALSE(CanOpenForReading(Path()));
    EXPECT_FALSE(writer.Open(Path(), kWrite));
    child.Kill();  // the writer dies: its lock goes with it and the old file is still there
    EXPECT_TRUE(CanOpenForReading(Path()));
    EXPECT_EQ(ReadFile(Path()), "old");

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
}

}  // namespace orx
