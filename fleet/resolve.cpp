#include "fleet/resolve.h"

#include <QCoreApplication>

#include "fleet/fields.h"
#include "fleet/spreadsheet.h"
#include "fleet/valuechecks.h"
#include "protocol/confirmation.h"

#include <QMap>

namespace duva::fleet
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Resolve)
};
} // namespace

namespace
{

QString serialList(const QList<int>& indexes, const QList<FoundModule>& found)
{
    QStringList serials;
    for (const int i : indexes)
        serials << QString::number(moduleIdentity(found[i].record));
    return serials.join(QStringLiteral(", "));
}

// The found modules a row names.
QList<int> modulesNamed(const PlanRow& row, const QList<FoundModule>& found)
{
    QList<int> named;
    for (int i = 0; i < found.size(); ++i) {
        const ModuleRecord& r = found[i].record;
        if (row.picks(r))
            named << i;
    }
    return named;
}

QList<int> modulesAt(Ipv4Address address, const QList<FoundModule>& found)
{
    QList<int> at;
    for (int i = 0; i < found.size(); ++i) {
        if (addressOf(found[i].record) == address)
            at << i;
    }
    return at;
}

QString describeRow(const PlanRow& row)
{
    return row.serialNumber ? Texts::tr("serial number %1").arg(*row.serialNumber)
                            : Texts::tr("address %1").arg(row.addressText());
}

// How messages name a field of the row: a plan's "column", set's "field".
QString fieldWord(const PlanRow& row)
{
    return row.fieldWord == QLatin1String("field") ? Texts::tr("field") : Texts::tr("column");
}

// Applies the changes that alter what the module shows.
PlannedWrite apply(const PlanRow& row, const FoundModule& module)
{
    PlannedWrite w{row, module, {}, {}, {}, {}, 0, 0};
    w.currentAddress = addressOf(module.record);
    w.newAddress = w.currentAddress;
    w.serialNumber = moduleIdentity(module.record);
    w.newSerialNumber = w.serialNumber;
    RecordValues values = RecordValues::fromRecord(module.record);
    for (const Change& change : row.changes) {
        const Field* field = findField(change.field);
        if (change.fromPlan && onlyLostLeadingZeros(change.value, field->text(module.record)))
            continue; // what a spreadsheet made of the current value
        RecordValues changed = values;
        field->store(change.value, changed);
        const auto after = ModuleRecord::fromBytes(changed.encode().left(recordSize));
        if (field->text(*after) != field->text(module.record))
            values = changed;
    }
    const QByteArray request = values.encode();
    const auto after = *ModuleRecord::fromBytes(request.left(recordSize));
    for (const Field& f : fields()) {
        const QString before = f.text(module.record);
        const QString now = f.text(after);
        if (before != now)
            w.changes << QStringLiteral("%1: %2 -> %3").arg(f.name, before, now);
    }
    if (!w.changes.isEmpty()) {
        w.request = request;
        w.newAddress = addressOf(after);
        w.newSerialNumber = moduleIdentity(after);
    }
    return w;
}

// The values that would cut a module off, as messages.
QStringList refusedValues(const QList<PlannedWrite>& writes, const QList<int>& moduleOfWrite,
                          const QList<FoundModule>& found, const ValueChecks& checks)
{
    QList<fleet::WrittenModule> written;
    QList<bool> isWritten(found.size(), false);
    for (int i = 0; i < writes.size(); ++i) {
        const PlannedWrite& w = writes[i];
        if (w.request.isEmpty())
            continue;
        isWritten[moduleOfWrite[i]] = true;
        written << fleet::WrittenModule{w.row.where, w.row.fieldWord, w.module.record,
                                        *ModuleRecord::fromBytes(w.request.left(recordSize))};
    }
    QList<ModuleRecord> unwritten;
    for (int i = 0; i < found.size(); ++i) {
        if (!isWritten[i])
            unwritten << found[i].record;
    }
    QStringList messages;
    for (const fleet::ValueRefusal& r :
         fleet::checkWrittenValues(written, unwritten, checks.ownAddresses))
        messages << r.text();
    return messages;
}

} // namespace

Resolution resolvePlan(const QList<PlanRow>& rows, const QList<FoundModule>& found,
                       const ValueChecks& checks)
{
    Resolution result;
    QStringList missing, shared, invalid, collisions;
    QMap<int, QString> rowOfModule; // found index -> where
    QList<int> moduleOfWrite;
    for (const PlanRow& row : rows) {
        const QList<int> named = modulesNamed(row, found);
        if (named.isEmpty()) {
            missing << Texts::tr("%1: no module with %2 answered").arg(row.where, describeRow(row));
            continue;
        }
        if (named.size() > 1) {
            shared << Texts::tr("%1: %2 modules answer with %3 (serial numbers %4); a write "
                                "to one of them would reach any")
                          .arg(row.where)
                          .arg(named.size())
                          .arg(describeRow(row), serialList(named, found));
            continue;
        }
        const int index = named.first();
        if (rowOfModule.contains(index)) {
            invalid << Texts::tr("%1 and %2 both name the module with serial number %3")
                           .arg(rowOfModule.value(index), row.where)
                           .arg(moduleIdentity(found[index].record));
            continue;
        }
        rowOfModule.insert(index, row.where);
        QStringList refused; // cells that only leading zeros could have saved
        for (const Change& change : row.changes) {
            if (!change.refusal.isEmpty() &&
                !onlyLostLeadingZeros(change.value,
                                      findField(change.field)->text(found[index].record)))
                refused << change.refusal;
        }
        if (!refused.isEmpty()) {
            invalid << refused;
            continue;
        }
        PlannedWrite w = apply(row, found[index]);
        const QList<int> sameAddress = modulesAt(w.currentAddress, found);
        if (!w.request.isEmpty() && sameAddress.size() > 1) {
            shared << Texts::tr("%1: %2 modules answer at %3 (serial numbers %4); a write "
                                "to that address would reach either of them")
                          .arg(row.where)
                          .arg(sameAddress.size())
                          .arg(w.currentAddress.toString(), serialList(sameAddress, found));
            continue;
        }
        // The endpoint refuses 0.0.0.0 and cannot send to 255.255.255.255 without a name
        // look-up; a write that failed there would leave a plan half sent.
        const quint32 current = w.currentAddress.toUInt32();
        if (!w.request.isEmpty() && (current >> 24 == 0 || current == 0xFFFFFFFF)) {
            invalid << Texts::tr("%1: the module with serial number %2 holds the address "
                                 "%3, which no write can reach")
                           .arg(row.where)
                           .arg(w.serialNumber)
                           .arg(w.currentAddress.toString());
            continue;
        }
        const auto after = ModuleRecord::fromBytes(w.request.left(recordSize));
        if (after && after->clientMode() == true && after->serverHost().isEmpty()) {
            invalid << Texts::tr("%1, %2 serverHost: client mode needs a server host, "
                                 "and serverHost is empty")
                           .arg(row.where, fieldWord(row));
            continue;
        }
        result.writes << w;
        moduleOfWrite << index;
    }

    if (!checks.force) {
        const QStringList refused = refusedValues(result.writes, moduleOfWrite, found, checks);
        invalid << refused;
        if (!refused.isEmpty())
            invalid << Texts::tr("(--force writes such values all the same)");
    }

    // Where every found module ends up.
    QList<Ipv4Address> finalAddress;
    for (const FoundModule& m : found)
        finalAddress << addressOf(m.record);
    for (int i = 0; i < result.writes.size(); ++i)
        finalAddress[moduleOfWrite[i]] = result.writes[i].newAddress;
    for (int i = 0; i < result.writes.size(); ++i) {
        const PlannedWrite& w = result.writes[i];
        if (w.newAddress == w.currentAddress)
            continue;
        for (int other = 0; other < found.size(); ++other) {
            if (other == moduleOfWrite[i] || finalAddress[other] != w.newAddress)
                continue;
            const QString otherSerial = QString::number(moduleIdentity(found[other].record));
            const QString cell = Texts::tr("%1, %2 ipAddress: '%3'")
                                     .arg(w.row.where, fieldWord(w.row), w.newAddress.toString());
            collisions << (rowOfModule.contains(other) &&
                                   addressOf(found[other].record) != w.newAddress
                               ? Texts::tr("%1 is also the new address of the module with "
                                           "serial number %2 (%3)")
                                     .arg(cell, otherSerial, rowOfModule.value(other))
                               : Texts::tr("%1 is the address of another module that "
                                           "answered (serial number %2)")
                                     .arg(cell, otherSerial));
        }
    }

    // The first kind of problem, in the order a user best fixes them, decides the status.
    const std::pair<QStringList*, Outcome> kinds[] = {
        {&invalid, Outcome::InvalidValue},
        {&missing, Outcome::NotFound},
        {&shared, Outcome::SharedAddress},
        {&collisions, Outcome::AddressCollision},
    };
    for (const auto& [messages, status] : kinds) {
        if (!messages->isEmpty()) {
            result.status = status;
            result.error = messages->join(QLatin1Char('\n'));
            result.writes.clear();
            return result;
        }
    }
    return result;
}

} // namespace duva::fleet
