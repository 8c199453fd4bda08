#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace duva::cli
{

// Comma-separated values as spreadsheets write them (RFC 4180): a cell holding the
// separator, a quote or a line end, or with blanks around it, is quoted, a quote inside
// doubled.
QString csvLine(const QStringList& cells, QChar separator = QLatin1Char(','));

} // namespace duva::cli
