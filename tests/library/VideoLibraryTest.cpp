#include "library/VideoLibrary.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "library/MediaFiles.h"
#include "library/Playlist.h"
#include "support/RecordingUiHost.h"
#include "support/TempFolder.h"

namespace orx {
namespace {

namespace fs = std::filesystem;

LibraryClip Clip(const std::string& name, uint32_t ms, const std::string& description = "",
                 int32_t absolute = 0) {
    LibraryClip clip{.absolutePath = absolute, .durationMs = ms};
    SetClipFileName(clip, name);
    SetClipDescription(clip, description);
    return clip;
}

// The records as the index file writes them, which makes a whole list easy to compare.
const auto Text = FormatVideoDat;

class VideoLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetIniPath(dir / "brenvik.ini");
        Settings() = AppSettings{};
        Settings().appDir = dir.Path();
        Settings().videoPath = video;
        fs::create_directories(video);
        VideoLibrary::SetSortMode(kSortByName);
    }
    void Touch(const std::string& relative) { test::WriteFile(video + relative, "x"); }
    void Link(const std::string& relative, const test::LinkSpec& spec) {
        test::WriteBytes(video + relative, test::ShellLink(spec));
    }

    test::TempFolder dir;
    std::string video = dir / "Video/";
    std::string outside = dir / "Outside/";
    test::RecordingUiHost ui;
};

TEST_F(VideoLibraryTest, IndexFileRoundTripsByteForByteAndAFailedSaveKeepsIt) {
    VideoLibrary library;
    library.clips = {Clip("News\\clip_30.mpg", 30000), Clip("/mnt/x/a_1.mpg", 1000, "Opener", 1),
                     Clip("show.vid", 19133, std::string(63, 'd'), 7), Clip("odd", 0x80000000u)};
    ASSERT_TRUE(library.Save());
    const std::string expected =
        "News\\clip_30.mpg\r\n30000,0\r\n\r\n/mnt/x/a_1.mpg\r\n1000,1\r\nOpener\r\nshow.vid\r\n"
        "19133,1\r\n" +
        std::string(63, 'd') + "\r\nodd\r\n-2147483648,0\r\n\r\n";
    EXPECT_EQ(test::ReadFile(dir / "video.dat"), expected);
    // A save that fails part-way keeps the old index.
    VideoLibrary big;
    big.clips.assign(2000, Clip("clip_1.mpg", 1000));
    EXPECT_FALSE(test::UnderFileSizeLimit(4096, [&] { return big.Save(); }));
    EXPECT_EQ(test::ReadFile(dir / "video.dat"), expected);

    VideoLibrary loaded;
    loaded.clips = {Clip("stale", 1)};
    const auto load = [&] {
        loaded.Load();
        return Text(loaded.clips);
    };
    EXPECT_EQ(load(), Text(library.clips));
    // A missing file (or a pipe) leaves the records as they are; an empty one empties them.
    fs::remove(dir / "video.dat");
    EXPECT_EQ(load(), Text(library.clips));
    ASSERT_EQ(mkfifo((dir / "video.dat").c_str(), 0600), 0);
    EXPECT_EQ(load(), Text(library.clips));
    fs::remove(dir / "video.dat");
    test::WriteFile(dir / "video.dat");
    EXPECT_EQ(load(), "");
}

TEST_F(VideoLibraryTest, ReadingFollowsTheLaxRules) {
    const std::string longName(300, 'n');
    const std::string longText(100, 't');
    const std::pair<std::string, std::vector<LibraryClip>> cases[] = {
        {"a\n  +30000xyz,5\ndesc", {Clip("a", 30000, "desc", 5)}},  // no final line break
        {"a\r\n-5,-1\r\n\r\n", {Clip("a", static_cast<uint32_t>(-5), "", -1)}},
        {"a\r\n30000\r\nx\r\n", {Clip("a", 30000, "x", 0)}},            // no comma
        {"a\r\nabc,\r\nx\r\nb\r\n\t7 ,1\r\n", {Clip("a", 0, "x", 0)}},  // last record dropped
        {"a\r\n1,1\r\n", {}},
        {"a\r\r\n1,1\r\nd\re\r\n", {Clip("a\r", 1, "d\re", 1)}},  // only a CR before LF ends
        {"\n\n\n", {Clip("", 0)}},
        {"a\n99999999999,99999999999\nb\n", {Clip("a", 0x7FFFFFFF, "b", 0x7FFFFFFF)}},
        {"a\n-99999999999,1\nb\n", {Clip("a", 0x80000000u, "b", 1)}},
        {longName + "\r\n1,0\r\n" + longText + "\r\n",
         {Clip(longName.substr(0, 259), 1, longText.substr(0, 63))}},
        {std::string("n\0x", 3) + "\n1,0\n" + std::string("d\0y", 3) + "\n", {Clip("n", 1, "d")}},
    };
    for (const auto& [file, clips] : cases) {
        test::WriteFile(dir / "video.dat", file);
        VideoLibrary library;
        library.Load();
        EXPECT_EQ(Text(library.clips), Text(clips)) << file.substr(0, 40);
    }
}

TEST_F(VideoLibraryTest, RescanFindsClipsPlaylistsShortcutsAndLinksOnceAndKeepsDescriptions) {
    for (const char* name : {"news_30.mpg", "Sport/goal_12.MPG", "Sport/Deep/er/x_1500ms.mpg",
                             "zero_0.mpg", "tiny_50ms.mpg", "unmeasured.mpg", "film_90.avi",
                             "notes_5.txt", "b_9.mpg", "Sport/Deep/noext_4", "new\nline_1.mpg"})
        Touch(name);
    // A relative name of 259 bytes fits its field; one of 260 (or with a line break) does not.
    const std::string longName = std::string(200, 'f') + "/" + std::string(52, 'k') + "_1.mpg";
    Touch(longName);
    Touch(std::string(200, 'f') + "/" + std::string(53, 'l') + "_1.mpg");
    fs::create_directories(video + "Empty");
    fs::create_directories(video + "folder_3.mpg");  // a folder, whatever its name
    // Playlists count with their exact total; one with a lost clip, or with a total below zero
    // (the end entry's interleave longer than the clip), has no duration and is left out.
    const auto savePlaylist = [&](const std::string& name,
                                  std::vector<std::pair<const char*, int32_t>> clips,
                                  int32_t endInterleave) {
        Playlist playlist;
        playlist.boardCount = 2;
        for (const auto& [clip, ms] : clips) {
            playlist.entries.push_back({.durationMs = ms, .transition = 1, .interleaveMs = 300});
            SetEntryFileName(playlist.entries.back(), clip);
        }
        playlist.entries.push_back({.transition = 1, .interleaveMs = endInterleave});
        ASSERT_EQ(playlist.Save(video + name), kPlaylistOk);
    };
    savePlaylist("Show.vid", {{"b_9.mpg", 9033}}, 0);
    savePlaylist("Broken.vid", {{"b_9.mpg", 9000}, {"gone_5.mpg", 5000}}, 0);
    savePlaylist("Negative.vid", {{"b_9.mpg", 100}}, 5000);
    // Outside the video folder, reached through shortcuts and links.
    test::WriteFile(outside + "far_2.mpg", "x");
    test::WriteFile(outside + "Sub/deeper_3.mpg", "x");
    test::WriteFile(outside + "far_7.avi", "x");
    Link("far.lnk", {.localBase = outside + "far_2.mpg"});
    Link("far again.LNK", {.localBase = outside, .suffix = "far_2.mpg"});
    Link("far avi.lnk", {.localBase = outside + "far_7.avi"});
    Link("outside.lnk", {.localBase = outside.substr(0, outside.size() - 1), .attributes = 0x10});
    Link("windows.lnk", {.localBase = "C:\\Clips\\win_4.mpg"});
    Link("windows folder.lnk", {.localBase = "C:\\Clips", .attributes = 0x10});
    Link("share.lnk", {.suffix = "promo_6.mpg", .netName = "\\\\srv\\clips"});
    Link("text.lnk", {.localBase = outside + "notes_5.txt"});
    test::WriteFile(video + "broken.lnk", "not a link");
    // Folder shortcuts back to the video folder and into it, and a link cycle.
    Link("Sport/back.lnk", {.localBase = video, .attributes = 0x10});
    Link("self.lnk", {.localBase = video + "Sport", .attributes = 0x10});
    fs::create_directory_symlink(video, video + "Sport/up");
    // Pipes are never opened: they would wait for a writer.
    ASSERT_EQ(mkfifo((video + "pipe.lnk").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((video + "pipe.mpg").c_str(), 0600), 0);
    fs::create_directory_symlink(outside + "Sub", video + "Linked");
    fs::create_symlink(video + "news_30.mpg", video + "alias_4.mpg");
    fs::create_symlink(video + "missing_5.mpg", video + "dangling_5.mpg");
    fs::create_symlink(video + "loop", video + "loop");

    VideoLibrary library;
    // Descriptions stay with names that stay (the first of equal names wins); durations do not.
    library.clips = {Clip("b_9.mpg", 77, "Bee"), Clip("news_30.mpg", 1, "Ay"),
                     Clip("b_9.mpg", 5, "Second"), Clip("News_30.mpg", 3000, "Lost"),
                     Clip("gone_4.mpg", 4000, "Gone")};
    library.Rescan(false);
    // The symbolic links are entries like any other under their own names (a dangling one cannot
    // be read); each folder is scanned once, under the first name it is reached by (Outside/Sub by
    // the link before the folder shortcut). Full paths follow relative names, in byte order.
    const std::string found =
        "Linked/deeper_3.mpg\r\n3000,0\r\n\r\n"
        "Show.vid\r\n9033,0\r\n\r\n"
        "Sport/Deep/er/x_1500ms.mpg\r\n1500,0\r\n\r\n"
        "Sport/goal_12.MPG\r\n12000,0\r\n\r\n"
        "alias_4.mpg\r\n4000,0\r\n\r\n"
        "b_9.mpg\r\n9000,0\r\nBee\r\n" +
        longName +
        "\r\n1000,0\r\n\r\n"
        "news_30.mpg\r\n30000,0\r\nAy\r\n" +
        outside +
        "far_2.mpg\r\n2000,1\r\n\r\n"
        "C:\\Clips\\win_4.mpg\r\n4000,1\r\n\r\n"
        "\\\\srv\\clips\\promo_6.mpg\r\n6000,1\r\n\r\n";
    EXPECT_EQ(Text(library.clips), found);
    EXPECT_EQ(ui.cursorChanges, (std::vector<bool>{true, false}));
    // AVI clips (left out here) are admitted in the demo library's test.
}

TEST_F(VideoLibraryTest, SortModes) {
    const std::vector<LibraryClip> clips = {Clip("b", 60000, "beta"), Clip("/abs", 100, "Zed", 1),
                                            Clip("B", 59900, ""), Clip("a", 61000, "alpha"),
                                            Clip("\xc3\xa9", 1, "\xc3\xa9")};
    // Byte order of names and descriptions; mode 3 is no sort.
    const std::pair<int, std::string> orders[] = {{kSortByName, "B a b \xc3\xa9 /abs "},
                                                  {kSortByDuration, "\xc3\xa9 /abs B b a "},
                                                  {kSortByDescription, "B /abs a b \xc3\xa9 "},
                                                  {3, "b /abs B a \xc3\xa9 "}};
    for (const auto& [mode, names] : orders) {
        VideoLibrary library;
        library.clips = clips;
        VideoLibrary::SetSortMode(mode);
        library.Sort();
        std::string sorted;
        for (const LibraryClip& clip : library.clips)
            sorted += std::string(ClipFileName(clip)) + " ";
        EXPECT_EQ(sorted, names) << mode;
    }
}

}  // namespace
}  // namespace orx
