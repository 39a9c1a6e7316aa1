// Real time, real processes: a short two-board playlist played over the window transport to the
// stand-in decoder hosts and remote-control application, whose logs show what arrived and when.

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <thread>

#include "PlayoutFakes.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "platform/Process.h"
#include "platform/WindowTransport.h"
#include "support/RecordingUiHost.h"

namespace orx {
namespace {

using namespace std::chrono;
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

class PlayoutIntegrationTest : public test::PlayoutFolderTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "windows");
        std::filesystem::permissions(dir_ / "windows", std::filesystem::perms::owner_all);
        ::setenv("ORX_WINDOW_DIR", (dir_ / "windows").c_str(), 1);
    }
    void TearDown() override {
        video_.Stop();
        if (WindowHandle remote = FindWindowByTitle(CRemoteCmd::kWindowTitle))
            SendWindowMessage(remote, kWmClose, 0, 0, nullptr, 0);
    }
    std::string HostLog(int board) const { return dir_ / ("vdhost" + std::to_string(board)); }
    test::RecordingUiHost ui_;
    CVideoCmd video_{SystemClock()};
    CRemoteCmd remote_{SystemClock()};
};

TEST_F(PlayoutIntegrationTest, ClipsAndMixerCommandsArriveInOrderAndWithin60Ms) {
    for (const char* clip : {"a_1.mpg", "b_1.mpg", "c_1.mpg"})
        test::WriteFile(Settings().videoPath + clip, "stand-in clip");
    const std::string tallyxLog = dir_ / "tallyx";
    ASSERT_TRUE(LaunchProcess(ORX_TALLYX_PATH, {"--log", tallyxLog}));
    for (int i = 0; i < 200 && FindWindowByTitle(CRemoteCmd::kWindowTitle) == 0; ++i)
        std::this_thread::sleep_for(milliseconds(50));

    test::Studio studio(SystemClock());  // timer 1 and the views
    PlayoutEngine engine(video_, remote_, SystemClock(), studio, studio);
    int64_t startMs = 0;
    size_t seizeLines = 0;    // what the mixer got before the run
    studio.onToolbar = [&] {  // refreshed right after the run's start tick is taken
        if (engine.playing() && startMs == 0) {
            startMs = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
            seizeLines = ReadCommandLog(tallyxLog).size();
        }
    };
    auto mainWindow = MessageWindow::Create("", [&](const WindowMessage& m) -> int64_t {
        const int board = m.message == kWmCopyData ? video_.OnNotify(m.wParam, m.dwData) : -1;
        if (board >= 0)
            engine.OnBoardReport(board, video_.boardBusy(board));
        return 0;
    });
    engine.SetReplyWindow(mainWindow->Handle());
    video_.SetHostLauncher([this](int board, const std::string& title) {
        return CVideoCmd::LaunchHost(ORX_VDHOST_PATH, title, {"--log", HostLog(board)});
    });
    ASSERT_EQ(video_.Start(mainWindow->Handle(), 2), 1);
    engine.SetHardwareOk(true);
    Playlist playlist = test::MakePlaylist(
        2, {test::Entry("a_1.mpg", 1000, 1, 300), test::Entry("b_1.mpg", 1000, 1, 300),
            test::Entry("c_1.mpg", 1000, 0, 100, 0, {1}), test::Entry("", 0, 1, 300)});
    engine.ApplyPlaylist(&playlist);
    engine.OnAirPlay();
    ASSERT_TRUE(engine.playing());
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
    EXPECT_TRUE(ui_.boxes.empty());

    int64_t worstMs = 0;
    auto expectArrived = [&](const Timed& log, size_t from, const Timed& due) {
        ASSERT_GE(log.size(), from + due.size());
        for (size_t i = 0; i < due.size(); ++i) {
            const auto& [what, ms] = log[from + i];
            EXPECT_EQ(what, due[i].first);
            EXPECT_NEAR(ms - startMs, due[i].second, 60) << what;
            worstMs = std::max(worstMs, std::abs(ms - startMs - due[i].second));
        }
    };
    const PlaySchedule& s = engine.schedule();
    for (int board = 0; board < 2; ++board) {
        Timed due;
        for (const ClipCue& cue : s.boardQueue[board])
            due.emplace_back("1 " + cue.path, cue.startMs);
        due.emplace_back("3 ", s.totalMs + PlayoutEngine::kEndGraceMs);
        EXPECT_EQ(ReadCommandLog(HostLog(board)).size(), due.size());
        expectArrived(ReadCommandLog(HostLog(board)), 0, due);
    }
    Timed due;
    for (const MixerEvent& e : s.mixerEvents)
        due.emplace_back(std::to_string(e.mode) + " " + e.word, e.timeMs);
    due.emplace_back("2 FREEZE", s.mixerEvents.back().timeMs);  // the restore, at once
    expectArrived(ReadCommandLog(tallyxLog), seizeLines, due);
    std::cout << "largest deviation from the schedule: " << worstMs << " ms\n";
}

}  // namespace
}  // namespace orx
