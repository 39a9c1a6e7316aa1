#include "playout/PlayoutEngine.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "PlayoutFakes.h"
#include "lang/TextServices.h"
#include "support/ManualClock.h"
#include "support/RecordingUiHost.h"

namespace orx {

using namespace test;

// A 10 000 ms, B 8 000 ms, the end entry, all "MIX" with interleave 1 000.
Playlist TwoBoard() {
    return MakePlaylist(
        2, {Entry("a.mpg", 10000, 1, 1000), Entry("b.mpg", 8000, 1, 1000), Entry("", 0, 1, 1000)});
}

// The tick counter wraps 6 s into the first run.
class PlayoutEngineTest : public PlayoutFolderTest {
protected:
    void Apply(const Playlist& p) {
        engine_.SetReplyWindow(0x5150);
        engine_.SetHardwareOk(true);
        engine_.ApplyPlaylist(&p);
    }
    // Starts p and fires timer 1 while it runs, up to runMs of run time; the trace of the run.
    std::string Run(const Playlist& p, int32_t runMs = 600'000) {
        Apply(p);
        studio_.Restart();
        engine_.OnAirPlay();
        return RunUntil(runMs);
    }
    std::string RunUntil(int32_t runMs = 600'000) {
        while (studio_.running && studio_.Now() < runMs) {
            clock_.Advance(studio_.period);
            engine_.OnRunTick();
        }
        return studio_.Trace();
    }
    // The due timer fires: the clock moves on to it.
    void FireDue() {
        ASSERT_TRUE(studio_.due.has_value());
        clock_.Advance(*studio_.due);
        engine_.OnRunTick();
    }

    ManualClock clock_{0u - 6000};
    Studio studio_{clock_};
    PlayoutEngine engine_{studio_, studio_, clock_, studio_, studio_};
};

TEST_F(PlayoutEngineTest, TwoBoardRunSendsClipsAndCommandsOnTimeAndEndsAfterTheGrace) {
    Run(TwoBoard(), 17250);
    EXPECT_EQ(studio_.times, std::make_pair(0, 0));
    EXPECT_EQ(RunUntil(),
              "SEIZE 0@0, V0 1 ~/a.mpg@0, R0 AUTO@700, R0 MIX@700, R0 IN3@700, V1 1 ~/b.mpg@9000, "
              "R0 AUTO@9350, R0 MIX@9350, R0 IN4@9350, R0 AUTO@16000, R0 MIX@16000, "
              "RESTORE 0 -1@16000, V STOPALL@17300");
    EXPECT_EQ(studio_.lastWParam, 0x5150u);
    EXPECT_FALSE(engine_.playing() || studio_.running || studio_.due);
    EXPECT_EQ(studio_.rows, (std::vector<int>{0, 1, -1}));  // the selection goes at the end
    EXPECT_EQ(studio_.times, std::make_pair(10000, 16300));
    // A record runs until its board's next clip or the end of the run.
    EXPECT_EQ(AirLog(),
              "05.03.2006 14:07:09   17 Video/a.mpg\r\n"
              "05.03.2006 14:07:18    8 Video/b.mpg\r\n");
    // A stop (hot key) after another playlist was selected shows that playlist's times.
    Apply(MakePlaylist(2, {Entry("c.mpg", 4000, 0, 100), Entry("", 0, 0, 100)}));
    engine_.OnAirStop();
    EXPECT_EQ(studio_.times, std::make_pair(4000, 4000));
}

TEST_F(PlayoutEngineTest, OneBoardRunFreezesAcrossTheGapAndReplacesClipsStillPlaying) {
    // The host reports "started" during each PLAY and never "stopped": no STOP, no waiting.
    studio_.onSend = [this](int board, int code) {
        if (code == VIDCMD_PLAY)
            engine_.OnBoardReport(board, true);
    };
    Settings().mpegInput1 = 4;
    Settings().mpegInput2 = 9;
    EXPECT_EQ(Run(MakePlaylist(1, {Entry("a.mpg", 5000, 0, 100), Entry("b.mpg", 5000, 0, 100, 500),
                                   Entry("c.mpg", 2000, 1, 300, 200), Entry("", 0, 0, 100)})),
              "SEIZE 0@0, V0 1 ~/a.mpg@0, R0 CUT@0, R0 IN5@0, R0 FREEZE@4900, V0 1 ~/b.mpg@5500, "
              "R0 FREEZE@5700, R0 FREEZE@10400, V0 1 ~/c.mpg@10700, R0 FREEZE@10900, R0 CUT@12600, "
              "RESTORE 0 -1@12600, V STOPALL@13700");
}

TEST_F(PlayoutEngineTest, ExtraCommandsFollowTransitionAndInputAndTheRestoreFollowsItsList) {
    Playlist p = MakePlaylist(
        2, {Entry("a.mpg", 4000, 2, 700, 0, {2, 0, 5}),
            Entry("b.mpg", 4000, 0, 100, 0, {8, 9, 255}), Entry("", 0, 0, 100, 0, {0, 3})});
    p.entries[0].reserved = 1;
    // Values of a damaged file read as "CUT", never an index outside the table.
    p.entries[1].transition = 42;
    p.entries[2].transition = -1;
    // List row -> restored input: "On preview", "Previous", sources; outside the list "Previous".
    for (const auto& [combo, in] :
         {std::pair{1, -1}, {8, 6}, {0, -2}, {45, 43}, {46, -1}, {-1, -1}}) {
        studio_.restoreCombo = combo;
        EXPECT_EQ(Run(p),
                  "SEIZE 0@0, V0 2 ~/a.mpg@0, R0 AUTO@0, R0 EFFECT1@0, R0 IN3@0, R2 LOGO1@0, "
                  "R1 CLOCK@0, V1 1 ~/b.mpg@3900, R0 CUT@3900, R0 IN4@3900, R2 THERMO@3900, "
                  "R0 CUT@7800, R1 LOGO2@7800, RESTORE 0 " +
                      std::to_string(in) + "@7800, V STOPALL@8900");
    }
}

// The one-shot due timer sends each command at its due time between the 50 ms ticks; a pause holds
// everything and shifts the rest, an edit during the run re-arms the timer for the new schedule
// and continues at the same positions.
TEST_F(PlayoutEngineTest, TheDueTimerFollowsTheScheduleThroughAPauseAndAnEdit) {
    studio_.isPlaying[1] = 0;  // board 1 has nothing loaded yet
    // a's "AUTO", "MIX", "IN3" are due at 713, b at 9 006.
    Run(MakePlaylist(2, {Entry("a.mpg", 10007, 1, 1013), Entry("b.mpg", 8011, 1, 1001),
                         Entry("", 0, 1, 1000)}),
        0);
    EXPECT_EQ(studio_.due, 713u);
    clock_.Advance(500);
    engine_.OnRunTick();  // a periodic tick before it sends nothing and keeps the due time
    EXPECT_EQ(studio_.due, 213u);
    FireDue();
    clock_.Advance(4287);  // 5 000: a pause across the tick wrap
    engine_.OnAirPlay();   // Play during a run or a pause changes nothing
    engine_.OnAirPause();
    engine_.OnAirPlay();
    EXPECT_FALSE(studio_.due.has_value() || studio_.running);
    clock_.Advance(1500);
    engine_.OnRunTick();  // queued before the pause: sends nothing
    clock_.Advance(1500);
    engine_.OnAirPause();
    EXPECT_EQ(studio_.due, 4006u);  // b, 3 s later than planned
    clock_.Advance(50);
    engine_.OnRunTick();
    EXPECT_EQ(studio_.times, std::make_pair(4957, 11267));  // the times shown are shifted too
    studio_.selected = 0;
    // The second clip now starts 3 s before the first ends: at 7 007.
    Apply(MakePlaylist(2, {Entry("a.mpg", 10007, 1, 1013), Entry("c.mpg", 4000, 1, 3000),
                           Entry("d.mpg", 4000, 1, 1000), Entry("", 0, 1, 1000)}));
    EXPECT_EQ(studio_.due, 1957u);
    EXPECT_EQ(studio_.selected, 0);
    engine_.ApplyPlaylist(nullptr);  // a selection during a run changes nothing
    while (engine_.playing() && studio_.due)
        FireDue();
    EXPECT_EQ(studio_.Trace(),
              "SEIZE 0@0, V0 1 ~/a.mpg@0, R0 AUTO@713, R0 MIX@713, R0 IN3@713, V0 101@5000, "
              "V0 4@5000, V1 101@5000, V0 101@8000, V0 4@8000, V1 101@8000, V1 1 ~/c.mpg@10007, "
              "R0 AUTO@11357, R0 MIX@11357, R0 IN4@11357, V0 1 ~/d.mpg@13007, R0 AUTO@13357, "
              "R0 MIX@13357, R0 IN3@13357, R0 AUTO@16007, R0 MIX@16007, RESTORE 0 -1@16007, "
              "V STOPALL@17307");
    EXPECT_FALSE(studio_.due.has_value());  // the end of the run cancels it
    EXPECT_EQ(AirLog(),                     // the pause is air time of the clip on air
              "05.03.2006 14:07:09   13 Video/a.mpg\r\n05.03.2006 14:07:22    4 Video/d.mpg\r\n"
              "05.03.2006 14:07:19    7 Video/c.mpg\r\n");
}

TEST_F(PlayoutEngineTest, CommandsThatFellDueWhileAStepWasSendingGoOutAtOnce) {
    // a's "AUTO", "MIX", "IN3" are due at 713; the decoder takes 800 ms to answer a's PLAY.
    studio_.onSend = [&](int, int code) {
        if (code == VIDCMD_PLAY)
            clock_.Advance(800);
    };
    Run(MakePlaylist(2, {Entry("a.mpg", 10007, 1, 1013), Entry("b.mpg", 8011, 1, 1001),
                         Entry("", 0, 1, 1000)}),
        0);
    EXPECT_EQ(studio_.due, 0u);
    FireDue();
    EXPECT_EQ(studio_.Trace(), "SEIZE 0@0, V0 1 ~/a.mpg@0, R0 AUTO@800, R0 MIX@800, R0 IN3@800");
    EXPECT_EQ(studio_.due, 9006u - 800u);  // b
}

// The run goes on meanwhile: the window shows the box after the tick (tested with the window).
TEST_F(PlayoutEngineTest, LostAirLogLinesAreToldOncePerRunAndTheRunGoesOn) {
    std::filesystem::create_directory(dir_ / "airlog.txt");  // no line can be written
    RecordingUiHost ui;
    const Playlist p =
        MakePlaylist(2, {Entry("a.mpg", 5000, 1, 1000), Entry("b.mpg", 5000, 1, 1000),
                         Entry("c.mpg", 5000, 1, 1000), Entry("", 0, 1, 1000)});
    EXPECT_EQ(Run(p),
              "SEIZE 0@0, V0 1 ~/a.mpg@0, R0 AUTO@700, R0 MIX@700, R0 IN3@700, V1 1 ~/b.mpg@4000, "
              "R0 AUTO@4350, R0 MIX@4350, R0 IN4@4350, V0 1 ~/c.mpg@8000, R0 AUTO@8350, "
              "R0 MIX@8350, R0 IN3@8350, R0 AUTO@12000, R0 MIX@12000, RESTORE 0 -1@12000, "
              "V STOPALL@13300");
    ASSERT_EQ(ui.boxes.size(), 1u);  // three lines lost, one message
    EXPECT_EQ(ui.boxes[0].text, FormatTranslated(3060, {dir_ / "airlog.txt"}));
    EXPECT_EQ(ui.boxes[0].type, mb::Ok | mb::IconWarning);
    Run(p);
    EXPECT_EQ(ui.boxes.size(), 2u);  // a new run tells again
}

TEST_F(PlayoutEngineTest, AFailingMixerCommandOrAStopInsideACommandEndsTheRunOnce) {
    studio_.failWord = "IN4";
    Run(TwoBoard());
    engine_.OnRunTick();  // a late tick changes nothing
    EXPECT_EQ(studio_.Trace(8), "R0 IN4@9350, RESTORE 1 -1@9350, V STOPALL@9850");
    EXPECT_EQ(AirLog(), "05.03.2006 14:07:09    9 Video/a.mpg\r\n");  // b: under a second
    // Ticks for 15 s and a stop while its message is up: no step, no second end.
    studio_.whileBoxShown = [this] {
        RunUntil(studio_.Now() + 15'000);
        engine_.OnAirStop();
        engine_.OnRunTick();
    };
    Run(TwoBoard());
    EXPECT_EQ(studio_.Trace(8), "R0 IN4@9350, RESTORE 1 -1@24350, V STOPALL@24850");
    // A run ended inside a clip's PLAY sends nothing more.
    studio_.onSend = [this](int, int code) {
        if (code == VIDCMD_PLAY)
            engine_.OnAirStop();
    };
    EXPECT_EQ(Run(TwoBoard()), "SEIZE 0@0, V0 1 ~/a.mpg@0, RESTORE 1 -1@0, V STOPALL@500");
}

TEST_F(PlayoutEngineTest, ARunNeedsPlayTimeAPreparationThatSucceedsAndTheMixer) {
    bool prepared = false;
    engine_.SetRunPreparation([&] {
        studio_.calls.emplace_back("PREPARE", studio_.Now());
        return prepared;
    });
    Apply(MakePlaylist(2, {Entry("", 0, 1, 500)}));  // only the end entry: no play time
    engine_.OnAirPlay();
    // Negative durations and totals of a damaged file show as zero and do not play.
    Apply(MakePlaylist(2, {Entry("a.mpg", -300, 0, 100), Entry("", 0, 0, 600)}));
    EXPECT_EQ(studio_.times, std::make_pair(0, 0));
    engine_.OnAirPlay();
    Apply(TwoBoard());
    engine_.OnAirPlay();  // a dead host could not be started again: no run
    prepared = true;
    studio_.seizeResult = 0;
    engine_.OnAirPlay();  // a failed seizure starts nothing and re-arms the channel's message
    studio_.seizeResult = 1;
    engine_.OnAirPlay();
    EXPECT_EQ(studio_.Trace(),
              "PREPARE@0, PREPARE@0, SEIZE 0@0, RESET@0, PREPARE@0, SEIZE 0@0, "
              "V0 1 ~/a.mpg@0");
}

TEST_F(PlayoutEngineTest, AnEditArrivingWhileAClipIsSentKeepsTheRecordOfWhatWasSent) {
    studio_.onSend = [this](int, int code) {
        if (code == VIDCMD_PLAY && engine_.playlist().entries[0].fileName[0] == 'a')
            Apply(MakePlaylist(2, {Entry("z.mpg", 4000, 0, 100), Entry("", 0, 0, 100)}));
    };
    Run(TwoBoard(), 2000);
    engine_.OnAirStop();
    EXPECT_EQ(AirLog(), "05.03.2006 14:07:09    2 Video/a.mpg\r\n");
}

TEST_F(PlayoutEngineTest, AClipThatDidNotPlayIsToldOnceAndNotAirLoggedAndTheRunGoesOn) {
    RecordingUiHost ui;
    studio_.deadBoard = 1;  // its host has died: its PLAY fails
    const Playlist p = MakePlaylist(
        2, {Entry("a.mpg", 3000, 0, 100), Entry("b.mpg", 3000, 0, 100),
            Entry("c.mpg", 3000, 0, 100), Entry("d.mpg", 3000, 0, 100), Entry("", 0, 0, 100)});
    // The commands of a healthy run, in its order; the failed clips b and d leave no record
    // (a record ends when its board is sent its next clip).
    EXPECT_EQ(Run(p),
              "SEIZE 0@0, V0 1 ~/a.mpg@0, R0 CUT@0, R0 IN3@0, V1 1 ~/b.mpg@2900, R0 CUT@2900, "
              "R0 IN4@2900, V0 1 ~/c.mpg@5800, R0 CUT@5800, R0 IN3@5800, V1 1 ~/d.mpg@8700, "
              "R0 CUT@8700, R0 IN4@8700, R0 CUT@11600, RESTORE 0 -1@11600, V STOPALL@12700");
    Run(p);
    EXPECT_EQ(AirLog(),
              "05.03.2006 14:07:09    5 Video/a.mpg\r\n05.03.2006 14:07:14    7 Video/c.mpg\r\n"
              "05.03.2006 14:07:21    6 Video/a.mpg\r\n05.03.2006 14:07:27    7 Video/c.mpg\r\n");
    // Told once per run, with the first clip that failed.
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, FormatTranslated(3048, {Settings().videoPath + "b.mpg"}));
}

}  // namespace orx
