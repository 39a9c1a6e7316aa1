// The text decoding of the user-interface layer: texts of language files are UTF-8, or the
// Windows-1252 bytes of files made on Windows. No byte of a text may be lost or replaced.

#include <QChar>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "lang/qt/QtText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QString text = orx::ToQString(bytes);
    // A replacement character only where the bytes spell one: nothing is thrown away.
    if (text.contains(QChar(QChar::ReplacementCharacter)) &&
        bytes.find("\xEF\xBF\xBD") == std::string_view::npos) {
        orx::fuzz::Fail("a text was decoded with replacement characters");
    }
    if (text.size() > static_cast<qsizetype>(size)) {
        orx::fuzz::Fail("a text decoded to more characters than bytes");
    }
    // The program keeps texts as UTF-8; that form decodes to the same text (a leading byte-order
    // mark is dropped on decoding, so a text that starts with one is not compared).
    if (!text.startsWith(QChar(QChar::ByteOrderMark)) &&
        orx::ToQString(orx::FromQString(text)) != text) {
        orx::fuzz::Fail("a text changes when it is stored again");
    }
    return 0;
}
