// strToInt against a small model of its rules, written separately from it so that a wrong
// value (not only a crash) is found: leading spaces, an optional sign, then decimal digits
// whose signed value fits 32 bits, or hexadecimal digits behind "$", "x", "X", "0x" or "0X"
// whose value fits 32 bits (leading zeros do not count) and is taken as two's complement.

#include "fuzzcheck.h"
#include "protocol/conversion.h"
#include "protocol/exception.h"

#include <optional>

namespace
{

std::optional<qint64> digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= '0' && u <= '9')
        d = u - '0';
    else if (base == 16 && u >= 'a' && u <= 'f')
        d = u - 'a' + 10;
    else if (base == 16 && u >= 'A' && u <= 'F')
        d = u - 'A' + 10;
    if (d < 0)
        return std::nullopt;
    return d;
}

std::optional<int> model(const QString& text)
{
    QString rest = text;
    while (rest.startsWith(u' '))
        rest.remove(0, 1);
    bool negative = false;
    if (rest.startsWith(u'-') || rest.startsWith(u'+')) {
        negative = rest.startsWith(u'-');
        rest.remove(0, 1);
    }
    int base = 10;
    for (const char* prefix : {"0x", "0X", "$", "x", "X"}) {
        if (rest.startsWith(QLatin1String(prefix))) {
            base = 16;
            rest.remove(0, int(qstrlen(prefix)));
            break;
        }
    }
    if (rest.isEmpty())
        return std::nullopt;
    // The value saturates just above the largest one either base accepts.
    const qint64 ceiling = qint64(1) << 33;
    qint64 value = 0;
    for (const QChar c : rest) {
        const auto d = digitValue(c, base);
        if (!d)
            return std::nullopt;
        value = std::min(ceiling, value * base + *d);
    }
    if (base == 16) {
        if (value > 0xFFFFFFFFll)
            return std::nullopt;
        const quint32 bits = negative ? 0u - quint32(value) : quint32(value);
        return int(qint32(bits));
    }
    const qint64 signedValue = negative ? -value : value;
    if (signedValue < INT32_MIN || signedValue > INT32_MAX)
        return std::nullopt;
    return int(signedValue);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<int> expected = model(text);
    std::optional<int> actual;
    try {
        actual = duva::strToInt(text);
    } catch (const duva::ConversionError& e) {
        FUZZ_CHECK(e.message() == duva::conversionErrorText(text), e.message());
    }
    FUZZ_CHECK(actual == expected,
               QStringLiteral("%1: strToInt %2, model %3")
                   .arg(fuzz::describe(text),
                        actual ? QString::number(*actual) : QStringLiteral("error"),
                        expected ? QString::number(*expected) : QStringLiteral("error")));
    return 0;
}
