#include "playout/PlayoutEngine.h"

#include <gtest/gtest.h>

#include <numeric>

#include "PlayoutFakes.h"

namespace orx {
namespace {

using test::CallLog;
using test::Entry;
using test::MakePlaylist;

using Calls = std::vector<std::pair<std::string, int32_t>>;

class PlayoutEngineTest : public test::PlayoutFolderTest {
protected:
    explicit PlayoutEngineTest(uint32_t startTicks = 1000) : clock_(startTicks) {}

    void SetUp() override {
        PlayoutFolderTest::SetUp();
        engine_.SetReplyWindow(0x5150);
        engine_.SetHardwareOk(true);
    }

    void Apply(const Playlist& p) { engine_.ApplyPlaylist(&p); }

    // Timer 1 firing every 50 ms while it runs, up to runMs after the clock's start.
    void RunUntil(int32_t runMs) {
        while (timer_.running && Now() < runMs) {
            clock_.Advance(timer_.period);
            engine_.OnRunTick();
        }
    }
    void RunToEnd() { RunUntil(600'000); }
    int32_t Now() const { return static_cast<int32_t>(clock_.ticks - clock_.baseTicks); }

    Calls CallsFrom(size_t from = 0) const {
        Calls out;
        for (size_t i = from; i < log_.calls.size(); ++i) {
            out.emplace_back(log_.calls[i].what, log_.calls[i].atMs);
        }
        return out;
    }
    std::string Play(const char* name, int board = 0, int code = VIDCMD_PLAY) const {
        return "V" + std::to_string(board) + " " + std::to_string(code) + " " +
               Settings().videoPath + name;
    }
    void StartRun() { engine_.OnAirPlay(); }

    Calls TwoBoardExampleCalls() const {
        return {{"SEIZE 0", 0},      {Play("a.mpg"), 0}, {"R0 AUTO", 700},
                {"R0 MIX", 700},     {"R0 IN3", 700},    {Play("b.mpg", 1), 9000},
                {"R0 AUTO", 9350},   {"R0 MIX", 9350},   {"R0 IN4", 9350},
                {"R0 AUTO", 16000},  {"R0 MIX", 16000},  {"RESTORE 0 -1", 16000},
                {"V STOPALL", 17300}};
    }

    test::FakeClock clock_;
    CallLog log_;
    test::RecordingVideo video_{log_, clock_};
    test::RecordingRemote remote_{log_, clock_};
    test::FakeTimer timer_;
    test::RecordingView view_;
    PlayoutEngine engine_{video_, remote_, clock_, timer_, view_};
};

TEST_F(PlayoutEngineTest, TwoBoardRunSendsClipsAndCommandsOnTimeAndEndsAfterTheGrace) {
    Apply(test::TwoBoardExample());
    EXPECT_TRUE(engine_.readyToPlay());
    EXPECT_EQ(view_.times.back(), std::make_pair(10000, 16300));

    StartRun();
    EXPECT_TRUE(timer_.running);
    EXPECT_EQ(timer_.period, 50u);
    // B (8 000 ms) started at 9 000: at 10 000 it has 7 000 left, the run 6 300.
    RunUntil(10000);
    EXPECT_EQ(view_.times.back(), std::make_pair(7000, 6300));
    RunUntil(17250);
    EXPECT_EQ(view_.times.back(), std::make_pair(0, 0));
    RunToEnd();

    EXPECT_EQ(CallsFrom(), TwoBoardExampleCalls());
    EXPECT_EQ(remote_.lastWParam, 0x5150u);
    EXPECT_FALSE(engine_.playing());
    EXPECT_FALSE(timer_.running);
    EXPECT_EQ(view_.rows, (std::vector<int>{0, 1}));
    EXPECT_EQ(view_.selected, -1);
    // After the run the display shows the first clip and the whole run again.
    EXPECT_EQ(view_.times.back(), std::make_pair(10000, 16300));
    // Each record runs until its board's next clip or the end of the run.
    EXPECT_EQ(ReadAppFile("airlog.txt"),
              "05.03.2006 14:07:09   17 Video/a.mpg\r\n"
              "05.03.2006 14:07:18    8 Video/b.mpg\r\n");
}

TEST_F(PlayoutEngineTest, OneBoardRunFreezesAcrossTheGapAndLogsTheGapWithTheClip) {
    Settings().mpeg = 1;
    Apply(MakePlaylist(1, {Entry("a.mpg", 5000, 0, 100), Entry("b.mpg", 5000, 0, 100, 500),
                           Entry("", 0, 0, 100)}));
    StartRun();
    RunToEnd();

    EXPECT_EQ(CallsFrom(), (Calls{{"SEIZE 0", 0},
                                  {Play("a.mpg"), 0},
                                  {"R0 CUT", 0},
                                  {"R0 IN3", 0},
                                  {"R0 FREEZE", 4900},
                                  {Play("b.mpg"), 5500},
                                  {"R0 FREEZE", 5700},
                                  {"R0 CUT", 10400},
                                  {"RESTORE 0 -1", 10400},
                                  {"V STOPALL", 11500}}));
    EXPECT_EQ(view_.rows, (std::vector<int>{0, 1}));
    EXPECT_EQ(ReadAppFile("airlog.txt"),
              "05.03.2006 14:07:09    5 Video/a.mpg\r\n"
              "05.03.2006 14:07:14    6 Video/b.mpg\r\n");
}

TEST_F(PlayoutEngineTest, RestoreAfterTheLastCommandFollowsTheRestoreList) {
    // List position -> input of the restore: "On preview", "Previous", then the source table.
    const std::vector<std::pair<int, int>> cases = {{8, 6},   {0, -2},  {1, -1},
                                                    {45, 43}, {46, -1}, {-1, -1}};
    for (const auto& [combo, in] : cases) {
        SCOPED_TRACE(combo);
        log_.calls.clear();
        view_.restoreCombo = combo;
        Apply(MakePlaylist(2, {Entry("a.mpg", 1000, 0, 100), Entry("", 0, 0, 100)}));
        StartRun();
        RunToEnd();
        EXPECT_EQ(log_.Count("RESTORE 0 " + std::to_string(in)), 1);
        EXPECT_EQ(log_.TimeOf("RESTORE 0 " + std::to_string(in)) - log_.TimeOf("SEIZE 0"), 900);
    }
}

TEST_F(PlayoutEngineTest, PauseHoldsEverythingAndShiftsTheRestByThePause) {
    video_.isPlaying[1] = 0;  // board 1 has nothing loaded yet
    Apply(test::TwoBoardExample());
    StartRun();
    RunUntil(5000);
    const size_t atPause = log_.calls.size();

    engine_.OnAirPause();
    EXPECT_TRUE(engine_.paused());
    EXPECT_FALSE(timer_.running);
    EXPECT_EQ(CallsFrom(atPause), (Calls{{"V0 101", 5000}, {"V0 4", 5000}, {"V1 101", 5000}}));

    clock_.Advance(1500);
    engine_.OnRunTick();  // a tick queued before the pause: nothing is sent
    clock_.Advance(1500);
    const size_t atResume = log_.calls.size();
    EXPECT_EQ(atResume, atPause + 3);
    engine_.OnAirPause();
    EXPECT_FALSE(engine_.paused());
    EXPECT_TRUE(timer_.running);
    RunToEnd();

    EXPECT_EQ(CallsFrom(atResume), (Calls{{"V0 101", 8000},
                                          {"V0 4", 8000},
                                          {"V1 101", 8000},
                                          {Play("b.mpg", 1), 12000},
                                          {"R0 AUTO", 12350},
                                          {"R0 MIX", 12350},
                                          {"R0 IN4", 12350},
                                          {"R0 AUTO", 19000},
                                          {"R0 MIX", 19000},
                                          {"RESTORE 0 -1", 19000},
                                          {"V STOPALL", 20300}}));
    // The pause counts as air time of the clip on air.
    EXPECT_EQ(ReadAppFile("airlog.txt"),
              "05.03.2006 14:07:09   20 Video/a.mpg\r\n"
              "05.03.2006 14:07:21    8 Video/b.mpg\r\n");
}

TEST_F(PlayoutEngineTest, FailingMixerCommandStopsTheRunLikeTheOperatorsStop) {
    remote_.failWord = "IN4";
    Apply(test::TwoBoardExample());
    StartRun();
    RunToEnd();

    const size_t failed = 8;
    ASSERT_EQ(log_.calls.at(failed).what, "R0 IN4");
    EXPECT_EQ(CallsFrom(failed),
              (Calls{{"R0 IN4", 9350}, {"RESTORE 1 -1", 9350}, {"V STOPALL", 9850}}));
    const uint32_t waited = std::accumulate(clock_.sleeps.begin(), clock_.sleeps.end(), 0u);
    EXPECT_EQ(waited, 500u);
    EXPECT_EQ(clock_.sleeps.front(), 10u);
    EXPECT_FALSE(engine_.playing());
    EXPECT_FALSE(timer_.running);

    engine_.OnRunTick();  // a late tick changes nothing
    EXPECT_EQ(log_.calls.size(), failed + 3);
    EXPECT_EQ(ReadAppFile("airlog.txt"),
              "05.03.2006 14:07:09    9 Video/a.mpg\r\n");  // b: less than a second
}

TEST_F(PlayoutEngineTest, TicksDuringTheFailureMessageNeitherStepNorEndTheRunTwice) {
    remote_.failWord = "IN4";
    // The message box stays up for 15 s: the run's end time passes while it is shown.
    remote_.whileBoxShown = [this] {
        for (int i = 0; i < 300; ++i) {
            clock_.Advance(50);
            engine_.OnRunTick();
        }
    };
    Apply(test::TwoBoardExample());
    StartRun();
    RunToEnd();

    EXPECT_EQ(log_.Count("R0 IN4"), 1);
    EXPECT_EQ(log_.Count("RESTORE 1 -1"), 1);
    EXPECT_EQ(log_.Count("RESTORE 0 -1"), 0);
    EXPECT_EQ(log_.Count("V STOPALL"), 1);
    EXPECT_EQ(log_.TimeOf("V STOPALL"), 9350 + 15000 + 500);
    EXPECT_EQ(log_.calls.back().what, "V STOPALL");
    EXPECT_FALSE(engine_.playing());
}

TEST_F(PlayoutEngineTest, StopPressedDuringTheFailureMessageEndsTheRunOnce) {
    remote_.failWord = "IN4";
    remote_.whileBoxShown = [this] {
        clock_.Advance(50);
        engine_.OnRunTick();
        engine_.OnAirStop();
        engine_.OnRunTick();
    };
    Apply(test::TwoBoardExample());
    StartRun();
    RunToEnd();

    EXPECT_EQ(log_.Count("RESTORE 1 -1"), 1);
    EXPECT_EQ(log_.Count("V STOPALL"), 1);
    EXPECT_EQ(log_.calls.back().what, "V STOPALL");
}

TEST_F(PlayoutEngineTest, PlayIsIgnoredDuringARunAndWhenNothingCanPlay) {
    Apply(test::TwoBoardExample());
    StartRun();
    RunUntil(3000);
    const size_t before = log_.calls.size();
    engine_.OnAirPlay();
    EXPECT_TRUE(engine_.playing());
    EXPECT_TRUE(timer_.running);
    EXPECT_EQ(timer_.starts, 1);
    engine_.OnAirPause();
    const size_t paused = log_.calls.size();
    engine_.OnAirPlay();
    EXPECT_TRUE(engine_.paused());
    EXPECT_FALSE(timer_.running);
    EXPECT_EQ(log_.calls.size(), paused);
    EXPECT_EQ(paused, before + 4);  // only the pause's queries and toggles
    engine_.OnAirStop();

    // A playlist with only the end entry has no play time: not ready, Play sends nothing.
    log_.calls.clear();
    Apply(MakePlaylist(2, {Entry("", 0, 1, 300)}));
    EXPECT_FALSE(engine_.readyToPlay());
    EXPECT_EQ(engine_.schedule().mixerEvents.size(), 2u);
    engine_.OnAirPlay();
    EXPECT_TRUE(log_.calls.empty());

    // Without hardware nothing is ready either.
    engine_.SetHardwareOk(false);
    Apply(test::TwoBoardExample());
    EXPECT_FALSE(engine_.readyToPlay());
    engine_.OnAirPlay();
    EXPECT_TRUE(log_.calls.empty());

    // A failed seizure starts nothing and re-arms the channel's message.
    engine_.SetHardwareOk(true);
    Apply(test::TwoBoardExample());
    remote_.seizeResult = 0;
    engine_.OnAirPlay();
    EXPECT_EQ(log_.What(), (std::vector<std::string>{"SEIZE 0", "RESET"}));
    EXPECT_FALSE(engine_.playing());
    EXPECT_FALSE(timer_.running);
}

TEST_F(PlayoutEngineTest, EditDuringARunContinuesAtTheSamePositions) {
    Apply(test::TwoBoardExample());
    StartRun();
    RunUntil(5000);
    view_.selected = 0;
    const size_t atEdit = log_.calls.size();
    const int fills = view_.fills;

    // B replaced by C (6 000 ms) and D (4 000 ms) added.
    Playlist edited =
        MakePlaylist(2, {Entry("a.mpg", 10000, 1, 1000), Entry("c.mpg", 6000, 1, 1000),
                         Entry("d.mpg", 4000, 1, 1000), Entry("", 0, 1, 1000)});
    engine_.ApplyPlaylist(&edited);
    EXPECT_TRUE(engine_.playing());
    EXPECT_EQ(engine_.runTotalMs(), 17300);
    EXPECT_EQ(view_.fills, fills + 1);
    EXPECT_EQ(view_.selected, 0);
    EXPECT_EQ(engine_.playlist().entries.size(), 4u);
    engine_.ApplyPlaylist(nullptr);  // a selection during a run changes nothing
    EXPECT_EQ(view_.fills, fills + 1);
    RunToEnd();

    EXPECT_EQ(CallsFrom(atEdit), (Calls{{Play("c.mpg", 1), 9000},
                                        {"R0 AUTO", 9350},
                                        {"R0 MIX", 9350},
                                        {"R0 IN4", 9350},
                                        {Play("d.mpg", 0), 14000},
                                        {"R0 AUTO", 14350},
                                        {"R0 MIX", 14350},
                                        {"R0 IN3", 14350},
                                        {"R0 AUTO", 17000},
                                        {"R0 MIX", 17000},
                                        {"RESTORE 0 -1", 17000},
                                        {"V STOPALL", 18300}}));
}

TEST_F(PlayoutEngineTest, BoardsStillPlayingGetTheirNextClipWithoutAStop) {
    // Hosts report "started" during each PLAY and never "stopped": the run is not held back
    // and a board's next clip simply replaces the one it plays.
    video_.onSend = [this](int board, int code) {
        if (code == VIDCMD_PLAY || code == VIDCMD_PLAY2)
            engine_.OnBoardReport(board, true);
        engine_.OnBoardReport(5, false);
    };
    PlaylistEntry c = Entry("c.mpg", 3000, 0, 100);
    c.reserved = 1;
    Apply(MakePlaylist(
        2, {Entry("a.mpg", 3000, 0, 100), Entry("b.mpg", 3000, 0, 100), c, Entry("", 0, 0, 100)}));
    StartRun();
    RunToEnd();

    EXPECT_EQ(log_.TimeOf(Play("a.mpg")), 0);
    EXPECT_EQ(log_.TimeOf(Play("b.mpg", 1)), 2900);
    EXPECT_EQ(log_.TimeOf(Play("c.mpg", 0, VIDCMD_PLAY2)), 5800);
    EXPECT_EQ(log_.Count("V0 3"), 0);
    EXPECT_EQ(log_.calls.back().what, "V STOPALL");
    EXPECT_EQ(ReadAppFile("airlog.txt"),
              "05.03.2006 14:07:09    5 Video/a.mpg\r\n"
              "05.03.2006 14:07:14    4 Video/c.mpg\r\n"
              "05.03.2006 14:07:11    7 Video/b.mpg\r\n");
}

TEST_F(PlayoutEngineTest, AnEditArrivingWhileAClipIsSentKeepsTheRecordOfWhatWasSent) {
    Playlist edited = MakePlaylist(
        2, {Entry("z.mpg", 4000, 0, 100), Entry("y.mpg", 4000, 0, 100), Entry("", 0, 0, 100)});
    // The editor closes while a's PLAY is pending: the schedule is rebuilt under the step.
    bool editedOnce = false;
    video_.onSend = [&](int, int code) {
        if (code == VIDCMD_PLAY && !editedOnce) {
            editedOnce = true;
            engine_.ApplyPlaylist(&edited);
        }
    };
    Apply(test::TwoBoardExample());
    StartRun();
    RunUntil(2000);
    engine_.OnAirStop();

    EXPECT_EQ(log_.What().at(1), Play("a.mpg"));
    EXPECT_EQ(view_.rows.front(), 0);
    EXPECT_EQ(ReadAppFile("airlog.txt"), "05.03.2006 14:07:09    2 Video/a.mpg\r\n");
}

TEST_F(PlayoutEngineTest, ARunEndedInsideACommandSendsNothingMore) {
    video_.onSend = [this](int, int code) {
        if (code == VIDCMD_PLAY)
            engine_.OnAirStop();
    };
    Apply(MakePlaylist(
        2, {Entry("a.mpg", 3000, 0, 100), Entry("b.mpg", 3000, 0, 100), Entry("", 0, 0, 100)}));
    StartRun();
    RunToEnd();

    // The CUT and IN3 due at 0 stay unsent once the run is over.
    EXPECT_EQ(log_.What(),
              (std::vector<std::string>{"SEIZE 0", Play("a.mpg"), "RESTORE 1 -1", "V STOPALL"}));
}

class PlayoutEngineWrapTest : public PlayoutEngineTest {
protected:
    PlayoutEngineWrapTest() : PlayoutEngineTest(0xFFFFFFFFu - 4000) {}
};

TEST_F(PlayoutEngineWrapTest, TheTickCounterWrappingMidRunChangesNothing) {
    Apply(test::TwoBoardExample());
    StartRun();
    RunUntil(2000);
    engine_.OnAirPause();  // paused before the wrap, resumed after it
    clock_.Advance(3000);
    engine_.OnAirPause();
    RunUntil(13050);  // 10 050 of run time
    EXPECT_EQ(view_.times.back(), std::make_pair(6950, 6250));
    RunToEnd();

    Calls expected = TwoBoardExampleCalls();
    for (auto& [what, at] : expected) {
        if (at > 2000)
            at += 3000;
    }
    Calls calls = CallsFrom();
    std::erase_if(calls, [](const auto& c) {
        return c.first == "V0 101" || c.first == "V0 4" || c.first == "V1 101" || c.first == "V1 4";
    });
    EXPECT_EQ(calls, expected);
}

}  // namespace
}  // namespace orx
