#include <gtest/gtest.h>

#include "MixerPanel.h"
#include "support/ManualClock.h"

namespace orx::test {
namespace {

// The panel shows what the model holds after each command, and the running transition only
// while it runs.
TEST(MixerPanel, ShowsBusesTransitionFreezeAndKeyersAsTheyChange) {
    ManualClock clock;
    MixerOptions options;
    options.program = "BARS";
    options.preview = "IN2";
    options.on = {"LOGO2"};
    MixerModel mixer(options, clock);
    MixerPanel panel(mixer);
    auto shown = [&] {
        std::string out;
        for (const char* part : {"program", "preview", "transition", "running"})
            out += panel.Shown(part) + " | ";
        for (const char* lamp : MixerPanel::kLamps)
            out += std::string(lamp) + "=" + panel.Shown(lamp) + " ";
        return out;
    };
    EXPECT_EQ(shown(),
              "BARS | IN2 | MIX, AUTO / CUT take the preview | no transition | FAST=off "
              "FREEZE=off LOGO1=off LOGO2=on CLOCK=off THERMO=off ");

    for (const char* press : {"FAST", "AUTO", "EFFECT3", "IN3", "FREEZE"})
        ASSERT_EQ(mixer.Command(0, press), 1) << press;
    ASSERT_EQ(mixer.Command(1, "THERMO"), 1);
    ASSERT_EQ(mixer.Command(2, "LOGO2"), 1);
    panel.Refresh();
    EXPECT_EQ(shown(),
              "IN3 | BARS | EFFECT3, source keys take with AUTO | EFFECT3 BARS > IN3 | FAST=on "
              "FREEZE=on LOGO1=off LOGO2=off CLOCK=off THERMO=on ");

    clock.Advance(MixerModel::TransitionLengthMs(3));
    ASSERT_EQ(mixer.Command(0, "CUT"), 1);
    ASSERT_EQ(mixer.Command(0, "IN4"), 1);
    panel.Refresh();
    EXPECT_EQ(shown(),
              "IN4 | IN3 | EFFECT3, source keys cut | no transition | FAST=on FREEZE=on "
              "LOGO1=off LOGO2=off CLOCK=off THERMO=on ");
}

}  // namespace
}  // namespace orx::test
