#include "cli/output.h"

#include <QCoreApplication>

#include "cli/csv.h"
#include "fleet/fields.h"

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
    for (const fleet::Field& f : fleet::fields())
        columns << f.name;
    return columns << fleet::fromColumn << fleet::repliesColumn;
}

QStringList moduleCells(const fleet::FoundModule& module, bool forTable)
{
    QStringList cells;
    for (const fleet::Field& f : fleet::fields()) {
        QString text = f.text(module.record);
        if (forTable && f.kind == FieldKind::Mode && text.isEmpty())
            text = Texts::tr("neither");
        cells << text;
    }
    return cells << module.from.toString() << QString::number(module.replies);
}

QJsonObject moduleJson(const fleet::FoundModule& module)
{
    QJsonObject object;
    for (const fleet::Field& f : fleet::fields())
        object.insert(f.name, f.json(module.record));
    object.insert(fleet::fromColumn, module.from.toString());
    object.insert(fleet::repliesColumn, module.replies);
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

QString modulesTable(const QList<fleet::FoundModule>& modules)
{
    QList<QStringList> rows{moduleColumns()};
    for (const fleet::FoundModule& m : modules)
        rows << moduleCells(m, true);
    return textTable(rows);
}

QString modulesCsv(const QList<fleet::FoundModule>& modules, bool forSpreadsheet)
{
    const QChar separator = forSpreadsheet ? QLatin1Char(';') : QLatin1Char(',');
    QString out = forSpreadsheet ? QString(QChar(0xFEFF)) : QString();
    out += csvLine(moduleColumns(), separator) + QLatin1Char('\n');
    for (const fleet::FoundModule& m : modules)
        out += csvLine(moduleCells(m, false), separator) + QLatin1Char('\n');
    return out;
}

QString modulesJson(const QList<fleet::FoundModule>& modules)
{
    QJsonArray array;
    for (const fleet::FoundModule& m : modules)
        array.append(moduleJson(m));
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

QString moduleLines(const fleet::FoundModule& module)
{
    const QStringList columns = moduleColumns();
    const QStringList cells = moduleCells(module, true);
    QList<QStringList> rows;
    for (int i = 0; i < columns.size(); ++i)
        rows << QStringList{columns[i] + QLatin1Char(':'), cells[i]};
    return textTable(rows);
}

} // namespace duva::cli
