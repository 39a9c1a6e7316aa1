#include "playout/PlaySchedule.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include "PlayoutFakes.h"

namespace orx {
namespace {

using test::Entry;
using test::MakePlaylist;

struct Ev {
    int32_t timeMs;
    std::string word;
    int32_t mode;
    bool operator==(const Ev&) const = default;
};

void PrintTo(const Ev& e, std::ostream* os) {
    *os << e.timeMs << " " << e.word << "/" << e.mode;
}

std::vector<Ev> Events(const PlaySchedule& s) {
    std::vector<Ev> out;
    for (const MixerEvent& e : s.mixerEvents)
        out.push_back({e.timeMs, e.word, e.mode});
    return out;
}

class PlayScheduleTest : public test::PlayoutFolderTest {
protected:
    std::string Video(const std::string& name) const { return Settings().videoPath + name; }
};

TEST_F(PlayScheduleTest, TwoBoardsAlternateAndCentreEachTransitionInTheOverlap) {
    Playlist p = test::TwoBoardExample();
    PlaySchedule s;
    PrepareSchedule(p, s);

    EXPECT_EQ(s.totalMs, 16300);
    ASSERT_EQ(s.boardQueue[0].size(), 1u);
    ASSERT_EQ(s.boardQueue[1].size(), 1u);
    const ClipCue& a = s.boardQueue[0][0];
    const ClipCue& b = s.boardQueue[1][0];
    EXPECT_EQ(a.startMs, 0);
    EXPECT_EQ(a.durationMs, 10000);
    EXPECT_EQ(a.path, Video("a.mpg"));
    EXPECT_EQ(a.fullPath, 1);
    EXPECT_EQ(a.sequenceIndex, 0);
    EXPECT_EQ(b.startMs, 9000);
    EXPECT_EQ(b.durationMs, 8000);
    EXPECT_EQ(b.path, Video("b.mpg"));
    EXPECT_EQ(b.sequenceIndex, 1);
    EXPECT_EQ(Events(s), (std::vector<Ev>{{700, "AUTO", 0},
                                          {700, "MIX", 0},
                                          {700, "IN3", 0},
                                          {9350, "AUTO", 0},
                                          {9350, "MIX", 0},
                                          {9350, "IN4", 0},
                                          {16000, "AUTO", 0},
                                          {16000, "MIX", 0}}));
    EXPECT_EQ(p.playSequence.size(), 3u);
}

TEST_F(PlayScheduleTest, OneBoardFreezesAcrossTheGapAndStaysOnTheFirstInput) {
    Settings().mpeg = 1;
    Settings().mpegInput1 = 4;
    Settings().mpegInput2 = 9;
    Playlist p = MakePlaylist(1, {Entry("a.mpg", 5000, 0, 100), Entry("b.mpg", 5000, 0, 100, 500),
                                  Entry("c.mpg", 2000, 1, 300, 200), Entry("", 0, 0, 100)});
    PlaySchedule s;
    PrepareSchedule(p, s);

    EXPECT_TRUE(s.boardQueue[1].empty());
    ASSERT_EQ(s.boardQueue[0].size(), 3u);
    EXPECT_EQ(s.boardQueue[0][0].startMs, 0);
    EXPECT_EQ(s.boardQueue[0][1].startMs, 5500);
    EXPECT_EQ(s.boardQueue[0][2].startMs, 10700);
    EXPECT_EQ(s.boardQueue[0][2].sequenceIndex, 2);
    // The middle clips' transitions became cuts when the playlist was timed; the mixer only
    // freezes between clips and never leaves board 0's input.
    EXPECT_EQ(Events(s), (std::vector<Ev>{{0, "CUT", 0},
                                          {0, "IN5", 0},
                                          {4900, "FREEZE", 0},
                                          {5700, "FREEZE", 0},
                                          {10400, "FREEZE", 0},
                                          {10900, "FREEZE", 0},
                                          {12600, "CUT", 0}}));
    EXPECT_EQ(s.totalMs, 12700);
}

TEST_F(PlayScheduleTest, ExtraCommandsFollowTransitionAndInputAtTheEntrysTime) {
    PlaylistEntry first = Entry("a.mpg", 4000, 2, 700);
    first.extraCommands[0] = 2;  // LOGO 1 OFF
    first.extraCommands[1] = 0;
    first.extraCommands[2] = 5;  // CLOCK ON
    first.reserved = 1;
    PlaylistEntry second = Entry("b.mpg", 4000, 0, 100);
    second.extraCommands[0] = 8;    // THERMO OFF
    second.extraCommands[1] = 9;    // no such code
    second.extraCommands[2] = 255;  // no such code
    PlaylistEntry end = Entry("", 0, 0, 100);
    end.extraCommands[1] = 3;  // LOGO 2 ON
    Playlist p = MakePlaylist(2, {first, second, end});
    // Values that a damaged file may hold: read as "CUT", never an index outside the table.
    p.entries[1].transition = 42;
    p.entries[2].transition = -1;
    PlaySchedule s;
    PrepareSchedule(p, s);

    EXPECT_EQ(Events(s), (std::vector<Ev>{{0, "AUTO", 0},
                                          {0, "EFFECT1", 0},
                                          {0, "IN3", 0},
                                          {0, "LOGO1", 2},
                                          {0, "CLOCK", 1},
                                          {3900, "CUT", 0},
                                          {3900, "IN4", 0},
                                          {3900, "THERMO", 2},
                                          {7800, "CUT", 0},
                                          {7800, "LOGO2", 1}}));
    EXPECT_EQ(s.boardQueue[0][0].playMode, 1);
    EXPECT_EQ(s.boardQueue[1][0].playMode, 0);
}

TEST_F(PlayScheduleTest, EndEntryOnlyGivesItsTransitionAndNoClips) {
    Playlist p = MakePlaylist(2, {Entry("", 0, 1, 500)});
    p.logoOff = 1;
    PlaySchedule s;
    PrepareSchedule(p, s);

    EXPECT_TRUE(s.boardQueue[0].empty());
    EXPECT_TRUE(s.boardQueue[1].empty());
    EXPECT_EQ(Events(s), (std::vector<Ev>{{200, "AUTO", 0}, {200, "MIX", 0}}));
    EXPECT_EQ(s.totalMs, 0);
    EXPECT_EQ(s.logoOff, 1);
    EXPECT_EQ(s.FirstClipMs(), 0);
}

TEST_F(PlayScheduleTest, NestedPlaylistIsPlayedInPlaceWithTheTransitionOfItsEntry) {
    for (const char* name : {"a.mpg", "x.mpg", "y.mpg"}) {
        std::ofstream(Settings().videoPath + name) << "clip";
    }
    Playlist nested = MakePlaylist(
        2, {Entry("x.mpg", 3000, 0, 100), Entry("y.mpg", 3000, 0, 100), Entry("", 0, 0, 100)});
    ASSERT_EQ(nested.Save(Settings().videoPath + "sub.vid"), kPlaylistOk);

    Playlist p = MakePlaylist(
        2, {Entry("a.mpg", 5000, 0, 100), Entry("sub.vid", 5900, 2, 800), Entry("", 0, 0, 100)});
    PlaySchedule s;
    PrepareSchedule(p, s);

    ASSERT_EQ(p.playSequence.size(), 4u);
    ASSERT_EQ(s.boardQueue[0].size(), 2u);
    ASSERT_EQ(s.boardQueue[1].size(), 1u);
    EXPECT_EQ(s.boardQueue[0][0].path, Video("a.mpg"));
    EXPECT_EQ(s.boardQueue[1][0].path, Video("x.mpg"));
    EXPECT_EQ(s.boardQueue[1][0].startMs, 4200);  // overlaps a by the entry's 800
    EXPECT_EQ(s.boardQueue[0][1].path, Video("y.mpg"));
    EXPECT_EQ(s.boardQueue[0][1].startMs, 7100);
    EXPECT_EQ(s.boardQueue[0][1].sequenceIndex, 2);
    EXPECT_EQ(Events(s), (std::vector<Ev>{{0, "CUT", 0},
                                          {0, "IN3", 0},
                                          {4250, "AUTO", 0},
                                          {4250, "EFFECT1", 0},
                                          {4250, "IN4", 0},
                                          {7100, "CUT", 0},
                                          {7100, "IN3", 0},
                                          {10000, "CUT", 0}}));
}

TEST_F(PlayScheduleTest, RebuildKeepsPositionsAndFlagsAndReportsOnlySetFlags) {
    Playlist p = test::TwoBoardExample();
    PlaySchedule s;
    PrepareSchedule(p, s);
    s.Reset();
    s.nextClip[0] = 1;
    s.nextEvent = 3;
    s.Report(1, true);
    s.free[1] = 0;
    s.Report(7, true);  // not a board
    s.Report(-1, false);

    PrepareSchedule(p, s);
    EXPECT_EQ(s.nextClip[0], 1);
    EXPECT_EQ(s.nextClip[1], 0);
    EXPECT_EQ(s.nextEvent, 3);
    EXPECT_EQ(s.started[1], 1);
    EXPECT_EQ(s.free[1], 0);
    EXPECT_EQ(s.mixerEvents.size(), 8u);

    s.Report(1, false);
    EXPECT_EQ(s.free[1], 1);
    EXPECT_EQ(s.started[1], 1);
    s.Reset();
    EXPECT_EQ(s.nextClip[0], 0);
    EXPECT_EQ(s.nextEvent, 0);
    EXPECT_EQ(s.started[1], 0);
    EXPECT_EQ(s.free[0], 1);
    EXPECT_EQ(s.free[1], 1);
}

TEST_F(PlayScheduleTest, HugeDurationsDoNotOverflowTheRunningTime) {
    Playlist p;
    p.boardCount = 2;
    p.entries = {Entry("a.mpg", std::numeric_limits<int32_t>::max(), 0, 100),
                 Entry("b.mpg", std::numeric_limits<int32_t>::max(), 0, 100),
                 Entry("c.mpg", std::numeric_limits<int32_t>::max(), 0, 100), Entry("", 0, 0, 100)};
    PlaySchedule s;
    PrepareSchedule(p, s);
    ASSERT_EQ(s.boardQueue[1].size(), 1u);
    EXPECT_EQ(s.boardQueue[1][0].startMs, std::numeric_limits<int32_t>::max() - 100);
    EXPECT_EQ(s.boardQueue[0][1].startMs, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(s.mixerEvents.back().timeMs, std::numeric_limits<int32_t>::max());
}

}  // namespace
}  // namespace orx
