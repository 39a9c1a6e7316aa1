#include "devices/CRemoteCmd.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "StandInFixture.h"

namespace orx::test {
namespace {

using CRemoteCmdTest = StandInFixture;

// A hung application's window: connections queue in its backlog and are never read.
class HungWindow {
public:
    explicit HungWindow(std::string_view title) {
        std::string hex;
        for (unsigned char c : title)
            hex += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
        link_ = dir_ + "/t-" + hex;
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un addr{AF_UNIX, {}};
        socket_.copy(addr.sun_path, sizeof addr.sun_path - 1);
        EXPECT_EQ(bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        EXPECT_EQ(listen(fd_, 16), 0);
        EXPECT_EQ(symlink("w-5eed", link_.c_str()), 0);
    }
    ~HungWindow() {
        close(fd_);
        unlink(socket_.c_str());
        unlink(link_.c_str());
    }
    // The requests queued since the last call (lookups connect without sending anything).
    int Requests() {
        int requests = 0;
        for (int c; (c = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; close(c)) {
            char byte;
            requests += recv(c, &byte, 1, MSG_PEEK) > 0;
        }
        return requests;
    }

private:
    const std::string dir_ = getenv("ORX_WINDOW_DIR");
    const std::string socket_ = dir_ + "/w-5eed";
    std::string link_;
    int fd_ = -1;
};

TEST_F(CRemoteCmdTest, SeizeNotesTheMixerAndRestoreReturnsToIt) {
    StartMixer({"--program", "IN3", "--preview", "IN7", "--transition", "MIX", "--on", "FAST"});
    EXPECT_EQ(remote_.Seize(0), 1);
    EXPECT_EQ(MixerCommands(),
              "0:BREAK 2:TRANSP 3:AIR_BLACK 3:AIR_BARS 3:AIR_IN1 3:AIR_IN2 "
              "3:AIR_IN3 3:MIX 3:FAST 3:CUT");
    EXPECT_EQ(clock_.sleeps, std::vector<uint32_t>{200});
    remote_.Restore(1, -1);
    EXPECT_EQ(MixerCommands(), "2:FREEZE 0:CUT 0:IN3 0:MIX 0:AUTO 0:IN3");
    // -2: whichever source the preview reports (IN7: with FAST on, the restore's IN3 was
    // already on air and changed no bus).
    remote_.Restore(1, -2);
    EXPECT_EQ(MixerCommands(),
              "2:FREEZE 0:CUT 3:BLACK 3:BARS 3:IN1 3:IN2 3:IN3 3:IN4 3:IN5 3:IN6 3:IN7 0:IN7 "
              "0:MIX 0:AUTO");
    // A chosen input is kept for later restores; indexes past the source table count as the
    // seized source and are never stored.
    for (int in : {5, -1, 44, -3}) {
        remote_.Restore(0, in);
        EXPECT_EQ(MixerCommands(), "2:FREEZE 0:IN4 0:MIX 0:AUTO 0:IN4") << in;
    }
    EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(CRemoteCmdTest, SeizeUsesSetWhenFastDoesNotLatch) {
    StartMixer(
        {"--program", "BARS", "--transition", "EFFECT2", "--on", "LOGO1,CUT", "--fast-needs-set"});
    EXPECT_EQ(remote_.Seize(1), 1);
    EXPECT_EQ(MixerCommands(),
              "0:BREAK 2:TRANSP 3:AIR_BLACK 3:AIR_BARS 3:MIX 3:EFFECT1 3:EFFECT2 "
              "3:LOGO1 0:LOGO1 3:FAST 3:CUT 0:FAST 3:FAST 0:SET 0:FAST");
    EXPECT_EQ(clock_.sleeps, (std::vector<uint32_t>{200, 100}));
    remote_.Restore(0, -1);
    EXPECT_EQ(MixerCommands(), "2:FREEZE 0:BARS 0:EFFECT2 0:LOGO1 0:SET 0:FAST 0:BARS");
}

TEST_F(CRemoteCmdTest, FailuresAreReportedOncePerBurst) {
    // Not running: one message for the whole burst.
    EXPECT_EQ(remote_.SendCmd(0, "CUT"), 0);
    EXPECT_EQ(remote_.Seize(0), 0);
    EXPECT_EQ(BoxTexts(), std::vector{TranslateString(18006)});

    StartMixer({"--preview", "IN2", "--fail", "LOGO2", "--fail", "BREAK"});
    // Queries answer 1 for active, 0 for not active; neither is a failure.
    EXPECT_EQ(remote_.SendCmd(3, "IN2"), 1);
    EXPECT_EQ(remote_.SendCmd(3, "IN5"), 0);
    EXPECT_EQ(remote_.SendCmd(1, "CLOCK", 77), 1);
    // Answer 0: one message, also for a failing query and an over-long word (cut, not spilled).
    EXPECT_EQ(remote_.SendCmd(1, "LOGO2"), 0);
    EXPECT_EQ(remote_.SendCmd(3, "LOGO2"), 0);
    EXPECT_EQ(remote_.SendCmd(0, std::string(300, 'A').c_str()), 0);
    EXPECT_EQ(BoxTexts(), (std::vector{TranslateString(18006), TranslateString(18005)}));
    EXPECT_EQ(MixerCommands(), "3:IN2 3:IN5 1:CLOCK 1:LOGO2 3:LOGO2 0:" + std::string(259, 'A'));

    // Re-armed by ResetError; a seize whose BREAK fails goes no further.
    remote_.ResetError();
    EXPECT_EQ(remote_.Seize(0), 0);
    EXPECT_EQ(MixerCommands(), "0:BREAK");
    EXPECT_TRUE(clock_.sleeps.empty());
    // Re-armed by a success.
    EXPECT_EQ(remote_.SendCmd(0, "CUT"), 1);
    ASSERT_TRUE(CloseWindow(CRemoteCmd::kWindowTitle));
    EXPECT_EQ(remote_.SendCmd(0, "CUT"), 0);
    EXPECT_EQ(remote_.SendCmd(0, "CUT"), 0);
    EXPECT_EQ(BoxTexts(), (std::vector{TranslateString(18006), TranslateString(18005),
                                       TranslateString(18005), TranslateString(18006)}));
    // Answers past 32 bits keep their sign: done, and for a query not "active".
    const auto odd = MessageWindow::Create(CRemoteCmd::kWindowTitle,
                                           [](const WindowMessage&) { return INT64_MIN; });
    EXPECT_LT(remote_.SendCmd(0, "CUT"), 0);
    EXPECT_LT(remote_.SendCmd(3, "CUT"), 0);
}

TEST_F(CRemoteCmdTest, AHungApplicationCostsOneTimeoutPerSequence) {
    HungWindow hung(CRemoteCmd::kWindowTitle);
    SetSendTimeoutMsForTesting(200);
    // "FREEZE" times out; "FAST" after it fails at once, reported with the same single message.
    remote_.Restore(1, -1);
    EXPECT_EQ(hung.Requests(), 1);
    EXPECT_TRUE(remote_.unresponsive());
    EXPECT_EQ(BoxTexts(), std::vector{TranslateString(18005)});
    // The next sequence tries again.
    EXPECT_EQ(remote_.Seize(0), 0);
    EXPECT_EQ(hung.Requests(), 1);
    SetSendTimeoutMsForTesting(0);
}

}  // namespace
}  // namespace orx::test
