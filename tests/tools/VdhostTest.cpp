#include <sys/stat.h>
#include <unistd.h>

#include "ClipDuration.h"
#include "DecoderHost.h"
#include "StandInProcess.h"
#include "devices/Channels.h"
#include "devices/Payloads.h"
#include "support/ManualClock.h"

namespace orx::test {
namespace {

WindowMessage Command(int code, const std::string& text = {}, WindowHandle replyTo = 0x5001) {
    const DecoderPayload payload = EncodeDecoderPayload(text);
    return {kWmCopyData, replyTo, uint64_t(code), {payload.begin(), payload.end()}};
}

class DecoderHostTest : public ::testing::Test {
protected:
    DecoderHostTest() {
        for (const char* name : {"a_10.mpg", "b_1500ms.mpg", "plain.mpg"})
            WriteFile(dir_ / name);
    }
    DecoderHost MakeHost() {
        return DecoderHost(options_, clock_, out_, [this](const std::string&) { return probed_; });
    }
    // The reports taken, as "<window>:<code> " words.
    static std::string Reports(DecoderHost& host) {
        std::string out;
        for (const auto& r : host.TakeReports())
            out += std::to_string(r.window) + ":" + std::to_string(r.code) + " ";
        return out;
    }

    TempFolder dir_;
    DecoderHostOptions options_;
    ManualClock clock_{0xFFFFFF00u};  // close to the wrap, on purpose
    std::ostringstream out_;
    std::optional<int64_t> probed_;
};

TEST_F(DecoderHostTest, ClipsEndOnTimeAcrossTheTickWrapAndPauseFreezesTheTimeLeft) {
    const std::string fifo = dir_ / "pipe_10.mpg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    DecoderHost host = MakeHost();
    ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY, dir_ / "b_1500ms.mpg", 2)), 1);
    // What cannot be opened leaves the clip alone. The FIFO's open must not block: the alarm
    // would end the test rather than let it hang.
    alarm(10);
    for (const std::string& bad : {dir_ / "missing_10.mpg", dir_.Path(), fifo})
        EXPECT_EQ(host.Handle(Command(VIDCMD_PLAY, bad, 3)), 0) << bad;
    alarm(0);
    clock_.Advance(1499);
    host.Tick();
    EXPECT_EQ(host.Handle(Command(VIDCMD_ISPLAYING)), 1);
    clock_.Advance(1);
    host.Tick();
    EXPECT_EQ(Reports(host), "2:0 2:1 ");
    ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY, dir_ / "a_10.mpg", 0)), 1);
    EXPECT_EQ(host.Handle(Command(VIDCMD_STOP)), 1);
    EXPECT_EQ(Reports(host), "");  // no reply window

    ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY, dir_ / "a_10.mpg", 9)), 1);
    clock_.Advance(4000);
    EXPECT_EQ(host.Handle(Command(VIDCMD_PAUSE)), 1);
    clock_.Advance(60000);
    host.Tick();
    EXPECT_EQ(host.Handle(Command(VIDCMD_ISPLAYING)), 1);
    EXPECT_EQ(host.Handle(Command(VIDCMD_PAUSE)), 1);
    EXPECT_EQ(host.MsUntilEnd(), 6000);
    // A cued clip reports "started" when it first runs, and no "stopped" when it never ran.
    ASSERT_EQ(host.Handle(Command(VIDCMD_CUE, dir_ / "b_1500ms.mpg", 5)), 1);
    clock_.Advance(10000);
    host.Tick();
    ASSERT_EQ(host.Handle(Command(VIDCMD_PAUSE)), 1);
    EXPECT_EQ(host.MsUntilEnd(), 1500);
    ASSERT_EQ(host.Handle(Command(VIDCMD_CUE, dir_ / "a_10.mpg", 5)), 1);
    ASSERT_EQ(host.Handle(Command(VIDCMD_STOP)), 1);
    EXPECT_EQ(Reports(host), "9:0 9:1 5:0 5:1 ");
    EXPECT_EQ(host.Handle(Command(VIDCMD_PAUSE)), 0);  // nothing loaded

    options_.failPlay = true;  // faults, and commands the host does not know
    DecoderHost failing = MakeHost();
    EXPECT_EQ(failing.Handle(Command(VIDCMD_PLAY, dir_ / "a_10.mpg")), 0);
    EXPECT_EQ(failing.Handle(Command(VIDCMD_CUE, dir_ / "a_10.mpg")), 0);
    EXPECT_EQ(failing.Handle(Command(6)), 0);
}

TEST_F(DecoderHostTest, DurationFromTheNameThenTheProbeThenTheDefaultScaledBySpeed) {
    options_.speed = 4;
    options_.defaultDurationMs = 2000;
    DecoderHost host = MakeHost();
    for (auto [clip, probe, ms] :
         {std::tuple{"a_10.mpg", 800, 2500}, {"plain.mpg", 800, 200}, {"plain.mpg", 0, 500}}) {
        probed_ = probe ? std::optional<int64_t>(probe) : std::nullopt;
        ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY, dir_ / clip)), 1);
        EXPECT_EQ(host.MsUntilEnd(), ms) << clip;
    }
    options_.speed = 1e-300;  // a very long run, not a wrapped one
    DecoderHost slow = MakeHost();
    ASSERT_EQ(slow.Handle(Command(VIDCMD_PLAY, dir_ / "a_10.mpg")), 1);
    EXPECT_GT(slow.MsUntilEnd(), int64_t{1} << 40);

    // The name's rule: seconds or milliseconds after the last underscore of the file name.
    EXPECT_EQ(DurationFromClipName("/v/promo_2_45.mpg"), 45000);
    EXPECT_EQ(DurationFromClipName("C:\\clips\\x_007"), 7000);
    for (const char* none : {"s_12s.mpg", "s_1.5.mpg", "/v_3/s.mpg", "x_99999999999999999999"})
        EXPECT_EQ(DurationFromClipName(none), std::nullopt) << none;
    // Options that would give no duration at all are refused.
    bool help = false;
    std::string error;
    for (const char* bad : {"??", "?t? --speed 0", "?t? --speed -1", "?t? --default-ms 5s"})
        EXPECT_FALSE(ParseDecoderHostArgs(Words(bad), options_, help, error)) << bad;
}

}  // namespace
}  // namespace orx::test
