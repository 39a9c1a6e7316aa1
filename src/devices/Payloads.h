#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orx {

// The payloads of the companion protocol, apart from the transport that moves them.

// A decoder command: the text argument NUL-terminated in a 260-byte buffer. A longer text is cut
// to 259 bytes.
inline constexpr size_t kDecoderPayloadBytes = 260;
using DecoderPayload = std::array<uint8_t, kDecoderPayloadBytes>;
DecoderPayload EncodeDecoderPayload(std::string_view text);
// The text up to the first NUL, never past the bytes given.
std::string DecodeDecoderPayload(const uint8_t* data, size_t size);

// A mixer command: int32 mode (little-endian), then the word NUL-terminated in 260 bytes.
inline constexpr size_t kMixerPayloadBytes = 264;
inline constexpr uint64_t kMixerCommandData = 1;  // dwData of every mixer command
using MixerPayload = std::array<uint8_t, kMixerPayloadBytes>;
MixerPayload EncodeMixerPayload(int32_t mode, std::string_view word);
struct MixerCommand {
    int32_t mode = 0;
    std::string word;
};
// False when fewer than 4 bytes are given; the word never reads past the bytes given.
bool DecodeMixerPayload(const uint8_t* data, size_t size, MixerCommand& out);

}  // namespace orx
