// The demo folder that the run command prepares gives a library on first opening: the editor
// finds "video.dat" missing, rescans and saves.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "library/VideoLibrary.h"
#include "support/TempFolder.h"

namespace orx {
namespace {

TEST(DemoLibraryTest, FirstOpeningFindsEveryKindOfItem) {
    test::TempFolder dir;
    const std::string demo = dir / "demo";
    ASSERT_EQ(std::system(("'" ORX_SOURCE_DIR "/scripts/make-demo.sh' '" ORX_BINARY_DIR "' '" +
                           demo + "' >/dev/null")
                              .c_str()),
              0);
    InitProgramFolder(demo + "/brenvik");
    LoadSettings(Settings());
    VideoLibrary library;
    library.Load();
    ASSERT_TRUE(library.clips.empty());
    library.Rescan(false);
    ASSERT_TRUE(library.Save());

    VideoLibrary reopened;
    reopened.Load();
    std::string listed;
    for (const LibraryClip& clip : reopened.clips)
        listed += std::string(ClipFileName(clip)) + "=" + std::to_string(clip.durationMs) + " ";
    // Name-encoded and measured clips, the AVI, the symbolic link, the nested playlist and the
    // clips behind the folder shortcut (full paths, after every relative name).
    for (const std::string& item : std::vector<std::string>{
             "intro_3.mpg=3000 ", "test.mpg=5000 ", "station_ident.mpg=2000 ", "trailer.avi=4000 ",
             "top_story.mpg=4000 ", "Evening.vid=", "Sport/Highlights.vid=",
             demo + "/Extras/bumper_2.mpg=2000 ", demo + "/Extras/countdown.mpg=3000 "})
        EXPECT_NE(listed.find(item), std::string::npos) << item << " not in " << listed;
    EXPECT_EQ(reopened.clips.back().absolutePath, 1);
    Settings() = AppSettings{};
}

}  // namespace
}  // namespace orx
