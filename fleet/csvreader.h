#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace duva::fleet
{

// Comma-separated values as spreadsheets save them (RFC 4180), read: a plan's table.
struct CsvTable {
    QList<QStringList> rows; // row 1 of the file is rows[0]; blank lines are kept as empty rows
    QString error;           // empty when the text is well formed
};

// Reads the text; the separator is the one of ',', ';' and tab that the first line holds most
// (spreadsheets in many locales save with ';'). Line ends may be LF or CR LF. Blanks around a
// cell are dropped; a quoted cell keeps those inside its quotes.
CsvTable readCsv(const QString& text);

} // namespace duva::fleet
