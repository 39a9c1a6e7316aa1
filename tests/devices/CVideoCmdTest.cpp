#include "devices/CVideoCmd.h"

#include <thread>

#include "StandInFixture.h"
#include "support/DescriptorLimit.h"

namespace orx::test {
namespace {

const std::string kTitle1 = "MPEG2_Video_Window_1", kTitle2 = "MPEG2_Video_Window_2";

using CVideoCmdTest = StandInFixture;

TEST_F(CVideoCmdTest, StartsBoardsInOrderAndServesEachUntilItsHostExitsOrIsClosed) {
    ASSERT_EQ(video_.Start(0, 2), 1);
    EXPECT_EQ(launched_, (std::vector<std::string>{kTitle1, kTitle2}));
    EXPECT_EQ(video_.SendCmd(2, VIDCMD_ISINIT), 0);
    EXPECT_EQ(video_.SendCmd(-1, VIDCMD_ISINIT), 0);
    // A text longer than the payload is cut.
    EXPECT_EQ(video_.SendCmd(1, VIDCMD_PLAY, std::string(400, 'x').c_str()), 0);
    ASSERT_TRUE(CloseWindow(kTitle1));  // the host exits
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISPLAYING), 0);
    EXPECT_EQ(video_.OnNotify(0, kNotifyStarted), -1);
    // Not even a new host under the same title is served, and Stop leaves it alone.
    ASSERT_TRUE(CVideoCmd::LaunchHost(ORX_VDHOST_PATH, kTitle1));
    ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(kTitle1) != 0; }));
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 0);
    video_.StopAll();
    video_.Stop();
    EXPECT_NE(FindWindowByTitle(kTitle1), 0u);
    EXPECT_EQ(video_.SendCmd(1, VIDCMD_ISINIT), 0);
    EXPECT_EQ(HostCommands(0), "ISINIT CLOSE");
    EXPECT_EQ(HostCommands(1), "ISINIT PLAY:" + std::string(259, 'x') + " STOP CLOSE");
    ASSERT_EQ(video_.Start(0, 1), 1);
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 1);
}

TEST_F(CVideoCmdTest, FailedStartsLeaveNoHostRunningNotEvenOneWhoseWindowComesUpLate) {
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
    ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(kTitle1) == 0; }));
    // The host program shows its window only after the lookup has given up.
    const std::string slow = work_ / "slowhost";
    WriteFile(slow, "#!/bin/sh\nsleep 0.5\nexec '" ORX_VDHOST_PATH "' \"$@\"\n");
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
}

TEST_F(CVideoCmdTest, ReportsOfItsOwnHostsSetTheBusyStateThatStopAllClears) {
    std::string reports;  // "<board><B if busy after it> " each
    const auto player = MessageWindow::Create("", [&](const WindowMessage& m) -> int64_t {
        if (const int board = video_.OnNotify(m.wParam, m.dwData); board >= 0)
            reports += std::to_string(board) + (video_.boardBusy(board) ? "B " : " ");
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
    ASSERT_TRUE(WaitUntil([&] { return player->ServePending(), !reports.empty(); }));
    // StopAll clears the busy state itself; the host's own report of the stop follows.
    video_.StopAll();
    EXPECT_FALSE(video_.boardBusy(0));
    ASSERT_TRUE(WaitUntil([&] { return player->ServePending(), reports.size() > 3; }));
    EXPECT_EQ(reports, "0B 0 ");
}

TEST_F(CVideoCmdTest, ATransientTransportErrorDoesNotForgetALiveHost) {
    ASSERT_EQ(video_.Start(0, 1), 1);
    {
        test::DescriptorLimit noneLeft;  // no connection can be made for a moment
        EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISPLAYING), 0);
    }
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 1);
}

}  // namespace
}  // namespace orx::test
