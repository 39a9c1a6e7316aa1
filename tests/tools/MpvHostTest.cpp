// The libmpv decoder host as a real process, headless, over the real window transport: what it
// answers, what it reports and when, and a short two-board run of the playback engine with two
// such hosts and the mixer stand-in.

#include <poll.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "MpvDecoderHost.h"
#include "StandInProcess.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "devices/Channels.h"
#include "devices/Payloads.h"
#include "platform/Process.h"
#include "playout/PlayoutFakes.h"

namespace orx::test {
namespace {

using namespace std::chrono_literals;

// MPEG-2 program-stream clips made once for every test: 1 s and 2 s long.
class Clips {
public:
    Clips() {
        for (auto [name, seconds] : {std::pair{"one_1.mpg", 1}, {"two_2.mpg", 2}}) {
            const std::string command =
                "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=160x120:rate=25:duration=" +
                std::to_string(seconds) + " -f lavfi -i sine=duration=" + std::to_string(seconds) +
                " -c:v mpeg2video -c:a mp2 -f vob '" + dir_ / name + "'";
            ok_ = ok_ && std::system(command.c_str()) == 0;
        }
    }
    bool Ok() const { return ok_; }
    std::string operator/(const std::string& name) const { return dir_ / name; }

private:
    TempFolder dir_;
    bool ok_ = true;
};

const Clips& SharedClips() {
    static const Clips clips;
    return clips;
}

// A player window that records every report as "<host>:<code> ", host 1 or 2 by the sender.
class MpvHost : public StandInProcess {
protected:
    void SetUp() override { ASSERT_TRUE(SharedClips().Ok()) << "ffmpeg could not make the clips"; }

    WindowHandle StartHost(int board, const std::string& output = {}) {
        const std::string title = CVideoCmd::HostTitle(board - 1);
        const WindowHandle host = Start({ORX_VDHOST_MPV_PATH, "?" + title + "?", "--headless",
                                         "--log", dir_ / ("host" + std::to_string(board))},
                                        title, output);
        hosts_[board - 1] = host;
        return host;
    }
    int64_t Send(WindowHandle host, int code, const std::string& text = {},
                 WindowHandle replyTo = 0) {
        const DecoderPayload p = EncodeDecoderPayload(text);
        return SendWindowMessage(host, kWmCopyData, replyTo ? replyTo : player_->Handle(), code,
                                 p.data(), p.size());
    }
    // Serves reports until heard is what is expected.
    bool Heard(const std::string& expected) {
        return WaitUntil([&] {
            player_->ServePending();
            return heard_ == expected;
        });
    }
    // Serves reports for a while; for checking that none comes.
    void ServeFor(std::chrono::milliseconds time) {
        for (auto end = std::chrono::steady_clock::now() + time;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(10ms))
            player_->ServePending();
    }

    std::string heard_;
    WindowHandle hosts_[2] = {};
    std::unique_ptr<MessageWindow> player_ =
        MessageWindow::Create("", [this](const WindowMessage& m) {
            const int host = m.wParam == hosts_[0] ? 1 : m.wParam == hosts_[1] ? 2 : 0;
            heard_ += std::to_string(host) + ":" + std::to_string(m.dwData) + " ";
            return int64_t{0};
        });
    const Clips& clips_ = SharedClips();
};

TEST_F(MpvHost, PlaysCuesPausesAndStopsAndReportsTheRealStartAndEnd) {
    const std::string out = dir_ / "out";
    const WindowHandle host = StartHost(1, out);
    EXPECT_EQ(Send(host, VIDCMD_ISINIT), 1);
    EXPECT_EQ(Send(host, VIDCMD_ISPLAYING), 0);
    EXPECT_EQ(Send(host, VIDCMD_PAUSE), 0);  // nothing loaded

    // Played at once; "stopped" when the clip has really run out.
    ASSERT_EQ(Send(host, VIDCMD_PLAY, clips_ / "one_1.mpg"), 1);
    ASSERT_TRUE(Heard("1:0 ")) << heard_;
    EXPECT_EQ(Send(host, VIDCMD_ISPLAYING), 1);
    ASSERT_TRUE(Heard("1:0 1:1 ")) << heard_;
    EXPECT_EQ(Send(host, VIDCMD_ISPLAYING), 0);

    // Cued: loaded paused, no report until PAUSE lets it run. Paused longer than the clip
    // lasts, it has not ended; resumed, it ends.
    heard_.clear();
    ASSERT_EQ(Send(host, VIDCMD_CUE, clips_ / "one_1.mpg"), 1);
    EXPECT_EQ(Send(host, VIDCMD_ISPLAYING), 1);
    ServeFor(500ms);
    EXPECT_EQ(heard_, "");
    ASSERT_EQ(Send(host, VIDCMD_PAUSE), 1);
    ASSERT_TRUE(Heard("1:0 ")) << heard_;
    ASSERT_EQ(Send(host, VIDCMD_PAUSE), 1);
    ServeFor(1500ms);
    EXPECT_EQ(heard_, "1:0 ");
    EXPECT_EQ(Send(host, VIDCMD_ISPLAYING), 1);
    ASSERT_EQ(Send(host, VIDCMD_PAUSE), 1);
    ASSERT_TRUE(Heard("1:0 1:1 ")) << heard_;

    // PLAY replaces the running clip ("stopped" for the old one first); STOP ends it at once.
    heard_.clear();
    ASSERT_EQ(Send(host, VIDCMD_PLAY2, clips_ / "two_2.mpg"), 1);
    ASSERT_TRUE(Heard("1:0 ")) << heard_;
    ASSERT_EQ(Send(host, VIDCMD_PLAY, clips_ / "two_2.mpg"), 1);
    ASSERT_TRUE(Heard("1:0 1:1 1:0 ")) << heard_;
    EXPECT_EQ(Send(host, VIDCMD_STOP), 1);
    EXPECT_EQ(Send(host, VIDCMD_ISPLAYING), 0);
    ASSERT_TRUE(Heard("1:0 1:1 1:0 1:1 ")) << heard_;
    // A cued clip that never ran is not reported when stopped.
    ASSERT_EQ(Send(host, VIDCMD_CUE, clips_ / "two_2.mpg"), 1);
    EXPECT_EQ(Send(host, VIDCMD_STOP), 1);
    ServeFor(500ms);
    EXPECT_EQ(heard_, "1:0 1:1 1:0 1:1 ");

    // Volume 0..100; a text that is no number is refused.
    EXPECT_EQ(Send(host, VIDCMD_VOLUME, "70"), 1);
    EXPECT_EQ(Send(host, VIDCMD_VOLUME, "250"), 1);
    EXPECT_EQ(Send(host, VIDCMD_VOLUME, "7O"), 0);
    EXPECT_EQ(Send(host, VIDCMD_VOLUME, ""), 0);
    EXPECT_EQ(Send(host, 6), 0);
    EXPECT_EQ(Close(host), 0);
    const std::string printed = ReadFile(out);
    EXPECT_NE(printed.find("volume 70\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("volume 100\n"), std::string::npos) << printed;
    EXPECT_EQ(LoggedCommands(dir_ / "host1"),
              "100 101 4 1:" + clips_ / "one_1.mpg" + " 101 101 5:" + clips_ / "one_1.mpg" +
                  " 101 4 4 101 4 2:" + clips_ / "two_2.mpg" + " 1:" + clips_ / "two_2.mpg" +
                  " 3 101 5:" + clips_ / "two_2.mpg" + " 3 7:70 7:250 7:7O 7 6 WM_CLOSE");
}

TEST_F(MpvHost, ClipsThatCannotPlayAreReportedStoppedAndTheHostGoesOn) {
    const WindowHandle host = StartHost(1);
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>((i * 7919) >> 3);
    WriteFile(dir_ / "damaged_1.mpg", bytes);
    ASSERT_EQ(mkfifo((dir_ / "pipe_1.mpg").c_str(), 0600), 0);

    // Missing, a FIFO, a folder: answered 0 and reported as stopped at once. The FIFO must
    // not block the host (it would then answer nothing more).
    for (const std::string& clip : {dir_ / "missing_1.mpg", dir_ / "pipe_1.mpg", dir_.Path()}) {
        heard_.clear();
        EXPECT_EQ(Send(host, VIDCMD_PLAY, clip), 0) << clip;
        EXPECT_TRUE(Heard("1:1 ")) << clip << ": " << heard_;
        EXPECT_EQ(Send(host, VIDCMD_ISINIT), 1) << clip;
    }
    // Damaged content: taken, then "stopped" when the decoder gives up.
    heard_.clear();
    EXPECT_EQ(Send(host, VIDCMD_PLAY, dir_ / "damaged_1.mpg"), 1);
    EXPECT_TRUE(Heard("1:1 ")) << heard_;
    EXPECT_EQ(Send(host, VIDCMD_ISPLAYING), 0);

    // A reply window that is gone before the reports: the host lives on and plays the next.
    {
        auto gone = MessageWindow::Create("", [](const WindowMessage&) { return int64_t{0}; });
        ASSERT_EQ(Send(host, VIDCMD_PLAY, clips_ / "one_1.mpg", gone->Handle()), 1);
    }
    EXPECT_TRUE(WaitUntil([&] { return Send(host, VIDCMD_ISPLAYING) == 0; }));
    heard_.clear();
    ASSERT_EQ(Send(host, VIDCMD_PLAY, clips_ / "one_1.mpg"), 1);
    EXPECT_TRUE(Heard("1:0 1:1 ")) << heard_;
    EXPECT_EQ(Close(host), 0);
}

TEST_F(MpvHost, TwoHostsPlayAtOnceAndEachReportsAsItself) {
    const WindowHandle first = StartHost(1);
    const std::string title2 = CVideoCmd::HostTitle(1);
    ASSERT_TRUE(LaunchProcess(ORX_VDHOST_MPV_PATH, {"?" + title2 + "?", "--headless"}));
    ASSERT_TRUE(WaitUntil([&] { return FindWindowByTitle(title2) != 0; }));
    const WindowHandle second = hosts_[1] = FindWindowByTitle(title2);
    ASSERT_EQ(Send(first, VIDCMD_PLAY, clips_ / "two_2.mpg"), 1);
    ASSERT_EQ(Send(second, VIDCMD_PLAY, clips_ / "one_1.mpg"), 1);
    // Both run at the same time: each starts and ends as itself, and the shorter one, started
    // second, ends first.
    ASSERT_TRUE(WaitUntil([&] {
        player_->ServePending();
        return heard_.size() >= 16;
    })) << heard_;
    std::string first1, second2;
    for (const std::string& r : Words(heard_))
        (r[0] == '1' ? first1 : second2) += r + " ";
    EXPECT_EQ(first1, "1:0 1:1 ") << heard_;
    EXPECT_EQ(second2, "2:0 2:1 ") << heard_;
    EXPECT_LT(heard_.find("2:1"), heard_.find("1:1")) << heard_;
    EXPECT_EQ(SendWindowMessage(second, kWmClose, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(Close(first), 0);
}

// The playback engine plays a short two-board playlist to two real hosts and the mixer stand-in:
// every clip goes to its board, really starts and really ends there, and the mixer ends on the
// source that was on air before the run.
TEST_F(MpvHost, ATwoBoardPlaylistPlaysToAirEndToEnd) {
    SetIniPath(dir_ / "brenvik.ini");
    Settings() = AppSettings{};
    Settings().appDir = dir_.Path();
    Settings().videoPath = dir_ / "Video/";
    std::filesystem::create_directory(Settings().videoPath);
    for (const char* clip : {"a_1.mpg", "b_1.mpg", "c_1.mpg"})
        std::filesystem::copy_file(clips_ / "one_1.mpg", Settings().videoPath + clip);
    const std::string mixerLog = dir_ / "tallyx";
    ASSERT_TRUE(LaunchProcess(ORX_TALLYX_PATH, {"--log", mixerLog, "--program", "IN1"}));
    ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }));

    CVideoCmd video(SystemClock());
    CRemoteCmd remote(SystemClock());
    Studio studio(SystemClock());  // timer 1 and the views
    PlayoutEngine engine(video, remote, SystemClock(), studio, studio);
    std::string reports;
    auto mainWindow = MessageWindow::Create("", [&](const WindowMessage& m) -> int64_t {
        const int board = m.message == kWmCopyData ? video.OnNotify(m.wParam, m.dwData) : -1;
        if (board >= 0) {
            reports += std::to_string(board) + ":" + std::to_string(m.dwData) + " ";
            engine.OnBoardReport(board, video.boardBusy(board));
        }
        return 0;
    });
    engine.SetReplyWindow(mainWindow->Handle());
    video.SetHostLauncher([&](int board, const std::string& title) {
        return CVideoCmd::LaunchHost(
            ORX_VDHOST_MPV_PATH, title,
            {"--headless", "--log", dir_ / ("board" + std::to_string(board))});
    });
    ASSERT_EQ(video.Start(mainWindow->Handle(), 2), 1);
    engine.SetHardwareOk(true);
    Playlist playlist =
        MakePlaylist(2, {Entry("a_1.mpg", 1000, 1, 300), Entry("b_1.mpg", 1000, 1, 300),
                         Entry("c_1.mpg", 1000, 0, 100), Entry("", 0, 1, 300)});
    engine.ApplyPlaylist(&playlist);
    engine.OnAirPlay();
    for (auto next = std::chrono::steady_clock::now(); studio.running; engine.OnRunTick()) {
        next += std::chrono::milliseconds(studio.period);
        for (auto left = next - std::chrono::steady_clock::now(); left.count() > 0;
             left = next - std::chrono::steady_clock::now()) {
            pollfd p{mainWindow->Fd(), POLLIN, 0};
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
            if (::poll(&p, 1, static_cast<int>(ms)) > 0)
                mainWindow->ServePending();
        }
    }
    // The last clip's end may come after the run's STOP to its board.
    WaitUntil([&] {
        mainWindow->ServePending();
        return reports.size() >= 24;
    });
    video.Stop();

    const std::string video_ = Settings().videoPath;
    EXPECT_EQ(LoggedCommands(dir_ / "board0"),
              "100 1:" + video_ + "a_1.mpg 1:" + video_ + "c_1.mpg 3 WM_CLOSE");
    EXPECT_EQ(LoggedCommands(dir_ / "board1"), "100 1:" + video_ + "b_1.mpg 3 WM_CLOSE");
    // Each board: its clips started and ended, in order.
    std::string board0, board1;
    for (const std::string& r : Words(reports))
        (r[0] == '0' ? board0 : board1) += r + " ";
    EXPECT_EQ(board0, "0:0 0:1 0:0 0:1 ") << reports;
    EXPECT_EQ(board1, "1:0 1:1 ") << reports;
    const std::string mixer = LoggedCommands(mixerLog);
    EXPECT_NE(mixer.find("0:AUTO 0:MIX 0:IN3 0:AUTO 0:MIX 0:IN4 0:CUT 0:IN3 0:AUTO 0:MIX 2:FREEZE "
                         "0:IN1"),
              std::string::npos)
        << mixer;
}

}  // namespace
}  // namespace orx::test
