#include "fleet/plan.h"

#include <QCoreApplication>

#include "fleet/csvreader.h"
#include "fleet/fields.h"
#include "fleet/search.h"
#include "fleet/spreadsheet.h"
#include "protocol/confirmation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QMap>
#include <cmath>

namespace duva::fleet
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Plan)
};
} // namespace

namespace
{

const QString serialColumn = QStringLiteral("serialNumber");
const QString addressColumn = QStringLiteral("ipAddress");

bool isIgnoredColumn(const QString& name)
{
    return name == fromColumn || name == repliesColumn;
}

QString unknownFieldText(const QString& where, const QString& name)
{
    return Texts::tr("%1: unknown field '%2' (the fields are %3)").arg(where, name, fieldNames());
}

QString cellMessage(const QString& where, const QString& name, const QString& bad)
{
    return Texts::tr("%1, column %2: %3").arg(where, name, bad);
}

// One row's cells by column name, in column order; empty cells left out.
using Cells = QList<std::pair<QString, QString>>;

// Builds the row from its cells; every problem of the row, one a message.
QStringList makeRow(const QString& where, const Cells& cells, PlanRow& row)
{
    QStringList errors;
    row.where = where;
    for (const auto& [name, value] : cells) {
        const Field* field = findField(name);
        if (!field) {
            errors << unknownFieldText(where, name);
            continue;
        }
        const QString bad = checkValue(*field, value);
        const QString message = cellMessage(where, name, bad);
        if (bad.isEmpty() && name == serialColumn)
            row.serialNumber = int(*parseWhole(value, 0, 0xFFFFFF));
        else if (bad.isEmpty())
            row.changes.append({name, value, QString(), true});
        else if (name != serialColumn && mayHaveLostLeadingZeros(value, [field](const QString& v) {
                     return checkValue(*field, v).isEmpty();
                 }))
            row.changes.append({name, value, message, true});
        else
            errors << message;
    }
    if (!row.serialNumber) {
        // Picked by its address, which then is not a change.
        for (int i = 0; i < row.changes.size(); ++i) {
            if (row.changes[i].field == addressColumn) {
                row.ipAddress = Ipv4Address::parse(row.changes.takeAt(i).value);
                break;
            }
        }
        if (!row.ipAddress && errors.isEmpty())
            errors << Texts::tr("%1: names no module: give its serialNumber or its "
                                "ipAddress")
                          .arg(where);
    }
    return errors;
}

QStringList checkDistinct(const QList<PlanRow>& rows)
{
    QStringList errors;
    QMap<QString, QString> seen; // "serial number 1031" -> where
    for (const PlanRow& row : rows) {
        const QString key = row.serialNumber ? Texts::tr("serial number %1").arg(*row.serialNumber)
                                             : Texts::tr("address %1").arg(row.addressText());
        if (seen.contains(key))
            errors << Texts::tr("%1 and %2 both name the module with %3")
                          .arg(seen.value(key), row.where, key);
        else
            seen.insert(key, row.where);
    }
    return errors;
}

Plan readCsvPlan(const QByteArray& bytes, QStringList& errors)
{
    Plan plan;
    const CsvTable table = readCsv(decodeCsvText(bytes));
    if (!table.error.isEmpty()) {
        errors << table.error;
        return plan;
    }
    if (table.rows.isEmpty() || table.rows.first().isEmpty()) {
        errors << Texts::tr("row 1: no header naming the columns (%1)").arg(fieldNames());
        return plan;
    }
    const QStringList header = table.rows.first();
    for (int c = 0; c < header.size(); ++c) {
        const QString& name = header[c];
        if (!isIgnoredColumn(name) && !findField(name))
            errors << unknownFieldText(Texts::tr("row 1, column %1").arg(c + 1), name);
        else if (header.indexOf(name) != c)
            errors << Texts::tr("row 1: column %1 appears twice").arg(name);
    }
    if (!header.contains(serialColumn) && !header.contains(addressColumn))
        errors << Texts::tr("row 1: no column serialNumber or ipAddress to pick the "
                            "modules by");
    if (!errors.isEmpty())
        return plan; // the rows cannot be read without their columns
    for (int r = 1; r < table.rows.size(); ++r) {
        const QStringList& cells = table.rows[r];
        if (cells.isEmpty() || cells.join(QString()).isEmpty())
            continue; // a blank line, or a spreadsheet's row of empty cells
        const QString where = planRowName(r + 1);
        Cells given;
        for (int c = 0; c < cells.size(); ++c) {
            if (c >= header.size()) {
                if (!cells[c].isEmpty())
                    errors << Texts::tr("%1, column %2: '%3' lies beyond the last column "
                                        "of the header")
                                  .arg(where)
                                  .arg(c + 1)
                                  .arg(cells[c]);
                continue;
            }
            if (!cells[c].isEmpty() && !isIgnoredColumn(header[c]))
                given.append({header[c], cells[c]});
        }
        PlanRow row;
        row.whereInEnglish = QStringLiteral("row %1").arg(r + 1);
        errors << makeRow(where, given, row);
        plan.rows << row;
    }
    return plan;
}

// A JSON value as the text a CSV cell would hold; no value for null.
std::optional<QString> jsonText(const QJsonValue& v, bool& bad)
{
    bad = false;
    switch (v.type()) {
    case QJsonValue::Null:
        return std::nullopt;
    case QJsonValue::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::String:
        return v.toString();
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (std::floor(d) == d && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        return QString::number(d, 'g', 17);
    }
    default:
        bad = true;
        return std::nullopt;
    }
}

Plan readJsonPlan(const QByteArray& bytes, QStringList& errors)
{
    Plan plan;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        errors << Texts::tr("not JSON: %1 at character %2")
                      .arg(parseError.errorString())
                      .arg(parseError.offset);
        return plan;
    }
    if (!document.isArray()) {
        errors << Texts::tr("not a JSON array of modules, as `duvactl search --json` "
                            "writes");
        return plan;
    }
    const QJsonArray entries = document.array();
    for (int i = 0; i < entries.size(); ++i) {
        const QString where = Texts::tr("entry %1").arg(i + 1);
        if (!entries[i].isObject()) {
            errors << Texts::tr("%1: not an object of field names and values").arg(where);
            continue;
        }
        const QJsonObject object = entries[i].toObject();
        Cells given;
        for (const QString& key : object.keys()) {
            if (!isIgnoredColumn(key) && !findField(key))
                errors << unknownFieldText(where, key);
        }
        // In the record's order, so that the bad fields are named in that order.
        for (const Field& field : fields()) {
            if (!object.contains(field.name))
                continue;
            bool bad = false;
            const auto text = jsonText(object.value(field.name), bad);
            if (bad) {
                errors << Texts::tr("%1, column %2: %3 is not a value")
                              .arg(where, field.name,
                                   QString::fromUtf8(
                                       QJsonDocument(QJsonArray{object.value(field.name)})
                                           .toJson(QJsonDocument::Compact))
                                       .mid(1)
                                       .chopped(1));
                continue;
            }
            // As in a CSV file, whose empty cell cannot say "make it empty": an empty text
            // changes nothing, so that a plan means the same in both formats.
            if (text && !text->isEmpty())
                given.append({field.name, *text});
        }
        PlanRow row;
        row.whereInEnglish = QStringLiteral("entry %1").arg(i + 1);
        errors << makeRow(where, given, row);
        plan.rows << row;
    }
    return plan;
}

} // namespace

Plan readPlan(const QByteArray& bytes, PlanFormat format)
{
    QStringList errors;
    Plan plan =
        format == PlanFormat::Json ? readJsonPlan(bytes, errors) : readCsvPlan(bytes, errors);
    if (errors.isEmpty())
        errors << checkDistinct(plan.rows);
    if (!errors.isEmpty()) {
        plan.error = errors.join(QLatin1Char('\n'));
        plan.rows.clear();
    }
    return plan;
}

QString planRowName(int fileRow)
{
    return Texts::tr("row %1").arg(fileRow);
}

QString planCellRefusal(const QString& where, const QString& column, const QString& value)
{
    const Field* field = findField(column);
    if (!field || value.isEmpty())
        return QString();
    const QString bad = checkValue(*field, value);
    // Digits whose leading zeros a spreadsheet dropped are left to the module's value.
    if (bad.isEmpty() ||
        (column != serialColumn && mayHaveLostLeadingZeros(value, [field](const QString& v) {
             return checkValue(*field, v).isEmpty();
         })))
        return QString();
    return cellMessage(where, column, bad);
}

PlanFormat planFormatOf(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".json"), Qt::CaseInsensitive) ? PlanFormat::Json
                                                                          : PlanFormat::Csv;
}

ParsedChange parseAssignment(const QString& argument)
{
    const int equals = argument.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return {std::nullopt,
                Texts::tr("%1: not FIELD=VALUE (the fields are %2)").arg(argument, fieldNames())};
    const QString name = argument.left(equals);
    const QString value = argument.mid(equals + 1);
    const QString where = Texts::tr("argument %1").arg(argument);
    const Field* field = findField(name);
    if (!field)
        return {std::nullopt, unknownFieldText(where, name)};
    const QString bad = checkValue(*field, value);
    if (!bad.isEmpty())
        return {std::nullopt, Texts::tr("%1, field %2: %3").arg(where, name, bad)};
    return {Change{name, value, QString()}, QString()};
}

bool PlanRow::picks(const ModuleRecord& record) const
{
    return serialNumber ? moduleIdentity(record) == *serialNumber
                        : ipAddress && addressOf(record) == *ipAddress;
}

} // namespace duva::fleet
