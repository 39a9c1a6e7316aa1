// The real window and the real stand-ins as processes; the test drives the ticks.

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <chrono>
#include <filesystem>
#include <thread>

#include "../settings/SettingsTestSupport.h"
#include "MainWinTestSupport.h"
#include "lang/TranslationKey.h"
#include "mainwin/ClipListView.h"
#include "mainwin/MainToolBar.h"
#include "platform/Process.h"
#include "settings/SettingsDialog.h"

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

    static constexpr const char* kProgramDir = ORX_TEST_PROGRAM_DIR;
};

TEST_F(MainWinEndToEndTest, PlaylistIsCuedPlayedToAirAndLogged) {
    using test::Clip;
    test::WritePlaylist(
        Video("Evening/Show.vid"),
        {Clip("intro_2.mpg", 2000), Clip("news_3.mpg", 3000), Clip("weather_2.mpg", 2000)});
    test::WritePlaylist(Video("Other.vid"), {Clip("other_2.mpg", 2000)});
    Open();
    Select("Show");     // no hardware yet: nothing is cued
    w_->OnTimerTick();  // opens the hardware
    ASSERT_TRUE(ui_.boxes.empty()) << ui_.boxes.front().text;
    w_->playlistTree()->clearSelection();
    Select("Show");  // cues the first clip

    w_->toolBar()->action(MainToolBar::kPlayId)->trigger();
    ASSERT_TRUE(w_->engine().playing());
    EXPECT_EQ(w_->toolBar()->State(), (ToolbarState{false, true, true, true, false, false}));
    EXPECT_EQ(w_->timer().periodMs(), 50);
    // During the run the tree refuses another playlist, and the window stays open.
    Select("Other");
    EXPECT_TRUE(w_->playlistTree()->selectedItems().isEmpty());
    EXPECT_EQ(w_->engine().playlistPath, Video("Evening/Show.vid"));
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
    EXPECT_EQ(rowsOnAir, (std::vector<int>{-1, 0, 1, 2}));
    EXPECT_EQ(w_->toolBar()->State(), (ToolbarState{true, false, false, true, true, true}));
    EXPECT_TRUE(ui_.boxes.empty()) << ui_.boxes.front().text;
    w_.reset();  // closes the hosts

    // Cued once on the first board; clips alternate between the boards, stopped at the end of
    // the run and again as the hosts close with the window; the mixer cuts to each in turn.
    const std::string v = Settings().videoPath;
    EXPECT_EQ(
        test::LoggedCommands(dir_ / "vdhost1.log"),
        "100 5:" + v + "intro_2.mpg 1:" + v + "intro_2.mpg 1:" + v + "weather_2.mpg 3 3 WM_CLOSE");
    EXPECT_EQ(test::LoggedCommands(dir_ / "vdhost2.log"), "100 1:" + v + "news_3.mpg 3 3 WM_CLOSE");
    const std::string mixer = test::LoggedCommands(dir_ / "tallyx.log");
    EXPECT_NE(mixer.find(" 0:CUT 0:IN3 0:CUT 0:IN4 0:CUT 0:IN3 0:CUT "), std::string::npos)
        << mixer;
    const std::string airLog = test::ReadFile(dir_ / "airlog.txt");
    for (const char* clip : {"intro_2.mpg", "news_3.mpg", "weather_2.mpg"}) {
        EXPECT_NE(airLog.find(clip), std::string::npos) << clip << " in\n" << airLog;
    }
}

// The operator changes the interface language and the Play hot key in Settings, confirms, and
// plays with the new key.
TEST_F(MainWinEndToEndTest, SettingsChangeLanguageAndHotKeyAndTheNewKeyPlays) {
    const auto write = [&](const std::string& file, const std::vector<TranslationText>& texts) {
        TranslationTable table;
        table.Assign(texts);
        test::WriteBytes(dir_ / file, table.Serialize());
    };
    write("brenvik.lna", {{DialogKey(304), "Settings"}, {DialogKey(304, 1260), "Hotkeys"}});
    write("German.brl", {{DialogKey(304), "Einstellungen"}, {DialogKey(304, 1260), "Tasten"}});
    ResetLanguagesForTesting();
    Languages().SetMasterPath(dir_ / "brenvik.lna");
    ASSERT_TRUE(Languages().Startup());
    test::WritePlaylist(Video("Show.vid"), {test::Clip("intro_2.mpg", 2000)});
    Open();
    w_->SetSettingsRunner(RunSettingsDialog);
    w_->OnTimerTick();
    Select("Show");

    const auto dialog = [] {
        return qobject_cast<SettingsDialog*>(QApplication::activeModalWidget());
    };
    using test::Key;
    using test::TabTo;
    test::Script script;
    script.Then([&] { ASSERT_TRUE(TabTo(dialog()->languageCombo())); })
        .Then([] { Key(Qt::Key_Down); })  // German, applied at once
        .Then([&] {
            EXPECT_EQ(dialog()->windowTitle(), "Einstellungen");
            ASSERT_TRUE(TabTo(dialog()->hotkeysButton()));
        })
        .Then([] { Key(Qt::Key_Space); })
        .Then([] {
            Key(Qt::Key_Tab);
            Key(Qt::Key_Tab);  // "Play"
            Key(Qt::Key_P, Qt::ControlModifier);
            ASSERT_TRUE(TabTo(test::ModalButton("OK")));
        })
        .Then([] { Key(Qt::Key_Space); })
        .Then([&] { ASSERT_TRUE(TabTo(dialog()->okButton())); })
        .Then([] { Key(Qt::Key_Space); });
    script.Start();
    w_->toolBar()->action(MainToolBar::kSettingsId)->trigger();
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(Languages().CurrentName(), "German");
    EXPECT_EQ(GetIniString("Language", "Name", ""), "German");
    ASSERT_TRUE(ui_.boxes.empty()) << ui_.boxes.front().text;

    const auto press = [&](int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(w_->playlistTree(), &event);
    };
    press(Qt::Key_F5, Qt::NoModifier);  // the old key does nothing now
    EXPECT_FALSE(w_->engine().playing());
    press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(w_->engine().playing());
    press(Qt::Key_F8, Qt::NoModifier);  // Stop
    for (int i = 0; i < 200 && w_->engine().playing(); ++i) {
        clock_.ticks += 50;
        w_->OnTimerTick();
        QApplication::processEvents();
    }
    EXPECT_FALSE(w_->engine().playing());
    w_.reset();  // the hot keys are written as the window closes
    EXPECT_EQ(GetIniInt("HotKeys", "Key2", 0), 0x20050);
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
