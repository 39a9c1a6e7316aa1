#include <sstream>

#include <gtest/gtest.h>

#include "ClipDuration.h"
#include "DecoderHost.h"
#include "MixerModel.h"
#include "devices/Channels.h"
#include "devices/Payloads.h"

namespace orx {
namespace {

class FakeClock : public Clock {
public:
    uint32_t Ticks() override { return ticks; }
    void Sleep(uint32_t ms) override { ticks += ms; }
    LocalTime Now() override { return {}; }
    uint32_t ticks = 0xFFFFFF00u;  // close to the wrap, on purpose
};

WindowMessage Command(int code, const std::string& text = {}, WindowHandle replyTo = 0x500001) {
    WindowMessage m;
    m.message = kWmCopyData;
    m.wParam = replyTo;
    m.dwData = static_cast<uint64_t>(code);
    auto payload = EncodeDecoderPayload(text);
    m.data.assign(payload.begin(), payload.end());
    return m;
}

class DecoderHostTest : public ::testing::Test {
protected:
    DecoderHostTest() {
        options_.title = "MPEG2_Video_Window_1";
        char tmpl[] = "/tmp/orx-vdhost-XXXXXX";
        dir_ = ::mkdtemp(tmpl);
        for (const char* name : {"a_10.mpg", "b_1500ms.mpg", "plain.mpg"}) {
            std::string path = dir_ + "/" + name;
            FILE* f = std::fopen(path.c_str(), "w");
            std::fclose(f);
        }
    }
    ~DecoderHostTest() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    DecoderHost MakeHost() {
        return DecoderHost(options_, clock_, out_, [this](const std::string&) { return probed_; });
    }
    std::string Clip(const char* name) { return dir_ + "/" + name; }

    DecoderHostOptions options_;
    FakeClock clock_;
    std::ostringstream out_;
    std::optional<int64_t> probed_;
    std::string dir_;
};

using Reports = std::vector<std::pair<WindowHandle, uint64_t>>;

Reports Flat(const std::vector<DecoderHost::Report>& r) {
    Reports out;
    for (const auto& x : r)
        out.emplace_back(x.window, x.code);
    return out;
}

TEST_F(DecoderHostTest, PlayRunsForTheNamedDurationAndReportsStartAndEnd) {
    DecoderHost host = MakeHost();
    EXPECT_EQ(host.Handle(Command(VIDCMD_ISINIT)), 1);
    EXPECT_EQ(host.Handle(Command(VIDCMD_ISPLAYING)), 0);
    EXPECT_EQ(host.Handle(Command(VIDCMD_PLAY, Clip("b_1500ms.mpg"), 0x77)), 1);
    EXPECT_EQ(Flat(host.TakeReports()), (Reports{{0x77, kNotifyStarted}}));
    EXPECT_EQ(host.Handle(Command(VIDCMD_ISPLAYING)), 1);
    EXPECT_EQ(host.MsUntilEnd(), 1500);

    clock_.Sleep(1499);
    host.Tick();
    EXPECT_TRUE(host.Loaded());
    clock_.Sleep(1);
    host.Tick();
    EXPECT_FALSE(host.Loaded());
    EXPECT_EQ(Flat(host.TakeReports()), (Reports{{0x77, kNotifyStopped}}));
    EXPECT_EQ(host.Handle(Command(VIDCMD_ISPLAYING)), 0);
    EXPECT_EQ(host.MsUntilEnd(), -1);
}

TEST_F(DecoderHostTest, ANewPlayReplacesTheClipAndStopEndsIt) {
    DecoderHost host = MakeHost();
    ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY, Clip("a_10.mpg"), 1)), 1);
    // PLAY2 behaves the same; the old clip's window hears "stopped" first.
    ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY2, Clip("b_1500ms.mpg"), 2)), 1);
    EXPECT_EQ(Flat(host.TakeReports()),
              (Reports{{1, kNotifyStarted}, {1, kNotifyStopped}, {2, kNotifyStarted}}));
    // A clip that cannot be opened is refused and leaves the current clip running.
    EXPECT_EQ(host.Handle(Command(VIDCMD_PLAY, Clip("missing_10.mpg"), 3)), 0);
    EXPECT_EQ(host.Handle(Command(VIDCMD_PLAY, dir_, 3)), 0);  // a folder is no clip
    EXPECT_EQ(host.ClipPath(), Clip("b_1500ms.mpg"));
    EXPECT_TRUE(host.TakeReports().empty());
    EXPECT_EQ(host.Handle(Command(VIDCMD_STOP)), 1);
    EXPECT_EQ(Flat(host.TakeReports()), (Reports{{2, kNotifyStopped}}));
    // No reply window: nothing to report to.
    ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY, Clip("a_10.mpg"), 0)), 1);
    EXPECT_TRUE(host.TakeReports().empty());
}

TEST_F(DecoderHostTest, PauseFreezesTheRemainingTimeAndCueStartsPaused) {
    DecoderHost host = MakeHost();
    ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY, Clip("a_10.mpg"), 9)), 1);
    host.TakeReports();
    clock_.Sleep(4000);
    EXPECT_EQ(host.Handle(Command(VIDCMD_PAUSE)), 1);
    clock_.Sleep(60000);
    host.Tick();
    EXPECT_TRUE(host.Loaded());
    EXPECT_EQ(host.MsUntilEnd(), -1);
    EXPECT_EQ(host.Handle(Command(VIDCMD_ISPLAYING)), 1);
    EXPECT_EQ(host.Handle(Command(VIDCMD_PAUSE)), 1);
    EXPECT_EQ(host.MsUntilEnd(), 6000);
    EXPECT_TRUE(host.TakeReports().empty());

    // CUE loads paused: "started" only when it first runs; a cued clip that never ran is not
    // reported as stopped.
    ASSERT_EQ(host.Handle(Command(VIDCMD_CUE, Clip("b_1500ms.mpg"), 5)), 1);
    EXPECT_EQ(Flat(host.TakeReports()), (Reports{{9, kNotifyStopped}}));
    clock_.Sleep(10000);
    host.Tick();
    EXPECT_EQ(host.MsUntilEnd(), -1);
    ASSERT_EQ(host.Handle(Command(VIDCMD_PAUSE)), 1);
    EXPECT_EQ(Flat(host.TakeReports()), (Reports{{5, kNotifyStarted}}));
    EXPECT_EQ(host.MsUntilEnd(), 1500);
    ASSERT_EQ(host.Handle(Command(VIDCMD_CUE, Clip("a_10.mpg"), 5)), 1);
    ASSERT_EQ(host.Handle(Command(VIDCMD_STOP)), 1);
    EXPECT_EQ(Flat(host.TakeReports()), (Reports{{5, kNotifyStopped}}));
    EXPECT_EQ(host.Handle(Command(VIDCMD_PAUSE)), 0);  // nothing loaded
}

TEST_F(DecoderHostTest, DurationComesFromTheNameThenTheProbeThenTheDefaultScaledBySpeed) {
    options_.speed = 4;
    options_.defaultDurationMs = 2000;
    DecoderHost host = MakeHost();
    ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY, Clip("a_10.mpg"))), 1);
    EXPECT_EQ(host.MsUntilEnd(), 2500);
    probed_ = 800;
    ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY, Clip("plain.mpg"))), 1);
    EXPECT_EQ(host.MsUntilEnd(), 200);
    probed_.reset();
    ASSERT_EQ(host.Handle(Command(VIDCMD_PLAY, Clip("plain.mpg"))), 1);
    EXPECT_EQ(host.MsUntilEnd(), 500);
}

TEST_F(DecoderHostTest, FaultInjectionVolumeAndUnknownCommands) {
    options_.failIsInit = true;
    options_.failPlay = true;
    DecoderHost host = MakeHost();
    EXPECT_EQ(host.Handle(Command(VIDCMD_ISINIT)), 0);
    EXPECT_EQ(host.Handle(Command(VIDCMD_PLAY, Clip("a_10.mpg"))), 0);
    EXPECT_EQ(host.Handle(Command(VIDCMD_CUE, Clip("a_10.mpg"))), 0);
    EXPECT_FALSE(host.Loaded());
    EXPECT_EQ(host.Handle(Command(VIDCMD_VOLUME, "70")), 1);
    EXPECT_EQ(host.Volume(), 70);
    EXPECT_EQ(host.Handle(Command(VIDCMD_VOLUME, "loud")), 0);
    EXPECT_EQ(host.Volume(), 70);
    EXPECT_EQ(host.Handle(Command(6)), 0);
    WindowMessage other = Command(VIDCMD_ISINIT);
    other.message = 0x0400;
    EXPECT_EQ(host.Handle(other), 0);
}

TEST(DecoderHostArgs, TitleBetweenQuestionMarksAndOptions) {
    DecoderHostOptions o;
    bool help = false;
    std::string error;
    ASSERT_TRUE(ParseDecoderHostArgs({"?MPEG2_Video_Window_2?", "--speed", "2.5", "--fail-play"}, o,
                                     help, error))
        << error;
    EXPECT_EQ(o.title, "MPEG2_Video_Window_2");
    EXPECT_EQ(o.speed, 2.5);
    EXPECT_TRUE(o.failPlay);
    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{},
                                               {"??"},
                                               {"?t?", "--speed", "0"},
                                               {"?t?", "--speed"},
                                               {"?t?", "--bogus"},
                                               {"?t?", "--speed", "-1"},
                                               {"?t?", "--default-ms", "5s"}}) {
        DecoderHostOptions x;
        EXPECT_FALSE(ParseDecoderHostArgs(bad, x, help, error)) << bad.size();
    }
}

TEST(ClipDuration, NameRule) {
    EXPECT_EQ(DurationFromClipName("/v/news_30.mpg"), 30000);
    EXPECT_EQ(DurationFromClipName("/v/jingle_1500ms.mpg"), 1500);
    EXPECT_EQ(DurationFromClipName("/v/jingle_1500MS.mpg"), 1500);
    EXPECT_EQ(DurationFromClipName("/v/promo_2_45.mpg"), 45000);
    EXPECT_EQ(DurationFromClipName("C:\\clips\\x_007"), 7000);
    EXPECT_EQ(DurationFromClipName("/v/under_score.dir/clip_5"), 5000);
    for (const char* none : {"/v/spot_12s.mpg", "/v/spot_ms.mpg", "/v/spot_1.5.mpg", "/v/spot.mpg",
                             "/v/spot_.mpg", "/v_3/spot.mpg", "/v/x_99999999999999999999.mpg"}) {
        EXPECT_EQ(DurationFromClipName(none), std::nullopt) << none;
    }
}

// The mixer model.

MixerOptions Mixer(std::vector<std::string> on = {}) {
    MixerOptions o;
    o.program = "IN3";
    o.preview = "IN4";
    o.transition = "MIX";
    o.on = std::move(on);
    return o;
}

TEST(MixerModel, QueriesAnswerTwoForActiveOneForInactiveZeroForUnknown) {
    MixerModel m(Mixer({"FAST"}));
    EXPECT_EQ(m.Command(3, "AIR_IN3"), 2);
    EXPECT_EQ(m.Command(3, "AIR_IN4"), 1);
    EXPECT_EQ(m.Command(3, "IN4"), 2);  // plain word: the preview bus
    EXPECT_EQ(m.Command(3, "IN3"), 1);
    EXPECT_EQ(m.Command(3, "MIX"), 2);
    EXPECT_EQ(m.Command(3, "EFFECT8"), 1);
    EXPECT_EQ(m.Command(3, "FAST"), 2);
    EXPECT_EQ(m.Command(3, "CUT"), 1);
    EXPECT_EQ(m.Command(3, "AIR_"), 0);
    EXPECT_EQ(m.Command(3, "AIR_IN17"), 0);
    EXPECT_EQ(m.Command(3, "in3"), 0);
    EXPECT_EQ(m.Command(0, "NOPE"), 0);
    EXPECT_EQ(m.Command(0, "AIR_IN3"), 0);
    EXPECT_EQ(m.Command(4, "FAST"), 0);
    EXPECT_EQ(m.Command(0, "BREAK"), 1);
}

TEST(MixerModel, TransitionsSwapBusesAndSelectionsStick) {
    MixerModel m(Mixer());
    EXPECT_EQ(m.Command(0, "CLIP12"), 1);
    EXPECT_EQ(m.Command(0, "EFFECT6"), 1);
    EXPECT_EQ(m.Command(0, "AUTO"), 1);
    EXPECT_EQ(m.Command(3, "AIR_CLIP12"), 2);
    EXPECT_EQ(m.Command(3, "IN3"), 2);
    EXPECT_EQ(m.Command(3, "EFFECT6"), 2);
    EXPECT_EQ(m.Command(3, "MIX"), 1);
    // Pressing CUT cuts; it does not change the CUT function.
    EXPECT_EQ(m.Command(0, "CUT"), 1);
    EXPECT_EQ(m.Command(3, "AIR_IN3"), 2);
    EXPECT_EQ(m.Command(3, "CUT"), 1);
    // Functions: press toggles, modes 1 and 2 set; modes 1 and 2 apply to functions only.
    EXPECT_EQ(m.Command(0, "LOGO1"), 1);
    EXPECT_EQ(m.Command(3, "LOGO1"), 2);
    EXPECT_EQ(m.Command(0, "LOGO1"), 1);
    EXPECT_EQ(m.Command(3, "LOGO1"), 1);
    EXPECT_EQ(m.Command(1, "CLOCK"), 1);
    EXPECT_EQ(m.Command(1, "CLOCK"), 1);
    EXPECT_EQ(m.Command(3, "CLOCK"), 2);
    EXPECT_EQ(m.Command(2, "CLOCK"), 1);
    EXPECT_EQ(m.Command(3, "CLOCK"), 1);
    EXPECT_EQ(m.Command(1, "IN3"), 0);
    EXPECT_EQ(m.Command(2, "MIX"), 0);
}

TEST(MixerModel, FastNeedsSetOnlyWhenAsked) {
    MixerOptions o = Mixer();
    o.fastNeedsSet = true;
    MixerModel m(o);
    EXPECT_EQ(m.Command(0, "FAST"), 1);
    EXPECT_EQ(m.Command(3, "FAST"), 1);
    EXPECT_EQ(m.Command(0, "SET"), 1);
    EXPECT_EQ(m.Command(0, "FAST"), 1);
    EXPECT_EQ(m.Command(3, "FAST"), 2);
    // SET is used up by the FAST after it.
    EXPECT_EQ(m.Command(0, "FAST"), 1);
    EXPECT_EQ(m.Command(3, "FAST"), 2);
    EXPECT_EQ(m.Command(0, "SET"), 1);
    EXPECT_EQ(m.Command(0, "FAST"), 1);
    EXPECT_EQ(m.Command(3, "FAST"), 1);

    MixerModel plain(Mixer());
    EXPECT_EQ(plain.Command(0, "FAST"), 1);
    EXPECT_EQ(plain.Command(3, "FAST"), 2);
}

TEST(MixerModel, FaultInjectionAndArguments) {
    MixerOptions o = Mixer();
    o.fail = {"AIR_IN3", "BREAK"};
    MixerModel m(o);
    EXPECT_EQ(m.Command(3, "AIR_IN3"), 0);
    EXPECT_EQ(m.Command(0, "BREAK"), 0);
    EXPECT_EQ(m.Command(3, "AIR_IN4"), 1);
    o.failAll = true;
    MixerModel all(o);
    EXPECT_EQ(all.Command(3, "MIX"), 0);

    MixerOptions parsed;
    bool help = false;
    std::string error;
    ASSERT_TRUE(ParseMixerArgs(
        {"--program", "BARS", "--preview", "DSK10", "--transition", "EFFECT8", "--on", "FAST,LOGO1",
         "--on", "CUT", "--fail", "MIX", "--fail", "AUTO", "--fast-needs-set"},
        parsed, help, error))
        << error;
    MixerModel p(parsed);
    EXPECT_EQ(p.Command(3, "AIR_BARS"), 2);
    EXPECT_EQ(p.Command(3, "DSK10"), 2);
    EXPECT_EQ(p.Command(3, "EFFECT8"), 2);
    EXPECT_EQ(p.Command(3, "LOGO1"), 2);
    EXPECT_EQ(p.Command(3, "CUT"), 2);
    EXPECT_EQ(p.Command(3, "MIX"), 0);
    EXPECT_EQ(p.Command(0, "AUTO"), 0);
    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{"--program", "IN17"},
                                               {"--transition", "CUT"},
                                               {"--on", "MIX"},
                                               {"--fail"},
                                               {"extra"}}) {
        MixerOptions x;
        EXPECT_FALSE(ParseMixerArgs(bad, x, help, error)) << bad[0];
    }
}

}  // namespace
}  // namespace orx
