// The text encodings of language files: a file holds UTF-8 or the bytes of one Windows code page,
// and every text is converted to UTF-8 when it is read. Every byte must read as a character and
// write back as the same byte. Input: one byte that picks the code page, then the text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "lang/TextEncoding.h"

namespace {

constexpr int kCodePages[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int codePage = kCodePages[data[0] % std::size(kCodePages)];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::string text = orx::DecodeCodePage(bytes, codePage);
    if (!orx::IsValidUtf8(text)) {
        orx::fuzz::Fail("a decoded text is not UTF-8");
    }
    std::string encoded;
    if (!orx::EncodeCodePage(text, codePage, encoded) || encoded != bytes) {
        orx::fuzz::Fail("a text does not encode back to its bytes");
    }
    if (!orx::FirstUnencodable(text, codePage).empty()) {
        orx::fuzz::Fail("a decoded character is reported as unencodable");
    }

    // The bytes as typed UTF-8: the editor's check and the writer must agree.
    const bool valid = orx::IsValidUtf8(bytes);
    const bool fits = orx::EncodeCodePage(bytes, codePage, encoded);
    const std::string first = orx::FirstUnencodable(bytes, codePage);
    if (fits != first.empty() || (fits && !valid)) {
        orx::fuzz::Fail("the unencodable check and the encoder disagree");
    }
    if (fits && orx::DecodeCodePage(encoded, codePage) != bytes) {
        orx::fuzz::Fail("an encoded text does not decode back");
    }
    if (orx::EncodeCodePage(bytes, orx::kCodePageUtf8, encoded) != valid ||
        (valid && encoded != bytes)) {
        orx::fuzz::Fail("UTF-8 is not copied as it is");
    }
    return 0;
}
