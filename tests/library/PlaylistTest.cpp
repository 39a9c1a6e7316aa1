#include "library/Playlist.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "library/MediaFiles.h"
#include "platform/Paths.h"
#include "support/FolderEvents.h"
#include "support/RecordingUiHost.h"
#include "support/TempFolder.h"

namespace orx {
namespace {

PlaylistEntry Clip(const std::string& name, int32_t ms, int32_t t = 0, int32_t il = 0,
                   int32_t sp = 0) {
    PlaylistEntry entry{.durationMs = ms, .transition = t, .interleaveMs = il, .spacingMs = sp};
    SetEntryFileName(entry, name);
    return entry;
}

PlaylistEntry End(int32_t t = 0, int32_t il = 0) {
    return Clip("", 0, t, il);
}

class PlaylistTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(video + "sub");
        SetIniPath(dir / "brenvik.ini");
        Settings().videoPath = video;
    }

    void SetBoards(int value) { WriteIniInt("Hardware", "MPEG", value); }
    void MakeClip(const std::string& relative) { test::WriteFile(video + relative, "x"); }
    std::string Save(const std::string& name, std::vector<PlaylistEntry> entries,
                     int32_t boards = 2) {
        Playlist playlist;
        playlist.boardCount = boards;
        playlist.entries = std::move(entries);
        EXPECT_EQ(playlist.Save(video + name), kPlaylistOk);
        return video + name;
    }

    test::TempFolder dir;
    std::string video = dir / "video/";
    test::RecordingUiHost ui;
    Playlist playlist;
};

TEST_F(PlaylistTest, SavesTheFormatByteForByteLoadsBackAndNeverHalfWrites) {
    playlist.boardCount = 2;
    playlist.logoOff = 1;
    playlist.entries = {Clip("news\\intro.mpg", 83500, 1, 400, 250), Clip("weather.mpg", 60000),
                        End(0, 500)};
    playlist.entries[0].extraCommands[0] = 1;
    playlist.entries[0].extraCommands[2] = 8;
    SetEntryComment(playlist.entries[1], "Forecast");
    ASSERT_EQ(playlist.Save(video + "example.vid"), kPlaylistOk);

    std::vector<uint8_t> expected(1676);
    std::memcpy(expected.data(), "BRMM\0\0\1\0\2\0\0\0\3", 13);  // two boards, three entries
    const size_t r0 = 128, r1 = 128 + 516, r2 = 128 + 2 * 516;
    // Every non-zero field; the two extra-command bytes 1 and 8 go in as one word.
    const std::pair<size_t, int32_t> words[] = {
        {80, 1},         {r0 + 260, 83500},       {r0 + 328, 1},     {r0 + 332, 400},
        {r0 + 336, 250}, {r0 + 348, 1 | 8 << 16}, {r1 + 260, 60000}, {r2 + 332, 500}};
    for (const auto& [at, value] : words)
        std::memcpy(&expected[at], &value, 4);
    const std::pair<size_t, std::string_view> texts[] = {
        {r0, "news\\intro.mpg"}, {r1, "weather.mpg"}, {r1 + 264, "Forecast"}};
    for (const auto& [at, text] : texts)
        std::memcpy(&expected[at], text.data(), text.size());
    EXPECT_EQ(test::ReadBytes(video + "example.vid"), expected);

    // A loaded file saving back unchanged is the fuzz target's check.
    ASSERT_EQ(playlist.Save(video + "show.vid"), kPlaylistOk);
    EXPECT_EQ(playlist.Save(dir / "no/such/folder/x.vid"), kPlaylistCannotCreate);
    // A save that fails half-way keeps the previous file.
    const std::vector<uint8_t> before = test::ReadBytes(video + "show.vid");
    playlist.entries.assign(4, Clip("a.mpg", 1000));
    EXPECT_EQ(test::UnderFileSizeLimit(1000, [&] { return playlist.Save(video + "show.vid"); }),
              kPlaylistCannotCreate);
    EXPECT_EQ(test::ReadBytes(video + "show.vid"), before);
}

// Files are copied in by operators: counts, texts and codes are read within what the file holds.
TEST_F(PlaylistTest, BadFilesAreRefusedOrNormalisedAndDroppedEntriesHideNothing) {
    MakeClip("a.mpg");
    playlist.entries = {Clip("a.mpg", 4000), End()};
    EXPECT_EQ(playlist.Load(video + "absent.vid", true, 0), kPlaylistCannotOpen);
    EXPECT_EQ(playlist.entries.size(), 2u);                         // the previous contents stay
    EXPECT_EQ(playlist.Load(video, true, 0), kPlaylistCannotOpen);  // a folder
    const auto load = [&](const std::vector<uint8_t>& bytes) {
        test::WriteBytes(dir / "x.vid", bytes);
        return playlist.Load(dir / "x.vid", true, 0);
    };
    std::vector<uint8_t> bytes = test::ReadBytes(Save("y.vid", {Clip("a.mpg", 1000), End()}));
    bytes[3] = 'X';
    EXPECT_EQ(load(bytes), kPlaylistBadMagic);
    EXPECT_TRUE(playlist.entries.empty());
    EXPECT_EQ(playlist.totalMs, 0);
    bytes[3] = 'M';
    bytes[6] = 2;
    EXPECT_EQ(load(bytes), kPlaylistBadVersion);
    // Cut and random files are the fuzz target's; it also checks that texts stay within their
    // fields and that transitions and codes are normalised. Which normal form:
    PlaylistEntry record = Clip("a.mpg", 1000, 9);
    std::memcpy(record.extraCommands, "\3\310\6", 3);
    ASSERT_EQ(playlist.Load(Save("z.vid", {record, Clip("a.mpg", 2000, -3)}), true, 0),
              kPlaylistOk);
    // Unknown codes (200) mean none; transitions outside the table are cuts from now on.
    EXPECT_EQ(TransitionText(playlist.entries[0]), "CUT [LOGO2 ON] [CLOCK OFF]");
    EXPECT_EQ(playlist.entries.at(1).transition, 0);
    EXPECT_TRUE(ui.boxes.empty());
    // Dropped entries do not hide the entry moving into their slot.
    MakeClip("d.mpg");
    std::filesystem::create_directory(video + "folder.vid");  // no usable playlist
    Save("gone.vid", {Clip("nothere1.mpg", 3000), Clip("nothere2.mpg", 3000), End()});
    const std::string path = Save(
        "show.vid", {Clip("a.mpg", 1000), Clip("missing1.mpg", 1000), Clip("missing2.mpg", 1000),
                     Clip("gone.vid", 6000), Clip("missing3.mpg", 1000), Clip("folder.vid", 1000),
                     Clip("d.mpg", 2000), End()});
    ASSERT_EQ(playlist.Load(path, true, 0), kPlaylistMissingClips);
    EXPECT_EQ(EntryFileName(playlist.entries.at(1)), "d.mpg");
    EXPECT_EQ(playlist.totalMs, 1000 + 2000 - 100);
}

TEST_F(PlaylistTest, NestedPlaylistsCountWithTheirTotalAndExpandInPlace) {
    for (const char* clip : {"a.mpg", "sub/x.mpg", "sub/y.mpg"})
        MakeClip(clip);
    // The nested playlist loses a missing clip; that does not change the parent's code.
    Save("sub/inner.vid", {Clip("sub\\x.mpg", 4000, 1, 300), Clip("lost.mpg", 1000),
                           Clip("sub\\y.mpg", 6000, 1, 500), End(2, 700)});
    PlaylistEntry nested = Clip("sub\\inner.vid", 1, 1, 800, 20);
    nested.extraCommands[1] = 6;
    // An absolute entry outside the video folder keeps its path.
    test::WriteFile(dir / "outside.mpg", "x");
    PlaylistEntry outside = Clip(dir / "outside.mpg", 5000, 1, 300);
    outside.absolutePath = 1;
    const std::string path =
        Save("outer.vid", {Clip("a.mpg", 10000), nested, outside, End(1, 300)});
    ASSERT_EQ(playlist.Load(path, true, 0), kPlaylistOk);
    EXPECT_EQ(playlist.entries.at(1).durationMs,
              4000 + 6000 - 500);  // the end entry at its minimum
    EXPECT_EQ(playlist.totalMs, 10000 + 9500 - 800 + 5000 - 300);

    Playlist::BuildPlaySequence(playlist.playSequence, playlist.entries, 0);
    const std::vector<PlaylistEntry>& seq = playlist.playSequence;
    std::string names;  // the nested end entry is not played
    for (const PlaylistEntry& entry : seq)
        names += std::string(EntryFileName(entry)) + "|";
    ASSERT_EQ(names, "a.mpg|sub\\x.mpg|sub\\y.mpg|" + dir / "outside.mpg||");
    // The first nested clip comes on air with the naming entry's transition group.
    EXPECT_EQ(std::tuple(seq[1].interleaveMs, seq[1].spacingMs, int{seq[1].extraCommands[1]}),
              std::tuple(800, 20, 6));
    EXPECT_EQ(seq[2].interleaveMs, 500);
}

TEST_F(PlaylistTest, ALoadAndItsPlaySequenceReadEachFileOnceAndSeeChangedFiles) {
    MakeClip("a.mpg");
    MakeClip("b.mpg");
    Save("leaf.vid", {Clip("a.mpg", 1000), Clip("b.mpg", 2000), End()});
    Save("middle.vid", {Clip("leaf.vid", 1), Clip("a.mpg", 1000), Clip("leaf.vid", 1), End()});
    const std::string top = Save("top.vid", {Clip("middle.vid", 1), Clip("b.mpg", 2000),
                                             Clip("middle.vid", 1), Clip("leaf.vid", 1), End()});
    const std::map<std::string, int> eachOnce{{"leaf.vid", 1}, {"middle.vid", 1}, {"top.vid", 1}};
    test::FolderEvents opens(video, IN_OPEN);
    ASSERT_EQ(playlist.Load(top, false, 0), kPlaylistOk);  // leaf.vid is used at two levels
    EXPECT_EQ(opens.Take(), eachOnce);
    Playlist::BuildPlaySequence(playlist.playSequence, playlist.entries, 0);
    EXPECT_EQ(playlist.playSequence.size(), 2 * 5 + 1 + 2 + 1u);
    // Files changed a moment ago are read again: a change within the same tick of the file
    // system's clock could look like no change. Settled files are read once for both.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    opens.Take();
    ASSERT_EQ(playlist.Load(top, false, 0), kPlaylistOk);
    playlist.playSequence.clear();
    Playlist::BuildPlaySequence(playlist.playSequence, playlist.entries, 0);
    EXPECT_EQ(playlist.playSequence.size(), 2 * 5 + 1 + 2 + 1u);
    EXPECT_EQ(opens.Take(), eachOnce);
    ASSERT_EQ(playlist.Load(top, false, 0), kPlaylistOk);
    EXPECT_TRUE(opens.Take().empty());

    // Changed on disk, also in place with the same size: the next load reads it again.
    Save("leaf.vid", {Clip("b.mpg", 2000), Clip("b.mpg", 2000), End()});
    ASSERT_EQ(playlist.Load(top, false, 0), kPlaylistOk);
    EXPECT_EQ(playlist.totalMs, 2 * (2 * 3900 + 1000 - 200) + 2000 + 3900 - 300);
    std::vector<uint8_t> bytes = test::ReadBytes(video + "leaf.vid");
    std::memcpy(&bytes[kPlaylistHeaderSize], "gone.mpg", 9);
    test::WriteBytes(video + "leaf.vid", bytes);  // the same file, truncated and written again
    // Its own modification time, even if the clock has not moved on since the save.
    const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (video + "leaf.vid").c_str(), times, 0), 0);
    ASSERT_EQ(playlist.Load(top, false, 0), kPlaylistOk);
    EXPECT_EQ(playlist.entries.at(3).durationMs, 2000);  // the lost clip is dropped below
}

TEST_F(PlaylistTest, APlaylistBeyondTheBoundOfOneLoadIsRefusedWholeAndQuickly) {
    MakeClip("a.mpg");
    const auto times = [](size_t n) {
        std::vector<PlaylistEntry> entries(n, Clip("self.vid", 1));
        entries.push_back(End());
        return entries;
    };
    // A clip and itself 16 times (9 KB): 16^4 nested loads and 69,906 entries unbounded. One
    // level down it is 4,369 entries (a playlist is expanded at most five levels deep: at depth 4
    // its self entries are dropped) and plays; eleven of them (48,059 entries) are within the
    // bound, twelve are too many together, and that playlist is refused as a whole, not cut.
    std::vector<PlaylistEntry> self = times(16);
    self.insert(self.begin(), Clip("a.mpg", 1000));
    const std::pair<std::string, size_t> cases[] = {{Save("self.vid", self), 0},
                                                    {Save("once.vid", times(1)), 4369 + 1},
                                                    {Save("twelve.vid", times(12)), 0},
                                                    {Save("eleven.vid", times(11)), 11 * 4369 + 1}};
    for (const auto& [path, played] : cases) {
        playlist.entries = {Clip("a.mpg", 1000), End()};
        playlist.playSequence.clear();
        EXPECT_EQ(playlist.Load(path, false, 0), played == 0 ? kPlaylistTooLarge : kPlaylistOk);
        Playlist::BuildPlaySequence(playlist.playSequence, playlist.entries, 0);
        EXPECT_EQ(std::pair(playlist.playSequence.size(), playlist.totalMs == 0),
                  std::pair(played, played == 0))
            << path;
    }
    // A sequence built from entries that were never loaded stays within the bound too.
    playlist.playSequence.clear();
    Playlist::BuildPlaySequence(playlist.playSequence, times(12), 0);
    EXPECT_LE(playlist.playSequence.size(), 50'000u);
}

TEST_F(PlaylistTest, TotalsFollowTheBoardsWhoseWarningIsShownOnceAndOnlyWhenAsked) {
    playlist.entries = {Clip("a.mpg", 10000, 1, 0, 500), Clip("b.mpg", 20000, 2, 800, 300),
                        Clip("c.mpg", 30000, 1, 0, 200), End(0, 500)};
    playlist.boardCount = 2;
    playlist.ComputeTotal();
    // Interleaves below the minimum are raised; middle clips overlap by their interleave; the
    // end entry's interleave beyond its minimum shortens the total.
    EXPECT_EQ(playlist.entries[0].interleaveMs, 300);
    EXPECT_EQ(playlist.totalMs, 60000 - 800 - 300 - 400);
    playlist.boardCount = 1;  // one board: cuts with spacing; the interleave raised before stays
    playlist.ComputeTotal();
    EXPECT_EQ(playlist.totalMs, 60000 + 300 + 200 - 400);
    EXPECT_EQ(std::tuple(playlist.entries[0].transition, playlist.entries[1].transition,
                         playlist.entries[1].interleaveMs),
              std::tuple(1, 0, 800));
    // Durations from a file need not be sane: the total saturates instead of overflowing; a
    // negative one reads as a signed value, not as fields with their own signs.
    playlist.boardCount = 2;
    playlist.entries = {Clip("a", INT32_MAX, 0, 100), Clip("b", INT32_MAX, 0, 100), End()};
    playlist.ComputeTotal();
    EXPECT_EQ(playlist.totalMs, INT32_MAX);
    EXPECT_EQ(FormatDuration(-400), "  -0:00.4");
    EXPECT_EQ(FormatDuration(INT32_MIN), "-35791:23.6");

    MakeClip("a.mpg");
    Save("inner.vid", {Clip("a.mpg", 3000), End()}, 1);
    const std::string path = Save("one.vid", {Clip("a.mpg", 2000), Clip("inner.vid", 1), End()}, 1);
    for (const int stored : {0, 5}) {  // no board configured, or a count read as two
        SetBoards(stored);
        EXPECT_EQ(CurrentBoardCount(), 2) << stored;
    }
    EXPECT_EQ(playlist.Load(path, false, 0), kPlaylistOk);
    EXPECT_TRUE(ui.boxes.empty()) << ui.boxes.front().text;
    EXPECT_EQ(playlist.Load(path, true, 0), kPlaylistOk);
    ASSERT_EQ(ui.boxes.size(), 1u);  // the nested load never warns
    EXPECT_NE(ui.boxes[0].text.find("MPEG cards configuration"), std::string::npos);
    EXPECT_EQ(playlist.totalMs, 2000 + 3000 - 100);  // timed for the boards configured
    SetBoards(1);
    EXPECT_EQ(playlist.Load(path, true, 0), kPlaylistOk);
    EXPECT_EQ(ui.boxes.size(), 1u);
    // A new playlist is timed for the configured boards, as one that was cleared.
    Playlist cleared;
    cleared.boardCount = 7;
    cleared.Clear();
    EXPECT_EQ(std::pair(Playlist().boardCount, cleared.boardCount), std::pair(1, 1));
}

}  // namespace
}  // namespace orx
