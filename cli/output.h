#pragma once

#include "fleet/search.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace duva::cli
{

// The columns search prints: every field of the record, then from and replies.
QStringList moduleColumns();

// One module's cells under moduleColumns(). A mode byte that is neither client nor server
// gives an empty cell (CSV) or "neither" (table).
QStringList moduleCells(const fleet::FoundModule& module, bool forTable);

QJsonObject moduleJson(const fleet::FoundModule& module);

// Columns padded to their widest cell, two blanks apart; the first row is the header.
QString textTable(const QList<QStringList>& rows);

QString modulesTable(const QList<fleet::FoundModule>& modules);
// RFC 4180 for scripts; forSpreadsheet, what a Portuguese Excel opens as columns: ';' between
// cells and a UTF-8 byte-order mark first.
QString modulesCsv(const QList<fleet::FoundModule>& modules, bool forSpreadsheet = false);
QString modulesJson(const QList<fleet::FoundModule>& modules);
// "field: value" lines, for show.
QString moduleLines(const fleet::FoundModule& module);

} // namespace duva::cli
