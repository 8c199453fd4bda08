#pragma once

#include <QString>

namespace duva
{

// Text to integer, as every numeric field of the window is read: optional leading blanks,
// an optional sign, then decimal digits, or hexadecimal digits behind "$", "x", "X", "0x"
// or "0X". Nothing may follow. Decimal values must fit a signed 32-bit integer; hexadecimal
// ones may use all 32 bits ("$FFFFFFFF" is -1), with any number of leading zeros.
// Throws ConversionError("'<text>' is not a valid integer value") otherwise, the empty text
// included.
int strToInt(const QString& text);

// The message of a failed conversion of text.
QString conversionErrorText(const QString& text);

} // namespace duva
