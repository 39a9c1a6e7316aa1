#include "devices/HardwareControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "StandInFixture.h"
#include "app/AppSettings.h"
#include "app/UiHost.h"
#include "lang/TextServices.h"

namespace orx::test {
namespace {

using Log = std::vector<LoggedCommand>;

class HardwareControlTest : public StandInFixture {
protected:
    void SetUp() override {
        StandInFixture::SetUp();
        std::filesystem::create_directory(Path("remote"));
        remoteFolder_ = Path("remote/");
        Settings().remotePath = remoteFolder_;
        Settings().videoPath = Path("video/");
        std::filesystem::create_directory(Path("video"));
        sample_ = Path("video/test.mpg");
    }
    void InstallMixer(std::vector<std::string> options = {}) {
        options.insert(options.end(), {"--log", Path("mixer.log")});
        InstallTallyxStarter(remoteFolder_, options);
    }
    static bool MixerRunning() { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }
    int MixerStarts() const { return StarterRuns(remoteFolder_); }

    CVideoCmd video_{clock_};
    CRemoteCmd remote_{clock_};
    HardwareControl hardware_{video_, remote_, clock_};
    std::string remoteFolder_;
    std::string sample_;
};

TEST_F(HardwareControlTest, NoBoardsOrEditOnlyUseNoHardware) {
    UseVdhost(video_);
    InstallMixer();
    Settings().mpeg = 0;
    EXPECT_FALSE(hardware_.OpenHardware(0));
    Settings().mpeg = 2;
    Settings().editOnlyMode = 1;
    EXPECT_FALSE(hardware_.OpenHardware(0));
    EXPECT_TRUE(launched_.empty());
    EXPECT_TRUE(ui_.boxes.empty());
    EXPECT_EQ(MixerStarts(), 0);
}

TEST_F(HardwareControlTest, OpenStartsBoardsSetsVolumeAndLaunchesTheMixer) {
    UseVdhost(video_);
    InstallMixer();
    Settings().mpeg = 2;
    Settings().volumeSet = 1;
    Settings().audioVolume = 70;
    ReportWindow main(video_);
    EXPECT_TRUE(hardware_.OpenHardware(main.Handle()));
    EXPECT_TRUE(ui_.boxes.empty());
    EXPECT_EQ(video_.replyWindow(), main.Handle());
    for (int board : {0, 1}) {
        EXPECT_EQ(ReadLog(HostLogPath(board)), (Log{Cmd(VIDCMD_ISINIT), Cmd(VIDCMD_VOLUME, "70")}));
    }
    ASSERT_TRUE(WaitUntil(MixerRunning));
    EXPECT_EQ(MixerStarts(), 1);

    // Closing stops and closes the hosts and leaves the mixer application running.
    hardware_.CloseHardware();
    for (int board : {0, 1}) {
        EXPECT_EQ(
            ReadLog(HostLogPath(board)),
            (Log{
                Cmd(VIDCMD_ISINIT), Cmd(VIDCMD_VOLUME, "70"), Cmd(VIDCMD_STOP), {"WM_CLOSE", ""}}));
    }
    EXPECT_EQ(video_.startedCount(), 0);
    EXPECT_TRUE(MixerRunning());

    // Reopening finds the running application instead of starting another.
    Settings().volumeSet = 0;
    EXPECT_TRUE(hardware_.OpenHardware(main.Handle()));
    EXPECT_EQ(MixerStarts(), 1);
}

TEST_F(HardwareControlTest, FailedBoardsOrMissingMixerLeaveHardwareUnavailable) {
    UseVdhost(video_, {}, {0});
    InstallMixer();
    Settings().mpeg = 1;
    EXPECT_FALSE(hardware_.OpenHardware(0));
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, TranslateString(3047));
    EXPECT_EQ(ui_.boxes[0].type, mb::IconError);
    EXPECT_EQ(MixerStarts(), 0);

    // Boards fine, no mixer program in the remote folder.
    UseVdhost(video_);
    std::filesystem::remove(remoteFolder_ + "tallyx");
    EXPECT_FALSE(hardware_.OpenHardware(0));
    ASSERT_EQ(ui_.boxes.size(), 2u);
    EXPECT_EQ(ui_.boxes[1].text, TranslateString(18002));
    EXPECT_EQ(ui_.boxes[1].type, mb::IconError);
    EXPECT_EQ(video_.startedCount(), 1);
    hardware_.CloseHardware();
}

TEST_F(HardwareControlTest, CheckWithoutSampleReportsItAndStartsNothing) {
    UseVdhost(video_);
    InstallMixer();
    hardware_.CheckVideoBoard(0, 2, remoteFolder_);
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, FormatTranslated(3000, {sample_}));
    EXPECT_EQ(ui_.boxes[0].type & mb::IconMask, mb::IconError);
    EXPECT_TRUE(launched_.empty());
    EXPECT_EQ(MixerStarts(), 0);
    EXPECT_TRUE(clock_.sleeps.empty());
}

TEST_F(HardwareControlTest, CheckOfSecondBoardPlaysTheSampleOnItsInput) {
    std::ofstream(sample_) << "sample";
    UseVdhost(video_);
    InstallMixer({"--program", "IN2", "--on", "FAST"});
    bool hostPlaying = false;
    ui_.onBox = [&](const RecordingUi::Box&) {
        hostPlaying = video_.SendCmd(1, VIDCMD_ISPLAYING) == 1;
    };
    clock_.awaitTitle = CRemoteCmd::kWindowTitle;
    hardware_.CheckVideoBoard(1, 15, remoteFolder_);

    EXPECT_EQ(launched_,
              (std::vector<std::string>{"MPEG2_Video_Window_1", "MPEG2_Video_Window_2"}));
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, FormatTranslated(18003, {"IN16"}));
    EXPECT_EQ(ui_.boxes[0].type, mb::IconInformation);
    EXPECT_TRUE(ui_.boxes[0].waitCursor);
    EXPECT_TRUE(hostPlaying);
    EXPECT_EQ(ui_.cursorChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(clock_.sleeps, (std::vector<uint32_t>{1000, 1000, 1000, 3000, 200}));

    EXPECT_EQ(ReadLog(HostLogPath(0)),
              (Log{Cmd(VIDCMD_ISINIT), Cmd(VIDCMD_STOP), {"WM_CLOSE", ""}}));
    EXPECT_EQ(ReadLog(HostLogPath(1)), (Log{Cmd(VIDCMD_ISINIT),
                                            Cmd(VIDCMD_PLAY2, sample_),
                                            Cmd(VIDCMD_ISPLAYING),
                                            Cmd(VIDCMD_STOP),
                                            {"WM_CLOSE", ""}}));
    // The mixer shows IN16 while the sample plays, then goes back to IN2.
    const Log mixer = ReadLog(Path("mixer.log"));
    const auto in16 = std::find(mixer.begin(), mixer.end(), Cmd(0, "IN16"));
    const auto freeze = std::find(mixer.begin(), mixer.end(), Cmd(2, "FREEZE"));
    ASSERT_NE(in16, mixer.end());
    ASSERT_NE(freeze, mixer.end());
    EXPECT_LT(in16, freeze);
    EXPECT_EQ(Log(freeze, mixer.end()), (Log{Cmd(2, "FREEZE"), Cmd(0, "CUT"), Cmd(0, "IN2"),
                                             Cmd(0, "MIX"), Cmd(0, "AUTO"), Cmd(0, "IN2")}));
}

TEST_F(HardwareControlTest, CheckReportsARefusedSampleAndAFailedSeize) {
    std::ofstream(sample_) << "sample";
    UseVdhost(video_, {{"--fail-play"}});
    InstallMixer({"--program", "IN2", "--on", "FAST"});
    clock_.awaitTitle = CRemoteCmd::kWindowTitle;
    hardware_.CheckVideoBoard(0, 0, remoteFolder_);
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, FormatTranslated(3000, {sample_}));
    EXPECT_EQ(ReadLog(Path("mixer.log")).back(), Cmd(0, "IN2"));  // restored all the same
    EXPECT_EQ(ReadLog(HostLogPath(0)).back(), (LoggedCommand{"WM_CLOSE", ""}));

    // A mixer that refuses everything: no sample, the channel's one message, hosts closed.
    SendWindowMessage(FindWindowByTitle(CRemoteCmd::kWindowTitle), kWmClose, 0, 0, nullptr, 0);
    ASSERT_TRUE(WaitUntil([] { return !MixerRunning(); }));
    InstallMixer({"--fail-all"});
    UseVdhost(video_);
    std::filesystem::remove(HostLogPath(0));
    clock_.awaitTitle = CRemoteCmd::kWindowTitle;
    hardware_.CheckVideoBoard(0, 0, remoteFolder_);
    ASSERT_EQ(ui_.boxes.size(), 2u);
    EXPECT_EQ(ui_.boxes[1].text, TranslateString(18005));
    EXPECT_EQ(ReadLog(HostLogPath(0)),
              (Log{Cmd(VIDCMD_ISINIT), Cmd(VIDCMD_STOP), {"WM_CLOSE", ""}}));
    EXPECT_EQ(ui_.cursorChanges, (std::vector<bool>{true, false, true, false}));
}

}  // namespace
}  // namespace orx::test
