#include "platform/Paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "support/TempFolder.h"

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

TEST(PathsTest, PrivateFoldersAreMadeForThisUserOnlyAndAnythingElseUnderTheirNameIsRefused) {
    test::TempFolder dir;
    const std::string fresh = dir / "fresh/";
    EXPECT_EQ(MakePrivateFolder(fresh), FolderStatus::kPrivate);
    struct stat st {};
    ASSERT_EQ(lstat((dir / "fresh").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(MakePrivateFolder(fresh), FolderStatus::kPrivate);  // again: used as it is

    ASSERT_EQ(mkdir((dir / "open").c_str(), 0700), 0);
    chmod((dir / "open").c_str(), 0755);
    ASSERT_EQ(symlink(fresh.c_str(), (dir / "link").c_str()), 0);
    test::WriteFile(dir / "file");
    for (const char* name : {"open", "link", "file"})
        EXPECT_EQ(MakePrivateFolder(dir / name), FolderStatus::kForeign) << name;
    EXPECT_EQ(MakePrivateFolder(dir / "missing/deeper"), FolderStatus::kUnavailable);
    ASSERT_EQ(mkdir((dir / "theirs").c_str(), 0700), 0);
    if (chown((dir / "theirs").c_str(), 4242, 4242) == 0) {  // where the test may give it away
        EXPECT_EQ(MakePrivateFolder(dir / "theirs"), FolderStatus::kForeign);
    }

    // The window folder follows the companion protocol's choice.
    const char* savedWindowDir = std::getenv("ORX_WINDOW_DIR");
    const std::string windowDir = savedWindowDir != nullptr ? savedWindowDir : "";
    const char* savedRuntime = std::getenv("XDG_RUNTIME_DIR");
    const std::string runtime = savedRuntime != nullptr ? savedRuntime : "";
    setenv("ORX_WINDOW_DIR", (dir / "w//").c_str(), 1);
    EXPECT_EQ(WindowFolderPath(), dir / "w/");
    unsetenv("ORX_WINDOW_DIR");
    setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
    EXPECT_EQ(WindowFolderPath(), dir / "/orx-windows/");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(WindowFolderPath(), "/tmp/orx-windows-" + std::to_string(getuid()) + "/");
    savedWindowDir != nullptr ? setenv("ORX_WINDOW_DIR", windowDir.c_str(), 1)
                              : unsetenv("ORX_WINDOW_DIR");
    savedRuntime != nullptr ? setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1)
                            : unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace orx
