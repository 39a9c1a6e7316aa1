// The mixer-command payloads as the remote-control application receives them, one after the
// other: each is a length byte followed by that many payload bytes (int32 mode, then the word).
// The stand-in mixer's clock moves 100 ms between commands, so transitions run and end.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "CommandLog.h"
#include "FuzzSupport.h"
#include "MixerModel.h"
#include "devices/MixerVocabulary.h"
#include "devices/Payloads.h"
#include "support/ManualClock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orx::test::ManualClock clock;
    orx::MixerModel mixer(orx::MixerOptions{}, clock);
    size_t pos = 0;
    while (pos < size) {
        const size_t length = std::min<size_t>(data[pos], size - pos - 1);
        const uint8_t* payload = data + pos + 1;
        pos += 1 + length;

        orx::MixerCommand command;
        if (!orx::DecodeMixerPayload(payload, length, command)) {
            if (length >= 4) {
                orx::fuzz::Fail("a payload with a mode was refused");
            }
            continue;
        }
        const orx::MixerPayload encoded = orx::EncodeMixerPayload(command.mode, command.word);
        orx::MixerCommand again;
        if (!orx::DecodeMixerPayload(encoded.data(), encoded.size(), again) ||
            again.mode != command.mode ||
            again.word != command.word.substr(0, orx::kMixerPayloadBytes - 5)) {
            orx::fuzz::Fail("a mixer payload does not survive the round trip");
        }

        const int answer = mixer.Command(command.mode, command.word);
        if (answer < 0 || answer > 2 || (answer == 2 && command.mode != orx::kModeQuery)) {
            orx::fuzz::Fail("an answer outside the protocol");
        }
        if (mixer.Program() < 0 || mixer.Program() >= orx::kSourceCount || mixer.Preview() < 0 ||
            mixer.Preview() >= orx::kSourceCount || mixer.TransitionKey() < 0 ||
            mixer.TransitionKey() >= orx::kTransitionKeyCount) {
            orx::fuzz::Fail("the mixer left its tables");
        }
        const double progress = mixer.Progress();
        if (!(progress >= 0 && progress <= 1)) {
            orx::fuzz::Fail("a transition outside 0..1");
        }
        (void)orx::PrintableText(command.word);
        clock.Advance(100);
    }
    (void)mixer.Describe();
    return 0;
}
