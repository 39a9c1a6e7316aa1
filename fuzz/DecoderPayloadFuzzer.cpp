// The decoder-command payload as a decoder host receives it: the clip path or volume text of a
// WM_COPYDATA, which the host logs and reads a clip duration from.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "ClipDuration.h"
#include "CommandLog.h"
#include "FuzzSupport.h"
#include "devices/Payloads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = orx::DecodeDecoderPayload(data, size);
    if (text.size() > size || std::memchr(text.data(), 0, text.size()) != nullptr ||
        (!text.empty() && std::memcmp(text.data(), data, text.size()) != 0)) {
        orx::fuzz::Fail("the text is not the bytes before the first NUL");
    }

    // What a sender encodes is what the host decodes, cut to the buffer.
    const orx::DecoderPayload payload = orx::EncodeDecoderPayload(text);
    const std::string decoded = orx::DecodeDecoderPayload(payload.data(), payload.size());
    if (decoded != text.substr(0, orx::kDecoderPayloadBytes - 1)) {
        orx::fuzz::Fail("a decoder payload does not survive the round trip");
    }

    for (unsigned char c : orx::PrintableText(text)) {
        if (c < 0x20 || c == 0x7F) {
            orx::fuzz::Fail("a logged text keeps a control character");
        }
    }
    if (const auto ms = orx::DurationFromClipName(text); ms && *ms < 0) {
        orx::fuzz::Fail("a clip name gave a negative duration");
    }
    return 0;
}
