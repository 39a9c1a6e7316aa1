// The real window and the real stand-ins as processes; the test drives the ticks.

#include <gtest/gtest.h>
#include <unistd.h>
#include <QAction>

#include <sstream>

#include "MainWinTestSupport.h"
#include "mainwin/CMainWin.h"
#include "mainwin/ClipListView.h"
#include "mainwin/MainToolBar.h"
#include "mainwin/PlaylistTreeView.h"
#include "platform/Process.h"

namespace orx {
namespace {

bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 4000 && !done(); ++i) {
        usleep(5000);
    }
    return done();
}

// The texts of the lines "<ms>\t<code>\t<text>" of a stand-in's log with this code.
std::vector<std::string> Logged(const std::string& path, const std::string& code) {
    std::vector<std::string> texts;
    std::istringstream in(test::ReadFile(path));
    for (std::string line; std::getline(in, line);) {
        const size_t a = line.find('\t');
        const size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
        if (b != std::string::npos && line.substr(a + 1, b - a - 1) == code) {
            texts.push_back(line.substr(b + 1));
        }
    }
    return texts;
}

class MainWinEndToEndTest : public test::MainWinFixture {
protected:
    void SetUp() override {
        MainWinFixture::SetUp();
        Settings().mpeg = 2;
        Settings().airLog = Settings().cuePreview = 1;
        video_.SetHostLauncher([this](int board, const std::string& title) {
            const std::string log = dir_ / ("vdhost" + std::to_string(board + 1) + ".log");
            return CVideoCmd::LaunchHost(kProgramDir + std::string("/vdhost"), title,
                                         {"--log", log, "--speed", "10"}) &&
                   WaitUntil([&] { return FindWindowByTitle(title) != 0; });  // as a real start
        });
        ASSERT_TRUE(LaunchProcess(kProgramDir + std::string("/tallyx"),
                                  {"--log", dir_ / "tallyx.log", "--program", "IN1"}));
        ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }));
    }
    void TearDown() override {
        if (const WindowHandle remote = FindWindowByTitle(CRemoteCmd::kWindowTitle)) {
            SendWindowMessage(remote, kWmClose, 0, 0, nullptr, 0);
        }
    }

    static constexpr const char* kProgramDir = ORX_TEST_PROGRAM_DIR;
    CVideoCmd video_{clock_};
    CRemoteCmd remote_{clock_};
    HardwareControl hardware_{video_, remote_, clock_};
};

TEST_F(MainWinEndToEndTest, PlaylistIsCuedPlayedToAirAndLogged) {
    using test::Clip;
    test::WritePlaylist(
        Video("Evening/Show.vid"),
        {Clip("intro_2.mpg", 2000), Clip("news_3.mpg", 3000), Clip("weather_2.mpg", 2000)});
    test::WritePlaylist(Video("Other.vid"), {Clip("other_2.mpg", 2000)});
    {
        CMainWin w(video_, remote_, hardware_, clock_);
        auto select = [&](const char* name) {
            w.playlistTree()->setCurrentItem(test::FindItem(w.playlistTree(), name));
        };
        select("Show");   // no hardware yet: nothing is cued
        w.OnTimerTick();  // opens the hardware
        ASSERT_TRUE(ui_.boxes.empty()) << ui_.boxes.front().text;
        w.playlistTree()->clearSelection();
        select("Show");  // cues the first clip

        w.toolBar()->action(MainToolBar::kPlayId)->trigger();
        ASSERT_TRUE(w.engine().playing());
        EXPECT_EQ(w.toolBar()->State(), ComputeToolbarState(true, true, true, true));
        EXPECT_EQ(w.timer().periodMs(), 50);
        // During the run the tree refuses another playlist, and the window stays open.
        select("Other");
        EXPECT_TRUE(w.playlistTree()->selectedItems().isEmpty());
        EXPECT_EQ(w.engine().playlistPath, Video("Evening/Show.vid"));
        EXPECT_FALSE(w.close());

        std::vector<int> rowsOnAir{-1};
        for (int i = 0; i < 1000 && w.engine().playing(); ++i) {
            clock_.ticks += 50;
            w.OnTimerTick();
            QApplication::processEvents();  // board reports while idle
            if (const int row = w.clipList()->SelectedRow(); row >= 0 && row != rowsOnAir.back()) {
                rowsOnAir.push_back(row);
            }
        }
        ASSERT_FALSE(w.engine().playing());
        EXPECT_EQ(rowsOnAir, (std::vector<int>{-1, 0, 1, 2}));
        EXPECT_EQ(w.toolBar()->State(), ComputeToolbarState(true, true, true, false));
        EXPECT_TRUE(ui_.boxes.empty()) << ui_.boxes.front().text;
    }

    // Cued once on the first board; clips alternate between the boards, stopped at the end of
    // the run; the hosts closed with the window; the mixer switched to each board in turn.
    using Texts = std::vector<std::string>;
    const std::string log1 = dir_ / "vdhost1.log", log2 = dir_ / "vdhost2.log";
    EXPECT_EQ(Logged(log1, "5"), Texts{Video("intro_2.mpg")});
    EXPECT_EQ(Logged(log1, "1"), (Texts{Video("intro_2.mpg"), Video("weather_2.mpg")}));
    EXPECT_EQ(Logged(log2, "1"), Texts{Video("news_3.mpg")});
    EXPECT_FALSE(Logged(log1, "3").empty());
    EXPECT_EQ(Logged(log1, "WM_CLOSE").size() + Logged(log2, "WM_CLOSE").size(), 2u);
    Texts inputs = Logged(dir_ / "tallyx.log", "0");
    std::erase_if(inputs, [](const std::string& w) { return w != "IN3" && w != "IN4"; });
    EXPECT_EQ(inputs, (Texts{"IN3", "IN4", "IN3"}));

    const std::string airLog = test::ReadFile(dir_ / "airlog.txt");
    for (const char* clip : {"intro_2.mpg", "news_3.mpg", "weather_2.mpg"}) {
        EXPECT_NE(airLog.find(clip), std::string::npos) << clip << " in\n" << airLog;
    }
}

}  // namespace
}  // namespace orx

ORX_QT_TEST_MAIN()
