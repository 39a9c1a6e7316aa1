// The real window and the real stand-ins as processes; the test drives the ticks.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QWheelEvent>
#include <QWindow>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "MainWinTestSupport.h"
#include "editor/PlaylistEditorDialog.h"
#include "mainwin/ClipListView.h"
#include "mainwin/MainToolBar.h"
#include "platform/Process.h"
#include "support/ModalScript.h"

namespace orx {
namespace {

class MainWinEndToEndTest : public test::MainWinFixture {
protected:
    void SetUp() override {
        MainWinFixture::SetUp();
        Settings().mpeg = 2;
        Settings().airLog = Settings().cuePreview = 1;
        video_.SetHostLauncher([this](int board, const std::string& title) {
            const std::string log = dir_ / ("vdhost" + std::to_string(board + 1) + ".log");
            return CVideoCmd::LaunchHost(kProgramDir + std::string("/vdhost"), title,
                                         {"--log", log, "--speed", "10"}) &&  // as a real start
                   test::WaitUntil([&] { return FindWindowByTitle(title) != 0; });
        });
        ASSERT_TRUE(LaunchProcess(kProgramDir + std::string("/tallyx"),
                                  {"--log", dir_ / "tallyx.log", "--program", "IN1"}));
        ASSERT_TRUE(
            test::WaitUntil([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }));
    }

    // A key as the window system delivers it: to the window, which hands it to its focused
    // control.
    void Key(int key) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::NoModifier);
            QApplication::sendEvent(w_->windowHandle(), &event);
        }
    }

    static constexpr const char* kProgramDir = ORX_TEST_PROGRAM_DIR;
};

// From a fresh start, by keys only: Down selects the playlist and cues its first clip, F5 plays it
// once the dead second host has been started again, every clip and mixer command goes out when
// due, the run is logged, the tree refuses another playlist meanwhile; F2 opens the editor on it.
TEST_F(MainWinEndToEndTest, KeysCueAndPlayAPlaylistAfterADeadHostIsStartedAgainAndOpenTheEditor) {
    using test::Clip;
    test::WritePlaylist(Video("A show.vid"), {Clip("intro_2.mpg", 2000), Clip("news_3.mpg", 3000),
                                              Clip("weather_2.mpg", 2000)});
    test::WritePlaylist(Video("B other.vid"), {Clip("other_2.mpg", 2000)});
    Open();
    w_->show();
    ASSERT_TRUE(test::WaitUntil([&] {  // the first tick opens the hardware
        QApplication::processEvents();
        return !w_->firstTick();
    }));
    ASSERT_TRUE(w_->engine().hardwareOk());
    // A wheel turned over the restore choice it was not clicked into leaves "Previous".
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w_->toolBar()->restoreCombo(), &wheel);
    const std::string title2 = CVideoCmd::HostTitle(1);
    SendWindowMessage(FindWindowByTitle(title2), kWmClose, 0, 0, nullptr, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return FindWindowByTitle(title2) == 0; }));

    Key(Qt::Key_Down);
    EXPECT_EQ(w_->engine().playlistPath, Video("A show.vid"));
    Key(Qt::Key_F5);
    ASSERT_TRUE(w_->engine().playing());
    EXPECT_NE(FindWindowByTitle(title2), 0u);
    EXPECT_EQ(w_->toolBar()->State(), (ToolbarState{false, true, true, true, false, false}));
    EXPECT_EQ(w_->timer().periodMs(), 50);
    // "CUT", "IN3" and intro went out at the start; news and its "CUT", "IN4" are due at 1 900.
    EXPECT_TRUE(w_->timer().dueArmed());
    EXPECT_EQ(w_->timer().dueDelayMs(), 1900);
    Key(Qt::Key_Down);
    EXPECT_TRUE(w_->playlistTree()->selectedItems().isEmpty());
    EXPECT_EQ(w_->engine().playlistPath, Video("A show.vid"));
    EXPECT_FALSE(w_->close());

    std::vector<int> rowsOnAir{-1};
    for (int i = 0; i < 1000 && w_->engine().playing(); ++i) {
        clock_.ticks += 50;
        w_->OnTimerTick();
        QApplication::processEvents();  // board reports while idle
        if (const int row = w_->clipList()->SelectedRow(); row >= 0 && row != rowsOnAir.back()) {
            rowsOnAir.push_back(row);
        }
    }
    ASSERT_FALSE(w_->engine().playing());
    EXPECT_FALSE(w_->timer().dueArmed());
    EXPECT_EQ(rowsOnAir, (std::vector<int>{-1, 0, 1, 2}));
    EXPECT_EQ(w_->toolBar()->State(), (ToolbarState{true, false, false, true, true, true}));
    EXPECT_EQ(w_->toolBar()->RestoreComboIndex(), 1);

    test::ModalScript script;
    script.Then("orx::PlaylistEditorDialog", [this](QDialog* dialog) {
        auto& editor = *static_cast<PlaylistEditorDialog*>(dialog);
        EXPECT_EQ(editor.playlistPath(), Video("A show.vid"));
        test::PressButton(editor.button(2));  // "Close"
    });
    Key(Qt::Key_F2);
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(w_->busy());
    EXPECT_EQ(w_->clipList()->topLevelItemCount(), 3);
    Key(Qt::Key_F5);  // again, and F8 stops it at once
    Key(Qt::Key_F8);
    EXPECT_FALSE(w_->engine().playing());
    EXPECT_TRUE(ui_.boxes.empty()) << ui_.boxes.front().text;
    w_.reset();  // closes the hosts

    // Cued once on the first board; clips alternate between the boards (the second on its new
    // host), stopped at the end of the run; intro again, stopped by F8; stopped as the hosts close.
    const std::string v = Settings().videoPath;
    EXPECT_EQ(test::LoggedCommands(dir_ / "vdhost1.log"),
              "100 5:" + v + "intro_2.mpg 1:" + v + "intro_2.mpg 1:" + v +
                  "weather_2.mpg 3 1:" + v + "intro_2.mpg 3 3 WM_CLOSE");
    EXPECT_EQ(test::LoggedCommands(dir_ / "vdhost2.log"),
              "100 WM_CLOSE 100 1:" + v + "news_3.mpg 3 3 3 WM_CLOSE");
    const std::string mixer = test::LoggedCommands(dir_ / "tallyx.log");
    EXPECT_NE(mixer.find(" 0:CUT 0:IN3 0:CUT 0:IN4 0:CUT 0:IN3 0:CUT "), std::string::npos)
        << mixer;
    const std::string airLog = test::ReadFile(dir_ / "airlog.txt");
    for (const char* clip : {"intro_2.mpg", "news_3.mpg", "weather_2.mpg"}) {
        EXPECT_NE(airLog.find(clip), std::string::npos) << clip << " in\n" << airLog;
    }
}

TEST_F(MainWinEndToEndTest, HostsAreClosedWhenTheProcessEndsWithoutTheWindow) {
    Open();
    w_->OnTimerTick();  // opens the hardware
    ASSERT_TRUE(w_->engine().hardwareOk());
    // The toolkit ends the process with exit() when it loses its display connection: the window
    // is never destroyed. A copy of this process does so here, with the hosts open.
    const pid_t copy = fork();
    if (copy == 0) {
        std::exit(1);
    }
    ASSERT_GT(copy, 0);
    waitpid(copy, nullptr, 0);
    for (const char* board : {"1", "2"}) {
        const std::string log = dir_ / (std::string("vdhost") + board + ".log");
        EXPECT_TRUE(test::WaitUntil([&] {
            return test::LoggedCommands(log).ends_with("WM_CLOSE");
        })) << test::LoggedCommands(log);
    }
}

TEST_F(MainWinEndToEndTest, ALostAirLogLineIsToldWhileTheRunGoesOnUnderTheBox) {
    using test::Clip;
    std::filesystem::create_directories(dir_ / "airlog.txt");  // no line can be written
    test::WritePlaylist(Video("Show.vid"),
                        {Clip("a_1.mpg", 1000), Clip("b_1.mpg", 1000), Clip("c_1.mpg", 1000)});
    Open();
    w_->OnTimerTick();  // opens the hardware
    Select("Show");
    // The window's own timer drives the run, as in the program; the clock moves with the loop.
    auto runFor = [this](int loops) {
        for (int i = 0; i < loops && w_->engine().playing(); ++i) {
            clock_.ticks += 50;
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    };
    bool endedUnderTheBox = false;
    ui_.onBox = [&](const test::RecordingUiHost::Box&) {  // the operator does not answer
        runFor(1000);
        endedUnderTheBox = !w_->engine().playing();
    };
    w_->toolBar()->action(MainToolBar::kPlayId)->trigger();
    runFor(1000);
    ASSERT_FALSE(w_->engine().playing());
    ASSERT_EQ(ui_.boxes.size(), 1u);  // a's line when c went to air, and the two at the end
    EXPECT_EQ(ui_.boxes[0].text.substr(0, 26), "Air log cannot be written!");
    EXPECT_TRUE(endedUnderTheBox);
}

}  // namespace
}  // namespace orx
