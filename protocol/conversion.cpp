#include "protocol/conversion.h"

#include "protocol/exception.h"

#include <cstdint>

namespace duva
{

namespace
{

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

QString conversionErrorText(const QString& text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

int strToInt(const QString& text)
{
    const auto fail = [&text]() { return ConversionError(conversionErrorText(text)); };
    const int n = text.size();
    int i = 0;
    // Only spaces count as leading blanks, as in the runtime whose behaviour the fields mirror;
    // a tab or any other control character is not a digit and fails.
    while (i < n && text.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }

    bool hex = false;
    if (i < n && (text.at(i) == u'$' || text.at(i) == u'x' || text.at(i) == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' &&
               (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        hex = true;
        i += 2;
    }
    if (i == n)
        throw fail(); // empty, a lone sign or a lone prefix

    if (hex) {
        // Up to 32 bits, taken as two's complement: "$FFFFFFFF" is -1. The limit is on the
        // value, so leading zeros ("$000000001") do not count against it.
        std::uint64_t value = 0;
        for (; i < n; ++i) {
            const int d = hexDigit(text.at(i));
            if (d < 0)
                throw fail();
            value = value << 4 | static_cast<std::uint64_t>(d);
            if (value > UINT32_MAX)
                throw fail();
        }
        std::uint32_t bits = static_cast<std::uint32_t>(value);
        if (negative)
            bits = 0u - bits;
        return static_cast<int>(static_cast<std::int32_t>(bits));
    }

    // Accumulate the magnitude in 64 bits so that -2147483648 fits before the sign is applied.
    std::int64_t value = 0;
    const std::int64_t limit = negative ? std::int64_t(INT32_MAX) + 1 : INT32_MAX;
    for (; i < n; ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < '0' || u > '9')
            throw fail();
        value = value * 10 + (u - '0');
        if (value > limit)
            throw fail();
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace duva
