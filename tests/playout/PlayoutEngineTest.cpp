#include "playout/PlayoutEngine.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "PlayoutFakes.h"
#include "support/ManualClock.h"
#include "support/RecordingUiHost.h"

namespace orx {

using namespace test;

// The tick counter wraps 6 s into every run.
class PlayoutEngineTest : public PlayoutFolderTest {
protected:
    void Apply(const Playlist& p) {
        engine_.SetReplyWindow(0x5150);
        engine_.SetHardwareOk(true);
        engine_.ApplyPlaylist(&p);
    }
    // Starts p and fires timer 1 while it runs, up to runMs of run time.
    std::string Run(const Playlist& p, int32_t runMs = 600'000) {
        Apply(p);
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
    EXPECT_FALSE(engine_.playing() || studio_.running);
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
    EXPECT_EQ(studio_.rows, (std::vector<int>{0, 1, 2, -1}));
    EXPECT_EQ(AirLog(),  // a record closes when its board gets the next clip
              "05.03.2006 14:07:09    5 Video/a.mpg\r\n"
              "05.03.2006 14:07:14    5 Video/b.mpg\r\n"
              "05.03.2006 14:07:19    3 Video/c.mpg\r\n");
}

TEST_F(PlayoutEngineTest, ExtraCommandsFollowTransitionAndInputAndBadCodesAreSkipped) {
    Playlist p = MakePlaylist(
        2, {Entry("a.mpg", 4000, 2, 700, 0, {2, 0, 5}),
            Entry("b.mpg", 4000, 0, 100, 0, {8, 9, 255}), Entry("", 0, 0, 100, 0, {0, 3})});
    p.entries[0].reserved = 1;
    // Values of a damaged file read as "CUT", never an index outside the table.
    p.entries[1].transition = 42;
    p.entries[2].transition = -1;
    EXPECT_EQ(Run(p),
              "SEIZE 0@0, V0 2 ~/a.mpg@0, R0 AUTO@0, R0 EFFECT1@0, R0 IN3@0, R2 LOGO1@0, "
              "R1 CLOCK@0, V1 1 ~/b.mpg@3900, R0 CUT@3900, R0 IN4@3900, R2 THERMO@3900, "
              "R0 CUT@7800, R1 LOGO2@7800, RESTORE 0 -1@7800, V STOPALL@8900");
}

TEST_F(PlayoutEngineTest, RestoreAfterTheLastCommandFollowsTheRestoreList) {
    // List row -> restored input: "On preview", "Previous", sources; outside the list "Previous".
    for (const auto& [combo, in] : {std::pair{8, 6}, {0, -2}, {45, 43}, {46, -1}, {-1, -1}}) {
        studio_.restoreCombo = combo;
        Run(MakePlaylist(2, {Entry("a.mpg", 1000, 0, 100), Entry("", 0, 0, 100)}));
        EXPECT_EQ(studio_.calls.at(studio_.calls.size() - 2).first,
                  "RESTORE 0 " + std::to_string(in));
    }
}

TEST_F(PlayoutEngineTest, PauseAcrossTheTickWrapHoldsEverythingAndShiftsTheRest) {
    studio_.isPlaying[1] = 0;  // board 1 has nothing loaded yet
    Run(TwoBoard(), 5000);
    const size_t atPause = studio_.calls.size();
    engine_.OnAirPlay();  // Play during a run or a pause changes nothing
    engine_.OnAirPause();
    engine_.OnAirPlay();
    EXPECT_FALSE(studio_.running);
    clock_.Advance(1500);
    engine_.OnRunTick();  // queued before the pause: sends nothing
    clock_.Advance(1500);
    engine_.OnAirPause();
    RunUntil(13050);
    EXPECT_EQ(studio_.times, std::make_pair(6950, 6250));
    RunUntil();
    EXPECT_EQ(studio_.Trace(atPause),
              "V0 101@5000, V0 4@5000, V1 101@5000, V0 101@8000, V0 4@8000, V1 101@8000, "
              "V1 1 ~/b.mpg@12000, R0 AUTO@12350, R0 MIX@12350, R0 IN4@12350, R0 AUTO@19000, "
              "R0 MIX@19000, RESTORE 0 -1@19000, V STOPALL@20300");
    EXPECT_EQ(AirLog(),  // the pause is air time of the clip on air
              "05.03.2006 14:07:09   20 Video/a.mpg\r\n"
              "05.03.2006 14:07:21    8 Video/b.mpg\r\n");
}

TEST_F(PlayoutEngineTest, LostAirLogLinesAreToldOncePerRunWithoutHoldingTheRunUp) {
    std::filesystem::create_directory(dir_ / "airlog.txt");  // no line can be written
    RecordingUiHost ui;
    int32_t shownAt = -1;
    ui.onBox = [&](const RecordingUiHost::Box&) {  // the box stays up to the end of the run
        shownAt = studio_.Now();
        RunUntil();
    };
    const Playlist p =
        MakePlaylist(2, {Entry("a.mpg", 5000, 1, 1000), Entry("b.mpg", 5000, 1, 1000),
                         Entry("c.mpg", 5000, 1, 1000), Entry("", 0, 1, 1000)});
    const std::string trace = Run(p);
    ASSERT_EQ(ui.boxes.size(), 1u);  // three lines lost, one message
    EXPECT_EQ(ui.boxes[0].text, "Air log cannot be written!\n\n" + dir_ / "airlog.txt" +
                                    "\n\nVideos going to air are not recorded; the playlist "
                                    "keeps playing.");
    EXPECT_EQ(ui.boxes[0].type, mb::Ok | mb::IconWarning);
    EXPECT_EQ(shownAt, 8000);  // a's line, when board 0 got c
    EXPECT_NE(trace.find("R0 AUTO@8350, R0 MIX@8350, R0 IN3@8350"), std::string::npos);
    EXPECT_NE(trace.find("V STOPALL@13300"), std::string::npos) << trace;
    EXPECT_FALSE(engine_.playing());
    Run(p);
    EXPECT_EQ(ui.boxes.size(), 2u);  // a new run tells again
}

TEST_F(PlayoutEngineTest, FailingMixerCommandEndsTheRunOnceLikeTheOperatorsStop) {
    studio_.failWord = "IN4";
    Run(TwoBoard());
    engine_.OnRunTick();  // a late tick changes nothing
    EXPECT_EQ(studio_.Trace(8), "R0 IN4@9350, RESTORE 1 -1@9350, V STOPALL@9850");
    EXPECT_EQ(AirLog(), "05.03.2006 14:07:09    9 Video/a.mpg\r\n");  // b: under a second

    // Ticks for 15 s and a stop while its message is up: no step, no second end.
    studio_.calls.clear();
    studio_.whileBoxShown = [this] {
        RunUntil(studio_.Now() + 15'000);
        engine_.OnAirStop();
        engine_.OnRunTick();
    };
    Run(TwoBoard());
    EXPECT_EQ(studio_.Trace(8), "R0 IN4@19200, RESTORE 1 -1@34200, V STOPALL@34700");
}

TEST_F(PlayoutEngineTest, NothingPlayableOrAFailedSeizureStartsNoRun) {
    // Only the end entry: its transition is scheduled, but there is no play time.
    Apply(MakePlaylist(2, {Entry("", 0, 1, 500)}));
    EXPECT_EQ(engine_.schedule().mixerEvents.at(1).timeMs, 200);
    engine_.OnAirPlay();
    // A failed seizure starts nothing and re-arms the channel's message.
    Apply(TwoBoard());
    EXPECT_EQ(studio_.times, std::make_pair(10000, 16300));
    studio_.seizeResult = 0;
    engine_.OnAirPlay();
    EXPECT_EQ(studio_.Trace(), "SEIZE 0@0, RESET@0");
    EXPECT_FALSE(studio_.running);
    // Negative durations and totals of a damaged file show as zero.
    Apply(MakePlaylist(2, {Entry("a.mpg", -300, 0, 100), Entry("", 0, 0, 600)}));
    EXPECT_EQ(studio_.times, std::make_pair(0, 0));
}

TEST_F(PlayoutEngineTest, EditDuringARunContinuesAtTheSamePositions) {
    Run(TwoBoard(), 5000);
    studio_.selected = 0;
    const size_t atEdit = studio_.calls.size();
    Apply(MakePlaylist(2, {Entry("a.mpg", 10000, 1, 1000), Entry("c.mpg", 6000, 1, 1000),
                           Entry("d.mpg", 4000, 1, 1000), Entry("", 0, 1, 1000)}));
    EXPECT_EQ(studio_.selected, 0);
    engine_.ApplyPlaylist(nullptr);  // a selection during a run changes nothing
    RunUntil();
    EXPECT_EQ(studio_.Trace(atEdit),
              "V1 1 ~/c.mpg@9000, R0 AUTO@9350, R0 MIX@9350, R0 IN4@9350, V0 1 ~/d.mpg@14000, "
              "R0 AUTO@14350, R0 MIX@14350, R0 IN3@14350, R0 AUTO@17000, R0 MIX@17000, "
              "RESTORE 0 -1@17000, V STOPALL@18300");
}

TEST_F(PlayoutEngineTest, CommandsReenteringTheEngineAreSafe) {
    // An edit arriving while a clip is sent keeps the record of what was sent.
    studio_.onSend = [this](int, int code) {
        if (code == VIDCMD_PLAY && engine_.playlist().entries[0].fileName[0] == 'a')
            Apply(MakePlaylist(2, {Entry("z.mpg", 4000, 0, 100), Entry("", 0, 0, 100)}));
    };
    Run(TwoBoard(), 2000);
    engine_.OnAirStop();
    EXPECT_EQ(AirLog(), "05.03.2006 14:07:09    2 Video/a.mpg\r\n");

    // A run ended inside a command sends nothing more.
    studio_.calls.clear();
    studio_.onSend = [this](int, int code) {
        if (code == VIDCMD_PLAY)
            engine_.OnAirStop();
    };
    EXPECT_EQ(Run(TwoBoard()),
              "SEIZE 0@2500, V0 1 ~/a.mpg@2500, RESTORE 1 -1@2500, V STOPALL@3000");
}

}  // namespace orx
