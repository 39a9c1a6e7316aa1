#include "MixerModel.h"
#include "StandInProcess.h"
#include "devices/Payloads.h"

namespace orx::test {
namespace {

using Send = std::function<int64_t(int mode, const std::string& word)>;

// Sends "mode:WORD=answer" steps in order and checks every answer.
void Expect(const Send& send, const std::string& steps) {
    for (const std::string& s : Words(steps)) {
        const size_t colon = s.find(':'), eq = s.rfind('=');
        EXPECT_EQ(send(std::stoi(s), s.substr(colon + 1, eq - colon - 1)),
                  std::stoi(s.substr(eq + 1)))
            << s;
    }
}
// A mixer with these options.
Send Mixer(const std::string& options) {
    MixerOptions o;
    bool help = false;
    std::string error;
    EXPECT_TRUE(ParseMixerArgs(Words(options), o, help, error)) << error;
    auto m = std::make_shared<MixerModel>(o);
    return [m](int mode, const std::string& word) { return m->Command(mode, word); };
}

TEST(MixerModel, QueriesTransitionsAndFunctions) {
    // Queries answer 2 for active, 1 for inactive, 0 for what the mixer does not know.
    Send m = Mixer("--program IN3 --preview IN4 --on FAST");
    // AIR_ asks the program bus, a plain source word the preview bus.
    Expect(m,
           "3:AIR_IN3=2 3:AIR_IN4=1 3:IN4=2 3:IN3=1 3:MIX=2 3:EFFECT8=1 3:FAST=2 3:CUT=1 "
           "3:AIR_=0 3:AIR_IN17=0 3:in3=0 0:NOPE=0 0:AIR_IN3=0 4:FAST=0 0:BREAK=1");

    m = Mixer("--program IN3 --preview IN4");
    Expect(m, "0:CLIP12=1 0:EFFECT6=1 0:AUTO=1 3:AIR_CLIP12=2 3:IN3=2 3:EFFECT6=2 3:MIX=1");
    // Pressing CUT cuts; it does not change the CUT function. FAST latches without SET.
    Expect(m, "0:CUT=1 3:AIR_IN3=2 3:CUT=1 0:FAST=1 3:FAST=2");
    // Press toggles; modes 1 and 2 set, and apply to functions only.
    Expect(m,
           "0:LOGO1=1 3:LOGO1=2 0:LOGO1=1 3:LOGO1=1 1:CLOCK=1 1:CLOCK=1 3:CLOCK=2 2:CLOCK=1 "
           "3:CLOCK=1 1:IN3=0 2:MIX=0");
}

TEST(MixerModel, OptionsSetTheStateAndTheFaults) {
    const Send m = Mixer(
        "--program BARS --preview DSK10 --transition EFFECT8 --on FAST,LOGO1 "
        "--on CUT --fail MIX --fail AUTO");
    Expect(m, "3:AIR_BARS=2 3:DSK10=2 3:EFFECT8=2 3:LOGO1=2 3:CUT=2 3:MIX=0 0:AUTO=0 0:IN1=1");
    Expect(Mixer("--fail-all"), "0:IN1=0 3:MIX=0");
    // With SET latching FAST, SET is used up by the FAST after it.
    Expect(Mixer("--fast-needs-set"),
           "0:FAST=1 3:FAST=1 0:SET=1 0:FAST=1 3:FAST=2 0:FAST=1 "
           "3:FAST=2 0:SET=1 0:FAST=1 3:FAST=1");
    MixerOptions o;
    bool help = false;
    std::string error;
    for (const char* bad : {"--program IN17", "--transition CUT", "--on MIX", "--fail", "x"})
        EXPECT_FALSE(ParseMixerArgs(Words(bad), o, help, error)) << bad;
}

using TallyxProgram = StandInProcess;

TEST_F(TallyxProgram, AnswersOverTheTransportAndRefusesMalformedCommands) {
    const std::string log = dir_ / "tallyx.log";
    const WindowHandle remote =
        Start(ORX_TALLYX_PATH " --program IN3 --log " + log, "ORX Remote Control");
    const MixerPayload p = EncodeMixerPayload(3, "AIR_IN3");
    EXPECT_EQ(SendWindowMessage(remote, kWmCopyData, 0, kMixerCommandData, p.data(), p.size()), 2);
    const uint8_t tooShort[3] = {};
    EXPECT_EQ(SendWindowMessage(remote, kWmCopyData, 0, kMixerCommandData, tooShort, 3), 0);
    EXPECT_EQ(SendWindowMessage(remote, kWmCopyData, 0, 7, nullptr, 0), 0);
    EXPECT_EQ(SendWindowMessage(remote, kWmClose, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_EQ(LoggedCommands(log), "3:AIR_IN3 ? ? WM_CLOSE");
}

}  // namespace
}  // namespace orx::test
