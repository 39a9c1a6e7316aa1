#include "playout/PlayoutEngine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "PlayoutFakes.h"
#include "lang/TextServices.h"
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

TEST_F(PlayoutEngineTest, AClipThatDidNotPlayIsToldOnceAndNotAirLoggedAndTheRunGoesOn) {
    RecordingUiHost ui;
    struct DeadBoard : Studio {  // board 1's host has died: its PLAY fails
        using Studio::SendCmd;
        using Studio::Studio;
        int SendCmd(int board, int code, const char* text) override {
            return Studio::SendCmd(board, code, text) * (board == 1 && code == VIDCMD_PLAY ? 0 : 1);
        }
    } studio{clock_};
    PlayoutEngine engine{studio, studio, clock_, studio, studio};
    engine.SetHardwareOk(true);
    Playlist p = MakePlaylist(
        2, {Entry("a.mpg", 3000, 0, 100), Entry("b.mpg", 3000, 0, 100),
            Entry("c.mpg", 3000, 0, 100), Entry("d.mpg", 3000, 0, 100), Entry("", 0, 0, 100)});
    engine.ApplyPlaylist(&p);
    std::string firstRun;
    for (int run = 0; run < 2; ++run) {
        engine.OnAirPlay();
        while (studio.running) {
            clock_.Advance(studio.period);
            engine.OnRunTick();
        }
        if (run == 0)
            firstRun = studio.Trace();
    }
    // The commands of a healthy run, in its order; the failed clips b and d leave no record
    // (a record ends when its board is sent its next clip).
    EXPECT_EQ(firstRun,
              "SEIZE 0@0, V0 1 ~/a.mpg@0, R0 CUT@0, R0 IN3@0, V1 1 ~/b.mpg@2900, R0 CUT@2900, "
              "R0 IN4@2900, V0 1 ~/c.mpg@5800, R0 CUT@5800, R0 IN3@5800, V1 1 ~/d.mpg@8700, "
              "R0 CUT@8700, R0 IN4@8700, R0 CUT@11600, RESTORE 0 -1@11600, V STOPALL@12700");
    EXPECT_EQ(AirLog(),
              "05.03.2006 14:07:09    5 Video/a.mpg\r\n05.03.2006 14:07:14    7 Video/c.mpg\r\n"
              "05.03.2006 14:07:21    6 Video/a.mpg\r\n05.03.2006 14:07:27    7 Video/c.mpg\r\n");
    // Told once per run, with the first clip that failed.
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, FormatTranslated(3048, {Settings().videoPath + "b.mpg"}));
}

TEST_F(PlayoutEngineTest, TheRunPreparationComesBeforeTheSeizureAndMayRefuseTheRun) {
    bool relaunched = false;
    engine_.SetRunPreparation([&] {
        studio_.calls.emplace_back("PREPARE", studio_.Now());
        return relaunched;
    });
    Apply(TwoBoard());
    engine_.OnAirPlay();  // a dead host could not be started again: no run
    EXPECT_FALSE(engine_.playing() || studio_.running);
    relaunched = true;
    engine_.OnAirPlay();
    EXPECT_EQ(studio_.Trace(), "PREPARE@0, PREPARE@0, SEIZE 0@0, V0 1 ~/a.mpg@0");
}

// Timer 1 with the main window's one-shot due timer; the clock starts 300 ms before its wrap.
class PlayoutDueTimerTest : public PlayoutFolderTest {
protected:
    struct DueStudio : Studio {
        using Studio::Studio;
        void ArmDue(uint32_t delayMs) override { due = delayMs; }
        void CancelDue() override { due.reset(); }
        std::optional<uint32_t> due;
    };
    void Play(const Playlist& p) {
        engine_.SetHardwareOk(true);
        engine_.ApplyPlaylist(&p);
        engine_.OnAirPlay();
    }
    // The due timer fires: the clock moves on to it.
    void FireDue() {
        ASSERT_TRUE(studio_.due.has_value());
        clock_.Advance(*studio_.due);
        engine_.OnRunTick();
    }
    // Due times off the 50 ms grid: "AUTO", "MIX", "IN3" at 713, b at 9006 with its transition
    // at 9356, the end transition at 16017, the end of the run at 17317.
    static Playlist OffGrid() {
        return MakePlaylist(2, {Entry("a.mpg", 10007, 1, 1013), Entry("b.mpg", 8011, 1, 1001),
                                Entry("", 0, 1, 1000)});
    }

    ManualClock clock_{0u - 300};
    DueStudio studio_{clock_};
    PlayoutEngine engine_{studio_, studio_, clock_, studio_, studio_};
};

TEST_F(PlayoutDueTimerTest, EachCommandGoesOutAtItsDueTimeBetweenTheTicks) {
    Play(OffGrid());
    EXPECT_EQ(studio_.due, 713u);
    // A periodic tick before that sends nothing and keeps the timer on the due time.
    clock_.Advance(700);
    engine_.OnRunTick();
    EXPECT_EQ(studio_.Trace(), "SEIZE 0@0, V0 1 ~/a.mpg@0");
    EXPECT_EQ(studio_.due, 13u);
    while (engine_.playing())
        FireDue();
    EXPECT_EQ(studio_.Trace(),
              "SEIZE 0@0, V0 1 ~/a.mpg@0, R0 AUTO@713, R0 MIX@713, R0 IN3@713, V1 1 ~/b.mpg@9006, "
              "R0 AUTO@9356, R0 MIX@9356, R0 IN4@9356, R0 AUTO@16017, R0 MIX@16017, "
              "RESTORE 0 -1@16017, V STOPALL@17317");
    EXPECT_FALSE(studio_.due.has_value());  // the end of the run cancels it
}

TEST_F(PlayoutDueTimerTest, PauseCancelsTheDueTimerAndResumeArmsItForTheShiftedTime) {
    Play(OffGrid());
    clock_.Advance(500);
    engine_.OnAirPause();
    EXPECT_FALSE(studio_.due.has_value() || studio_.running);
    clock_.Advance(3000);
    engine_.OnAirPause();
    EXPECT_EQ(studio_.due, 213u);
    const size_t atResume = studio_.calls.size();
    FireDue();
    EXPECT_EQ(studio_.Trace(atResume), "R0 AUTO@3713, R0 MIX@3713, R0 IN3@3713");
    EXPECT_EQ(studio_.due, 8293u);  // b, 3 s later than planned
    engine_.OnAirStop();
    EXPECT_FALSE(studio_.due.has_value());
}

TEST_F(PlayoutDueTimerTest, AnEditDuringTheRunArmsTheTimerForTheNewSchedule) {
    Play(OffGrid());
    FireDue();
    clock_.Advance(4287);  // 5000 ms into the run
    const size_t atEdit = studio_.calls.size();
    // The second clip now starts 3 s before the first ends: at 7007.
    Playlist edited = MakePlaylist(
        2, {Entry("a.mpg", 10007, 1, 1013), Entry("c.mpg", 4000, 1, 3000), Entry("", 0, 1, 1000)});
    engine_.ApplyPlaylist(&edited);
    EXPECT_EQ(studio_.due, 2007u);
    FireDue();
    EXPECT_EQ(studio_.Trace(atEdit), "V1 1 ~/c.mpg@7007");
}

}  // namespace orx
