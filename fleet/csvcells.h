#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace duva::fleet
{

// RFC 4180 lines, as the record's CSV form writes and reads them: a cell holding a comma, a
// quote or a line end is quoted, a quote inside doubled; lines end in CR LF.
QString csvRecordLine(const QStringList& cells);

struct CsvRows {
    QList<QStringList> rows;
    QString error; // empty when the text is well formed
};
// Reads what csvRecordLine wrote (LF alone is taken too); empty lines are skipped.
CsvRows readCsvRows(const QString& text);

} // namespace duva::fleet
