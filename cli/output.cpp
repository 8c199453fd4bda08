#include "cli/output.h"

#include <QCoreApplication>

#include "cli/csv.h"
#include "cli/fields.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace duva::cli
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Output)
};
} // namespace

QStringList moduleColumns()
{
    QStringList columns;
    for (const Field& f : fields())
        columns << f.name;
    return columns << fromColumn << repliesColumn;
}

QStringList moduleCells(const FoundModule& module, bool forTable)
{
    QStringList cells;
    for (const Field& f : fields()) {
        QString text = f.text(module.record);
        if (forTable && f.kind == FieldKind::Mode && text.isEmpty())
            text = Texts::tr("neither");
        cells << text;
    }
    return cells << module.from << QString::number(module.replies);
}

QJsonObject moduleJson(const FoundModule& module)
{
    QJsonObject object;
    for (const Field& f : fields())
        object.insert(f.name, f.json(module.record));
    object.insert(fromColumn, module.from);
    object.insert(repliesColumn, module.replies);
    return object;
}

QString textTable(const QList<QStringList>& rows)
{
    QList<int> widths;
    for (const QStringList& row : rows) {
        for (int c = 0; c < row.size(); ++c) {
            if (widths.size() <= c)
                widths << 0;
            widths[c] = std::max(widths[c], int(row[c].size()));
        }
    }
    QString out;
    for (const QStringList& row : rows) {
        QString line;
        for (int c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row[c].leftJustified(widths[c] + 2) : row[c];
        out += line + QLatin1Char('\n');
    }
    return out;
}

QString modulesTable(const QList<FoundModule>& modules)
{
    QList<QStringList> rows{moduleColumns()};
    for (const FoundModule& m : modules)
        rows << moduleCells(m, true);
    return textTable(rows);
}

QString modulesCsv(const QList<FoundModule>& modules, bool forSpreadsheet)
{
    const QChar separator = forSpreadsheet ? QLatin1Char(';') : QLatin1Char(',');
    QString out = forSpreadsheet ? QString(QChar(0xFEFF)) : QString();
    out += csvLine(moduleColumns(), separator) + QLatin1Char('\n');
    for (const FoundModule& m : modules)
        out += csvLine(moduleCells(m, false), separator) + QLatin1Char('\n');
    return out;
}

QString modulesJson(const QList<FoundModule>& modules)
{
    QJsonArray array;
    for (const FoundModule& m : modules)
        array.append(moduleJson(m));
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

QString moduleLines(const FoundModule& module)
{
    const QStringList columns = moduleColumns();
    const QStringList cells = moduleCells(module, true);
    QList<QStringList> rows;
    for (int i = 0; i < columns.size(); ++i)
        rows << QStringList{columns[i] + QLatin1Char(':'), cells[i]};
    return textTable(rows);
}

} // namespace duva::cli
