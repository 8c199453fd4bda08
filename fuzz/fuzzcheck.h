#pragma once

// Shared by the fuzz targets: a property check that ends the run the way a crash does, so
// that libFuzzer keeps the input and the replay program fails.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", __FILE__, __LINE__,            \
                         #condition, QString(what).toUtf8().constData());                          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz
{

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The input as UTF-16 code units, lone surrogates included; an odd last byte is dropped.
inline QString utf16Of(const uint8_t* data, size_t size)
{
    QString text;
    text.reserve(static_cast<qsizetype>(size / 2));
    for (size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8)));
    return text;
}

// A shown value for a failure message: the text with its UTF-16 units.
inline QString describe(const QString& text)
{
    QString units;
    for (const QChar c : text)
        units += QString::asprintf(" %04x", c.unicode());
    return QStringLiteral("'%1' [%2 ]").arg(text, units);
}

} // namespace fuzz
