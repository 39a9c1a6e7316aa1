#include "MixerModel.h"
#include "StandInProcess.h"
#include "devices/MixerVocabulary.h"
#include "devices/Payloads.h"
#include "playout/PlayoutFakes.h"
#include "support/ManualClock.h"

namespace orx::test {
namespace {

// Sends "mode:WORD=answer" steps in order and checks every answer.
void Expect(const std::shared_ptr<MixerModel>& mixer, const std::string& steps) {
    ASSERT_TRUE(mixer);
    for (const std::string& s : Words(steps)) {
        const size_t colon = s.find(':'), eq = s.rfind('=');
        const std::string word = s.substr(colon + 1, eq - colon - 1);
        EXPECT_EQ(mixer->Command(std::stoi(s), word), std::stoi(s.substr(eq + 1))) << s;
    }
}
// A mixer with these options; none when they are refused.
std::shared_ptr<MixerModel> Mixer(const std::string& options, Clock& clock = SystemClock()) {
    MixerOptions o;
    bool help = false;
    std::string error;
    return ParseMixerArgs(Words(options), o, help, error) ? std::make_shared<MixerModel>(o, clock)
                                                          : nullptr;
}

TEST(MixerModel, QueriesPressesOptionsAndFaults) {
    // Queries: 2 active, 1 not, 0 unknown. AIR_x asks the program bus, a plain x the preview.
    Expect(Mixer("--program IN3 --preview IN4 --on FAST"),
           "3:AIR_IN3=2 3:AIR_IN4=1 3:IN4=2 3:IN3=1 3:MIX=2 3:EFFECT8=1 3:FAST=2 3:CUT=1 "
           "3:AIR_=0 3:AIR_IN17=0 3:in3=0 0:NOPE=0 0:AIR_IN3=0 4:FAST=0 0:BREAK=1");

    const auto m = Mixer("--program IN3 --preview IN4");
    Expect(m, "0:CLIP12=1 0:EFFECT6=1 0:AUTO=1 3:AIR_CLIP12=2 3:IN3=2 3:EFFECT6=2 3:MIX=1");
    // Pressing CUT cuts; it does not change the CUT function. FAST latches without SET.
    Expect(m, "0:CUT=1 3:AIR_IN3=2 3:CUT=1 0:FAST=1 3:FAST=2");
    // Press toggles; modes 1 and 2 set, and apply to functions only.
    Expect(m,
           "0:LOGO1=1 3:LOGO1=2 0:LOGO1=1 3:LOGO1=1 1:CLOCK=1 1:CLOCK=1 3:CLOCK=2 2:CLOCK=1 "
           "3:CLOCK=1 1:IN3=0 2:MIX=0");

    Expect(Mixer("--program BARS --preview DSK10 --transition EFFECT8 --on FAST,LOGO1 --on CUT "
                 "--fail MIX --fail AUTO"),
           "3:AIR_BARS=2 3:DSK10=2 3:EFFECT8=2 3:LOGO1=2 3:CUT=2 3:MIX=0 0:AUTO=0 0:IN1=1");
    Expect(Mixer("--fail-all"), "0:IN1=0 3:MIX=0");
    // With SET latching FAST, SET is used up by the FAST after it.
    Expect(Mixer("--fast-needs-set"),
           "0:FAST=1 3:FAST=1 0:SET=1 0:FAST=1 3:FAST=2 0:FAST=1 "
           "3:FAST=2 0:SET=1 0:FAST=1 3:FAST=1");
    for (const char* bad : {"--program IN17", "--transition CUT", "--on MIX", "--fail", "x",
                            "--speed 0", "--speed x"})
        EXPECT_FALSE(Mixer(bad)) << bad;
}

TEST(MixerModel, WithFastOnTheSourceKeyTakesItsSourceToAirTheWayCutOrAutoChose) {
    test::ManualClock clock;
    const auto m = Mixer("--program IN1 --preview IN2 --on FAST --speed 2", clock);
    // AUTO chooses a transition with the selected key, which the source key then performs.
    Expect(m, "0:AUTO=1 0:EFFECT2=1 3:AIR_IN1=2 3:CUT=1 0:IN3=1 3:AIR_IN3=2 3:AIR_IN1=1 3:IN1=2");
    const auto running = m->Running().value_or(MixerModel::Transition{});
    EXPECT_EQ(std::tuple(running.from, running.to, running.key, running.lengthMs),
              std::tuple(MixerModel::SourceIndex("IN1"), MixerModel::SourceIndex("IN3"),
                         MixerModel::KeyIndex("EFFECT2"), 350u));  // 700 ms at speed 2
    clock.Advance(349);
    EXPECT_TRUE(m->Running());
    clock.Advance(1);
    EXPECT_FALSE(m->Running());
    // CUT switches the CUT function on: the next source is cut, no transition runs.
    Expect(m, "0:CUT=1 3:CUT=2 0:IN4=1 3:AIR_IN4=2 0:MIX=1 0:IN5=1 3:AIR_IN5=2");
    EXPECT_FALSE(m->Running());
    // The source on air again: nothing happens.
    Expect(m, "0:AUTO=1 3:CUT=1 0:IN5=1 3:AIR_IN5=2 3:IN4=2");
    EXPECT_FALSE(m->Running());
    // FAST off again: source keys select the preview, AUTO takes it to air.
    Expect(m, "0:FAST=1 0:IN6=1 3:AIR_IN5=2 3:IN6=2 0:AUTO=1 3:AIR_IN6=2 3:IN5=2");
    EXPECT_EQ(m->Running()->lengthMs, 150u);  // MIX
}

// A playlist's mixer events sent to a mixer that the seize has left with FAST on: after each,
// "word:source on air", with "~KEY" while a transition runs and "*" while the picture is frozen.
// The boards' inputs are IN3 and IN4 (the settings' defaults).
std::string OnAir(Playlist playlist) {
    ManualClock clock;
    const auto mixer = Mixer("--program IN1 --preview IN2 --on FAST", clock);
    PlaySchedule schedule;
    PrepareSchedule(playlist, schedule);
    std::string out;
    for (const MixerEvent& e : schedule.mixerEvents) {
        EXPECT_EQ(mixer->Command(e.mode, e.word), 1) << e.word;
        out += e.word + ":" + kSourceNames[mixer->Program()];
        if (const auto t = mixer->Running())
            out += std::string("~") + kTransitionKeys[t->key];
        out += mixer->IsOn("FREEZE") ? "* " : " ";
        clock.Advance(1000);
    }
    return out;
}

// Two boards: each clip's input is on air from its own source event. One board: its input goes
// to air first and freezes cover the changes of clip.
TEST(MixerRun, EveryClipIsOnAirFromItsOwnSourceEvent) {
    EXPECT_EQ(OnAir(MakePlaylist(2, {Entry("a.mpg", 5000, 1, 1000), Entry("b.mpg", 5000, 2, 1000),
                                     Entry("c.mpg", 5000, 0, 1000), Entry("", 0, 1, 1000)})),
              "AUTO:IN1 MIX:IN1 IN3:IN3~MIX AUTO:IN3 EFFECT1:IN3 IN4:IN4~EFFECT1 "
              "CUT:IN4 IN3:IN3 AUTO:IN3 MIX:IN3 ");
    EXPECT_EQ(
        OnAir(MakePlaylist(1, {Entry("a.mpg", 5000, 0, 100), Entry("b.mpg", 5000, 1, 300, 500),
                               Entry("c.mpg", 5000, 1, 300, 500), Entry("", 0, 1, 300)})),
        "CUT:IN1 IN3:IN3 FREEZE:IN3* FREEZE:IN3 FREEZE:IN3* FREEZE:IN3 AUTO:IN3 MIX:IN3 ");
}

using TallyxProgram = StandInProcess;

TEST_F(TallyxProgram, AnswersOverTheTransportAndRefusesMalformedCommands) {
    const std::string log = dir_ / "tallyx.log";
    const WindowHandle remote =
        Start({ORX_TALLYX_PATH, "--program", "IN3", "--log", log}, "ORX Remote Control");
    const MixerPayload p = EncodeMixerPayload(3, "AIR_IN3");
    EXPECT_EQ(SendWindowMessage(remote, kWmCopyData, 0, kMixerCommandData, p.data(), p.size()), 2);
    EXPECT_EQ(SendWindowMessage(remote, kWmCopyData, 0, kMixerCommandData, p.data(), 3), 0);
    EXPECT_EQ(SendWindowMessage(remote, kWmCopyData, 0, 7, nullptr, 0), 0);
    EXPECT_EQ(Close(remote), 0);
    EXPECT_EQ(LoggedCommands(log), "3:AIR_IN3 ? ? WM_CLOSE");
}

}  // namespace
}  // namespace orx::test
