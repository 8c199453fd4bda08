#include "cli/csv.h"

namespace duva::cli
{

QString csvLine(const QStringList& cells, QChar separator)
{
    QStringList quoted;
    for (QString cell : cells) {
        // Blanks around a cell are quoted too, as a reader drops them from a bare cell.
        if (cell.contains(separator) || cell.contains(QLatin1Char('"')) ||
            cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r')) ||
            cell != cell.trimmed()) {
            cell.replace(QLatin1String("\""), QLatin1String("\"\""));
            cell = QLatin1Char('"') + cell + QLatin1Char('"');
        }
        quoted << cell;
    }
    return quoted.join(separator);
}

} // namespace duva::cli
