#include "devices/HardwareControl.h"

#include "StandInFixture.h"

namespace orx::test {
namespace {

class HardwareControlTest : public StandInFixture {
protected:
    const std::string sample_ = work_ / "test.mpg";
    HardwareControl hardware_{video_, remote_, clock_};
};

TEST_F(HardwareControlTest, OpenSetsTheVolumeOfEveryHostItStartsAndLaunchesTheMixerOnce) {
    EXPECT_FALSE(hardware_.OpenHardware(0));  // no boards
    Settings().mpeg = 2;
    Settings().editOnlyMode = 1;
    EXPECT_FALSE(hardware_.OpenHardware(0));
    EXPECT_TRUE(launched_.empty());
    // The mixer program in a relative folder typed without its trailing separator.
    InstallTallyx(work_ / "sub/");
    Settings().remotePath = "sub";
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(work_.Path());
    Settings().editOnlyMode = 0;
    Settings().volumeSet = 1;
    Settings().audioVolume = 55;
    EXPECT_TRUE(hardware_.OpenHardware(0x4242));
    std::filesystem::current_path(cwd);
    EXPECT_EQ(video_.replyWindow(), 0x4242u);
    ASSERT_TRUE(WaitUntil(MixerRunning));
    EXPECT_TRUE(hardware_.ReviveBoards());  // both alive: nothing happens
    ASSERT_TRUE(CloseWindow(CVideoCmd::HostTitle(0)));
    EXPECT_TRUE(hardware_.ReviveBoards());  // the dead host is started again, with its volume
    // Closing stops and closes the hosts and leaves the mixer running: reopening finds it.
    hardware_.CloseHardware();
    EXPECT_EQ(HostCommands(0), "ISINIT VOLUME:55 CLOSE ISINIT VOLUME:55 STOP CLOSE");
    EXPECT_EQ(HostCommands(1), "ISINIT VOLUME:55 STOP CLOSE");
    EXPECT_TRUE(hardware_.OpenHardware(0));
    EXPECT_EQ(ReadFile(work_ / "sub/starts"), "run\n");
    EXPECT_TRUE(ui_.boxes.empty());
    UseVdhost({"--fail-isinit"});  // one that cannot be started again is told
    ASSERT_TRUE(CloseWindow(CVideoCmd::HostTitle(0)));
    EXPECT_FALSE(hardware_.ReviveBoards());
    EXPECT_EQ(BoxTexts(), std::vector{TranslateString(3047)});
}

TEST_F(HardwareControlTest, FailuresAreReportedAndLeaveHardwareUnavailable) {
    UseVdhost({"no-launch"});
    InstallTallyx(work_.Path());
    hardware_.CheckVideoBoard(0, 2, work_.Path());  // no sample
    EXPECT_TRUE(launched_.empty());
    Settings().mpeg = 1;
    EXPECT_FALSE(hardware_.OpenHardware(0));  // the board fails
    EXPECT_EQ(ReadFile(work_ / "starts"), "");
    UseVdhost();
    std::filesystem::remove(work_ / "tallyx");
    EXPECT_FALSE(hardware_.OpenHardware(0));  // no mixer program in the remote folder
    EXPECT_EQ(remote_.SendCmd(0, "CUT"), 0);  // its message stands for the burst
    // A check whose seizure fails still closes the hosts.
    WriteFile(sample_, "sample");
    StartMixer({"--fail-all"});
    hardware_.CheckVideoBoard(0, 0, work_.Path());
    EXPECT_EQ(BoxTexts(), (std::vector{FormatTranslated(3000, {sample_}), TranslateString(3047),
                                       TranslateString(18002), TranslateString(18005)}));
    EXPECT_EQ(ui_.boxes[2].type, mb::IconError);
    EXPECT_EQ(HostCommands(0), "ISINIT ISINIT STOP CLOSE");  // the open's host, then the check's
    EXPECT_EQ(ui_.cursorChanges, (std::vector<bool>{true, false}));
}

TEST_F(HardwareControlTest, CheckOfTheSecondBoardPlaysTheSampleOnItsInput) {
    WriteFile(sample_, "sample");
    StartMixer({"--program", "IN2", "--on", "FAST"});
    bool hostPlaying = false;
    ui_.onBox = [&](const RecordingUiHost::Box&) {
        hostPlaying = video_.SendCmd(1, VIDCMD_ISPLAYING) == 1;
    };
    hardware_.CheckVideoBoard(1, 15, work_.Path());
    EXPECT_EQ(BoxTexts(), std::vector{FormatTranslated(18003, {"IN16"})});
    EXPECT_EQ(ui_.boxes[0].type, mb::IconInformation);
    EXPECT_TRUE(ui_.boxes[0].waitCursor && hostPlaying);
    EXPECT_EQ(ui_.cursorChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(clock_.sleeps, (std::vector<uint32_t>{1000, 1000, 1000, 3000, 200}));
    EXPECT_EQ(HostCommands(0), "ISINIT STOP CLOSE");
    EXPECT_EQ(HostCommands(1), "ISINIT PLAY2:" + sample_ + " ISPLAYING STOP CLOSE");
    // The mixer shows IN16 while the sample plays, then goes back to IN2.
    const std::string mixer = MixerCommands();
    EXPECT_LT(mixer.find("0:IN16"), mixer.find("2:FREEZE"));
    EXPECT_TRUE(mixer.ends_with("2:FREEZE 0:CUT 0:IN2 0:MIX 0:AUTO 0:IN2")) << mixer;
}

}  // namespace
}  // namespace orx::test
