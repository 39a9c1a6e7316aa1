#include "devices/Payloads.h"

#include <algorithm>
#include <cstring>

namespace orx {

namespace {

void CopyCut(uint8_t* dest, size_t capacity, std::string_view text) {
    size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(dest, text.data(), n);
    dest[n] = 0;
}

std::string TextUpToNul(const uint8_t* data, size_t size) {
    const auto* end = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    return std::string(reinterpret_cast<const char*>(data), end ? size_t(end - data) : size);
}

}  // namespace

DecoderPayload EncodeDecoderPayload(std::string_view text) {
    DecoderPayload payload{};
    CopyCut(payload.data(), payload.size(), text);
    return payload;
}

std::string DecodeDecoderPayload(const uint8_t* data, size_t size) {
    return data ? TextUpToNul(data, size) : std::string();
}

MixerPayload EncodeMixerPayload(int32_t mode, std::string_view word) {
    MixerPayload payload{};
    uint32_t m = static_cast<uint32_t>(mode);
    for (int i = 0; i < 4; ++i)
        payload[i] = static_cast<uint8_t>(m >> (8 * i));
    CopyCut(payload.data() + 4, payload.size() - 4, word);
    return payload;
}

bool DecodeMixerPayload(const uint8_t* data, size_t size, MixerCommand& out) {
    if (!data || size < 4)
        return false;
    uint32_t m = 0;
    for (int i = 0; i < 4; ++i)
        m |= uint32_t(data[i]) << (8 * i);
    out.mode = static_cast<int32_t>(m);
    out.word = TextUpToNul(data + 4, size - 4);
    return true;
}

}  // namespace orx
