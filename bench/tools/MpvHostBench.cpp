// The libmpv decoder host, headless, as the player meets it: from VIDCMD_PLAY sent until the
// host's "started" report has arrived, for an MPEG-2 program-stream clip made by ffmpeg
// (720x576, 25 fps, MPEG-2 video and MP2 audio). Reports the median and the 99th percentile, and
// the host's resident memory while it plays.
//
// Two cases, as a run has them: a board that is idle (its last clip was stopped a while ago),
// and a board whose clip is still running and is replaced by the next one.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "devices/Channels.h"
#include "devices/Payloads.h"
#include "platform/WindowTransport.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// "VmRSS" or "VmHWM" of a process, in kB; 0 when unknown.
double MemoryKb(pid_t pid, const std::string& field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(field + ":", 0) == 0)
            return std::atof(line.c_str() + field.size() + 1);
    }
    return 0;
}

void PlayToStartedReport(benchmark::State& state, bool replace) {
    char pattern[] = "/tmp/orx-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    ::setenv("ORX_WINDOW_DIR", (dir + "/windows").c_str(), 1);
    const std::string clip = dir + "/clip_4.mpg";
    const std::string make =
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=720x576:rate=25:duration=4 "
        "-f lavfi -i sine=duration=4 -c:v mpeg2video -q:v 4 -c:a mp2 -f vob '" +
        clip + "'";
    if (std::system(make.c_str()) != 0) {
        state.SkipWithError("ffmpeg could not make the clip");
        return;
    }
    char program[] = ORX_VDHOST_MPV_PATH;
    char title[] = "?MPEG2_Video_Window_1?";
    char headless[] = "--headless";
    char* argv[] = {program, title, headless, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, program, &actions, nullptr, argv, environ) != 0) {
        state.SkipWithError("cannot start vdhost-mpv");
        return;
    }
    posix_spawn_file_actions_destroy(&actions);
    orx::WindowHandle host = 0;
    for (int i = 0; i < 500 && host == 0; ++i) {
        host = orx::FindWindowByTitle("MPEG2_Video_Window_1");
        if (host == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    int64_t lastReport = -1;
    auto player = orx::MessageWindow::Create("", [&](const orx::WindowMessage& m) {
        lastReport = static_cast<int64_t>(m.dwData);
        return int64_t{0};
    });
    // Serves reports until one with code arrives; false after 5 s.
    auto awaitReport = [&](int64_t code) {
        const auto end = Clock::now() + std::chrono::seconds(5);
        while (lastReport != code && Clock::now() < end) {
            pollfd p{player->Fd(), POLLIN, 0};
            if (::poll(&p, 1, 5) > 0)
                player->ServePending();
        }
        return lastReport == code;
    };
    auto send = [&](int code, const std::string& text) {
        const auto payload = orx::EncodeDecoderPayload(text);
        return orx::SendWindowMessage(host, orx::kWmCopyData, player->Handle(), code,
                                      payload.data(), uint32_t(payload.size()));
    };
    if (host == 0 || send(orx::VIDCMD_ISINIT, "") != 1) {
        state.SkipWithError("vdhost-mpv did not come up");
    } else {
        std::vector<double> samples;
        double rssKb = 0, peakKb = 0;
        if (replace && !(send(orx::VIDCMD_PLAY, clip) == 1 && awaitReport(orx::kNotifyStarted)))
            state.SkipWithError("no started report");
        for (auto _ : state) {
            // Between clips the host is left alone, as between the clips of a run.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            lastReport = -1;
            const auto t0 = Clock::now();
            const bool played =
                send(orx::VIDCMD_PLAY, clip) == 1 && awaitReport(orx::kNotifyStarted);
            const auto t1 = Clock::now();
            if (!played) {
                state.SkipWithError("no started report");
                break;
            }
            const double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
            samples.push_back(ms);
            state.SetIterationTime(ms / 1e3);
            rssKb = std::max(rssKb, MemoryKb(pid, "VmRSS"));
            if (!replace) {
                send(orx::VIDCMD_STOP, "");
                awaitReport(orx::kNotifyStopped);
            }
        }
        peakKb = MemoryKb(pid, "VmHWM");
        if (!samples.empty()) {
            std::sort(samples.begin(), samples.end());
            state.counters["median_ms"] = samples[samples.size() / 2];
            state.counters["p99_ms"] = samples[(samples.size() - 1) * 99 / 100];
            state.counters["rss_playing_MB"] = rssKb / 1024;
            state.counters["rss_peak_MB"] = peakKb / 1024;
        }
        orx::SendWindowMessage(host, orx::kWmClose, 0, 0, nullptr, 0);
    }
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    std::filesystem::remove_all(dir);
}
void BM_PlayOnIdleBoard(benchmark::State& state) {
    PlayToStartedReport(state, false);
}
void BM_PlayReplacingRunningClip(benchmark::State& state) {
    PlayToStartedReport(state, true);
}
BENCHMARK(BM_PlayOnIdleBoard)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_PlayReplacingRunningClip)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);

}  // namespace

BENCHMARK_MAIN();
