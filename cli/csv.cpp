#include "cli/csv.h"

#include <QCoreApplication>

namespace duva::cli
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Csv)
};
} // namespace

QString csvLine(const QStringList& cells, QChar separator)
{
    QStringList quoted;
    for (QString cell : cells) {
        if (cell.contains(separator) || cell.contains(QLatin1Char('"')) ||
            cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'))) {
            cell.replace(QLatin1String("\""), QLatin1String("\"\""));
            cell = QLatin1Char('"') + cell + QLatin1Char('"');
        }
        quoted << cell;
    }
    return quoted.join(separator);
}

CsvTable readCsv(const QString& text)
{
    CsvTable table;
    const QString firstLine = text.left(text.indexOf(QLatin1Char('\n')));
    const QChar separator =
        !firstLine.contains(QLatin1Char(',')) && firstLine.contains(QLatin1Char(';'))
            ? QLatin1Char(';')
            : QLatin1Char(',');

    QStringList row;
    QString cell;
    bool quoted = false;    // inside quotes
    bool wasQuoted = false; // the cell began with a quote and it has closed
    const auto endCell = [&] {
        row << cell;
        cell.clear();
        wasQuoted = false;
    };
    const auto endRow = [&] {
        endCell();
        if (row.size() == 1 && row.first().isEmpty())
            row.clear();
        table.rows << row;
        row.clear();
    };
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"')) {
                cell += c;
            } else if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else {
                quoted = false;
                wasQuoted = true;
            }
        } else if (c == separator) {
            endCell();
        } else if (c == QLatin1Char('\n') ||
                   (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))) {
            if (c == QLatin1Char('\r'))
                ++i;
            endRow();
        } else if (c == QLatin1Char('"') && cell.isEmpty() && !wasQuoted) {
            quoted = true;
        } else if (wasQuoted || c == QLatin1Char('"')) {
            table.error = Texts::tr("row %1: a quote in the middle of a cell (a quoted cell "
                                    "is quoted whole, and a quote inside doubled)")
                              .arg(table.rows.size() + 1);
            return table;
        } else {
            cell += c;
        }
    }
    if (quoted) {
        table.error = Texts::tr("row %1: a quoted cell is not closed").arg(table.rows.size() + 1);
        return table;
    }
    if (!cell.isEmpty() || !row.isEmpty() || wasQuoted)
        endRow();
    return table;
}

} // namespace duva::cli
