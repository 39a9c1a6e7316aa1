#include "platform/Paths.h"

#include <gtest/gtest.h>

namespace orx {
namespace {

TEST(PathsTest, SplitsPathsWithEitherSeparator) {
    EXPECT_EQ(FolderOf("/opt/orx/brenvik"), "/opt/orx/");
    EXPECT_EQ(FolderOf("C:\\Video\\news.vid"), "C:\\Video\\");
    EXPECT_EQ(FolderOf("/v/sub\\clip.mpg"), "/v/sub\\");
    EXPECT_EQ(FolderOf("clip.mpg"), "");
    EXPECT_EQ(FolderOf("/"), "/");

    EXPECT_EQ(FileNameOf("/opt/orx/brenvik"), "brenvik");
    EXPECT_EQ(FileNameOf("Video\\news.vid"), "news.vid");
    EXPECT_EQ(FileNameOf("news.vid"), "news.vid");
    EXPECT_EQ(FileNameOf("/v/"), "");

    EXPECT_EQ(FileTitleOf("/v/news.old.vid"), "news.old");
    EXPECT_EQ(FileTitleOf("/v.d/news"), "news");  // a dot in the folder is no extension
    EXPECT_EQ(FileTitleOf("C:\\v\\clip.MPG"), "clip");
}

TEST(PathsTest, SeparatorsAndTrailingSeparator) {
    EXPECT_EQ(NativeSeparators("Video\\sub\\clip.mpg"), "Video/sub/clip.mpg");
    EXPECT_EQ(NativeSeparators("/already/native"), "/already/native");

    EXPECT_EQ(WithTrailingSeparator("/media/clips"), "/media/clips/");
    EXPECT_EQ(WithTrailingSeparator("/media/clips/"), "/media/clips/");
    EXPECT_EQ(WithTrailingSeparator("D:\\Clips\\"), "D:\\Clips\\");
    EXPECT_EQ(WithTrailingSeparator(""), "");
}

TEST(PathsTest, ExecutablePathNamesThisProgram) {
    const std::string path = ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(FileNameOf(path), "test_paths");
}

}  // namespace
}  // namespace orx
