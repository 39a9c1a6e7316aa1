#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Process.h"
#include "platform/WindowTransport.h"

namespace fs = std::filesystem;

namespace orx {
namespace {

std::string HexOf(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

std::string HandleHex(WindowHandle h) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%llx", static_cast<unsigned long long>(h));
    return buf;
}

// Serves a window until it is closed; for use in a forked peer.
void ServeUntilClosed(MessageWindow& w) {
    while (!w.Closed()) {
        pollfd p{w.Fd(), POLLIN, 0};
        if (::poll(&p, 1, 1000) > 0)
            w.ServePending();
    }
}

// Polls a condition for at most a few seconds (a start-up barrier, not a timing assertion).
bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orx-transport-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        dir_ = root_ + "/windows";
        ::setenv("ORX_WINDOW_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        for (pid_t pid : peers_) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        SetSendTimeoutMsForTesting(0);
        ::unsetenv("ORX_WINDOW_DIR");
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    // Runs body in a child process that then exits with status 0.
    pid_t Fork(const std::function<void()>& body) {
        pid_t pid = ::fork();
        if (pid == 0) {
            body();
            ::_exit(0);
        }
        peers_.push_back(pid);
        return pid;
    }

    // A peer process owning one window with the given title and handler, served until WM_CLOSE.
    WindowHandle StartPeer(const std::string& title, MessageWindow::Handler handler) {
        Fork([&] {
            auto w = MessageWindow::Create(title, handler);
            if (!w)
                ::_exit(3);
            ServeUntilClosed(*w);
        });
        WindowHandle h = 0;
        Eventually([&] { return (h = FindWindowByTitle(title)) != 0; });
        return h;
    }

    int WaitExit(pid_t pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        peers_.erase(std::remove(peers_.begin(), peers_.end(), pid), peers_.end());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // A raw connection to a window's socket.
    int RawConnect(WindowHandle h) {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::string path = dir_ + "/w-" + HandleHex(h);
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        return fd;
    }

    std::string root_;
    std::string dir_;
    std::vector<pid_t> peers_;
};

std::vector<uint8_t> Header(const char* magic, uint32_t message, uint64_t wParam, uint64_t dwData,
                            uint32_t size) {
    std::vector<uint8_t> out(28);
    std::memcpy(out.data(), magic, 4);
    for (int i = 0; i < 4; ++i)
        out[4 + i] = uint8_t(message >> (8 * i));
    for (int i = 0; i < 8; ++i)
        out[8 + i] = uint8_t(wParam >> (8 * i));
    for (int i = 0; i < 8; ++i)
        out[16 + i] = uint8_t(dwData >> (8 * i));
    for (int i = 0; i < 4; ++i)
        out[24 + i] = uint8_t(size >> (8 * i));
    return out;
}

int64_t EchoHandler(const WindowMessage& m) {
    if (m.message != kWmCopyData)
        return 0;
    int64_t sum = 0;
    for (uint8_t b : m.data)
        sum += b;
    // Distinct fields land in distinct bits so that a mixed-up field shows.
    return static_cast<int64_t>(m.dwData) * 1000000 + static_cast<int64_t>(m.wParam) * 1000 +
           static_cast<int64_t>(m.data.size()) + sum * 100000000LL;
}

TEST_F(TransportTest, MessagesBetweenProcessesCarryEveryFieldAndWmCloseEndsThePeer) {
    std::string title = "MPEG2_Video_Window_1";
    Fork([&] {
        auto w = MessageWindow::Create(title, EchoHandler);
        if (!w)
            ::_exit(3);
        ServeUntilClosed(*w);
        ::_exit(w->Closed() ? 7 : 4);
    });
    pid_t peer = peers_.back();
    WindowHandle h = 0;
    ASSERT_TRUE(Eventually([&] { return (h = FindWindowByTitle(title)) != 0; }));
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(h >> 20, static_cast<WindowHandle>(peer));
    // The published names follow the wire contract.
    EXPECT_EQ(fs::read_symlink(dir_ + "/t-" + HexOf(title)).string(), "w-" + HandleHex(h));
    EXPECT_TRUE(fs::is_socket(dir_ + "/w-" + HandleHex(h)));
    EXPECT_EQ(fs::status(dir_).permissions() & fs::perms::all, fs::perms::owner_all);

    uint8_t payload[3] = {1, 2, 3};
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 7, 5, payload, 3),
              5 * 1000000 + 7 * 1000 + 3 + 6 * 100000000LL);
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 0, 0, nullptr, 0), 0);
    // Negative results survive the 64-bit reply.
    auto negative = MessageWindow::Create("", [](const WindowMessage&) { return int64_t{-2}; });
    ASSERT_NE(negative, nullptr);
    EXPECT_EQ(SendWindowMessage(negative->Handle(), kWmCopyData, 0, 0, nullptr, 0), -2);

    // The largest payload arrives whole (more than one socket write).
    std::vector<uint8_t> big(kMaxCopyDataBytes, 1);
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 0, 1, big.data(), uint32_t(big.size())),
              1000000 + 65536 + 65536 * 100000000LL);
    // One byte more is refused by the sender.
    big.push_back(1);
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 0, 1, big.data(), uint32_t(big.size())), 0);
    // Messages the handler does not know answer 0.
    EXPECT_EQ(SendWindowMessage(h, 0x0400, 1, 1, nullptr, 0), 0);

    EXPECT_EQ(SendWindowMessage(h, kWmClose, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(WaitExit(peer), 7);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(FindWindowByTitle(title), 0u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ + "/t-" + HexOf(title))));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ + "/w-" + HandleHex(h))));
    // A window that has gone answers 0 from then on.
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 7, 5, payload, 3), 0);
}

TEST_F(TransportTest, TitlesResolveToTheNewestLiveWindowOnly) {
    auto first = MessageWindow::Create("ORX Remote Control", EchoHandler);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(FindWindowByTitle("ORX Remote Control"), first->Handle());
    EXPECT_EQ(FindWindowByTitle("ORX Remote Contro"), 0u);

    auto second = MessageWindow::Create("ORX Remote Control", EchoHandler);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->Handle(), first->Handle());
    EXPECT_EQ(FindWindowByTitle("ORX Remote Control"), second->Handle());
    // Destroying the older window leaves the newer one's title alone.
    first.reset();
    EXPECT_EQ(FindWindowByTitle("ORX Remote Control"), second->Handle());
    second.reset();
    EXPECT_EQ(FindWindowByTitle("ORX Remote Control"), 0u);

    // Titles up to 126 bytes fit a file name; longer ones are refused.
    std::string longest(126, '\xff');
    auto w = MessageWindow::Create(longest, EchoHandler);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(FindWindowByTitle(longest), w->Handle());
    EXPECT_EQ(MessageWindow::Create(longest + "x", EchoHandler), nullptr);
    EXPECT_EQ(FindWindowByTitle(longest + "x"), 0u);

    // A window without a title is reachable by handle only.
    auto untitled = MessageWindow::Create("", EchoHandler);
    ASSERT_NE(untitled, nullptr);
    EXPECT_TRUE(IsWindow(untitled->Handle()));
    EXPECT_FALSE(IsWindow(0));
}

TEST_F(TransportTest, StaleAndForeignLinksAreNotFound) {
    // A peer killed without cleaning up leaves its socket file and title link behind.
    pid_t peer = Fork([&] {
        auto w = MessageWindow::Create("MPEG2_Video_Window_2", EchoHandler);
        if (!w)
            ::_exit(3);
        ::pause();
    });
    WindowHandle h = 0;
    ASSERT_TRUE(Eventually([&] { return (h = FindWindowByTitle("MPEG2_Video_Window_2")) != 0; }));
    ::kill(peer, SIGKILL);
    WaitExit(peer);
    ASSERT_TRUE(fs::exists(fs::symlink_status(dir_ + "/t-" + HexOf("MPEG2_Video_Window_2"))));
    EXPECT_EQ(FindWindowByTitle("MPEG2_Video_Window_2"), 0u);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 0, 100, nullptr, 0), 0);

    // Links whose target is not a window name are ignored.
    fs::create_symlink("w-0", dir_ + "/t-" + HexOf("zero"));
    fs::create_symlink("../elsewhere", dir_ + "/t-" + HexOf("escape"));
    fs::create_symlink("w-12345", dir_ + "/t-" + HexOf("missing"));
    EXPECT_EQ(FindWindowByTitle("zero"), 0u);
    EXPECT_EQ(FindWindowByTitle("escape"), 0u);
    EXPECT_EQ(FindWindowByTitle("missing"), 0u);

    // A new window replaces the stale link.
    auto w = MessageWindow::Create("MPEG2_Video_Window_2", EchoHandler);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(FindWindowByTitle("MPEG2_Video_Window_2"), w->Handle());
}

TEST_F(TransportTest, MalformedRequestsAreDroppedWithoutReplyAndTheWindowGoesOn) {
    int calls = 0;
    auto w = MessageWindow::Create("target", [&](const WindowMessage&) {
        ++calls;
        return int64_t{42};
    });
    ASSERT_NE(w, nullptr);

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool closeWriteSide;
    };
    std::vector<Case> cases;
    cases.push_back({"bad magic", Header("ORXN", kWmCopyData, 0, 1, 0), false});
    cases.push_back({"payload over the limit", Header("ORXM", kWmCopyData, 0, 1, 65537), false});
    auto shortPayload = Header("ORXM", kWmCopyData, 0, 1, 10);
    shortPayload.resize(shortPayload.size() + 4);
    cases.push_back({"payload shorter than announced", shortPayload, true});
    cases.push_back({"truncated header", std::vector<uint8_t>{'O', 'R', 'X', 'M', 0x4A}, true});
    // Silent client: the receiver gives up after its read limit.
    cases.push_back({"stalled payload", Header("ORXM", kWmCopyData, 0, 1, 8), false});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int fd = RawConnect(w->Handle());
        ASSERT_EQ(::send(fd, c.bytes.data(), c.bytes.size(), MSG_NOSIGNAL),
                  ssize_t(c.bytes.size()));
        if (c.closeWriteSide)
            ::shutdown(fd, SHUT_WR);
        w->ServePending();
        uint8_t reply[8];
        EXPECT_EQ(::recv(fd, reply, sizeof reply, 0), 0) << "dropped without a reply";
        ::close(fd);
    }
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(w->Closed());

    // A well-formed raw request gets the 8-byte little-endian reply.
    int fd = RawConnect(w->Handle());
    auto good = Header("ORXM", kWmCopyData, 0, 1, 2);
    good.push_back(9);
    good.push_back(9);
    ASSERT_EQ(::send(fd, good.data(), good.size(), MSG_NOSIGNAL), ssize_t(good.size()));
    w->ServePending();
    uint8_t reply[9] = {};
    EXPECT_EQ(::recv(fd, reply, sizeof reply, MSG_WAITALL), 8);
    EXPECT_EQ(reply[0], 42);
    EXPECT_EQ(reply[7], 0);
    ::close(fd);
    EXPECT_EQ(calls, 1);

    // A sender whose request is dropped takes 0: a bare listener reads the request and closes.
    WindowHandle dropper = 0xabc;
    int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string path = dir_ + "/w-abc";
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    std::thread drop([listener] {
        int conn = ::accept(listener, nullptr, nullptr);
        uint8_t header[28];
        (void)::recv(conn, header, sizeof header, MSG_WAITALL);
        ::close(conn);
    });
    EXPECT_EQ(SendWindowMessage(dropper, kWmCopyData, 0, 1, nullptr, 0), 0);
    drop.join();
    ::close(listener);
}

TEST_F(TransportTest, WmCloseToAnOwnWindowDestroysItAfterTheReply) {
    std::vector<uint32_t> seen;
    auto w = MessageWindow::Create("self", [&](const WindowMessage& m) {
        seen.push_back(m.message);
        return int64_t{99};
    });
    ASSERT_NE(w, nullptr);
    WindowHandle h = w->Handle();
    // Sending to an own window is served inside the wait.
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 0, 0, nullptr, 0), 99);
    EXPECT_EQ(SendWindowMessage(h, kWmClose, 0, 0, nullptr, 0), 0);
    EXPECT_TRUE(w->Closed());
    EXPECT_EQ(seen, (std::vector<uint32_t>{kWmCopyData, kWmClose}));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(FindWindowByTitle("self"), 0u);
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 0, 0, nullptr, 0), 0);
    w->ServePending();  // harmless on a closed window
}

TEST_F(TransportTest, NotificationArrivingWhileASendIsPendingIsServedInsideTheWait) {
    // Peers are forked before this process creates windows, so they inherit none.
    // The host reports to the wParam window before it answers, as a decoder host may.
    WindowHandle host = StartPeer("host", [](const WindowMessage& m) -> int64_t {
        if (m.message != kWmCopyData)
            return 0;
        WindowHandle self = FindWindowByTitle("host");
        SendWindowMessage(m.wParam, kWmCopyData, self, 0, nullptr, 0);
        SendWindowMessage(m.wParam, kWmCopyData, self, 1, nullptr, 0);
        return 1;
    });
    ASSERT_NE(host, 0u);
    std::vector<std::string> events;
    auto mainWindow = MessageWindow::Create("ORX Video Player", [&](const WindowMessage& m) {
        events.push_back("notify " + std::to_string(m.dwData) + " from " +
                         (m.wParam == FindWindowByTitle("host") ? "host" : "?"));
        return int64_t{0};
    });
    ASSERT_NE(mainWindow, nullptr);
    int64_t result = SendWindowMessage(host, kWmCopyData, mainWindow->Handle(), 1, nullptr, 0);
    events.push_back("result " + std::to_string(result));
    EXPECT_EQ(events,
              (std::vector<std::string>{"notify 0 from host", "notify 1 from host", "result 1"}));
    SendWindowMessage(host, kWmClose, 0, 0, nullptr, 0);
}

TEST_F(TransportTest, AHungPeerYieldsZeroAfterTheTimeout) {
    // One peer never answers inside its handler; another never accepts at all.
    WindowHandle stuck = StartPeer("stuck", [](const WindowMessage&) -> int64_t {
        ::pause();
        return 1;
    });
    ASSERT_NE(stuck, 0u);
    pid_t deaf = Fork([] {
        auto w = MessageWindow::Create("deaf", EchoHandler);
        if (!w)
            ::_exit(3);
        ::pause();
    });
    (void)deaf;
    WindowHandle deafWindow = 0;
    ASSERT_TRUE(Eventually([&] { return (deafWindow = FindWindowByTitle("deaf")) != 0; }));

    SetSendTimeoutMsForTesting(300);
    EXPECT_EQ(SendWindowMessage(stuck, kWmCopyData, 0, 1, nullptr, 0), 0);
    EXPECT_EQ(SendWindowMessage(deafWindow, kWmCopyData, 0, 1, nullptr, 0), 0);
    // Own windows are still served while waiting on the hung peer.
    auto own = MessageWindow::Create("own", EchoHandler);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(SendWindowMessage(own->Handle(), kWmCopyData, 0, 2, nullptr, 0), 2000000);
}

class RefusedFolderTest : public TransportTest {};

TEST_F(RefusedFolderTest, AFolderOthersCouldReachIsRefused) {
    auto usable = [&] {
        auto w = MessageWindow::Create("probe", EchoHandler);
        return w != nullptr && FindWindowByTitle("probe") == w->Handle();
    };
    // Missing: created private.
    ASSERT_TRUE(usable());
    struct stat st {};
    ASSERT_EQ(::stat(dir_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A live window becomes unreachable once the folder is opened to the group.
    auto w = MessageWindow::Create("kept", EchoHandler);
    ASSERT_NE(w, nullptr);
    for (mode_t mode : {0750, 0701, 0710, 0702}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(::chmod(dir_.c_str(), mode), 0);
        EXPECT_FALSE(usable());
        EXPECT_EQ(FindWindowByTitle("kept"), 0u);
        EXPECT_FALSE(IsWindow(w->Handle()));
        EXPECT_EQ(SendWindowMessage(w->Handle(), kWmCopyData, 0, 1, nullptr, 0), 0);
    }
    ASSERT_EQ(::chmod(dir_.c_str(), 0700), 0);
    EXPECT_EQ(FindWindowByTitle("kept"), w->Handle());

    // A link to a private folder is not the folder itself.
    std::string link = root_ + "/link";
    fs::create_directory_symlink(dir_, link);
    ::setenv("ORX_WINDOW_DIR", link.c_str(), 1);
    EXPECT_FALSE(usable());
    // Neither is a file.
    std::string file = root_ + "/file";
    std::ofstream(file) << "x";
    ::chmod(file.c_str(), 0600);
    ::setenv("ORX_WINDOW_DIR", file.c_str(), 1);
    EXPECT_FALSE(usable());
    ::setenv("ORX_WINDOW_DIR", dir_.c_str(), 1);

    // Another owner's folder, when this process may hand it over.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(dir_.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(usable());
        EXPECT_EQ(FindWindowByTitle("kept"), 0u);
        ASSERT_EQ(::chown(dir_.c_str(), 0, 0), 0);
    }
    EXPECT_TRUE(usable());
}

TEST_F(RefusedFolderTest, TheFolderComesFromTheEnvironmentInOrder) {
    // Empty ORX_WINDOW_DIR falls back to XDG_RUNTIME_DIR/orx-windows.
    std::string runtime = root_ + "/runtime";
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    const char* oldRuntime = std::getenv("XDG_RUNTIME_DIR");
    std::string saved = oldRuntime ? oldRuntime : "";
    ::setenv("ORX_WINDOW_DIR", "", 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    auto w = MessageWindow::Create("where", EchoHandler);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(fs::is_socket(runtime + "/orx-windows/w-" + HandleHex(w->Handle())));
    w.reset();
    if (oldRuntime) {
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}

// Launching companion programs.
class LaunchTest : public TransportTest {
protected:
    std::string ReadFile(const std::string& path) {
        std::string text;
        Eventually([&] {
            std::ifstream in(path);
            std::stringstream ss;
            ss << in.rdbuf();
            text = ss.str();
            return text.find("done") != std::string::npos;
        });
        return text;
    }
};

TEST_F(LaunchTest, ChildGetsArgumentsFolderAndEnvironmentButNoExtraDescriptors) {
    std::string work = root_ + "/work dir";
    ASSERT_EQ(::mkdir(work.c_str(), 0700), 0);
    ::setenv("ORX_LAUNCH_PROBE", "inherited value", 1);
    // Not close-on-exec: must still not reach the child.
    int raw = ::open("/dev/null", O_RDONLY);
    int leaky = ::dup2(raw, 100);
    ::close(raw);
    ASSERT_EQ(leaky, 100);
    std::string out = root_ + "/out.txt";
    std::string script =
        "{ pwd; echo \"$ORX_LAUNCH_PROBE\"; echo \"$1\"; ls /proc/self/fd; "
        "echo done; } > \"$0\"";
    ASSERT_TRUE(LaunchProcess("sh", {"-c", script, out, "?MPEG2_Video_Window_1?"}, work));
    std::string text = ReadFile(out);
    ::close(leaky);
    ::unsetenv("ORX_LAUNCH_PROBE");
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, work);
    std::getline(lines, line);
    EXPECT_EQ(line, "inherited value");
    std::getline(lines, line);
    EXPECT_EQ(line, "?MPEG2_Video_Window_1?");
    std::vector<std::string> fds;
    while (std::getline(lines, line) && line != "done")
        fds.push_back(line);
    // 0, 1, 2 and the descriptor ls opens for /proc/self/fd.
    EXPECT_LE(fds.size(), 4u) << text;
    for (const std::string& fd : fds)
        EXPECT_NE(fd, std::to_string(leaky)) << text;
}

TEST_F(LaunchTest, FailuresAreReportedAndChildrenAreReaped) {
    EXPECT_FALSE(LaunchProcess(root_ + "/no-such-program", {}));
    EXPECT_FALSE(LaunchProcess("orx-no-such-program-on-path", {}));
    EXPECT_FALSE(LaunchProcess("true", {}, root_ + "/no-such-folder"));
    EXPECT_FALSE(LaunchProcess("", {}));

    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(LaunchProcess("true", {}));
    // No child of ours stays a zombie.
    auto zombies = [] {
        int count = 0;
        for (const auto& entry : fs::directory_iterator("/proc")) {
            std::ifstream stat(entry.path() / "stat");
            std::string content;
            if (!std::getline(stat, content))
                continue;
            size_t close = content.rfind(')');
            if (close == std::string::npos)
                continue;
            std::istringstream rest(content.substr(close + 2));
            char state = 0;
            int ppid = 0;
            rest >> state >> ppid;
            if (ppid == ::getpid() && state == 'Z')
                ++count;
        }
        return count;
    };
    EXPECT_TRUE(Eventually([&] { return zombies() == 0; }));
}

TEST_F(LaunchTest, FindProgramLooksInTheFolderFirstThenOnPath) {
    std::string folder = root_ + "/app/";
    std::string onPath = root_ + "/bin";
    fs::create_directories(folder);
    fs::create_directories(onPath);
    auto makeExecutable = [](const std::string& path, bool executable) {
        std::ofstream(path) << "#!/bin/sh\n";
        ::chmod(path.c_str(), executable ? 0700 : 0600);
    };
    makeExecutable(onPath + "/vdhost", true);
    makeExecutable(onPath + "/tallyx", true);
    makeExecutable(folder + "vdhost", true);
    makeExecutable(folder + "tallyx", false);   // not executable: skipped
    fs::create_directories(folder + "lnagen");  // a folder is no program

    const char* oldPath = std::getenv("PATH");
    std::string saved = oldPath ? oldPath : "";
    ::setenv("PATH", ("/nonexistent::" + onPath).c_str(), 1);
    EXPECT_EQ(FindProgram(folder, "vdhost"), folder + "vdhost");
    EXPECT_EQ(FindProgram(root_ + "/app", "vdhost"), folder + "vdhost");
    EXPECT_EQ(FindProgram(folder, "tallyx"), onPath + "/tallyx");
    EXPECT_EQ(FindProgram("", "vdhost"), onPath + "/vdhost");
    EXPECT_EQ(FindProgram(folder, "lnagen"), "");
    EXPECT_EQ(FindProgram(folder, "missing"), "");
    EXPECT_EQ(FindProgram(folder, "../app/vdhost"), "");
    ::setenv("PATH", saved.c_str(), 1);
}

}  // namespace
}  // namespace orx
