// One mixer command round trip to a live tallyx over the window-message transport (and to a window
// that only answers, the transport's own share), against a
// bare Unix-socket ping-pong of 8 bytes on one open connection (the floor of a transport whose
// sender keeps its connection open, as ours does), and against the same exchange on a fresh
// connection per message with nothing else done (what a connection per message would cost at
// least). Each benchmark reports the median and the 99th percentile of its per-iteration times as
// counters.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "devices/Payloads.h"
#include "platform/WindowTransport.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

void ReportPercentiles(benchmark::State& state, std::vector<double>& samplesUs) {
    if (samplesUs.empty())
        return;
    std::sort(samplesUs.begin(), samplesUs.end());
    auto at = [&](double q) {
        size_t i = static_cast<size_t>(q * static_cast<double>(samplesUs.size() - 1));
        return samplesUs[i];
    };
    state.counters["median_us"] = at(0.5);
    state.counters["p99_us"] = at(0.99);
}

// Finds the window of that title (its process is starting), then times one mixer query per
// iteration to it and closes it; false when the window never came up.
bool TimeMixerQueries(benchmark::State& state, const char* title) {
    orx::WindowHandle window = 0;
    for (int i = 0; i < 500 && window == 0; ++i) {
        window = orx::FindWindowByTitle(title);
        if (window == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (window == 0)
        return false;
    auto payload = orx::EncodeMixerPayload(3, "AIR_IN3");
    std::vector<double> samples;
    for (auto _ : state) {
        auto t0 = Clock::now();
        int64_t r = orx::SendWindowMessage(window, orx::kWmCopyData, 0, 1, payload.data(),
                                           uint32_t(payload.size()));
        auto t1 = Clock::now();
        benchmark::DoNotOptimize(r);
        double us = std::chrono::duration<double, std::micro>(t1 - t0).count();
        samples.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    ReportPercentiles(state, samples);
    orx::SendWindowMessage(window, orx::kWmClose, 0, 0, nullptr, 0);
    return true;
}

void BM_CopyDataRoundTripToTallyx(benchmark::State& state) {
    char tmpl[] = "/tmp/orx-bench-XXXXXX";
    std::string dir = ::mkdtemp(tmpl);
    ::setenv("ORX_WINDOW_DIR", (dir + "/windows").c_str(), 1);
    pid_t pid = 0;
    char program[] = ORX_TALLYX_PATH;
    char* argv[] = {program, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid, program, &actions, nullptr, argv, environ) != 0) {
        state.SkipWithError("cannot start tallyx");
        return;
    }
    posix_spawn_file_actions_destroy(&actions);
    if (!TimeMixerQueries(state, "ORX Remote Control"))
        state.SkipWithError("tallyx window not found");
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CopyDataRoundTripToTallyx)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The same exchange with a window that does nothing but answer: the transport's own share.
void BM_CopyDataRoundTripToAnEchoWindow(benchmark::State& state) {
    char tmpl[] = "/tmp/orx-bench-XXXXXX";
    std::string dir = ::mkdtemp(tmpl);
    ::setenv("ORX_WINDOW_DIR", (dir + "/windows").c_str(), 1);
    pid_t pid = ::fork();
    if (pid == 0) {
        auto window = orx::MessageWindow::Create(
            "echo", [](const orx::WindowMessage& m) { return int64_t(m.data.size()); });
        while (window && !window->Closed()) {
            pollfd p{window->Fd(), POLLIN, 0};
            if (::poll(&p, 1, -1) > 0)
                window->ServePending();
        }
        ::_exit(0);
    }
    if (!TimeMixerQueries(state, "echo"))
        state.SkipWithError("echo window not found");
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CopyDataRoundTripToAnEchoWindow)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_BareUnixSocketPingPong(benchmark::State& state) {
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
        state.SkipWithError("socketpair failed");
        return;
    }
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(sv[0]);
        char buf[8];
        while (::recv(sv[1], buf, sizeof buf, MSG_WAITALL) == 8) {
            if (::send(sv[1], buf, sizeof buf, MSG_NOSIGNAL) != 8)
                break;
        }
        ::_exit(0);
    }
    ::close(sv[1]);
    std::vector<double> samples;
    char buf[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (auto _ : state) {
        auto t0 = Clock::now();
        ::send(sv[0], buf, sizeof buf, MSG_NOSIGNAL);
        ::recv(sv[0], buf, sizeof buf, MSG_WAITALL);
        auto t1 = Clock::now();
        double us = std::chrono::duration<double, std::micro>(t1 - t0).count();
        samples.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    ReportPercentiles(state, samples);
    ::close(sv[0]);
    ::waitpid(pid, nullptr, 0);
}
BENCHMARK(BM_BareUnixSocketPingPong)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One fresh connection per message (socket, connect, accept, 36 bytes out, 8 back, close), with
// nothing else done on either side.
void BM_ConnectPerMessagePingPong(benchmark::State& state) {
    char tmpl[] = "/tmp/orx-bench-XXXXXX";
    const std::string path = std::string(::mkdtemp(tmpl)) + "/s";
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener, 64) != 0) {
        state.SkipWithError("cannot listen");
        return;
    }
    pid_t pid = ::fork();
    if (pid == 0) {
        char buf[36];
        for (;;) {
            const int c = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0)
                ::_exit(0);
            if (::recv(c, buf, sizeof buf, MSG_WAITALL) == 36)
                ::send(c, buf, 8, MSG_NOSIGNAL);
            ::close(c);
        }
    }
    std::vector<double> samples;
    char buf[36] = {};
    for (auto _ : state) {
        auto t0 = Clock::now();
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::send(fd, buf, sizeof buf, MSG_NOSIGNAL);
        ::recv(fd, buf, 8, MSG_WAITALL);
        ::close(fd);
        auto t1 = Clock::now();
        double us = std::chrono::duration<double, std::micro>(t1 - t0).count();
        samples.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    ReportPercentiles(state, samples);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::close(listener);
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
BENCHMARK(BM_ConnectPerMessagePingPong)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
