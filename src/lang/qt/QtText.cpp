#include "lang/qt/QtText.h"

#include <QStringDecoder>

namespace orx {

namespace {

// Windows-1252 bytes 0x80-0x9F; the other bytes are the Latin-1 code points. The five bytes the
// code page leaves undefined keep their Latin-1 control code points.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString FromCp1252(std::string_view text) {
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        result.append(byte >= 0x80 && byte < 0xA0 ? QChar(kCp1252High[byte - 0x80])
                                                  : QChar(static_cast<char16_t>(byte)));
    }
    return result;
}

}  // namespace

QString ToQString(std::string_view text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded =
        decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!decoder.hasError()) {
        return decoded;
    }
    return FromCp1252(text);
}

std::string FromQString(const QString& text) {
    return text.toStdString();
}

}  // namespace orx
