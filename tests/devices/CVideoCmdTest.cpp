#include "devices/CVideoCmd.h"

#include <poll.h>

#include <thread>

#include "StandInFixture.h"
#include "support/DescriptorLimit.h"

namespace orx::test {
namespace {

const std::string kTitle1 = "MPEG2_Video_Window_1", kTitle2 = "MPEG2_Video_Window_2";

using CVideoCmdTest = StandInFixture;

TEST_F(CVideoCmdTest, StartsBoardsInOrderAndClosesThem) {
    ASSERT_EQ(video_.Start(0, 2), 1);
    EXPECT_EQ(launched_, (std::vector<std::string>{kTitle1, kTitle2}));
    EXPECT_EQ(clock_.sleeps, (std::vector<uint32_t>{1000, 1000}));
    EXPECT_EQ(video_.SendCmd(1, VIDCMD_ISINIT), 1);
    EXPECT_EQ(video_.SendCmd(2, VIDCMD_ISINIT), 0);
    EXPECT_EQ(video_.SendCmd(-1, VIDCMD_ISINIT), 0);
    video_.StopAll();
    video_.Stop();
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 0);
    EXPECT_EQ(HostCommands(0), "ISINIT STOP CLOSE");
    EXPECT_EQ(HostCommands(1), "ISINIT ISINIT STOP CLOSE");
}

TEST_F(CVideoCmdTest, FailedStartsLeaveNoHostRunning) {
    // A failing first launch still tries the second, whose index is then not served: closed.
    UseVdhost({"no-launch"});
    EXPECT_EQ(video_.Start(0, 2), 0);
    EXPECT_EQ(launched_, (std::vector<std::string>{kTitle1, kTitle2}));
    EXPECT_EQ(HostCommands(1), "CLOSE");
    // ISINIT failing on board 2 closes board 1.
    UseVdhost({"", "--fail-isinit"});
    EXPECT_EQ(video_.Start(0, 2), 0);
    EXPECT_EQ(HostCommands(0), "ISINIT CLOSE");
    EXPECT_EQ(HostCommands(1), "CLOSE ISINIT CLOSE");
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISPLAYING), 0);
    // A count past the boards (a hand-edited settings file) starts the boards that exist.
    launched_.clear();
    UseVdhost();
    EXPECT_EQ(video_.Start(0, 3), 1);
    EXPECT_EQ(launched_.size(), 2u);
    EXPECT_EQ(video_.Start(0, 0), 0);
}

TEST_F(CVideoCmdTest, HostThatExitedIsNotServedUntilTheNextStart) {
    ASSERT_EQ(video_.Start(0, 1), 1);
    // A text longer than the payload is cut.
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_PLAY, std::string(400, 'x').c_str()), 0);
    EXPECT_EQ(HostCommands(0), "ISINIT PLAY:" + std::string(259, 'x'));

    ASSERT_TRUE(CloseWindow(kTitle1));
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISPLAYING), 0);
    EXPECT_EQ(video_.OnNotify(0, kNotifyStarted), -1);
    // Not even by a new host under the same title, which Stop leaves alone.
    ASSERT_TRUE(CVideoCmd::LaunchHost(ORX_VDHOST_PATH, kTitle1));
    ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(kTitle1) != 0; }));
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 0);
    video_.Stop();
    EXPECT_NE(FindWindowByTitle(kTitle1), 0u);
    ASSERT_EQ(video_.Start(0, 1), 1);
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 1);
}

TEST_F(CVideoCmdTest, ReportsArriveInsideCommandsAndSetTheBusyState) {
    // Each report as "<board><B if busy after it><C if it came inside a command> ".
    std::string reports;
    bool inCommand = false;
    const auto player = MessageWindow::Create("", [&](const WindowMessage& m) -> int64_t {
        const int board = video_.OnNotify(m.wParam, m.dwData);
        if (board >= 0) {
            reports += std::to_string(board) + (video_.boardBusy(board) ? "B" : "") +
                       (inCommand ? "C" : "") + " ";
        }
        return 0;
    });
    ASSERT_EQ(video_.Start(player->Handle(), 1), 1);
    const WindowHandle host = video_.hostWindow(0);
    // Foreign senders, unknown codes and codes with high bits set change nothing.
    EXPECT_EQ(video_.OnNotify(host + 1, kNotifyStarted), -1);
    EXPECT_EQ(video_.OnNotify(host, 5), 0);
    EXPECT_EQ(video_.OnNotify(host, (uint64_t{1} << 32) | kNotifyStarted), 0);
    EXPECT_FALSE(video_.boardBusy(0));

    WriteFile(work_ / "clip_30.mpg", "clip");
    ASSERT_EQ(video_.SendCmd(0, VIDCMD_PLAY, (work_ / "clip_30.mpg").c_str()), 1);
    // The host reports after its answer and waits until the report is taken: it is served while
    // the next command waits, without the idle loop ever running.
    ASSERT_TRUE(WaitUntil([&] {
        pollfd p{player->Fd(), POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }));
    inCommand = true;
    for (int i = 0; i < 50 && reports.empty(); ++i)
        EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISPLAYING), 1);
    EXPECT_EQ(reports, "0BC ");
    // StopAll clears the busy state itself; the host's own report of the stop follows.
    inCommand = false;
    video_.StopAll();
    EXPECT_FALSE(video_.boardBusy(0));
    ASSERT_TRUE(WaitUntil([&] {
        player->ServePending();
        return reports.size() > 4;
    }));
    EXPECT_EQ(reports, "0BC 0 ");
}

TEST_F(CVideoCmdTest, AHostWhoseWindowComesUpAfterTheLookupIsEndedWithItsFailedStart) {
    // The host program shows its window only after the lookup has given up.
    const std::string slow = work_ / "slowhost";
    WriteFile(slow, "#!/bin/sh\nsleep 0.5\nexec '" ORX_VDHOST_PATH "' \"$@\" --log '" + HostLog(0) +
                        "'\n");
    std::filesystem::permissions(slow, std::filesystem::perms::owner_all);
    video_.SetHostLauncher({});
    video_.SetHostProgram(slow);
    EXPECT_EQ(video_.Start(0, 1), 0);
    // Left running it would take the title and keep the board busy.
    bool appeared = false;
    for (int i = 0; i < 200 && !appeared; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        appeared = FindWindowByTitle(kTitle1) != 0;
    }
    EXPECT_FALSE(appeared);
    UseVdhost();
    ASSERT_EQ(video_.Start(0, 1), 1);
    ASSERT_TRUE(CloseWindow(kTitle1));
}

TEST_F(CVideoCmdTest, ATransientTransportErrorDoesNotForgetALiveHost) {
    ASSERT_EQ(video_.Start(0, 1), 1);
    {
        test::DescriptorLimit noneLeft;  // no connection can be made for a moment
        EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISPLAYING), 0);
    }
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 1);
}

TEST_F(CVideoCmdTest, DeadHostsAreStartedAgainAndLiveOnesLeftAlone) {
    ASSERT_EQ(video_.Start(0, 2), 1);
    std::vector<int> relaunched;
    EXPECT_TRUE(video_.RestartDeadHosts(relaunched));
    EXPECT_TRUE(relaunched.empty());
    ASSERT_TRUE(CloseWindow(kTitle2));  // the host died
    EXPECT_EQ(video_.SendCmd(1, VIDCMD_ISPLAYING), 0);
    EXPECT_TRUE(video_.RestartDeadHosts(relaunched));
    EXPECT_EQ(relaunched, std::vector<int>{1});
    EXPECT_EQ(video_.SendCmd(1, VIDCMD_ISINIT), 1);
    EXPECT_EQ(HostCommands(0), "ISINIT");
    EXPECT_EQ(HostCommands(1), "ISINIT CLOSE ISINIT ISINIT");
    // One that cannot be started again stays unreachable.
    UseVdhost({"", "no-launch"});
    ASSERT_TRUE(CloseWindow(kTitle2));
    relaunched.clear();
    EXPECT_FALSE(video_.RestartDeadHosts(relaunched));
    EXPECT_TRUE(relaunched.empty());
    EXPECT_EQ(video_.SendCmd(1, VIDCMD_ISINIT), 0);
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 1);
}

}  // namespace
}  // namespace orx::test
