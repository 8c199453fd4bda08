// The code page: every byte string survives a decode and encode unchanged, and the encoder
// on any UTF-16 text (lone surrogates included) gives one byte per code point, '?' exactly
// for the characters without a byte, and says so.

#include "fuzzcheck.h"
#include "protocol/cp1252.h"
#include "protocol/exception.h"

#include <QList>

namespace
{

void checkBytes(const QByteArray& bytes)
{
    const QString text = duva::fromCp1252(bytes);
    FUZZ_CHECK(text.size() == bytes.size(), fuzz::describe(text));
    bool ok = false;
    FUZZ_CHECK(duva::toCp1252(text, &ok) == bytes && ok, fuzz::describe(text));
}

void checkText(const QString& text)
{
    bool ok = false;
    const QByteArray bytes = duva::toCp1252(text, &ok);
    const QList<uint> points = text.toUcs4();
    FUZZ_CHECK(bytes.size() == points.size(), fuzz::describe(text));
    bool allMapped = true;
    for (int i = 0; i < points.size(); ++i) {
        // A character has a byte exactly when that byte decodes back to it.
        const QString back = duva::fromCp1252(bytes.mid(i, 1));
        const bool mapped = back.size() == 1 && back.at(0).unicode() == points[i];
        if (!mapped) {
            FUZZ_CHECK(bytes.at(i) == '?', fuzz::describe(text));
            allMapped = false;
        }
    }
    FUZZ_CHECK(ok == allMapped, fuzz::describe(text));

    bool thrown = false;
    try {
        FUZZ_CHECK(duva::toCp1252OrThrow(text) == bytes, fuzz::describe(text));
    } catch (const duva::EncodingError& e) {
        thrown = true;
        FUZZ_CHECK(e.message() == duva::encodingErrorText(text), e.message());
    }
    FUZZ_CHECK(thrown == !ok, fuzz::describe(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool allBytes = [] {
        QByteArray every(256, '\0');
        for (int b = 0; b < 256; ++b)
            every[b] = char(b);
        checkBytes(every);
        return true;
    }();
    (void)allBytes;

    checkBytes(fuzz::bytesOf(data, size));
    checkText(fuzz::utf16Of(data, size));
    return 0;
}
