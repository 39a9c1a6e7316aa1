// How late do clips and mixer commands reach the companion programs? Plays a generated two-board
// playlist in real time through the real main window (its timer, its engine, the real channels)
// to the stand-ins vdhost and tallyx, then compares the time each command was logged by its
// receiver with its due time in the schedule, and prints the median, the 99th percentile and
// the maximum lateness.
//
//   QT_QPA_PLATFORM=offscreen bench_lateness [--clips N] [--seed S]
//
// Clip durations and interleaves are random (fixed seed), so due times fall anywhere between
// two ticks of the run timer. The receivers stamp their logs with the wall clock in whole
// milliseconds; due times are mapped from the monotonic tick of the run's start to the wall clock,
// so every value carries up to 1 ms of rounding either way.

#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "devices/HardwareControl.h"
#include "library/Playlist.h"
#include "mainwin/CMainWin.h"
#include "mainwin/MainToolBar.h"
#include "mainwin/PlaylistTreeView.h"
#include "platform/Clock.h"
#include "platform/Process.h"
#include "platform/WindowTransport.h"

namespace {

using namespace orx;
namespace fs = std::filesystem;

struct Logged {
    int64_t ms = 0;
    std::string code, text;
};

std::vector<Logged> ReadLog(const std::string& path) {
    std::vector<Logged> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const size_t a = line.find('\t'), b = line.find('\t', a + 1);
        if (a == std::string::npos || b == std::string::npos)
            continue;
        lines.push_back(
            {std::stoll(line.substr(0, a)), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
    }
    return lines;
}

int64_t WallMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 1000; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

PlaylistEntry MakeEntry(const std::string& name, int32_t durationMs, int32_t transition,
                        int32_t interleaveMs, uint8_t extra) {
    PlaylistEntry e{};
    SetEntryFileName(e, name);
    e.durationMs = durationMs;
    e.transition = transition;
    e.interleaveMs = interleaveMs;
    e.extraCommands[0] = extra;
    return e;
}

}  // namespace

int main(int argc, char** argv) {
    int clips = 200;
    unsigned seed = 14;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--clips") {
            clips = std::max(2, std::atoi(argv[i + 1]));
        } else if (option == "--seed") {
            seed = static_cast<unsigned>(std::atoi(argv[i + 1]));
        }
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char pattern[] = "/tmp/orx-lateness-XXXXXX";
    const std::string dir = std::string(::mkdtemp(pattern)) + "/";
    fs::create_directory(dir + "windows");
    fs::permissions(dir + "windows", fs::perms::owner_all);
    setenv("ORX_WINDOW_DIR", (dir + "windows").c_str(), 1);
    const std::string programDir = ORX_PROGRAM_DIR;

    SetIniPath(dir + "brenvik.ini");
    Settings() = AppSettings{};
    Settings().appDir = dir;
    Settings().remotePath = programDir + "/";
    Settings().videoPath = dir + "Video/";
    Settings().mpeg = 2;
    Settings().airLog = 1;
    fs::create_directories(dir + "Video");

    // CUT with 100-250 ms interleave, MIX with 300-450 ms, clips of 500-900 ms, now and then a
    // logo or clock command.
    std::mt19937 random(seed);
    auto between = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    Playlist playlist;
    playlist.Clear();
    playlist.boardCount = 2;
    for (int i = 0; i < clips; ++i) {
        const int32_t ms = between(500, 900);
        const std::string name = "clip" + std::to_string(i) + "_" + std::to_string(ms) + "ms.mpg";
        std::ofstream(dir + "Video/" + name) << "stand-in clip";
        const int32_t transition = between(0, 1);
        const int32_t interleave = transition == 0 ? between(100, 250) : between(300, 450);
        const uint8_t extra = between(0, 9) == 0 ? static_cast<uint8_t>(between(1, 6)) : 0;
        playlist.entries.push_back(MakeEntry(name, ms, transition, interleave, extra));
    }
    playlist.entries.push_back(MakeEntry("", 0, 1, 300, 0));
    playlist.ComputeTotal();
    if (playlist.Save(dir + "Video/Lateness.vid") != 0) {
        std::fprintf(stderr, "cannot write the playlist\n");
        return 1;
    }

    const std::string mixerLog = dir + "tallyx.log";
    if (!LaunchProcess(programDir + "/tallyx", {"--log", mixerLog, "--program", "IN1"}) ||
        !WaitFor([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; })) {
        std::fprintf(stderr, "cannot start tallyx from %s\n", programDir.c_str());
        return 1;
    }

    int appArgc = 1;
    QApplication app(appArgc, argv);
    Clock& clock = SystemClock();
    CVideoCmd video(clock);
    CRemoteCmd remote(clock);
    HardwareControl hardware(video, remote, clock);
    video.SetHostLauncher([&](int board, const std::string& title) {
        return CVideoCmd::LaunchHost(programDir + "/vdhost", title,
                                     {"--log", dir + "vdhost" + std::to_string(board) + ".log"});
    });

    auto window = std::make_unique<CMainWin>(video, remote, hardware, clock);
    window->show();
    while (window->firstTick())
        app.processEvents(QEventLoop::WaitForMoreEvents);
    const auto found = window->playlistTree()->findItems(QStringLiteral("Lateness"),
                                                         Qt::MatchExactly | Qt::MatchRecursive);
    if (found.size() != 1) {
        std::fprintf(stderr, "playlist not in the tree\n");
        return 1;
    }
    window->playlistTree()->setCurrentItem(found.front());
    PlayoutEngine& engine = window->engine();
    if (!engine.readyToPlay()) {
        std::fprintf(stderr, "not ready to play (hardware %d)\n", engine.hardwareOk() ? 1 : 0);
        return 1;
    }

    std::printf("%d clips, %zu mixer events, %d ms of play time\n", clips,
                engine.schedule().mixerEvents.size(), engine.schedule().totalMs);
    std::fflush(stdout);
    window->toolBar()->action(MainToolBar::kPlayId)->trigger();
    // The wall-clock time of the run's start tick.
    const int64_t startWallMs =
        WallMs() - static_cast<int32_t>(clock.Ticks() - engine.playStartTick());
    while (engine.playing())
        app.processEvents(QEventLoop::WaitForMoreEvents);
    const PlaySchedule schedule = engine.schedule();
    window.reset();  // closes the decoder hosts
    SendWindowMessage(FindWindowByTitle(CRemoteCmd::kWindowTitle), kWmClose, 0, 0, nullptr, 0);

    // Lateness of every scheduled clip and mixer command, matched in order with what arrived.
    std::vector<int64_t> late;
    std::vector<std::pair<int64_t, std::string>> worst;  // lateness, what and when
    int mismatches = 0;
    for (int board = 0; board < 2; ++board) {
        std::vector<Logged> plays;
        for (const Logged& l : ReadLog(dir + "vdhost" + std::to_string(board) + ".log")) {
            if (l.code == "1" || l.code == "2")
                plays.push_back(l);
        }
        const std::vector<ClipCue>& queue = schedule.boardQueue[board];
        for (size_t i = 0; i < queue.size() && i < plays.size(); ++i) {
            mismatches += plays[i].text != queue[i].path;
            late.push_back(plays[i].ms - (startWallMs + queue[i].startMs));
            worst.emplace_back(late.back(), "PLAY board " + std::to_string(board) + " at " +
                                                std::to_string(queue[i].startMs));
        }
        mismatches += static_cast<int>(std::max(queue.size(), plays.size()) -
                                       std::min(queue.size(), plays.size()));
    }
    // The run's mixer commands are the ones just before the restore's first command (FREEZE off).
    const std::vector<Logged> mixer = ReadLog(mixerLog);
    size_t restore = mixer.size();
    while (restore > 0 && !(mixer[restore - 1].code == "2" && mixer[restore - 1].text == "FREEZE"))
        --restore;
    const size_t events = schedule.mixerEvents.size();
    if (restore == 0 || restore - 1 < events) {
        std::fprintf(stderr, "mixer log does not hold the run\n");
        return 1;
    }
    for (size_t i = 0; i < events; ++i) {
        const Logged& l = mixer[restore - 1 - events + i];
        const MixerEvent& e = schedule.mixerEvents[i];
        mismatches += l.text != e.word || l.code != std::to_string(e.mode);
        late.push_back(l.ms - (startWallMs + e.timeMs));
        worst.emplace_back(late.back(), e.word + " (event " + std::to_string(i) + ") at " +
                                            std::to_string(e.timeMs));
    }

    std::sort(late.begin(), late.end());
    auto at = [&](double q) { return late[static_cast<size_t>(q * double(late.size() - 1))]; };
    std::printf("commands %zu, out of order or missing %d\n", late.size(), mismatches);
    std::printf("lateness ms: min %lld, median %lld, p99 %lld, max %lld\n",
                static_cast<long long>(late.front()), static_cast<long long>(at(0.5)),
                static_cast<long long>(at(0.99)), static_cast<long long>(late.back()));
    std::sort(worst.rbegin(), worst.rend());
    for (size_t i = 0; i < worst.size() && i < 5; ++i)
        std::printf("  %lld ms late: %s\n", static_cast<long long>(worst[i].first),
                    worst[i].second.c_str());
    fs::remove_all(dir);
    return mismatches == 0 ? 0 : 1;
}
