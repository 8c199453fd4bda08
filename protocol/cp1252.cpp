#include "protocol/cp1252.h"

#include "protocol/exception.h"

#include <QList>

#include <array>

namespace duva
{

namespace
{

// Bytes 0x80-0x9F; the rest of the code page equals Latin-1. The five bytes cp1252 leaves
// undefined keep their C1 control code so that they survive a round trip.
constexpr std::array<char16_t, 32> high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

constexpr std::array<char16_t, 256> makeTable()
{
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = static_cast<char16_t>(b);
    for (int b = 0; b < 32; ++b)
        t[0x80 + b] = high[b];
    return t;
}

constexpr std::array<char16_t, 256> table = makeTable();

// The byte of code point u, or -1 when the code page has none.
int byteOf(char32_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<int>(u);
    for (int b = 0; b < 32; ++b) {
        if (high[b] == u)
            return 0x80 + b;
    }
    return -1;
}

} // namespace

QString fromCp1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        text[i] = QChar(table[static_cast<quint8>(bytes.at(i))]);
    return text;
}

QByteArray toCp1252(const QString& text, bool* ok)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool allMapped = true;
    // Walk code points, so a character outside the BMP becomes a single '?'.
    for (const char32_t u : text.toUcs4()) {
        const int b = byteOf(u);
        if (b < 0) {
            allMapped = false;
            bytes.append('?');
        } else {
            bytes.append(static_cast<char>(b));
        }
    }
    if (ok)
        *ok = allMapped;
    return bytes;
}

QString encodingErrorText(const QString& text)
{
    return QStringLiteral("O texto '%1' tem caracteres que o módulo não aceita").arg(text);
}

QByteArray toCp1252OrThrow(const QString& text)
{
    bool ok = false;
    QByteArray bytes = toCp1252(text, &ok);
    if (!ok)
        throw EncodingError(encodingErrorText(text));
    return bytes;
}

} // namespace duva
