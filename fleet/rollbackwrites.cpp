#include "fleet/rollbackwrites.h"

#include "fleet/fields.h"
#include "fleet/recordfields.h"
#include "fleet/rollback.h"
#include "protocol/confirmation.h"

#include <QCoreApplication>

namespace duva::fleet
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts), with duvactl's own.
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Duvactl)
};

// "serverPort: 6003 -> 7001", one for each field whose shown value differs.
QStringList changesBetween(const ModuleRecord& before, const ModuleRecord& after)
{
    QStringList changes;
    for (const Field& f : fields()) {
        const QString was = f.text(before);
        const QString now = f.text(after);
        if (was != now)
            changes << QStringLiteral("%1: %2 -> %3").arg(f.name, was, now);
    }
    return changes;
}
} // namespace

QList<PlanRow> rollbackWanted(const QList<fleet::RecordEntry>& entries)
{
    QList<PlanRow> wanted;
    for (const fleet::RecordEntry& e : entries) {
        // A write not confirmed may have been taken: its module is looked for too.
        if ((e.status == fleet::EntryStatus::Confirmed ||
             e.status == fleet::EntryStatus::NotConfirmed) &&
            e.after) {
            PlanRow row;
            row.serialNumber = e.after->serialNumber();
            wanted << row;
        }
    }
    return wanted;
}

RollbackWrites resolveRollback(const QList<fleet::RecordEntry>& entries,
                               const QList<FoundModule>& found,
                               const QList<Ipv4Address>& ownAddresses)
{
    RollbackWrites r;
    QList<ModuleRecord> records;
    for (const FoundModule& m : found)
        records << m.record;
    const fleet::RollbackPlan plan = fleet::planRollback(entries, records);
    if (!plan.refusal.isEmpty()) {
        r.refusal = Refusal{Outcome::AddressCollision, plan.refusal};
        return r;
    }

    // The entry that holds a module's earlier record, by the serial number it carries now.
    const auto entryOf = [&entries](int serial) {
        for (int i = 0; i < entries.size(); ++i) {
            const fleet::RecordEntry& e = entries[i];
            if (e.status == fleet::EntryStatus::Confirmed && e.after &&
                e.after->serialNumber() == serial)
                return i;
        }
        return -1;
    };
    for (const int serial : plan.missing) {
        const int entry = entryOf(serial);
        r.missing << Texts::tr("entry %1: no module with serial number %2 answered")
                         .arg(entry + 1)
                         .arg(serial);
        fleet::RecordEntry e;
        e.planRow = entry + 1;
        e.serialNumber = serial;
        e.reason = QStringLiteral("no module answered");
        r.notWritten << e;
    }

    // Each module as apply would write it: its earlier record, byte for byte.
    const auto plannedWrite = [&](int entry, const ModuleRecord& current,
                                  const std::optional<ModuleRecord>& restored) {
        const auto module =
            std::find_if(found.begin(), found.end(), [&current](const FoundModule& m) {
                return m.record.bytes() == current.bytes();
            });
        PlannedWrite w{{}, *module, {}, {}, {}, {}, 0, 0};
        w.row.where = Texts::tr("entry %1").arg(entry + 1);
        w.row.whereInEnglish = QStringLiteral("entry %1").arg(entry + 1);
        w.row.serialNumber = moduleIdentity(current);
        w.row.fieldWord = QStringLiteral("field");
        w.currentAddress = addressOf(current);
        w.newAddress = w.currentAddress;
        w.serialNumber = moduleIdentity(current);
        w.newSerialNumber = w.serialNumber;
        if (restored) {
            w.request = fleet::writeRequestHolding(*restored);
            w.changes = changesBetween(current, *restored);
            if (w.changes.isEmpty())
                w.changes << Texts::tr("bytes that no field shows");
            w.newAddress = addressOf(*restored);
            w.newSerialNumber = moduleIdentity(*restored);
        }
        r.entryNumbers.insert(w.row.where, entry + 1);
        return w;
    };
    for (const fleet::RollbackWrite& rw : plan.writes)
        r.writes << plannedWrite(rw.entry, rw.current, rw.restored);
    for (const int serial : plan.unchanged) {
        for (const ModuleRecord& m : records) {
            if (m.serialNumber() == serial)
                r.writes << plannedWrite(entryOf(serial), m, std::nullopt);
        }
    }

    // The checks of apply that still hold for a module's own earlier values: a write must
    // reach one module alone, and no module may take this computer's address. The values
    // that would cut a module off are not checked: each module had them before and answered.
    QStringList shared, collisions;
    for (const PlannedWrite& w : r.writes) {
        if (w.request.isEmpty())
            continue;
        QStringList serials;
        for (const FoundModule& m : found) {
            if (addressOf(m.record) == w.currentAddress)
                serials << QString::number(moduleIdentity(m.record));
        }
        if (serials.size() > 1)
            shared << Texts::tr("%1: %2 modules answer at %3 (serial numbers %4); a write to "
                                "that address would reach either of them")
                          .arg(w.row.where)
                          .arg(serials.size())
                          .arg(w.currentAddress.toString(), serials.join(QStringLiteral(", ")));
        if (w.newAddress != w.currentAddress && ownAddresses.contains(w.newAddress))
            collisions << Texts::tr("%1: the module with serial number %2 would go back to %3, "
                                    "which is this computer's own address now")
                              .arg(w.row.where)
                              .arg(w.serialNumber)
                              .arg(w.newAddress.toString());
    }
    if (!shared.isEmpty())
        r.refusal = Refusal{Outcome::SharedAddress, shared.join(QLatin1Char('\n'))};
    else if (!collisions.isEmpty())
        r.refusal = Refusal{Outcome::AddressCollision, collisions.join(QLatin1Char('\n'))};
    return r;
}

} // namespace duva::fleet
