// Real time, real processes: a short two-board playlist played over the window transport to the
// stand-in decoder hosts and remote-control application, whose logs show what arrived and when.

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>

#include "PlayoutFakes.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "platform/Process.h"
#include "support/RecordingUiHost.h"
#include "support/StandIns.h"

namespace orx {

using namespace std::chrono;
using namespace test;
using Timed = std::vector<std::pair<std::string, int64_t>>;  // "<code> <text>", wall or run ms

// A stand-in's log, "<wall ms>\t<code>\t<text>" per line, without the decoders' ISINIT polls.
Timed ReadCommandLog(const std::string& path) {
    Timed lines;
    std::ifstream in(path);
    int64_t ms;
    std::string code, text;
    while (in >> ms && std::getline(in.ignore(), code, '\t') && std::getline(in, text)) {
        if (code != std::to_string(VIDCMD_ISINIT))
            lines.emplace_back(code + " " + text, ms);
    }
    return lines;
}

using PlayoutIntegrationTest = PlayoutFolderTest;

TEST_F(PlayoutIntegrationTest, ClipsAndMixerCommandsArriveInOrderAndWithin60Ms) {
    WindowFolder windows;  // closes the stand-ins before their logs' folder goes
    RecordingUiHost ui;
    CVideoCmd video(SystemClock());
    CRemoteCmd remote(SystemClock());
    auto hostLog = [&](int board) { return dir_ / ("vdhost" + std::to_string(board)); };
    for (const char* clip : {"a_1.mpg", "b_1.mpg", "c_1.mpg"})
        WriteFile(Settings().videoPath + clip, "stand-in clip");
    const std::string tallyxLog = dir_ / "tallyx";
    ASSERT_TRUE(LaunchProcess(ORX_TALLYX_PATH, {"--log", tallyxLog}));
    ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }));

    Studio studio(SystemClock());  // timer 1 and the views
    PlayoutEngine engine(video, remote, SystemClock(), studio, studio);
    int64_t startMs = 0;
    size_t seizeLines = 0;    // what the mixer got before the run
    studio.onToolbar = [&] {  // refreshed right after the run's start tick is taken
        if (engine.playing() && startMs == 0) {
            startMs = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
            seizeLines = ReadCommandLog(tallyxLog).size();
        }
    };
    auto mainWindow = MessageWindow::Create("", [&](const WindowMessage& m) -> int64_t {
        const int board = m.message == kWmCopyData ? video.OnNotify(m.wParam, m.dwData) : -1;
        if (board >= 0)
            engine.OnBoardReport(board, video.boardBusy(board));
        return 0;
    });
    engine.SetReplyWindow(mainWindow->Handle());
    video.SetHostLauncher([&](int board, const std::string& title) {
        return CVideoCmd::LaunchHost(ORX_VDHOST_PATH, title, {"--log", hostLog(board)});
    });
    ASSERT_EQ(video.Start(mainWindow->Handle(), 2), 1);
    engine.SetHardwareOk(true);
    Playlist playlist =
        MakePlaylist(2, {Entry("a_1.mpg", 1000, 1, 300), Entry("b_1.mpg", 1000, 1, 300),
                         Entry("c_1.mpg", 1000, 0, 100, 0, {1}), Entry("", 0, 1, 300)});
    engine.ApplyPlaylist(&playlist);
    engine.OnAirPlay();
    // Ticks on absolute deadlines; board reports are served in between.
    for (auto next = steady_clock::now(); studio.running; engine.OnRunTick()) {
        next += milliseconds(studio.period);
        for (auto left = next - steady_clock::now(); left.count() > 0;
             left = next - steady_clock::now()) {
            pollfd p{mainWindow->Fd(), POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(ceil<milliseconds>(left).count())) > 0)
                mainWindow->ServePending();
        }
    }

    auto expectArrived = [&](const std::string& log, size_t from, const Timed& due) {
        const Timed got = ReadCommandLog(log);
        ASSERT_GE(got.size(), from + due.size()) << log;
        for (size_t i = 0; i < due.size(); ++i) {
            const auto& [what, ms] = got[from + i];
            EXPECT_EQ(what, due[i].first);
            EXPECT_NEAR(ms - startMs, due[i].second, 60) << what;
        }
    };
    const PlaySchedule& s = engine.schedule();
    for (int board = 0; board < 2; ++board) {
        Timed due;
        for (const ClipCue& cue : s.boardQueue[board])
            due.emplace_back("1 " + cue.path, cue.startMs);
        due.emplace_back("3 ", s.totalMs + PlayoutEngine::kEndGraceMs);
        expectArrived(hostLog(board), 0, due);
    }
    Timed due;
    for (const MixerEvent& e : s.mixerEvents)
        due.emplace_back(std::to_string(e.mode) + " " + e.word, e.timeMs);
    due.emplace_back("2 FREEZE", s.mixerEvents.back().timeMs);  // the restore, at once
    expectArrived(tallyxLog, seizeLines, due);
}

}  // namespace orx
