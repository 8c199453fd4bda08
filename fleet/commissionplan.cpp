#include "fleet/commissionplan.h"

#include "fleet/fields.h"
#include "fleet/plan.h"
#include "fleet/recordfields.h"
#include "fleet/valuechecks.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

namespace duva::fleet
{

namespace
{

// The bytes that a plan's value gives its field, by the field's offset.
std::pair<int, QByteArray> fieldBytes(const QString& name, const QString& value)
{
    RecordValues values =
        RecordValues::fromRecord(*ModuleRecord::fromBytes(QByteArray(recordSize, 0)));
    findField(name)->store(value, values);
    const ModuleRecord record = *ModuleRecord::fromBytes(values.encode().left(recordSize));
    for (const fleet::FieldDescription& d : fleet::fieldDescriptions()) {
        if (d.name == name)
            return {d.offset, record.bytes().mid(d.offset, d.size)};
    }
    return {-1, {}};
}

} // namespace

CommissionPlan readCommissionPlan(const QString& path, const QList<Ipv4Address>& ownAddresses)
{
    CommissionPlan out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.unusable = CommissionPlan::Unusable::CannotRead;
        out.reason = file.errorString();
        return out;
    }
    const Plan plan = readPlan(file.readAll(), planFormatOf(path));
    if (!plan.error.isEmpty()) {
        out.unusable = CommissionPlan::Unusable::Malformed;
        out.reason = plan.error;
        return out;
    }
    if (plan.rows.isEmpty()) {
        out.unusable = CommissionPlan::Unusable::NoModule;
        return out;
    }
    QList<fleet::WrittenModule> rowsAlone;
    const ModuleRecord blank = *ModuleRecord::fromBytes(QByteArray(recordSize, 0));
    for (const PlanRow& p : plan.rows) {
        fleet::CommissionRow row;
        static const QRegularExpression number(QStringLiteral("(\\d+)$"));
        row.planRow = number.match(p.whereForScripts()).captured(1).toInt();
        row.serialNumber = p.serialNumber;
        QList<Change> changes = p.changes;
        // Without a serial number the address is the row's new one, not the module's.
        if (p.ipAddress)
            changes.prepend({QStringLiteral("ipAddress"), p.ipAddress->toString()});
        for (const Change& c : std::as_const(changes)) {
            // A fresh module's value is not known before it is written: a cell that lost its
            // leading zeros cannot be taken as the module's own.
            if (!c.refusal.isEmpty()) {
                out.cellRefusals << c.refusal;
                continue;
            }
            const auto [offset, bytes] = fieldBytes(c.field, c.value);
            row.fields.insert(offset, bytes);
        }
        rowsAlone << fleet::WrittenModule{p.where, QStringLiteral("column"), blank,
                                          fleet::withFields(blank, row.fields)};
        out.rows << row;
        out.where << p.where;
    }
    for (const fleet::ValueRefusal& r : fleet::checkWrittenValues(rowsAlone, {}, ownAddresses))
        out.valueRefusals << r.text();
    return out;
}

// The texts are translated under the context "Commission", in duvactl's file and the fleet
// window's.
QString commissionRefusal(const ModuleRecord& before, const ModuleRecord& after,
                          const QList<Ipv4Address>& ownAddresses, bool checkValues)
{
    if (after.clientMode() == true && after.serverHost().isEmpty())
        return QCoreApplication::translate(
            "Commission", "client mode needs a server host, and serverHost is empty");
    if (!checkValues)
        return {};
    QStringList reasons;
    const QString where =
        QCoreApplication::translate("Commission", "module %1").arg(before.serialNumber());
    for (const fleet::ValueRefusal& r : fleet::checkWrittenValues(
             {{where, QStringLiteral("field"), before, after}}, {}, ownAddresses))
        reasons << r.text();
    return reasons.join(QStringLiteral("; "));
}

} // namespace duva::fleet
