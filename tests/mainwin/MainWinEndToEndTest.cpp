// The real window with the real stand-ins: the decoder hosts and the remote-control application
// run as processes, and a playlist is played to air from end to end. Ticks are driven by the
// test, so the run's schedule does not depend on the machine's speed.

#include <gtest/gtest.h>
#include <QAction>

#include <chrono>
#include <map>
#include <sstream>
#include <thread>

#include "MainWinTestSupport.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "devices/HardwareControl.h"
#include "mainwin/CMainWin.h"
#include "mainwin/ClipListView.h"
#include "mainwin/MainToolBar.h"
#include "mainwin/PlaylistTreeView.h"
#include "platform/Process.h"
#include "platform/WindowTransport.h"

namespace orx {
namespace {

bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Ticks move with the test and with every sleep; the local time follows the ticks. A sleep also
// waits (in real time) for the windows of the hosts launched so far, which the production wait
// after a launch is there for.
class RunClock : public Clock {
public:
    uint32_t Ticks() override { return ticks; }
    void Sleep(uint32_t ms) override {
        ticks += ms;
        for (const std::string& title : awaitTitles) {
            WaitUntil([&] { return FindWindowByTitle(title) != 0; });
        }
    }
    LocalTime Now() override {
        const int seconds = static_cast<int>(ticks / 1000);
        return {2024, 5, 6, 12 + seconds / 3600, (seconds / 60) % 60, seconds % 60};
    }
    uint32_t ticks = 0;
    std::vector<std::string> awaitTitles;
};

// "<ms>\t<code>\t<text>" lines of a stand-in's log: code and text only.
std::vector<std::pair<std::string, std::string>> ReadLog(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::istringstream in(test::ReadFile(path));
    std::string line;
    while (std::getline(in, line)) {
        const size_t a = line.find('\t');
        const size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
        if (b == std::string::npos) {
            continue;
        }
        lines.emplace_back(line.substr(a + 1, b - a - 1), line.substr(b + 1));
    }
    return lines;
}

std::vector<std::string> TextsWithCode(const std::vector<std::pair<std::string, std::string>>& log,
                                       const std::string& code) {
    std::vector<std::string> texts;
    for (const auto& [c, text] : log) {
        if (c == code) {
            texts.push_back(text);
        }
    }
    return texts;
}

class MainWinEndToEndTest : public test::MainWinFixture {
protected:
    void SetUp() override {
        MainWinFixture::SetUp();
        Settings().mpeg = 2;
        Settings().airLog = 1;
        video_.SetHostLauncher([this](int board, const std::string& title) {
            clock_.awaitTitles.push_back(title);
            return CVideoCmd::LaunchHost(
                kProgramDir + std::string("/vdhost"), title,
                {"--log", dir_ / ("vdhost" + std::to_string(board + 1) + ".log"), "--speed", "10"});
        });
        ASSERT_TRUE(LaunchProcess(kProgramDir + std::string("/tallyx"),
                                  {"--log", dir_ / "tallyx.log", "--program", "IN1"}));
        ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }));
    }
    void TearDown() override {
        if (const WindowHandle remote = FindWindowByTitle(CRemoteCmd::kWindowTitle)) {
            SendWindowMessage(remote, kWmClose, 0, 0, nullptr, 0);
        }
        MainWinFixture::TearDown();
    }

    static constexpr const char* kProgramDir = ORX_TEST_PROGRAM_DIR;
    RunClock clock_;
    CVideoCmd video_{clock_};
    CRemoteCmd remote_{clock_};
    HardwareControl hardware_{video_, remote_, clock_};
};

TEST_F(MainWinEndToEndTest, PlaylistPlaysToAirAndIsLogged) {
    test::WritePlaylist(Video("Evening/Show.vid"),
                        {{"intro_2.mpg", 2000}, {"news_3.mpg", 3000}, {"weather_2.mpg", 2000}});
    test::WritePlaylist(Video("Other.vid"), {{"other_2.mpg", 2000}});
    {
        CMainWin w(video_, remote_, hardware_, clock_);
        w.OnTimerTick();  // opens the hardware
        ASSERT_TRUE(ui_.boxes.empty()) << ui_.boxes.front().first;
        ASSERT_TRUE(w.engine().hardwareOk());
        EXPECT_EQ(video_.startedCount(), 2);

        const auto show =
            w.playlistTree()->findItems("Show", Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(show.size(), 1);
        w.playlistTree()->setCurrentItem(show.front());
        ASSERT_TRUE(w.toolBar()->State().play);
        ASSERT_EQ(w.clipList()->topLevelItemCount(), 3);

        w.toolBar()->action(MainToolBar::kPlayId)->trigger();
        ASSERT_TRUE(w.engine().playing());
        EXPECT_EQ(w.toolBar()->State(), ComputeToolbarState(true, true, true, true));
        EXPECT_EQ(w.timer().periodMs(), 50);

        // During the run the tree refuses another playlist, and the window stays open.
        const auto other =
            w.playlistTree()->findItems("Other", Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(other.size(), 1);
        w.playlistTree()->setCurrentItem(other.front());
        EXPECT_TRUE(w.playlistTree()->selectedItems().isEmpty());
        EXPECT_EQ(w.engine().playlistPath, Video("Evening/Show.vid"));
        EXPECT_FALSE(w.close());

        std::vector<int> rowsOnAir;
        for (int i = 0; i < 1000 && w.engine().playing(); ++i) {
            clock_.ticks += 50;
            w.OnTimerTick();
            QApplication::processEvents();  // board reports while idle
            const int row = w.clipList()->SelectedRow();
            if (row >= 0 && (rowsOnAir.empty() || rowsOnAir.back() != row)) {
                rowsOnAir.push_back(row);
            }
        }
        ASSERT_FALSE(w.engine().playing());
        EXPECT_EQ(rowsOnAir, (std::vector<int>{0, 1, 2}));
        EXPECT_EQ(w.toolBar()->State(), ComputeToolbarState(true, true, true, false));
        EXPECT_TRUE(ui_.boxes.empty()) << ui_.boxes.front().first;
    }

    // Clips alternate between the boards; the hosts were closed with the window.
    const auto board1 = ReadLog(dir_ / "vdhost1.log");
    const auto board2 = ReadLog(dir_ / "vdhost2.log");
    EXPECT_EQ(TextsWithCode(board1, "1"),
              (std::vector<std::string>{Video("intro_2.mpg"), Video("weather_2.mpg")}));
    EXPECT_EQ(TextsWithCode(board2, "1"), (std::vector<std::string>{Video("news_3.mpg")}));
    EXPECT_FALSE(TextsWithCode(board1, "3").empty());  // stopped at the end of the run
    ASSERT_FALSE(board1.empty());
    EXPECT_EQ(board1.back().first, "WM_CLOSE");
    EXPECT_EQ(board2.back().first, "WM_CLOSE");

    // The mixer was switched to each board's input in turn.
    const auto mixer = TextsWithCode(ReadLog(dir_ / "tallyx.log"), "0");
    std::vector<std::string> inputs;
    for (const std::string& word : mixer) {
        if (word == "IN3" || word == "IN4") {
            inputs.push_back(word);
        }
    }
    EXPECT_EQ(inputs, (std::vector<std::string>{"IN3", "IN4", "IN3"}));

    const std::string airLog = test::ReadFile(dir_ / "airlog.txt");
    for (const char* clip : {"intro_2.mpg", "news_3.mpg", "weather_2.mpg"}) {
        EXPECT_NE(airLog.find(clip), std::string::npos) << clip << " in\n" << airLog;
    }
    EXPECT_EQ(airLog.find("other_2.mpg"), std::string::npos);
}

TEST_F(MainWinEndToEndTest, CuePreviewSendsTheFirstClipToTheFirstBoard) {
    Settings().cuePreview = 1;
    test::WritePlaylist(Video("Show.vid"), {{"intro_2.mpg", 2000}, {"news_3.mpg", 3000}});
    {
        CMainWin w(video_, remote_, hardware_, clock_);
        // Before the hardware is open, nothing is cued.
        w.playlistTree()->setCurrentItem(
            w.playlistTree()->findItems("Show", Qt::MatchExactly | Qt::MatchRecursive).front());
        w.OnTimerTick();
        w.playlistTree()->clearSelection();
        w.playlistTree()->setCurrentItem(
            w.playlistTree()->findItems("Show", Qt::MatchExactly | Qt::MatchRecursive).front());
    }
    EXPECT_EQ(TextsWithCode(ReadLog(dir_ / "vdhost1.log"), "5"),
              (std::vector<std::string>{Video("intro_2.mpg")}));
    EXPECT_TRUE(TextsWithCode(ReadLog(dir_ / "vdhost2.log"), "5").empty());
}

}  // namespace
}  // namespace orx

ORX_QT_TEST_MAIN()
