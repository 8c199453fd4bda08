#pragma once

#include <QByteArray>
#include <QString>

namespace duva
{

// The modules keep their texts as single bytes of the Windows Latin-1 code page (cp1252).
// Every byte 0-255 maps to exactly one character and back, the five bytes cp1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) included, so a record's text survives a round
// trip through the window byte for byte.
QString fromCp1252(const QByteArray& bytes);

// The bytes of text. A character without a byte in the code page makes *ok false and is
// written as '?'; *ok is true otherwise.
QByteArray toCp1252(const QString& text, bool* ok = nullptr);

// As above, but a character without a byte throws EncodingError naming the text.
QByteArray toCp1252OrThrow(const QString& text);

// The message of a text that cannot be encoded.
QString encodingErrorText(const QString& text);

} // namespace duva
