#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "CommandLog.h"
#include "devices/Channels.h"
#include "devices/Payloads.h"
#include "platform/WindowTransport.h"

extern char** environ;

namespace fs = std::filesystem;

namespace orx {
namespace {

// Polls a condition for a few seconds; a start-up barrier, not a timing assertion.
bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

struct LogLine {
    int64_t ms = 0;
    std::string code;
    std::string text;
};

std::vector<LogLine> ReadLog(const std::string& path) {
    std::vector<LogLine> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        LogLine l;
        size_t a = line.find('\t');
        size_t b = line.find('\t', a + 1);
        if (a == std::string::npos || b == std::string::npos) {
            ADD_FAILURE() << "bad log line: " << line;
            continue;
        }
        l.ms = std::stoll(line.substr(0, a));
        l.code = line.substr(a + 1, b - a - 1);
        l.text = line.substr(b + 1);
        out.push_back(l);
    }
    return out;
}

class CompanionTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orx-companions-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        ::setenv("ORX_WINDOW_DIR", (root_ + "/windows").c_str(), 1);
    }
    void TearDown() override {
        for (pid_t pid : children_) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        ::unsetenv("ORX_WINDOW_DIR");
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    pid_t Spawn(const char* program, std::vector<std::string> args) {
        std::vector<char*> argv{const_cast<char*>(program)};
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // Keep the test output readable: the stand-ins' chatter goes to a file.
        posix_spawn_file_actions_addopen(&actions, 1, (root_ + "/stdout.txt").c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0600);
        pid_t pid = 0;
        int rc = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(rc, 0);
        children_.push_back(pid);
        return pid;
    }

    WindowHandle StartAndFind(const char* program, std::vector<std::string> args,
                              const std::string& title) {
        Spawn(program, std::move(args));
        WindowHandle h = 0;
        Eventually([&] { return (h = FindWindowByTitle(title)) != 0; });
        return h;
    }

    int WaitExit(pid_t pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        children_.erase(std::remove(children_.begin(), children_.end(), pid), children_.end());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string MakeClip(const std::string& name) {
        std::string path = root_ + "/" + name;
        std::ofstream(path) << "not really mpeg";
        return path;
    }

    std::string root_;
    std::vector<pid_t> children_;
};

int64_t Decoder(WindowHandle host, int code, const std::string& text = {}, WindowHandle reply = 0) {
    auto payload = EncodeDecoderPayload(text);
    return SendWindowMessage(host, kWmCopyData, reply, static_cast<uint64_t>(code), payload.data(),
                             static_cast<uint32_t>(payload.size()));
}

int64_t Mixer(WindowHandle remote, int mode, const std::string& word) {
    auto payload = EncodeMixerPayload(mode, word);
    return SendWindowMessage(remote, kWmCopyData, 0, kMixerCommandData, payload.data(),
                             static_cast<uint32_t>(payload.size()));
}

// The player's side of the host notifications: a window that records what it hears.
struct Notifications {
    std::vector<std::pair<WindowHandle, uint64_t>> heard;
    std::unique_ptr<MessageWindow> window =
        MessageWindow::Create("", [this](const WindowMessage& m) {
            heard.emplace_back(m.wParam, m.dwData);
            return int64_t{0};
        });
    // Serves the window until n notifications have arrived.
    bool WaitFor(size_t n) {
        return Eventually([&] {
            window->ServePending();
            return heard.size() >= n;
        });
    }
};

TEST_F(CompanionTest, DecoderHostPlaysReportsAndClosesOverTheTransport) {
    std::string log = root_ + "/vdhost.log";
    WindowHandle host = StartAndFind(ORX_VDHOST_PATH, {"?MPEG2_Video_Window_1?", "--log", log},
                                     "MPEG2_Video_Window_1");
    ASSERT_NE(host, 0u);
    pid_t pid = children_.back();
    Notifications player;
    ASSERT_NE(player.window, nullptr);
    WindowHandle me = player.window->Handle();

    EXPECT_EQ(Decoder(host, VIDCMD_ISINIT), 1);
    EXPECT_EQ(Decoder(host, VIDCMD_VOLUME, "70", me), 1);
    EXPECT_EQ(Decoder(host, VIDCMD_PLAY, root_ + "/missing_10.mpg", me), 0);
    std::string longClip = MakeClip("long_600.mpg");
    std::string shortClip = MakeClip("short_50ms.mpg");
    EXPECT_EQ(Decoder(host, VIDCMD_PLAY, longClip, me), 1);
    ASSERT_TRUE(player.WaitFor(1));
    EXPECT_EQ(Decoder(host, VIDCMD_ISPLAYING), 1);
    EXPECT_EQ(Decoder(host, VIDCMD_PAUSE), 1);
    EXPECT_EQ(Decoder(host, VIDCMD_ISPLAYING), 1);
    EXPECT_EQ(Decoder(host, VIDCMD_PAUSE), 1);
    // The next PLAY replaces the clip; the short one then runs out by itself.
    EXPECT_EQ(Decoder(host, VIDCMD_PLAY2, shortClip, me), 1);
    ASSERT_TRUE(player.WaitFor(4));
    EXPECT_EQ(player.heard,
              (std::vector<std::pair<WindowHandle, uint64_t>>{{host, kNotifyStarted},
                                                              {host, kNotifyStopped},
                                                              {host, kNotifyStarted},
                                                              {host, kNotifyStopped}}));
    EXPECT_EQ(Decoder(host, VIDCMD_ISPLAYING), 0);

    EXPECT_EQ(SendWindowMessage(host, kWmClose, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(WaitExit(pid), 0);
    EXPECT_EQ(FindWindowByTitle("MPEG2_Video_Window_1"), 0u);
    EXPECT_EQ(Decoder(host, VIDCMD_ISINIT), 0);

    std::vector<LogLine> lines = ReadLog(log);
    std::vector<std::string> codes;
    for (const auto& l : lines)
        codes.push_back(l.code);
    EXPECT_EQ(codes, (std::vector<std::string>{"100", "7", "1", "1", "101", "4", "101", "4", "2",
                                               "101", "WM_CLOSE"}));
    ASSERT_EQ(lines.size(), codes.size());
    EXPECT_EQ(lines[1].text, "70");
    EXPECT_EQ(lines[3].text, longClip);
    EXPECT_EQ(lines[0].text, "");
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_LE(lines[i - 1].ms, lines[i].ms);
    // Wall-clock milliseconds, comparable with this process's clock.
    EXPECT_LE(lines.back().ms, CommandLog::WallClockMs());
    EXPECT_GT(lines.front().ms, CommandLog::WallClockMs() - 600000);
}

TEST_F(CompanionTest, DecoderHostFaultInjection) {
    WindowHandle a = StartAndFind(ORX_VDHOST_PATH, {"?MPEG2_Video_Window_1?", "--fail-isinit"},
                                  "MPEG2_Video_Window_1");
    WindowHandle b = StartAndFind(ORX_VDHOST_PATH, {"?MPEG2_Video_Window_2?", "--fail-play"},
                                  "MPEG2_Video_Window_2");
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    std::string clip = MakeClip("clip_1.mpg");
    EXPECT_EQ(Decoder(a, VIDCMD_ISINIT), 0);
    EXPECT_EQ(Decoder(a, VIDCMD_PLAY, clip), 1);
    EXPECT_EQ(Decoder(b, VIDCMD_ISINIT), 1);
    EXPECT_EQ(Decoder(b, VIDCMD_PLAY, clip), 0);
    EXPECT_EQ(Decoder(b, VIDCMD_ISPLAYING), 0);
    for (pid_t pid : std::vector<pid_t>(children_))
        (void)pid;
    EXPECT_EQ(SendWindowMessage(a, kWmClose, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(SendWindowMessage(b, kWmClose, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(WaitExit(children_[1]), 0);
    EXPECT_EQ(WaitExit(children_[0]), 0);
}

TEST_F(CompanionTest, StandInsRefuseAnOpenWindowFolderAndExplainUsage) {
    std::string dir = root_ + "/windows";
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
    EXPECT_EQ(WaitExit(Spawn(ORX_VDHOST_PATH, {"?MPEG2_Video_Window_1?"})), 1);
    EXPECT_EQ(WaitExit(Spawn(ORX_TALLYX_PATH, {})), 1);
    EXPECT_EQ(WaitExit(Spawn(ORX_VDHOST_PATH, {"--help"})), 0);
    EXPECT_EQ(WaitExit(Spawn(ORX_TALLYX_PATH, {"--help"})), 0);
    EXPECT_EQ(WaitExit(Spawn(ORX_VDHOST_PATH, {})), 2);
    EXPECT_EQ(WaitExit(Spawn(ORX_TALLYX_PATH, {"--program", "IN99"})), 2);
    std::ifstream out(root_ + "/stdout.txt");
    std::stringstream text;
    text << out.rdbuf();
    EXPECT_NE(text.str().find("usage: vdhost"), std::string::npos);
    EXPECT_NE(text.str().find("usage: tallyx"), std::string::npos);
}

TEST_F(CompanionTest, MixerAnswersTheSeizeAndRestoreSequences) {
    std::string log = root_ + "/tallyx.log";
    WindowHandle remote = StartAndFind(ORX_TALLYX_PATH,
                                       {"--program", "IN3", "--preview", "IN4", "--transition",
                                        "MIX", "--on", "FAST", "--log", log},
                                       "ORX Remote Control");
    ASSERT_NE(remote, 0u);
    pid_t pid = children_.back();
    // Seize: BREAK, TRANSP off, on-air search, key search, FAST and CUT states.
    EXPECT_EQ(Mixer(remote, 0, "BREAK"), 1);
    EXPECT_EQ(Mixer(remote, 2, "TRANSP"), 1);
    for (const char* source : {"AIR_BLACK", "AIR_BARS", "AIR_IN1", "AIR_IN2"}) {
        EXPECT_EQ(Mixer(remote, 3, source), 1) << source;
    }
    EXPECT_EQ(Mixer(remote, 3, "AIR_IN3"), 2);
    EXPECT_EQ(Mixer(remote, 3, "MIX"), 2);
    EXPECT_EQ(Mixer(remote, 3, "FAST"), 2);
    EXPECT_EQ(Mixer(remote, 3, "CUT"), 1);
    // Playout moves the mixer elsewhere...
    EXPECT_EQ(Mixer(remote, 0, "IN7"), 1);
    EXPECT_EQ(Mixer(remote, 0, "AUTO"), 1);
    EXPECT_EQ(Mixer(remote, 0, "EFFECT2"), 1);
    EXPECT_EQ(Mixer(remote, 3, "AIR_IN7"), 2);
    // ...and the restore with a cut brings back IN3 with MIX.
    EXPECT_EQ(Mixer(remote, 2, "FREEZE"), 1);
    for (const char* word : {"CUT", "IN3", "MIX", "AUTO", "IN3"}) {
        EXPECT_EQ(Mixer(remote, 0, word), 1) << word;
    }
    EXPECT_EQ(Mixer(remote, 3, "AIR_IN3"), 2);
    EXPECT_EQ(Mixer(remote, 3, "IN3"), 2);
    EXPECT_EQ(Mixer(remote, 3, "MIX"), 2);
    EXPECT_EQ(Mixer(remote, 3, "FAST"), 2);
    // Words outside the vocabulary and malformed payloads answer 0.
    EXPECT_EQ(Mixer(remote, 0, "SPARKLE"), 0);
    uint8_t tooShort[3] = {0, 0, 0};
    EXPECT_EQ(SendWindowMessage(remote, kWmCopyData, 0, kMixerCommandData, tooShort, 3), 0);
    EXPECT_EQ(SendWindowMessage(remote, kWmCopyData, 0, 7, nullptr, 0), 0);

    EXPECT_EQ(SendWindowMessage(remote, kWmClose, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(WaitExit(pid), 0);
    std::vector<LogLine> lines = ReadLog(log);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].code, "0");
    EXPECT_EQ(lines[0].text, "BREAK");
    EXPECT_EQ(lines[1].code, "2");
    EXPECT_EQ(lines[1].text, "TRANSP");
    EXPECT_EQ(lines[2].code, "3");
    EXPECT_EQ(lines[2].text, "AIR_BLACK");
    EXPECT_EQ(lines.back().code, "WM_CLOSE");
}

TEST_F(CompanionTest, MixerFaultInjectionAndFastLatching) {
    WindowHandle remote =
        StartAndFind(ORX_TALLYX_PATH, {"--fast-needs-set", "--fail", "BREAK", "--fail", "AIR_IN1"},
                     "ORX Remote Control");
    ASSERT_NE(remote, 0u);
    EXPECT_EQ(Mixer(remote, 0, "BREAK"), 0);
    EXPECT_EQ(Mixer(remote, 3, "AIR_IN1"), 0);
    EXPECT_EQ(Mixer(remote, 3, "IN2"), 2);
    EXPECT_EQ(Mixer(remote, 0, "FAST"), 1);
    EXPECT_EQ(Mixer(remote, 3, "FAST"), 1);
    EXPECT_EQ(Mixer(remote, 0, "SET"), 1);
    EXPECT_EQ(Mixer(remote, 0, "FAST"), 1);
    EXPECT_EQ(Mixer(remote, 3, "FAST"), 2);
    EXPECT_EQ(SendWindowMessage(remote, kWmClose, 0, 0, nullptr, 0), 0);

    WindowHandle dead = StartAndFind(ORX_TALLYX_PATH, {"--fail-all"}, "ORX Remote Control");
    ASSERT_NE(dead, 0u);
    EXPECT_EQ(Mixer(dead, 0, "BREAK"), 0);
    EXPECT_EQ(Mixer(dead, 3, "AIR_IN1"), 0);
    EXPECT_EQ(SendWindowMessage(dead, kWmClose, 0, 0, nullptr, 0), 0);
    for (pid_t pid : std::vector<pid_t>(children_))
        EXPECT_EQ(WaitExit(pid), 0);
}

}  // namespace
}  // namespace orx
