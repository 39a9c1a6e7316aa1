#include "platform/WindowTransport.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <filesystem>
#include <numeric>
#include <thread>

#include "support/DescriptorLimit.h"
#include "support/StandIns.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace orx {

std::string Hex(std::string_view bytes) {  // a title's form in file names
    std::string out;
    for (unsigned char c : bytes) {
        out += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
    }
    return out;
}

std::string SocketName(WindowHandle h) {
    char digits[16];
    return "w-" + std::string(digits, std::to_chars(digits, digits + 16, h, 16).ptr);
}

// WM_COPYDATA with wParam 0 and dwData 1, as the wire carries it (this host is little-endian).
std::string Request(uint32_t size, const char* magic = "ORXM") {
    return magic + "\x4a\0\0\0"s + std::string(8, '\0') + "\1\0\0\0\0\0\0\0"s +
           std::string(reinterpret_cast<const char*>(&size), 4);
}

sockaddr_un Address(const std::string& path) {
    sockaddr_un addr{AF_UNIX, {}};
    path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    return addr;
}

// A window written against the wire format alone, on its own thread: it counts the connections
// it accepts and answers each request with the number of requests so far. One that closes each
// connection after its reply is what a sender's kept connection meets when the window has
// closed it between messages.
class RawWindow {
public:
    RawWindow(const std::string& path, bool closeAfterReply)
        : listener_(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        const sockaddr_un addr = Address(path);
        EXPECT_EQ(bind(listener_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
        EXPECT_EQ(listen(listener_, 8), 0);
        thread_ = std::thread([this, closeAfterReply] {
            for (int c; (c = accept(listener_, nullptr, nullptr)) >= 0; close(c)) {
                ++accepted;
                connection_ = c;
                char header[28];
                while (recv(c, header, sizeof header, MSG_WAITALL) == sizeof header) {
                    const int64_t reply = ++requests;
                    send(c, &reply, sizeof reply, MSG_NOSIGNAL);
                    if (closeAfterReply)
                        break;
                }
            }
        });
    }
    ~RawWindow() {
        shutdown(connection_, SHUT_RDWR);  // ends the blocking receive (a sender keeps it)
        shutdown(listener_, SHUT_RDWR);    // and the blocking accept
        thread_.join();
        close(listener_);
    }
    std::atomic<int> accepted{0};
    std::atomic<int64_t> requests{0};

private:
    int listener_;
    std::atomic<int> connection_{-1};
    std::thread thread_;
};

int64_t Echo(const WindowMessage& m) {  // each field in its own digits: a mixed-up field shows
    const int64_t sum = std::accumulate(m.data.begin(), m.data.end(), int64_t{0});
    return int64_t(m.dwData) * 1000000 + int64_t(m.wParam) * 1000 + int64_t(m.data.size()) +
           sum * 100000000LL;
}

class WindowTransportTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("ORX_WINDOW_DIR", dir_.c_str(), 1); }
    void TearDown() override {
        for (pid_t pid : peers_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        SetSendTimeoutMsForTesting(0);
    }
    // A peer process owning one window until WM_CLOSE; one that does not serve never accepts.
    // Peers are started before this process creates windows, so they inherit none.
    WindowHandle StartPeer(const std::string& title, MessageWindow::Handler handler,
                           bool serve = true) {
        if (const pid_t pid = fork(); pid != 0) {
            peers_.push_back(pid);
            test::WaitUntil([&] { return FindWindowByTitle(title) != 0; });
            return FindWindowByTitle(title);
        }
        auto w = MessageWindow::Create(title, handler);
        for (pollfd p{w->Fd(), POLLIN, 0}; !w->Closed(); serve ? poll(&p, 1, 1000) : pause()) {
            w->ServePending();
        }
        _exit(7);
    }

    test::TempFolder folder_;
    const std::string dir_ = folder_ / "windows";
    std::vector<pid_t> peers_;
};

TEST_F(WindowTransportTest, MessagesCarryEveryFieldNotificationsAreServedInWaitsFailuresYieldZero) {
    const std::string title = "MPEG2_Video_Window_1";
    const WindowHandle h = StartPeer(title, Echo);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(fs::read_symlink(dir_ + "/t-" + Hex(title)).string(), SocketName(h));
    const uint8_t payload[3] = {1, 2, 3};
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 7, 5, payload, 3), 605'007'003);
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 0, ~uint64_t{0}, nullptr, 0), -1'000'000);
    std::vector<uint8_t> big(kMaxCopyDataBytes + 1, 1);  // arrives whole through many writes
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 0, 1, big.data(), kMaxCopyDataBytes),
              6'553'601'065'536);
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 0, 1, big.data(), kMaxCopyDataBytes + 1), 0);

    EXPECT_EQ(SendWindowMessage(h, kWmClose, 0, 0, nullptr, 0), 0);
    int status = 0;
    waitpid(peers_.back(), &status, 0);
    peers_.clear();
    EXPECT_EQ(status, 7 << 8);  // the peer's window closed and it ended
    EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(fs::is_empty(dir_));  // its socket and title link are gone
    EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 7, 5, payload, 3), 0);  // gone: 0 from now on

    const WindowHandle host = StartPeer("host", [](const WindowMessage& m) -> int64_t {
        return SendWindowMessage(m.wParam, kWmCopyData, 0, 0, nullptr, 0) +
               SendWindowMessage(m.wParam, kWmCopyData, 0, 1, nullptr, 0) + 1;
    });
    const WindowHandle stuck =
        StartPeer("stuck", [](const WindowMessage&) -> int64_t { return pause(); });
    const WindowHandle deaf = StartPeer("deaf", Echo, false);
    const WindowHandle dying =
        StartPeer("dying", [](const WindowMessage&) -> int64_t { _exit(1); });
    ASSERT_TRUE(host && stuck && deaf && dying);
    std::string events;  // the host reports twice to the wParam window before it answers
    auto player = MessageWindow::Create("ORX Video Player", [&](const WindowMessage& m) {
        events += "notify " + std::to_string(m.dwData) + ", ";
        return int64_t{0};
    });
    ASSERT_NE(player, nullptr);
    events += std::to_string(SendWindowMessage(host, kWmCopyData, player->Handle(), 1, nullptr, 0));
    EXPECT_EQ(events, "notify 0, notify 1, 1");

    SetSendTimeoutMsForTesting(300);
    for (WindowHandle peer : {stuck, deaf, dying}) {  // hung, not serving, dying: 0
        EXPECT_EQ(SendWindowMessage(peer, kWmCopyData, 0, 1, nullptr, 0), 0) << peer;
    }
}

TEST_F(WindowTransportTest, MalformedRequestsAreDroppedWithoutAReply) {
    int calls = 0;
    auto w = MessageWindow::Create("", [&](const WindowMessage&) { return int64_t{++calls}; });
    ASSERT_NE(w, nullptr);
    const sockaddr_un addr = Address(dir_ + "/" + SocketName(w->Handle()));
    auto exchange = [&](const std::string& request) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        EXPECT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
        EXPECT_EQ(send(fd, request.data(), request.size(), 0), ssize_t(request.size()));
        if (request.size() != 28) {
            shutdown(fd, SHUT_WR);  // the request ends early
        }
        w->ServePending();  // a silent client is given up after the read limit
        char reply[8] = {};
        const ssize_t n = recv(fd, reply, sizeof reply, MSG_WAITALL);
        close(fd);
        return std::string(reply, std::max<ssize_t>(n, 0));
    };
    for (const std::string& bad :
         {Request(0, "ORXN"),
          Request(kMaxCopyDataBytes + 1) + std::string(kMaxCopyDataBytes + 1, 'x'), Request(8),
          Request(10) + "abcd", "ORXM\x4a"s}) {
        EXPECT_EQ(exchange(bad), "");
    }
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(exchange(Request(2) + "ab"), "\1\0\0\0\0\0\0\0"s);
}

TEST_F(WindowTransportTest, TitlesFindTheNewestLiveWindowInAFolderOthersCannotReach) {
    auto usable = [&] {
        auto w = MessageWindow::Create("probe", Echo);
        return w != nullptr && FindWindowByTitle("probe") == w->Handle();
    };
    const std::string title = "ORX Remote Control";
    ASSERT_NE(StartPeer(title, Echo, false), 0u);
    kill(peers_.back(), SIGKILL);  // leaves its socket file and title link behind
    waitpid(peers_.back(), nullptr, 0);
    peers_.clear();
    EXPECT_EQ(FindWindowByTitle(title), 0u);

    auto first = MessageWindow::Create(title, Echo);
    auto second = MessageWindow::Create(title, Echo);
    ASSERT_TRUE(first && second);
    first.reset();  // the newest window has the title; the older one leaves it alone
    EXPECT_EQ(FindWindowByTitle(title), second->Handle());

    const std::string longest(126, '\xff');  // the longest title whose hex form fits a file name
    auto w = MessageWindow::Create(longest, Echo);
    EXPECT_EQ(FindWindowByTitle(longest), w ? w->Handle() : 1);
    EXPECT_EQ(MessageWindow::Create(longest + "x", Echo), nullptr);
    for (const char* target : {"w-0", "../elsewhere", "w-12345"}) {  // links naming no window
        fs::create_symlink(target, dir_ + "/t-" + Hex(target));
        EXPECT_EQ(FindWindowByTitle(target), 0u) << target;
    }

    ASSERT_TRUE(usable());
    EXPECT_EQ(fs::status(dir_).permissions(), fs::perms::owner_all);  // created private
    w = MessageWindow::Create("kept", Echo);
    ASSERT_NE(w, nullptr);
    for (mode_t mode : {0750, 0701, 0710, 0702}) {
        ASSERT_EQ(chmod(dir_.c_str(), mode), 0);
        EXPECT_FALSE(usable()) << mode;
        EXPECT_EQ(FindWindowByTitle("kept"), 0u);
        EXPECT_EQ(SendWindowMessage(w->Handle(), kWmCopyData, 0, 1, nullptr, 0), 0);
    }
    ASSERT_EQ(chmod(dir_.c_str(), 0700), 0);
    if (geteuid() == 0) {  // another owner's folder, where this process may hand it over
        ASSERT_EQ(chown(dir_.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(usable());
        ASSERT_EQ(chown(dir_.c_str(), 0, 0), 0);
    }
    fs::create_directory_symlink(dir_, folder_ / "link");  // a link to the folder is not it
    setenv("ORX_WINDOW_DIR", (folder_ / "link").c_str(), 1);
    EXPECT_FALSE(usable());
    setenv("ORX_WINDOW_DIR", "", 1);  // empty is unset: XDG_RUNTIME_DIR/orx-windows is next
    setenv("XDG_RUNTIME_DIR", folder_.Path().c_str(), 1);
    EXPECT_TRUE(usable());
    EXPECT_TRUE(fs::is_directory(folder_ / "orx-windows"));
}

TEST_F(WindowTransportTest, RequestsOfSendersThatGaveUpAreDroppedAndTransientErrorsKillNoWindow) {
    const WindowHandle peer = StartPeer("peer", Echo);
    ASSERT_NE(peer, 0u);
    int calls = 0;
    auto w = MessageWindow::Create("", [&](const WindowMessage&) { return int64_t{++calls}; });
    ASSERT_NE(w, nullptr);
    const sockaddr_un addr = Address(dir_ + "/" + SocketName(w->Handle()));
    // A whole request whose sender closed the connection before it was served (its timeout ran
    // out while the receiver was stopped): carrying it out late would act on a stale command.
    // That holds for the first request of a connection and for a later one on a kept connection.
    const std::string request = Request(2) + "ab";
    for (int answered : {0, 2}) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ASSERT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
        for (int i = 1; i <= answered; ++i) {
            ASSERT_EQ(send(fd, request.data(), request.size(), 0), ssize_t(request.size()));
            w->ServePending();
            int64_t reply = 0;
            ASSERT_EQ(recv(fd, &reply, sizeof reply, MSG_WAITALL), 8);
            EXPECT_EQ(reply, i);
        }
        ASSERT_EQ(send(fd, request.data(), request.size(), 0), ssize_t(request.size()));
        close(fd);
        w->ServePending();
        EXPECT_EQ(calls, answered);
    }

    // No descriptor left for a connection: the send fails, but the window is not taken for dead.
    {
        test::DescriptorLimit noneLeft;
        SendOutcome outcome = SendOutcome::kAnswered;
        EXPECT_EQ(SendWindowMessage(peer, kWmCopyData, 0, 1, nullptr, 0, &outcome), 0);
        EXPECT_EQ(outcome, SendOutcome::kFailed);
        EXPECT_TRUE(IsWindow(peer));
        EXPECT_EQ(FindWindowByTitle("peer"), peer);
    }
    SendOutcome outcome = SendOutcome::kFailed;
    EXPECT_EQ(SendWindowMessage(peer, kWmCopyData, 0, 1, nullptr, 0, &outcome), 1'000'000);
    EXPECT_EQ(outcome, SendOutcome::kAnswered);
    EXPECT_FALSE(IsWindow(peer + 1));
    EXPECT_EQ(SendWindowMessage(peer + 1, kWmCopyData, 0, 1, nullptr, 0, &outcome), 0);
    EXPECT_EQ(outcome, SendOutcome::kGone);
}

TEST_F(WindowTransportTest, ASenderKeepsItsConnectionAndNeverRepeatsARequestWhenItWasClosed) {
    ASSERT_NE(MessageWindow::Create("", Echo), nullptr);  // creates the folder
    for (bool closeAfterReply : {false, true}) {
        const WindowHandle h = closeAfterReply ? 0xa2 : 0xa1;
        RawWindow window(dir_ + "/" + SocketName(h), closeAfterReply);
        for (int64_t i = 1; i <= 3; ++i) {
            SendOutcome outcome = SendOutcome::kFailed;
            EXPECT_EQ(SendWindowMessage(h, kWmCopyData, 0, 1, nullptr, 0, &outcome), i);
            EXPECT_EQ(outcome, SendOutcome::kAnswered);
        }
        EXPECT_EQ(window.accepted, closeAfterReply ? 3 : 1);
    }
}

}  // namespace orx
