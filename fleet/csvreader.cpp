#include "fleet/csvreader.h"

#include <QCoreApplication>

namespace duva::fleet
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Csv)
};
} // namespace

namespace
{

// The separator the header line uses most: ',', ';' or tab (',' when it has none).
QChar separatorOf(const QString& text)
{
    const QString header = text.left(text.indexOf(QLatin1Char('\n')));
    QChar best = QLatin1Char(',');
    for (const QChar c : {QLatin1Char(';'), QLatin1Char('\t')}) {
        if (header.count(c) > header.count(best))
            best = c;
    }
    return best;
}

bool isBlank(QChar c)
{
    return c.isSpace() && c != QLatin1Char('\n') && c != QLatin1Char('\r');
}

} // namespace

CsvTable readCsv(const QString& text)
{
    CsvTable table;
    const QChar separator = separatorOf(text);

    QStringList row;
    QString cell;
    bool quoted = false;    // inside quotes
    bool wasQuoted = false; // the cell began with a quote and it has closed
    const auto endCell = [&] {
        // Blanks around a cell are a spreadsheet's or a hand's, not the value's; a quoted
        // cell keeps those inside its quotes.
        row << (wasQuoted ? cell : cell.trimmed());
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
        } else if (c == QLatin1Char('"') && cell.trimmed().isEmpty() && !wasQuoted) {
            quoted = true;
            cell.clear();
        } else if (wasQuoted && isBlank(c)) {
            // after the closing quote
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

} // namespace duva::fleet
