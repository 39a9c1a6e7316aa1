#include "app/BinaryFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "ChildProcess.h"
#include "TempFolder.h"

namespace orx {
namespace {

using test::ReadFile;
using test::WriteFile;

class BinaryFileTest : public ::testing::Test {
protected:
    test::TempFolder folder_;
};

void Save(const std::string& path, const std::string& content) {
    BinaryFile file;
    ASSERT_TRUE(file.Open(path, BinaryFile::Mode::Write));
    file.Write(content.data(), content.size());
    file.Close();
}

TEST_F(BinaryFileTest, WritesAndReadsBack) {
    const std::string path = folder_ / "list.vid";
    WriteFile(path, "an older and longer content");
    Save(path, std::string("\x01\x00\x02", 3));
    EXPECT_EQ(ReadFile(path), std::string("\x01\x00\x02", 3));  // replaced, not overwritten

    BinaryFile file;
    ASSERT_TRUE(file.Open(path, BinaryFile::Mode::Read));
    EXPECT_EQ(file.Length(), 3u);
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 2), 2u);
    EXPECT_EQ(file.Read(buffer + 2, 6), 1u);  // short read at the end
    EXPECT_EQ(file.Read(buffer, 6), 0u);
    EXPECT_EQ(std::string(buffer, 3), std::string("\x01\x00\x02", 3));
    EXPECT_THROW(file.Write(buffer, 1), FileError);  // read mode
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_THROW(file.Read(buffer, 1), FileError);
    EXPECT_EQ(test::CountEntries(folder_.Path()), 1u);
}

TEST_F(BinaryFileTest, OpenFailsForWhatIsNotAReadableOrReplaceableFile) {
    BinaryFile file;
    EXPECT_FALSE(file.Open(folder_ / "missing.vid", BinaryFile::Mode::Read));
    EXPECT_FALSE(file.Open(folder_.Path(), BinaryFile::Mode::Read));  // a folder
    EXPECT_FALSE(file.Open(folder_ / "no/such/folder.vid", BinaryFile::Mode::Write));
    EXPECT_FALSE(file.Open("", BinaryFile::Mode::Read));
    ASSERT_EQ(mkdir((folder_ / "sub").c_str(), 0755), 0);
    EXPECT_FALSE(file.Open(folder_ / "sub", BinaryFile::Mode::Write));

    const std::string readOnly = folder_ / "locked.vid";
    WriteFile(readOnly, "keep");
    chmod(readOnly.c_str(), 0444);
    EXPECT_FALSE(file.Open(readOnly, BinaryFile::Mode::Write));
    EXPECT_EQ(ReadFile(readOnly), "keep");
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(BinaryFileTest, AnUnfinishedOrFailedSaveKeepsTheOldFile) {
    const std::string path = folder_ / "list.vid";
    WriteFile(path, "old");
    {
        BinaryFile file;
        ASSERT_TRUE(file.Open(path, BinaryFile::Mode::Write));
        file.Write("new content", 11);
        char buffer[4];
        EXPECT_THROW(file.Read(buffer, 4), FileError);  // write mode
    }  // destroyed without Close: the save is abandoned
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(test::CountEntries(folder_.Path()), 1u);

    BinaryFile file;
    ASSERT_TRUE(file.Open(path, BinaryFile::Mode::Write));
    file.Write("new content", 11);
    // Take the half-written file away from under the save, so that the final step fails.
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
        if (entry.path().filename() != "list.vid") {
            std::filesystem::remove(entry.path());
        }
    }
    EXPECT_THROW(file.Close(), FileError);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadFile(path), "old");
    file.Close();  // closing again is harmless
}

TEST_F(BinaryFileTest, ReadersShareAndWritersExclude) {
    const std::string path = folder_ / "list.vid";
    const std::string other = folder_ / "other.vid";
    WriteFile(path, "data");
    WriteFile(other, "data");

    BinaryFile reader;
    ASSERT_TRUE(reader.Open(path, BinaryFile::Mode::Read));
    EXPECT_TRUE(CanOpenForReading(path));
    BinaryFile writer;
    EXPECT_FALSE(writer.Open(path, BinaryFile::Mode::Write));
    // The same file named through another spelling of its folder is the same file.
    EXPECT_FALSE(writer.Open(folder_.Path() + "./list.vid", BinaryFile::Mode::Write));
    EXPECT_TRUE(writer.Open(other, BinaryFile::Mode::Write));
    writer.Close();
    reader.Close();

    ASSERT_TRUE(writer.Open(path, BinaryFile::Mode::Write));
    EXPECT_FALSE(CanOpenForReading(path));
    EXPECT_TRUE(CanOpenForReading(other));
    writer.Close();
    EXPECT_TRUE(CanOpenForReading(path));
}

TEST_F(BinaryFileTest, AnotherProcessWritingBlocksReading) {
    const std::string path = folder_ / "list.vid";
    WriteFile(path, "old");
    test::ChildProcess child([&] {
        auto* file = new BinaryFile;  // held until the process ends
        return file->Open(path, BinaryFile::Mode::Write);
    });
    ASSERT_TRUE(child.StepSucceeded());
    EXPECT_FALSE(CanOpenForReading(path));
    BinaryFile file;
    EXPECT_FALSE(file.Open(path, BinaryFile::Mode::Write));
    child.Kill();  // the writer dies: its lock goes with it and the old file is still there
    EXPECT_TRUE(CanOpenForReading(path));
    EXPECT_EQ(ReadFile(path), "old");
}

TEST_F(BinaryFileTest, FileHelpers) {
    const std::string path = folder_ / "clip.mpg";
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(CanOpenForReading(path));
    EXPECT_FALSE(ForceDeleteFile(path));
    EXPECT_TRUE(FileExists(folder_.Path()));
    EXPECT_FALSE(FileExists(""));

    WriteFile(path, "x");
    chmod(path.c_str(), 0444);
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(CanOpenForReading(path));
    EXPECT_TRUE(ForceDeleteFile(path));
    EXPECT_FALSE(FileExists(path));

    const std::string sub = folder_ / "sub";
    ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
    EXPECT_FALSE(ForceDeleteFile(sub));  // folders are not deleted
    EXPECT_TRUE(FileExists(sub));

    // A link is removed, its read-only target left as it was.
    const std::string target = folder_ / "target.mpg";
    WriteFile(target, "x");
    chmod(target.c_str(), 0444);
    ASSERT_EQ(symlink(target.c_str(), (folder_ / "link.mpg").c_str()), 0);
    EXPECT_TRUE(ForceDeleteFile(folder_ / "link.mpg"));
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

}  // namespace
}  // namespace orx
