#pragma once

#include "fleet/outcome.h"
#include "fleet/plan.h"
#include "fleet/resolve.h"
#include "fleet/search.h"
#include "fleet/writerecord.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <optional>

namespace duva::fleet
{

// What undoing a record of writes comes to, as writes that go through the same order,
// sending and confirmation as a plan's.
struct RollbackWrites {
    // Each module to put back, in the record's order, then those that hold their earlier
    // record already (no request), each named "entry N" after the record's entry that holds
    // its earlier record.
    QList<PlannedWrite> writes;
    QStringList missing;                  // "entry 3: no module with serial number 1033 answered"
    QList<fleet::RecordEntry> notWritten; // the record's entries for those (skipped)
    QHash<QString, int> entryNumbers;     // where -> the record's entry, from 1
    std::optional<Refusal> refusal;       // nothing may be sent, and why
};

// The serial numbers that the record's confirmed writes left, as rows that the search wants.
QList<PlanRow> rollbackWanted(const QList<fleet::RecordEntry>& entries);

// The writes that give each module of the record's confirmed entries its earlier record,
// byte for byte, given the modules found now. Refused (AddressCollision) where the rollback
// would put two modules on one address or one serial number, or a module on one of
// ownAddresses (this computer's); refused (SharedAddress) where a module to be
// written answers at an address that another module answers from too. The values that
// would cut a module off are not checked: each module held them before.
RollbackWrites resolveRollback(const QList<fleet::RecordEntry>& entries,
                               const QList<FoundModule>& found,
                               const QList<Ipv4Address>& ownAddresses);

} // namespace duva::fleet
