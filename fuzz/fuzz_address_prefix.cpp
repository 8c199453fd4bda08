// addressPrefix against a pattern of its rules: three fields of 1 to 3 ASCII digits, each
// followed by a dot, at the start of the text; anything may follow the third dot.

#include "fuzzcheck.h"
#include "net/localaddress.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QRegularExpression pattern(
        QStringLiteral("\\A([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\."));
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto actual = duva::addressPrefix(text);
    const QRegularExpressionMatch match = pattern.match(text);
    FUZZ_CHECK(actual.has_value() == match.hasMatch(), fuzz::describe(text));
    if (actual) {
        for (int i = 0; i < 3; ++i)
            FUZZ_CHECK((*actual)[i] == match.captured(i + 1).toInt(), fuzz::describe(text));
    }
    return 0;
}
