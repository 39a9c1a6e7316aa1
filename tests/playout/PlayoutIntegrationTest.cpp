// Real time, real processes: a short two-board playlist played through CVideoCmd and CRemoteCmd
// over the window transport to the stand-in decoder hosts and remote-control application. Their
// command logs show what arrived and when.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <thread>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "app/UiHost.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "platform/Process.h"
#include "platform/WindowTransport.h"
#include "playout/PlayoutEngine.h"

namespace orx {
namespace {

namespace fs = std::filesystem;

int64_t WallClockMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
}

struct LogLine {
    int64_t ms = 0;
    std::string code;
    std::string text;
};

// "<ms>\t<code>\t<text>" per line.
std::vector<LogLine> ReadCommandLog(const std::string& path) {
    std::vector<LogLine> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        LogLine l;
        std::string ms;
        std::getline(fields, ms, '\t');
        std::getline(fields, l.code, '\t');
        std::getline(fields, l.text);
        l.ms = std::stoll(ms);
        lines.push_back(l);
    }
    return lines;
}

class BoxRecorder : public UiHost {
public:
    int ShowMessageBox(const std::string& text, const std::string&, unsigned) override {
        boxes.push_back(text);
        return id::Ok;
    }
    void SetWaitCursor(bool) override {}
    std::vector<std::string> boxes;
};

class LoopTimer : public ITimer {
public:
    void Start(uint32_t periodMs) override {
        running = true;
        period = periodMs;
    }
    void Stop() override { running = false; }
    bool running = false;
    uint32_t period = 50;
};

// Notes the wall-clock moment the run starts (the tool bar is refreshed right after the start
// tick is taken), to compare with the stand-ins' logs.
class StartWatchingView : public IPlayoutView {
public:
    void ShowTimes(int32_t, int32_t) override {}
    void ShowFileName(const std::string&) override {}
    void UpdateToolbar() override {
        if (engine != nullptr && engine->playing() && startWallMs == 0) {
            startWallMs = WallClockMs();
            if (onStart)
                onStart();
        }
    }
    void FillClipList() override {}
    int SelectedClipRow() override { return -1; }
    void SelectClipRow(int) override {}
    void ClearClipSelection() override {}
    int RestoreComboIndex() override { return 1; }

    PlayoutEngine* engine = nullptr;
    int64_t startWallMs = 0;
    std::function<void()> onStart;
};

class PlayoutIntegrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("orx-playout-live-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "windows");
        fs::permissions(root_ / "windows", fs::perms::owner_all, fs::perm_options::replace);
        fs::create_directories(root_ / "app" / "Video");
        ::setenv("ORX_WINDOW_DIR", (root_ / "windows").c_str(), 1);
        appDir_ = (root_ / "app").string() + "/";
        SetIniPath(appDir_ + "brenvik.ini");
        Settings() = AppSettings{};
        Settings().appDir = appDir_;
        Settings().videoPath = appDir_ + "Video/";
        Settings().mpeg = 2;
        SetUiHost(&ui_);
    }
    void TearDown() override {
        video_.Stop();
        if (WindowHandle remote = FindWindowByTitle(CRemoteCmd::kWindowTitle)) {
            SendWindowMessage(remote, kWmClose, 0, 0, nullptr, 0);
        }
        SetUiHost(nullptr);
        fs::remove_all(root_);
    }

    std::string LogPath(const std::string& name) const { return (root_ / name).string(); }

    fs::path root_;
    std::string appDir_;
    BoxRecorder ui_;
    CVideoCmd video_{SystemClock()};
    CRemoteCmd remote_{SystemClock()};
};

PlaylistEntry Entry(const char* name, int32_t ms, int32_t transition, int32_t interleaveMs) {
    PlaylistEntry e;
    std::snprintf(e.fileName, sizeof e.fileName, "%s", name);
    e.durationMs = ms;
    e.transition = transition;
    e.interleaveMs = interleaveMs;
    return e;
}

TEST_F(PlayoutIntegrationTest, ClipsAndMixerCommandsArriveInOrderAndOnTime) {
    for (const char* clip : {"a_1.mpg", "b_1.mpg", "c_1.mpg"}) {
        std::ofstream(Settings().videoPath + clip) << "stand-in clip";
    }
    const std::string tallyxLog = LogPath("tallyx.log");
    ASSERT_TRUE(LaunchProcess(ORX_TALLYX_PATH, {"--log", tallyxLog}));
    for (int i = 0; i < 200 && FindWindowByTitle(CRemoteCmd::kWindowTitle) == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(FindWindowByTitle(CRemoteCmd::kWindowTitle), 0u);

    LoopTimer timer;
    StartWatchingView view;
    PlayoutEngine engine(video_, remote_, SystemClock(), timer, view);
    view.engine = &engine;
    size_t seizeLines = 0;  // what the mixer received before the run
    view.onStart = [&] { seizeLines = ReadCommandLog(tallyxLog).size(); };
    auto mainWindow = MessageWindow::Create("", [&](const WindowMessage& m) -> int64_t {
        if (m.message != kWmCopyData)
            return 0;
        const int board = video_.OnNotify(m.wParam, m.dwData);
        if (board >= 0)
            engine.OnBoardReport(board, video_.boardBusy(board));
        return 0;
    });
    ASSERT_NE(mainWindow, nullptr);
    engine.SetReplyWindow(mainWindow->Handle());

    video_.SetHostLauncher([this](int board, const std::string& title) {
        return CVideoCmd::LaunchHost(ORX_VDHOST_PATH, title,
                                     {"--log", LogPath("vdhost" + std::to_string(board) + ".log")});
    });
    ASSERT_EQ(video_.Start(mainWindow->Handle(), 2), 1);
    engine.SetHardwareOk(true);

    Playlist playlist;
    playlist.boardCount = 2;
    playlist.entries = {Entry("a_1.mpg", 1000, 1, 300), Entry("b_1.mpg", 1000, 1, 300),
                        Entry("c_1.mpg", 1000, 0, 100), Entry("", 0, 1, 300)};
    playlist.entries[2].extraCommands[0] = 1;  // LOGO1 ON
    playlist.ComputeTotal();
    engine.ApplyPlaylist(&playlist);
    ASSERT_TRUE(engine.readyToPlay());

    // Timer 1: a tick every 50 ms on absolute deadlines; board reports are served in between.
    engine.OnAirPlay();
    ASSERT_TRUE(engine.playing());
    auto next = std::chrono::steady_clock::now();
    while (timer.running) {
        next += std::chrono::milliseconds(timer.period);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                next - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{mainWindow->Fd(), POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) > 0)
                mainWindow->ServePending();
        }
        engine.OnRunTick();
    }
    const int64_t start = view.startWallMs;
    ASSERT_NE(start, 0);
    EXPECT_TRUE(ui_.boxes.empty());

    const PlaySchedule& schedule = engine.schedule();
    const int64_t endMs = schedule.totalMs + PlayoutEngine::kEndGraceMs;
    int64_t worstMs = 0;
    for (int board = 0; board < 2; ++board) {
        SCOPED_TRACE(board);
        std::vector<LogLine> log =
            ReadCommandLog(LogPath("vdhost" + std::to_string(board) + ".log"));
        std::erase_if(log,
                      [](const LogLine& l) { return l.code == std::to_string(VIDCMD_ISINIT); });
        const std::vector<ClipCue>& cues = schedule.boardQueue[board];
        ASSERT_EQ(log.size(), cues.size() + 1);
        for (size_t k = 0; k < cues.size(); ++k) {
            EXPECT_EQ(log[k].code, std::to_string(VIDCMD_PLAY));
            EXPECT_EQ(log[k].text, cues[k].path);
            EXPECT_NEAR(log[k].ms - start, cues[k].startMs, 60) << cues[k].path;
            worstMs = std::max(worstMs, std::abs(log[k].ms - start - cues[k].startMs));
        }
        EXPECT_EQ(log.back().code, std::to_string(VIDCMD_STOP));
        EXPECT_NEAR(log.back().ms - start, endMs, 60);
    }

    std::vector<LogLine> mixer = ReadCommandLog(tallyxLog);
    ASSERT_GT(seizeLines, 0u);
    mixer.erase(mixer.begin(), mixer.begin() + static_cast<std::ptrdiff_t>(seizeLines));
    const std::vector<MixerEvent>& events = schedule.mixerEvents;
    ASSERT_GT(mixer.size(), events.size());
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(mixer[i].code, std::to_string(events[i].mode)) << i;
        EXPECT_EQ(mixer[i].text, events[i].word) << i;
        EXPECT_NEAR(mixer[i].ms - start, events[i].timeMs, 60) << events[i].word;
        worstMs = std::max(worstMs, std::abs(mixer[i].ms - start - events[i].timeMs));
    }
    // Then the restore, at once after the last command: it begins by releasing the freeze.
    EXPECT_EQ(mixer[events.size()].code, "2");
    EXPECT_EQ(mixer[events.size()].text, "FREEZE");
    EXPECT_NEAR(mixer[events.size()].ms - start, events.back().timeMs, 60);
    std::cout << "largest deviation from the schedule: " << worstMs << " ms\n";
}

}  // namespace
}  // namespace orx
