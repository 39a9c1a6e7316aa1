// The libmpv decoder host as a real process, headless, over the real window transport: what it
// answers and what it reports when.

#include <sys/stat.h>

#include <chrono>

#include "StandInProcess.h"
#include "devices/Channels.h"
#include "devices/Payloads.h"

namespace orx::test {
namespace {

using namespace std::chrono_literals;

// A folder of MPEG-2 program-stream clips made once for every test: clip_1.mpg lasts 1 s,
// clip_2.mpg 2 s.
struct Clips : TempFolder {
    Clips() {
        for (const std::string s : {"1", "2"}) {
            const std::string command =
                "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=160x120:rate=25:duration=" +
                s + " -f lavfi -i sine=duration=" + s + " -c:v mpeg2video -c:a mp2 -f vob '" +
                Path() + "clip_" + s + ".mpg'";
            ok = ok && std::system(command.c_str()) == 0;
        }
    }
    bool ok = true;
};
const Clips& SharedClips() {
    static const Clips clips;
    return clips;
}

// A host for board 1, and a player window that records each report as "<from the host>:<code> ".
class MpvHost : public StandInProcess {
protected:
    void SetUp() override {
        ASSERT_TRUE(clips_.ok) << "ffmpeg could not make the clips";
        host_ = Start({ORX_VDHOST_MPV_PATH, "?MPEG2_Video_Window_1?", "--headless"},
                      "MPEG2_Video_Window_1");
    }
    int64_t Send(int code, const std::string& text = {}, WindowHandle replyTo = 0) {
        const DecoderPayload p = EncodeDecoderPayload(text);
        return SendWindowMessage(host_, kWmCopyData, replyTo ? replyTo : player_->Handle(), code,
                                 p.data(), p.size());
    }
    // Serves reports until heard is what is expected, and for at least wait.
    ::testing::AssertionResult Heard(const std::string& expected,
                                     std::chrono::milliseconds wait = {}) {
        const auto end = std::chrono::steady_clock::now() + wait;
        if (WaitUntil([&] {
                player_->ServePending();
                return std::chrono::steady_clock::now() >= end && heard_ == expected;
            }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "heard " << heard_;
    }

    WindowHandle host_ = 0;
    std::string heard_;
    std::unique_ptr<MessageWindow> player_ =
        MessageWindow::Create("", [this](const WindowMessage& m) {
            heard_ += std::to_string(m.wParam == host_) + ":" + std::to_string(m.dwData) + " ";
            return int64_t{0};
        });
    const Clips& clips_ = SharedClips();
};

TEST_F(MpvHost, PlaysCuesPausesAndStopsAndReportsTheRealStartAndEnd) {
    EXPECT_EQ(Send(VIDCMD_ISINIT), 1);
    EXPECT_EQ(Send(VIDCMD_PAUSE), 0);  // nothing loaded
    // Played at once; "stopped" when the clip has really run out.
    ASSERT_EQ(Send(VIDCMD_PLAY, clips_ / "clip_1.mpg"), 1);
    ASSERT_TRUE(Heard("1:0 1:1 "));
    EXPECT_EQ(Send(VIDCMD_ISPLAYING), 0);

    // Cued: loaded paused, no report until PAUSE lets it run. Paused longer than the clip
    // lasts, it has not ended; resumed, it ends.
    ASSERT_EQ(Send(VIDCMD_CUE, clips_ / "clip_1.mpg"), 1);
    EXPECT_TRUE(Heard("1:0 1:1 ", 500ms));
    ASSERT_EQ(Send(VIDCMD_PAUSE), 1);
    ASSERT_TRUE(Heard("1:0 1:1 1:0 "));
    ASSERT_EQ(Send(VIDCMD_PAUSE), 1);
    EXPECT_TRUE(Heard("1:0 1:1 1:0 ", 1500ms));
    EXPECT_EQ(Send(VIDCMD_ISPLAYING), 1);
    ASSERT_EQ(Send(VIDCMD_PAUSE), 1);
    ASSERT_TRUE(Heard("1:0 1:1 1:0 1:1 "));

    // PLAY replaces the running clip ("stopped" for the old one first); STOP ends it at once.
    // A cued clip that never ran is not reported when stopped.
    heard_.clear();
    ASSERT_EQ(Send(VIDCMD_PLAY2, clips_ / "clip_2.mpg"), 1);
    ASSERT_TRUE(Heard("1:0 "));
    ASSERT_EQ(Send(VIDCMD_PLAY, clips_ / "clip_2.mpg"), 1);
    ASSERT_TRUE(Heard("1:0 1:1 1:0 "));
    EXPECT_EQ(Send(VIDCMD_STOP), 1);
    EXPECT_EQ(Send(VIDCMD_ISPLAYING), 0);
    ASSERT_EQ(Send(VIDCMD_CUE, clips_ / "clip_2.mpg"), 1);
    EXPECT_EQ(Send(VIDCMD_STOP), 1);
    EXPECT_TRUE(Heard("1:0 1:1 1:0 1:1 ", 500ms));

    // Volume 0..100; a text that is no number is refused.
    for (auto [text, answer] : {std::pair{"70", 1}, {"250", 1}, {"7O", 0}, {"", 0}})
        EXPECT_EQ(Send(VIDCMD_VOLUME, text), answer) << text;
    EXPECT_EQ(Send(6), 0);
    EXPECT_EQ(Close(host_), 0);
    const std::string printed = ReadFile(dir_ / "out");
    EXPECT_NE(printed.find("volume 70\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("volume 100\n"), std::string::npos) << printed;
}

TEST_F(MpvHost, ClipsThatCannotPlayAreReportedStoppedAndTheHostGoesOn) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>((i * 7919) >> 3);
    WriteFile(dir_ / "damaged_1.mpg", bytes);
    ASSERT_EQ(mkfifo((dir_ / "pipe_1.mpg").c_str(), 0600), 0);
    // Missing, a FIFO (whose open must not block the host), a folder: answered 0 and reported as
    // stopped at once. Damaged content: taken, then "stopped" when the decoder gives up.
    for (const std::string& clip :
         {dir_ / "missing_1.mpg", dir_ / "pipe_1.mpg", dir_.Path(), dir_ / "damaged_1.mpg"}) {
        heard_.clear();
        const int64_t taken = clip == dir_ / "damaged_1.mpg";
        EXPECT_EQ(Send(VIDCMD_PLAY, clip), taken) << clip;
        EXPECT_TRUE(Heard("1:1 ")) << clip;
        EXPECT_EQ(Send(VIDCMD_ISPLAYING), 0) << clip;
    }

    // A reply window that is gone before the reports: the host lives on and plays the next.
    {
        auto gone = MessageWindow::Create("", [](const WindowMessage&) { return int64_t{0}; });
        ASSERT_EQ(Send(VIDCMD_PLAY, clips_ / "clip_1.mpg", gone->Handle()), 1);
    }
    EXPECT_TRUE(WaitUntil([&] { return Send(VIDCMD_ISPLAYING) == 0; }));
    heard_.clear();
    ASSERT_EQ(Send(VIDCMD_PLAY, clips_ / "clip_1.mpg"), 1);
    EXPECT_TRUE(Heard("1:0 1:1 "));
    EXPECT_EQ(Close(host_), 0);
}

}  // namespace
}  // namespace orx::test
