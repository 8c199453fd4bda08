#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace duva::fleet
{

// What spreadsheets do to a plan file, undone.

// A CSV file's text: UTF-8, with or without a byte-order mark, or, when the bytes are not
// UTF-8, Windows Latin-1 (cp1252), as a Portuguese Excel saves "CSV (separado por vírgulas)".
QString decodeCsvText(const QByteArray& bytes);

// Whether cell is the current value of a field with leading zeros dropped, as a spreadsheet
// does to a text of digits that it takes for a number ("000" saved as "0", "0123" as "123").
bool onlyLostLeadingZeros(const QString& cell, const QString& current);

// Whether a cell of digits that its field refuses would be taken with leading zeros put back:
// then it may be such a cell, and only the module's current value can tell.
bool mayHaveLostLeadingZeros(const QString& cell, const std::function<bool(const QString&)>& takes);

} // namespace duva::fleet
