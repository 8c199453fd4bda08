#include "fleet/csvcells.h"

namespace duva::fleet
{

QString csvRecordLine(const QStringList& cells)
{
    QStringList out;
    for (const QString& cell : cells) {
        const bool quote = cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) ||
                           cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'));
        out << (quote ? QLatin1Char('"') +
                            QString(cell).replace(QLatin1String("\""), QLatin1String("\"\"")) +
                            QLatin1Char('"')
                      : cell);
    }
    return out.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

CsvRows readCsvRows(const QString& text)
{
    CsvRows result;
    QStringList row;
    QString cell;
    bool quoted = false;     // inside a quoted cell
    bool lineHasAny = false; // the line so far holds a cell or a separator
    int line = 1;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"')) {
                line += c == QLatin1Char('\n');
                cell += c;
            } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == QLatin1Char('"') && cell.isEmpty()) {
            quoted = lineHasAny = true;
        } else if (c == QLatin1Char(',')) {
            row << cell;
            cell.clear();
            lineHasAny = true;
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                   text.at(i + 1) == QLatin1Char('\n')) {
            continue; // the LF ends the line
        } else if (c == QLatin1Char('\n')) {
            if (lineHasAny || !cell.isEmpty())
                result.rows << (row << cell);
            row.clear();
            cell.clear();
            lineHasAny = false;
            ++line;
        } else if (c == QLatin1Char('"')) {
            result.error = QStringLiteral("line %1: a quote inside an unquoted cell").arg(line);
            return result;
        } else {
            cell += c;
            lineHasAny = true;
        }
    }
    if (quoted) {
        result.error = QStringLiteral("line %1: a quoted cell is not closed").arg(line);
        return result;
    }
    if (lineHasAny || !cell.isEmpty())
        result.rows << (row << cell);
    return result;
}

} // namespace duva::fleet
