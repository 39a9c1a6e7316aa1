#include "devices/CVideoCmd.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "StandInFixture.h"
#include "platform/Process.h"

namespace orx::test {
namespace {

const std::string kTitle1 = "MPEG2_Video_Window_1";
const std::string kTitle2 = "MPEG2_Video_Window_2";

class CVideoCmdTest : public StandInFixture {
protected:
    // Every host logs to host<n>.log; extra options per board index.
    std::string MakeClip(const std::string& name) {
        std::ofstream(Path(name)) << "clip";
        return Path(name);
    }
    static bool Gone(const std::string& title) {
        return WaitUntil([&] { return FindWindowByTitle(title) == 0; });
    }

    CVideoCmd video_{clock_};
};

TEST_F(CVideoCmdTest, StartsHostsInBoardOrderAndClosesThem) {
    UseVdhost(video_);
    ASSERT_EQ(video_.Start(0, 1), 1);
    EXPECT_EQ(launched_, std::vector<std::string>{kTitle1});
    EXPECT_EQ(video_.startedCount(), 1);
    EXPECT_EQ(video_.hostWindow(0), FindWindowByTitle(kTitle1));
    video_.Stop();
    EXPECT_EQ(video_.startedCount(), 0);
    EXPECT_TRUE(Gone(kTitle1));

    launched_.clear();
    clock_.sleeps.clear();
    ReportWindow main(video_);
    ASSERT_EQ(video_.Start(main.Handle(), 2), 1);
    EXPECT_EQ(launched_, (std::vector<std::string>{kTitle1, kTitle2}));
    EXPECT_EQ(clock_.sleeps, (std::vector<uint32_t>{1000, 1000}));
    EXPECT_EQ(video_.replyWindow(), main.Handle());
    EXPECT_NE(video_.hostWindow(0), video_.hostWindow(1));
    EXPECT_EQ(video_.SendCmd(1, VIDCMD_ISINIT), 1);
    EXPECT_EQ(video_.SendCmd(2, VIDCMD_ISINIT), 0);
    EXPECT_EQ(video_.SendCmd(-1, VIDCMD_ISINIT), 0);

    video_.StopAll();
    video_.Stop();
    EXPECT_TRUE(Gone(kTitle1));
    EXPECT_TRUE(Gone(kTitle2));
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 0);
    // Board 1's host: initialised by the first start, then by the second, stopped, closed.
    EXPECT_EQ(ReadLog(HostLogPath(0)), (std::vector<LoggedCommand>{Cmd(VIDCMD_ISINIT),
                                                                   {"WM_CLOSE", ""},
                                                                   Cmd(VIDCMD_ISINIT),
                                                                   Cmd(VIDCMD_STOP),
                                                                   {"WM_CLOSE", ""}}));
}

TEST_F(CVideoCmdTest, FailedFirstLaunchStillTriesSecondAndFails) {
    UseVdhost(video_, {}, {0});
    EXPECT_EQ(video_.Start(0, 2), 0);
    EXPECT_EQ(launched_, (std::vector<std::string>{kTitle1, kTitle2}));
    EXPECT_EQ(video_.startedCount(), 0);
    // The second host did start; with only one host counted its board index is not served,
    // so its initialisation query fails without reaching it, and it is closed again.
    EXPECT_TRUE(Gone(kTitle2));
    EXPECT_EQ(ReadLog(HostLogPath(1)), (std::vector<LoggedCommand>{{"WM_CLOSE", ""}}));
}

TEST_F(CVideoCmdTest, WritesItsDiagnosticLines) {
    EnableDebugLog();
    UseVdhost(video_, {}, {0});
    EXPECT_EQ(video_.Start(0, 2), 0);
    UseVdhost(video_);
    EXPECT_EQ(video_.Start(0, 1), 1);
    video_.Stop();
    EXPECT_EQ(DebugLogLines(), (std::vector<std::string>{
                                   "CVideoCmd::CreateProcess(): failed for board 0",
                                   "CVideoCmd::SendCmd(VIDCMD_ISINIT): failed for board 1",
                                   "CVideoCmd::SendCmd(): board 0, cmd: 100, result: 1",
                                   "CVideoCmd::Start(): board 0 ok",
                                   "CVideoCmd::Stop(): board 0",
                               }));
}

TEST_F(CVideoCmdTest, FailedInitOfSecondBoardClosesFirst) {
    UseVdhost(video_, {{}, {"--fail-isinit"}});
    EXPECT_EQ(video_.Start(0, 2), 0);
    EXPECT_EQ(video_.startedCount(), 0);
    EXPECT_TRUE(Gone(kTitle1));
    EXPECT_TRUE(Gone(kTitle2));
    for (int board : {0, 1}) {
        EXPECT_EQ(ReadLog(HostLogPath(board)),
                  (std::vector<LoggedCommand>{Cmd(VIDCMD_ISINIT), {"WM_CLOSE", ""}}));
    }
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISPLAYING), 0);

    // Counts past the two boards start the boards that exist.
    launched_.clear();
    UseVdhost(video_);
    EXPECT_EQ(video_.Start(0, 3), 1);
    EXPECT_EQ(launched_.size(), 2u);
    video_.Stop();
    EXPECT_EQ(video_.Start(0, 0), 0);
}

TEST_F(CVideoCmdTest, HostThatExitedIsForgottenUntilTheNextStart) {
    UseVdhost(video_);
    ASSERT_EQ(video_.Start(0, 1), 1);
    const WindowHandle first = video_.hostWindow(0);
    SendWindowMessage(first, kWmClose, 0, 0, nullptr, 0);
    ASSERT_TRUE(Gone(kTitle1));

    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISPLAYING), 0);
    EXPECT_EQ(video_.hostWindow(0), 0u);
    // A forgotten board does not take reports from a sender without a window either.
    EXPECT_EQ(video_.OnNotify(0, kNotifyStarted), -1);
    EXPECT_FALSE(video_.boardBusy(0));

    // A new host under the same title is not used before the channel is started again.
    ASSERT_TRUE(CVideoCmd::LaunchHost(ORX_VDHOST_PATH, kTitle1));
    ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(kTitle1) != 0; }));
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 0);
    video_.Stop();
    EXPECT_NE(FindWindowByTitle(kTitle1), 0u);

    ASSERT_EQ(video_.Start(0, 1), 1);
    EXPECT_NE(video_.hostWindow(0), first);
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISINIT), 1);
}

TEST_F(CVideoCmdTest, ReportsArriveInsideCommandsAndUpdateBusyState) {
    UseVdhost(video_);
    ReportWindow main(video_);
    ASSERT_EQ(video_.Start(main.Handle(), 1), 1);
    const WindowHandle host = video_.hostWindow(0);

    // Reports from senders that are not started hosts, and unknown codes, change nothing.
    EXPECT_EQ(video_.OnNotify(host + 1, kNotifyStarted), -1);
    EXPECT_EQ(video_.OnNotify(host, 5), 0);
    EXPECT_EQ(video_.OnNotify(host, (uint64_t{1} << 32) | kNotifyStarted), 0);
    EXPECT_FALSE(video_.boardBusy(0));

    const std::string clip = MakeClip("clip_30.mpg");
    ASSERT_EQ(video_.SendCmd(0, VIDCMD_PLAY, clip.c_str()), 1);
    // The host reports after its answer and waits for the report to be taken; meanwhile the
    // next command is served by the host and the report is served while that command waits,
    // without the idle loop ever running.
    ASSERT_TRUE(WaitUntil([&] { return main.ReportWaiting(); }));
    main.inCommand = true;
    for (int i = 0; i < 50 && main.reports.empty(); ++i) {
        EXPECT_EQ(video_.SendCmd(0, VIDCMD_ISPLAYING), 1);
    }
    ASSERT_EQ(main.reports.size(), 1u);
    EXPECT_EQ(main.reports[0].board, 0);
    EXPECT_TRUE(main.reports[0].busyAfter);
    EXPECT_TRUE(main.reports[0].duringCommand);
    EXPECT_TRUE(video_.boardBusy(0));

    // StopAll clears the busy state itself; the host's own report of the stop comes after.
    main.inCommand = false;
    video_.StopAll();
    EXPECT_FALSE(video_.boardBusy(0));
    ASSERT_TRUE(WaitUntil([&] {
        main.ServePending();
        return main.reports.size() == 2;
    }));
    EXPECT_FALSE(main.reports[1].busyAfter);
    EXPECT_FALSE(main.reports[1].duringCommand);
}

TEST_F(CVideoCmdTest, TextArgumentsAreCutToThePayload) {
    UseVdhost(video_);
    ASSERT_EQ(video_.Start(0, 1), 1);
    const std::string longText(400, 'x');
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_PLAY, longText.c_str()), 0);
    EXPECT_EQ(video_.SendCmd(0, VIDCMD_VOLUME, "70"), 1);
    const auto log = ReadLog(HostLogPath(0));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], Cmd(VIDCMD_PLAY, std::string(259, 'x')));
    EXPECT_EQ(log[2], Cmd(VIDCMD_VOLUME, "70"));
}

}  // namespace
}  // namespace orx::test
