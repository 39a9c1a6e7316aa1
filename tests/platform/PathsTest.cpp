#include "platform/Paths.h"

#include <gtest/gtest.h>

namespace orx {

TEST(PathsTest, SplitsPathsWithEitherSeparatorAndNamesThisProgram) {
    EXPECT_EQ(FolderOf("/v/sub\\clip.mpg"), "/v/sub\\");
    EXPECT_EQ(FileNameOf("Video\\news.vid"), "news.vid");
    EXPECT_EQ(FileTitleOf("C:\\v.d\\news.old.vid"), "news.old");  // the last dot of the name
    EXPECT_EQ(FileTitleOf("/v.d/news"), "news");
    EXPECT_EQ(NativeSeparators("Video\\sub\\clip.mpg"), "Video/sub/clip.mpg");
    EXPECT_EQ(WithTrailingSeparator("/media/clips"), "/media/clips/");
    EXPECT_EQ(WithTrailingSeparator("D:\\Clips\\"), "D:\\Clips\\");
    EXPECT_EQ(WithTrailingSeparator(""), "");
    const std::string self = ExecutablePath();
    EXPECT_EQ(self.substr(0, 1) + FileNameOf(self), "/PathsTest");
}

}  // namespace orx
