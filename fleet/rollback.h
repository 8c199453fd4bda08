#pragma once

#include "fleet/recordfields.h"
#include "fleet/writerecord.h"
#include "protocol/datagrams.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace duva::fleet
{

// One module to put back as a record found it before its first write.
struct RollbackWrite {
    int entry = 0;         // the record's entry (index) that holds the record to restore
    ModuleRecord current;  // as the module answers now
    ModuleRecord restored; // as it was before
    QByteArray request;    // sent to current's address
};

struct RollbackPlan {
    QList<RollbackWrite> writes; // in the record's order
    QList<int> missing;          // serial numbers that no answering module carries
    QList<int> unchanged;        // modules that hold their earlier record already
    QString refusal;             // not empty: nothing may be sent, and this says why
};

// What undoing a record's confirmed writes takes, given the modules that answer now. Each
// module is found by the serial number its last confirmed write gave it (a write may have
// changed it) and gets the record from before its first confirmed write. Refused, before
// anything is sent, when two answering modules carry a serial number the rollback needs,
// or when the rollback would leave two modules with one address or one serial number: a
// commissioning that moved fresh modules off one factory address cannot be undone.
RollbackPlan planRollback(const QList<RecordEntry>& entries, const QList<ModuleRecord>& found);

// Whether an entry's write is confirmed: the record says so, or it is not confirmed there (a
// run stopped or ended by a crash before the confirmation came) and a module found now shows
// exactly the record written, under its serial number.
bool confirmedBy(const RecordEntry& entry, const QList<ModuleRecord>& found);

} // namespace duva::fleet
