// The plan reader on any bytes: it never crashes, a plan it accepts holds only values that
// the fields take (or cells of digits left to the module's current value), a refused plan names
// what is wrong and keeps no row, and an accepted plan written back as CSV reads back to the same
// plan.
//
// Input: a first byte 'j' reads the rest as a JSON plan; anything else as a CSV plan.

#include "cli/csv.h"
#include "fleet/fields.h"
#include "fleet/plan.h"
#include "fuzzcheck.h"

#include <QMap>

namespace
{

using namespace duva::cli;
using namespace duva::fleet;

// Row by row: the module it picks, then its changes by field name.
QStringList canonical(const Plan& plan)
{
    QStringList rows;
    for (const PlanRow& row : plan.rows) {
        QMap<QString, QString> changes;
        for (const Change& c : row.changes)
            changes.insert(c.field, c.value);
        QString text = row.serialNumber ? QStringLiteral("serial %1").arg(*row.serialNumber)
                                        : QStringLiteral("address %1").arg(row.addressText());
        for (auto i = changes.cbegin(); i != changes.cend(); ++i)
            text += QStringLiteral(" | %1=%2").arg(i.key(), i.value());
        rows << text;
    }
    return rows;
}

QByteArray asCsv(const Plan& plan)
{
    QStringList header;
    for (const Field& f : fields())
        header << f.name;
    QString text = csvLine(header) + QLatin1Char('\n');
    for (const PlanRow& row : plan.rows) {
        QStringList cells(header.size());
        if (row.serialNumber)
            cells[header.indexOf(QStringLiteral("serialNumber"))] =
                QString::number(*row.serialNumber);
        else
            cells[header.indexOf(QStringLiteral("ipAddress"))] = row.addressText();
        for (const Change& c : row.changes)
            cells[header.indexOf(c.field)] = c.value;
        text += csvLine(cells) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const bool json = size > 0 && data[0] == 'j';
    const QByteArray bytes = size > 0 ? fuzz::bytesOf(data + 1, size - 1) : QByteArray();
    const Plan plan = readPlan(bytes, json ? PlanFormat::Json : PlanFormat::Csv);
    if (!plan.error.isEmpty()) {
        FUZZ_CHECK(plan.rows.isEmpty(), plan.error);
        return 0;
    }
    for (const PlanRow& row : plan.rows) {
        FUZZ_CHECK(row.where.startsWith(json ? QLatin1String("entry ") : QLatin1String("row ")),
                   row.where);
        FUZZ_CHECK(row.serialNumber ? *row.serialNumber >= 0 && *row.serialNumber <= 0xFFFFFF
                                    : row.ipAddress.has_value(),
                   row.where);
        for (const Change& c : row.changes) {
            const Field* field = findField(c.field);
            FUZZ_CHECK(field && c.field != QLatin1String("serialNumber"), c.field);
            // A refused cell is kept only as one that may have lost its leading zeros.
            FUZZ_CHECK(checkValue(*field, c.value).isEmpty() == c.refusal.isEmpty(),
                       fuzz::describe(c.value));
            FUZZ_CHECK(!c.value.isEmpty(), c.field);
        }
    }
    const QByteArray written = asCsv(plan);
    const Plan again = readPlan(written, PlanFormat::Csv);
    FUZZ_CHECK(again.error.isEmpty(),
               again.error + QStringLiteral("\n") + QString::fromUtf8(written));
    FUZZ_CHECK(canonical(again) == canonical(plan), canonical(plan).join('\n') +
                                                        QStringLiteral("\n---\n") +
                                                        canonical(again).join('\n'));
    return 0;
}
