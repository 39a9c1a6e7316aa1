#include "library/Playlist.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "app/UiHost.h"

namespace orx {
namespace {

namespace fs = std::filesystem;

struct RecordedBox {
    std::string text;
    unsigned type;
};

class RecordingUiHost : public UiHost {
public:
    int ShowMessageBox(const std::string& text, const std::string&, unsigned type) override {
        boxes.push_back({text, type});
        return id::Ok;
    }
    void SetWaitCursor(bool) override {}
    std::vector<RecordedBox> boxes;
};

PlaylistEntry Clip(const std::string& name, int32_t durationMs, int32_t transition = 0,
                   int32_t interleaveMs = 0, int32_t spacingMs = 0) {
    PlaylistEntry entry;
    SetEntryFileName(entry, name);
    entry.durationMs = durationMs;
    entry.transition = transition;
    entry.interleaveMs = interleaveMs;
    entry.spacingMs = spacingMs;
    return entry;
}

PlaylistEntry EndEntry(int32_t transition = 0, int32_t interleaveMs = 0) {
    return Clip("", 0, transition, interleaveMs);
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void PutLe32(std::vector<unsigned char>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// A header as this system writes it, followed by the raw records given.
std::vector<unsigned char> FileImage(int32_t boardCount, int32_t entryCount,
                                     const std::vector<PlaylistEntry>& records) {
    std::vector<unsigned char> bytes(kPlaylistHeaderSize, 0);
    std::memcpy(bytes.data(), "BRMM", 4);
    PutLe32(bytes, 4, 0x00010000);
    PutLe32(bytes, 8, static_cast<uint32_t>(boardCount));
    PutLe32(bytes, 12, static_cast<uint32_t>(entryCount));
    for (const PlaylistEntry& record : records) {
        const auto* p = reinterpret_cast<const unsigned char*>(&record);
        bytes.insert(bytes.end(), p, p + sizeof(record));
    }
    return bytes;
}

class PlaylistTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orx_playlist_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern + "/";
        video_ = dir_ + "video/";
        fs::create_directories(video_ + "sub");
        SetIniPath(dir_ + "brenvik.ini");
        SetBoards(2);
        Settings().appDir = dir_;
        Settings().videoPath = video_;
        SetUiHost(&ui_);
    }

    void TearDown() override {
        SetUiHost(nullptr);
        Settings().videoPath.clear();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    void SetBoards(int value) {
        std::ofstream ini(dir_ + "brenvik.ini", std::ios::binary | std::ios::trunc);
        ini << "[Hardware]\r\nMPEG=" << value << "\r\n";
    }

    // Creates a one-byte clip file in the video folder.
    void MakeClip(const std::string& relative) { std::ofstream(video_ + relative).put('x'); }

    // Saves a playlist file in the video folder; returns its full path.
    std::string SavePlaylist(const std::string& name, std::vector<PlaylistEntry> entries,
                             int32_t boardCount = 2) {
        Playlist playlist;
        playlist.entries = std::move(entries);
        playlist.boardCount = boardCount;
        const std::string path = video_ + name;
        EXPECT_EQ(playlist.Save(path), kPlaylistOk);
        return path;
    }

    std::string dir_;
    std::string video_;
    RecordingUiHost ui_;
};

TEST_F(PlaylistTest, SavedFileMatchesTheFormatByteForByte) {
    Playlist playlist;
    playlist.boardCount = 2;
    playlist.logoOff = 1;
    playlist.entries = {Clip("news\\intro.mpg", 83500, 1, 400, 250), Clip("weather.mpg", 60000),
                        EndEntry(0, 500)};
    playlist.entries[0].extraCommands[0] = 1;
    playlist.entries[0].extraCommands[2] = 8;
    SetEntryComment(playlist.entries[1], "Forecast");
    const std::string path = dir_ + "example.vid";
    ASSERT_EQ(playlist.Save(path), kPlaylistOk);

    // The expected image, built by offset; the end entry's interleave is stored as it was.
    std::vector<unsigned char> expected(1676, 0);
    const unsigned char first16[] = {0x42, 0x52, 0x4D, 0x4D, 0x00, 0x00, 0x01, 0x00,
                                     0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00};
    std::memcpy(expected.data(), first16, sizeof(first16));
    expected[80] = 1;
    const size_t r0 = 128, r1 = 128 + 516, r2 = 128 + 2 * 516;
    std::memcpy(&expected[r0], "news\\intro.mpg", 14);
    PutLe32(expected, r0 + 260, 83500);
    PutLe32(expected, r0 + 328, 1);
    PutLe32(expected, r0 + 332, 400);
    PutLe32(expected, r0 + 336, 250);
    expected[r0 + 348] = 1;
    expected[r0 + 350] = 8;
    std::memcpy(&expected[r1], "weather.mpg", 11);
    PutLe32(expected, r1 + 260, 60000);
    std::memcpy(&expected[r1 + 264], "Forecast", 8);
    PutLe32(expected, r2 + 332, 500);
    EXPECT_EQ(ReadBytes(path), expected);

    playlist.entries.clear();
    playlist.logoOff = 0;
    ASSERT_EQ(playlist.Save(path), kPlaylistOk);
    expected.resize(128);
    expected[12] = 0;
    expected[80] = 0;
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST_F(PlaylistTest, LoadReturnsWhatSaveWrote) {
    MakeClip("a.mpg");
    MakeClip("sub/b.mpg");
    const std::string outside = dir_ + "outside.mpg";
    std::ofstream(outside).put('x');

    Playlist saved;
    saved.boardCount = 2;
    saved.logoOff = 1;
    saved.entries = {Clip("a.mpg", 10000, 2, 900, 40), Clip("sub\\b.mpg", 20000, 1, 300),
                     Clip(outside, 5000, 0, 100), EndEntry(1, 300)};
    saved.entries[1].extraCommands[1] = 5;
    saved.entries[2].absolutePath = 1;
    saved.entries[2].reserved = 7;
    SetEntryComment(saved.entries[0], "opening");
    const std::string path = video_ + "show.vid";
    ASSERT_EQ(saved.Save(path), kPlaylistOk);

    Playlist loaded;
    ASSERT_EQ(loaded.Load(path, true, 0), kPlaylistOk);
    EXPECT_TRUE(ui_.boxes.empty());
    EXPECT_EQ(loaded.logoOff, 1);
    EXPECT_EQ(loaded.boardCount, 2);
    ASSERT_EQ(loaded.entries.size(), saved.entries.size());
    for (size_t i = 0; i < saved.entries.size(); ++i) {
        EXPECT_EQ(std::memcmp(&loaded.entries[i], &saved.entries[i], sizeof(PlaylistEntry)), 0)
            << "entry " << i;
    }
    EXPECT_EQ(loaded.totalMs, saved.totalMs);
    EXPECT_EQ(loaded.totalMs, 10000 + 20000 + 5000 - 300 - 100);

    // A playlist holding only the end entry.
    const std::string onlyEnd = SavePlaylist("empty.vid", {EndEntry()});
    Playlist empty;
    EXPECT_EQ(empty.Load(onlyEnd, false, 0), kPlaylistOk);
    EXPECT_EQ(empty.entries.size(), 1u);
    EXPECT_EQ(empty.totalMs, 0);
}

TEST_F(PlaylistTest, FailedLoadsReportTheirCodeAndLeaveThePlaylistAsDocumented) {
    MakeClip("a.mpg");
    Playlist playlist;
    playlist.entries = {Clip("a.mpg", 4000), EndEntry()};
    playlist.logoOff = 1;

    // Cannot open: the previous contents stay.
    EXPECT_EQ(playlist.Load(video_ + "absent.vid", true, 0), kPlaylistCannotOpen);
    EXPECT_EQ(playlist.entries.size(), 2u);
    EXPECT_EQ(playlist.totalMs, 4000);

    std::vector<unsigned char> bytes = FileImage(2, 1, {Clip("a.mpg", 1000), EndEntry()});
    bytes[3] = 'X';
    WriteBytes(dir_ + "magic.vid", bytes);
    EXPECT_EQ(playlist.Load(dir_ + "magic.vid", true, 0), kPlaylistBadMagic);
    EXPECT_TRUE(playlist.entries.empty());
    EXPECT_EQ(playlist.totalMs, 0);

    bytes[3] = 'M';
    PutLe32(bytes, 4, 0x00020000);
    WriteBytes(dir_ + "version.vid", bytes);
    playlist.entries = {Clip("a.mpg", 4000)};
    EXPECT_EQ(playlist.Load(dir_ + "version.vid", true, 0), kPlaylistBadVersion);
    EXPECT_TRUE(playlist.entries.empty());

    // Shorter than a header: the missing bytes read as zero, so the magic is wrong.
    WriteBytes(dir_ + "tiny.vid", {'B', 'R'});
    EXPECT_EQ(playlist.Load(dir_ + "tiny.vid", true, 0), kPlaylistBadMagic);

    // A folder opens but cannot be read: the error is caught at the load and reported as a
    // file that cannot be opened.
    fs::create_directory(dir_ + "folder.vid");
    EXPECT_EQ(playlist.Load(dir_ + "folder.vid", true, 0), kPlaylistCannotOpen);
    EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(PlaylistTest, EntryCountIsBoundedByWhatTheFileHolds) {
    MakeClip("a.mpg");
    MakeClip("b.mpg");
    PlaylistEntry second = Clip("b.mpg", 2000);
    SetEntryComment(second, "comment cut short");

    // Three records announced, one and a bit present: the cut record is kept with its missing
    // tail zero-filled, the absent one is not invented.
    std::vector<unsigned char> bytes = FileImage(2, 3, {Clip("a.mpg", 1000), second});
    bytes.resize(128 + 516 + 270);
    WriteBytes(dir_ + "short.vid", bytes);
    Playlist playlist;
    ASSERT_EQ(playlist.Load(dir_ + "short.vid", false, 0), kPlaylistOk);
    ASSERT_EQ(playlist.entries.size(), 2u);
    EXPECT_EQ(EntryFileName(playlist.entries[1]), "b.mpg");
    EXPECT_EQ(playlist.entries[1].durationMs, 2000);
    EXPECT_EQ(EntryComment(playlist.entries[1]), "commen");
    EXPECT_EQ(playlist.entries[1].transition, 0);
    // The cut record is last, so it is timed as the end entry: interleave raised to 100.
    EXPECT_EQ(playlist.entries[1].interleaveMs, 100);
    EXPECT_EQ(playlist.totalMs, 3000);

    // A huge count with two records present.
    bytes = FileImage(2, 0x7FFFFFFF, {Clip("a.mpg", 1000), EndEntry()});
    WriteBytes(dir_ + "huge.vid", bytes);
    ASSERT_EQ(playlist.Load(dir_ + "huge.vid", false, 0), kPlaylistOk);
    EXPECT_EQ(playlist.entries.size(), 2u);

    // A negative count reads no records.
    bytes = FileImage(2, -5, {Clip("a.mpg", 1000), EndEntry()});
    WriteBytes(dir_ + "negative.vid", bytes);
    ASSERT_EQ(playlist.Load(dir_ + "negative.vid", false, 0), kPlaylistOk);
    EXPECT_TRUE(playlist.entries.empty());
}

TEST_F(PlaylistTest, UnterminatedTextsAndUnknownCodesAreReadSafely) {
    // 259 characters of name (the longest a field can hold) and no terminator in the field.
    const std::string longName = std::string(200, 'd') + "\\" + std::string(58, 'n');
    fs::create_directory(video_ + std::string(200, 'd'));
    MakeClip(std::string(200, 'd') + "/" + std::string(58, 'n'));
    PlaylistEntry record = Clip("", 1000, 9, 0);
    std::memcpy(record.fileName, longName.data(), longName.size());
    record.fileName[259] = 'z';
    std::memset(record.comment, 'c', sizeof(record.comment));
    record.extraCommands[0] = 3;
    record.extraCommands[1] = 200;
    record.extraCommands[2] = 9;
    PlaylistEntry middle = Clip(longName, 2000, -3, 0);
    WriteBytes(dir_ + "raw.vid", FileImage(1, 3, {record, middle, EndEntry(77, 0)}));

    Playlist playlist;
    ASSERT_EQ(playlist.Load(dir_ + "raw.vid", false, 0), kPlaylistOk);
    ASSERT_EQ(playlist.entries.size(), 3u);
    const PlaylistEntry& first = playlist.entries[0];
    // The name ends inside its field: the file's 260th byte cannot be part of it.
    EXPECT_EQ(std::strlen(first.fileName), 259u);
    EXPECT_EQ(EntryFileName(first), longName);
    EXPECT_EQ(EntryComment(first), std::string(63, 'c'));
    EXPECT_EQ(first.extraCommands[0], 3);
    EXPECT_EQ(first.extraCommands[1], 0);
    EXPECT_EQ(first.extraCommands[2], 0);
    // Transitions outside the table are cuts, and are stored as such from now on.
    for (const PlaylistEntry& entry : playlist.entries) {
        EXPECT_EQ(entry.transition, 0);
        EXPECT_EQ(entry.interleaveMs, 100);
    }
    EXPECT_EQ(TransitionText(first), "CUT [LOGO2 ON]");

    // Entries built in memory with bad values: lookups stay inside their tables.
    EXPECT_STREQ(TransitionOf(8).word, "CUT");
    EXPECT_STREQ(TransitionOf(-1).word, "CUT");
    EXPECT_EQ(ExtraCommandWord(9), nullptr);
    EXPECT_STREQ(ExtraCommandLabel(200), "-");
    PlaylistEntry built;
    SetEntryFileName(built, std::string(400, 'x'));
    EXPECT_EQ(EntryFileName(built).size(), 259u);
}

TEST_F(PlaylistTest, DroppedEntriesDoNotHideTheEntryMovingIntoTheirSlot) {
    MakeClip("a.mpg");
    MakeClip("d.mpg");
    const std::string allMissing = SavePlaylist(
        "gone.vid", {Clip("nothere1.mpg", 3000), Clip("nothere2.mpg", 3000), EndEntry()});

    const std::string path =
        SavePlaylist("show.vid", {Clip("a.mpg", 1000), Clip("missing1.mpg", 1000),
                                  Clip("missing2.mpg", 1000), Clip("gone.vid", 6000),
                                  Clip("missing3.mpg", 1000), Clip("d.mpg", 2000), EndEntry()});
    Playlist playlist;
    ASSERT_EQ(playlist.Load(path, true, 0), kPlaylistMissingClips);
    ASSERT_EQ(playlist.entries.size(), 3u);
    EXPECT_EQ(EntryFileName(playlist.entries[0]), "a.mpg");
    EXPECT_EQ(EntryFileName(playlist.entries[1]), "d.mpg");
    EXPECT_EQ(EntryFileName(playlist.entries[2]), "");
    EXPECT_EQ(playlist.totalMs, 1000 + 2000 - 100);
    EXPECT_TRUE(ui_.boxes.empty());

    // A folder that merely carries the playlist extension is no usable playlist.
    fs::create_directory(video_ + "folder.vid");
    const std::string withFolder = SavePlaylist(
        "folder-entry.vid", {Clip("folder.vid", 1000), Clip("a.mpg", 1000), EndEntry()});
    ASSERT_EQ(playlist.Load(withFolder, false, 0), kPlaylistMissingClips);
    EXPECT_EQ(playlist.entries.size(), 2u);
}

TEST_F(PlaylistTest, NestedPlaylistsCountWithTheirTotalAndExpandInPlace) {
    MakeClip("a.mpg");
    MakeClip("b.mpg");
    MakeClip("sub/x.mpg");
    MakeClip("sub/y.mpg");
    // The nested playlist loses a missing clip; that does not change the parent's code.
    SavePlaylist("sub/inner.vid", {Clip("sub\\x.mpg", 4000, 1, 300), Clip("lost.mpg", 1000),
                                   Clip("sub\\y.mpg", 6000, 1, 500), EndEntry(2, 700)});
    PlaylistEntry nestedEntry = Clip("sub\\inner.vid", 1, 1, 800, 20);
    nestedEntry.extraCommands[0] = 1;
    nestedEntry.extraCommands[1] = 6;
    const std::string path = SavePlaylist(
        "outer.vid",
        {Clip("a.mpg", 10000, 0, 100), nestedEntry, Clip("b.mpg", 5000, 1, 300), EndEntry(1, 300)});

    Playlist playlist;
    ASSERT_EQ(playlist.Load(path, true, 0), kPlaylistOk);
    ASSERT_EQ(playlist.entries.size(), 4u);
    // Nested total (two boards): 4000 + 6000 - 500, end entry at its minimum.
    EXPECT_EQ(playlist.entries[1].durationMs, 9500);
    EXPECT_EQ(playlist.totalMs, 10000 + 9500 - 800 + 5000 - 300);

    playlist.playSequence.clear();
    Playlist::BuildPlaySequence(playlist.playSequence, playlist.entries, 0);
    const std::vector<PlaylistEntry>& seq = playlist.playSequence;
    ASSERT_EQ(seq.size(), 5u);
    EXPECT_EQ(EntryFileName(seq[0]), "a.mpg");
    EXPECT_EQ(EntryFileName(seq[1]), "sub\\x.mpg");
    EXPECT_EQ(EntryFileName(seq[2]), "sub\\y.mpg");
    EXPECT_EQ(EntryFileName(seq[3]), "b.mpg");
    EXPECT_EQ(EntryFileName(seq[4]), "");
    // The first nested clip comes on air with the naming entry's transition group, the rest
    // keeps its own; the nested end entry is not played.
    EXPECT_EQ(seq[1].transition, 1);
    EXPECT_EQ(seq[1].interleaveMs, 800);
    EXPECT_EQ(seq[1].spacingMs, 20);
    EXPECT_EQ(seq[1].extraCommands[0], 1);
    EXPECT_EQ(seq[1].extraCommands[1], 6);
    EXPECT_EQ(seq[1].durationMs, 4000);
    EXPECT_EQ(seq[2].interleaveMs, 500);
    EXPECT_EQ(seq[2].extraCommands[0], 0);

    // A nested playlist that has since disappeared contributes nothing.
    fs::remove(video_ + "sub/inner.vid");
    std::vector<PlaylistEntry> again;
    Playlist::BuildPlaySequence(again, playlist.entries, 0);
    EXPECT_EQ(again.size(), 3u);
}

TEST_F(PlaylistTest, SelfNestingPlaylistIsExpandedFiveTimes) {
    SetBoards(1);
    MakeClip("a.mpg");
    const std::string path = SavePlaylist(
        "loop.vid", {Clip("a.mpg", 1000, 1, 0, 0), Clip("loop.vid", 1, 0, 0, 0), EndEntry()}, 1);

    Playlist playlist;
    ASSERT_EQ(playlist.Load(path, false, 0), kPlaylistOk);
    ASSERT_EQ(playlist.entries.size(), 3u);
    // Depth 4 holds the clip alone (its self entry is dropped there); each level above adds one.
    EXPECT_EQ(playlist.entries[1].durationMs, 4000);
    EXPECT_EQ(playlist.totalMs, 5000);

    Playlist::BuildPlaySequence(playlist.playSequence, playlist.entries, 0);
    ASSERT_EQ(playlist.playSequence.size(), 6u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(EntryFileName(playlist.playSequence[i]), "a.mpg") << i;
    }
    EXPECT_EQ(EntryFileName(playlist.playSequence[5]), "");

    // Loaded as the deepest level, the self entry is dropped with a warning code.
    Playlist deepest;
    EXPECT_EQ(deepest.Load(path, false, kMaxPlaylistDepth), kPlaylistMissingClips);
    EXPECT_EQ(deepest.entries.size(), 2u);
}

TEST_F(PlaylistTest, BoardWarningIsShownOnceAndOnlyWhenAsked) {
    MakeClip("a.mpg");
    SavePlaylist("inner.vid", {Clip("a.mpg", 3000), EndEntry()}, 1);
    const std::string path =
        SavePlaylist("one-board.vid", {Clip("a.mpg", 2000), Clip("inner.vid", 1), EndEntry()}, 1);

    Playlist playlist;
    EXPECT_EQ(playlist.Load(path, false, 0), kPlaylistOk);
    EXPECT_TRUE(ui_.boxes.empty());

    EXPECT_EQ(playlist.Load(path, true, 0), kPlaylistOk);
    ASSERT_EQ(ui_.boxes.size(), 1u);  // the nested load never warns
    EXPECT_EQ(ui_.boxes[0].type & mb::IconMask, mb::IconWarning);
    EXPECT_NE(ui_.boxes[0].text.find("MPEG cards configuration"), std::string::npos);
    EXPECT_EQ(playlist.boardCount, 2);
    EXPECT_EQ(playlist.totalMs, 2000 + 3000 - 100);

    ui_.boxes.clear();
    SetBoards(1);
    EXPECT_EQ(playlist.Load(path, true, 0), kPlaylistOk);
    EXPECT_TRUE(ui_.boxes.empty());
    EXPECT_EQ(playlist.boardCount, 1);
}

TEST_F(PlaylistTest, ComputeTotalTimesOneAndTwoBoards) {
    Playlist playlist;
    playlist.entries = {Clip("a.mpg", 10000, 1, 0, 500), Clip("b.mpg", 20000, 2, 800, 300),
                        Clip("c.mpg", 30000, 1, 0, 200), EndEntry(0, 500)};

    playlist.boardCount = 2;
    playlist.ComputeTotal();
    // Interleaves below the minimum are raised; middle clips overlap by their interleave; the
    // end entry's interleave beyond its minimum shortens the total.
    EXPECT_EQ(playlist.entries[0].interleaveMs, 300);
    EXPECT_EQ(playlist.entries[2].interleaveMs, 300);
    EXPECT_EQ(playlist.totalMs, 60000 - 800 - 300 - 400);
    EXPECT_EQ(playlist.entries[1].transition, 2);

    playlist.boardCount = 1;
    playlist.ComputeTotal();
    EXPECT_EQ(playlist.totalMs, 60000 + 300 + 200 - 400);
    EXPECT_EQ(playlist.entries[0].transition, 1);
    EXPECT_EQ(playlist.entries[1].transition, 0);
    EXPECT_EQ(playlist.entries[2].transition, 0);
    EXPECT_EQ(playlist.entries[1].interleaveMs, 800);  // raised under the old transition
    EXPECT_EQ(playlist.entries[3].transition, 0);

    // Durations from a file need not be sane: the total saturates instead of overflowing.
    playlist.boardCount = 2;
    playlist.entries = {Clip("a.mpg", INT32_MAX, 0, 100), Clip("b.mpg", INT32_MAX, 0, 100),
                        EndEntry()};
    playlist.ComputeTotal();
    EXPECT_EQ(playlist.totalMs, INT32_MAX);

    // No board configured times as two boards; so does a stored count the settings read as 2.
    SetBoards(0);
    EXPECT_EQ(CurrentBoardCount(), 2);
    SetBoards(5);
    EXPECT_EQ(CurrentBoardCount(), 2);
    SetBoards(1);
    EXPECT_EQ(CurrentBoardCount(), 1);
    playlist.Clear();
    EXPECT_EQ(playlist.boardCount, 1);
}

TEST_F(PlaylistTest, FailedSaveKeepsThePreviousFile) {
    EXPECT_EQ(Playlist().Save(dir_ + "no/such/folder/x.vid"), kPlaylistCannotCreate);

    Playlist playlist;
    playlist.boardCount = 2;
    playlist.entries = {EndEntry()};
    const std::string path = dir_ + "keep.vid";
    ASSERT_EQ(playlist.Save(path), kPlaylistOk);
    const std::vector<unsigned char> before = ReadBytes(path);

    // A file-size limit makes the write fail after the header.
    playlist.entries.assign(4, Clip("a.mpg", 1000));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = playlist.Save(path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, kPlaylistCannotCreate);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(playlist.entries.size(), 4u);
}

TEST_F(PlaylistTest, PathsAndNames) {
    PlaylistEntry relative = Clip("news\\morning\\a.mpg", 0);
    EXPECT_EQ(Playlist::FullPath(relative), video_ + "news/morning/a.mpg");
    PlaylistEntry absolute = Clip("/media/clips/b.mpg", 0);
    absolute.absolutePath = 1;
    EXPECT_EQ(Playlist::FullPath(absolute), "/media/clips/b.mpg");

    EXPECT_TRUE(IsPlaylistFile("NEWS.VID"));
    EXPECT_FALSE(IsPlaylistFile("news.vid.mpg"));
    EXPECT_FALSE(IsPlaylistFile("vid"));

    PlaylistEntry entry = Clip("x.mpg", 0, 1);
    entry.extraCommands[0] = 1;
    entry.extraCommands[2] = 6;
    EXPECT_EQ(TransitionText(entry), "MIX [LOGO1 ON] [CLOCK OFF]");
}

TEST(FormatDurationTest, MinutesSecondsAndTenths) {
    EXPECT_EQ(FormatDuration(83500), "   1:23.5");
    EXPECT_EQ(FormatDuration(3725000), "  62:05.0");
    EXPECT_EQ(FormatDuration(0), "   0:00.0");
    EXPECT_EQ(FormatDuration(59999), "   0:59.9");
    EXPECT_EQ(FormatDuration(600000000), "10000:00.0");
    // A negative total reads as a signed value, not as fields with their own signs.
    EXPECT_EQ(FormatDuration(-400), "  -0:00.4");
    EXPECT_EQ(FormatDuration(INT32_MIN), "-35791:23.6");
}

}  // namespace
}  // namespace orx
