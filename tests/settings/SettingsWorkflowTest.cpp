// The Settings dialog run by the real window, with the real decoder-host and remote-control
// stand-ins as processes.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "MainWinTestSupport.h"
#include "mainwin/MainToolBar.h"
#include "platform/Process.h"
#include "settings/SettingsDialog.h"
#include "support/ModalScript.h"

namespace orx {
namespace {

using namespace test;

class SettingsWorkflowTest : public test::MainWinFixture {};

TEST_F(SettingsWorkflowTest,
       BoardCheckRunsWithTheHardwareClosedCancelKeepsAndOkStoresTheBoardCount) {
    const std::string programDir = ORX_TEST_PROGRAM_DIR;
    Settings().mpeg = 1;
    video_.SetHostLauncher([&](int board, const std::string& title) {
        const std::string log = dir_ / ("vdhost" + std::to_string(board + 1) + ".log");
        return CVideoCmd::LaunchHost(programDir + "/vdhost", title, {"--log", log}) &&
               test::WaitUntil([&] { return FindWindowByTitle(title) != 0; });
    });
    ASSERT_TRUE(
        LaunchProcess(programDir + "/tallyx", {"--log", dir_ / "tallyx.log", "--program", "IN1"}));
    ASSERT_TRUE(test::WaitUntil([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }));
    test::WriteFile(Video("test.mpg"), "sample");
    Open();
    w_->SetSettingsRunner(RunSettingsDialog);
    w_->OnTimerTick();  // opens the hardware
    ASSERT_TRUE(ui_.boxes.empty()) << ui_.boxes.front().text;
    const auto host = [&](int board) {
        return test::LoggedCommands(dir_ / ("vdhost" + std::to_string(board) + ".log"));
    };
    // Runs Settings from the tool bar with the keys pressed in it.
    const auto run = [&](const std::function<void(SettingsDialog&)>& keys) {
        test::ModalScript script;
        script.Then("orx::SettingsDialog",
                    [&](QDialog* dialog) { keys(*static_cast<SettingsDialog*>(dialog)); });
        w_->toolBar()->action(MainToolBar::kSettingsId)->trigger();
        EXPECT_TRUE(script.done());
        EXPECT_FALSE(w_->busy());
    };

    std::string hostWhileOpen;
    bool busyWhileOpen = false;
    run([&](SettingsDialog& dialog) {
        hostWhileOpen = host(1);
        busyWhileOpen = w_->busy();
        PressButton(dialog.check1Button());  // the sample on IN3 of board 1
        PressButton(dialog.board2Box());
        PressButton(dialog.cancelButton());
    });
    EXPECT_TRUE(busyWhileOpen);
    // Closed before the dialog showed; the check started the host again, played the sample and
    // closed it; the window opened the hardware again afterwards.
    EXPECT_EQ(hostWhileOpen, "100 3 WM_CLOSE");
    const std::string sample = Video("test.mpg");
    EXPECT_EQ(host(1), "100 3 WM_CLOSE 100 2:" + sample + " 3 WM_CLOSE 100");
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, "Playing sample video clip on the IN3 input...");
    const std::string mixer = test::LoggedCommands(dir_ / "tallyx.log");
    EXPECT_NE(mixer.find("0:IN3"), std::string::npos) << mixer;
    EXPECT_EQ(Settings().mpeg, 1);  // board 2 was ticked, then cancelled
    EXPECT_FALSE(std::filesystem::exists(dir_ / "vdhost2.log"));
    EXPECT_EQ(GetIniInt("Hardware", "MPEG", -5), -5);  // nothing saved

    // Again, with OK: the board count is stored and the hardware opens again with both boards.
    run([](SettingsDialog& dialog) {
        PressButton(dialog.board2Box());
        ASSERT_TRUE(TabTo(dialog.input2Combo()));
        Key(Qt::Key_Down);  // IN5
        PressButton(dialog.okButton());
    });
    EXPECT_EQ(Settings().mpeg, 2);
    EXPECT_EQ(Settings().mpegInput2, 4);
    EXPECT_EQ(GetIniInt("Hardware", "MPEG", -5), 2);
    EXPECT_EQ(host(1), "100 3 WM_CLOSE 100 2:" + sample + " 3 WM_CLOSE 100 3 WM_CLOSE 100");
    EXPECT_EQ(host(2), "100");
    EXPECT_EQ(ui_.boxes.size(), 1u);  // no check this time
}

}  // namespace
}  // namespace orx
