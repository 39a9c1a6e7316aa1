#include "MixerModel.h"
#include "StandInProcess.h"
#include "devices/Payloads.h"

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
std::shared_ptr<MixerModel> Mixer(const std::string& options) {
    MixerOptions o;
    bool help = false;
    std::string error;
    return ParseMixerArgs(Words(options), o, help, error) ? std::make_shared<MixerModel>(o)
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
    for (const char* bad : {"--program IN17", "--transition CUT", "--on MIX", "--fail", "x"})
        EXPECT_FALSE(Mixer(bad)) << bad;
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
