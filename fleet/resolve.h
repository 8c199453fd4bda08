#pragma once

#include "fleet/outcome.h"
#include "fleet/plan.h"
#include "fleet/search.h"
#include "protocol/recordvalues.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace duva::fleet
{

// What one plan row comes to for the module it names.
struct PlannedWrite {
    PlanRow row;
    FoundModule module;         // as the search found it
    QByteArray request;         // the WriteRequest; empty when nothing changes
    QStringList changes;        // "ipAddress: 10.77.0.10 -> 10.77.0.60", in byte order
    Ipv4Address currentAddress; // where the request goes
    Ipv4Address newAddress;
    int serialNumber = 0;    // as found
    int newSerialNumber = 0; // as written: the one that confirms the write
};

struct Resolution {
    QList<PlannedWrite> writes;
    Outcome status = Outcome::Ok;
    QString error; // every problem of the kind that stopped it, one a line
};

// The checks of values that would cut a module off (fleet/valuechecks.h): this computer's
// own addresses; with force, no such check is made.
struct ValueChecks {
    QList<Ipv4Address> ownAddresses;
    bool force = false;
};

// Finds each row's module among those found and applies its changes. Refuses, with nothing
// to send, when a module is missing (NotFound), when a module's address answers for more
// than one module (SharedAddress), when a change breaks a rule of the record (client mode
// without a server host, or a value that would cut a module off: InvalidValue), and when two found
// modules would end with one address (AddressCollision). A change to the value a module already
// shows is no change.
Resolution resolvePlan(const QList<PlanRow>& rows, const QList<FoundModule>& found,
                       const ValueChecks& checks = {});

} // namespace duva::fleet
