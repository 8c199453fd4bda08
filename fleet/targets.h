#pragma once

#include "fleet/outcome.h"
#include "fleet/search.h"
#include "net/interfaces.h"

#include <optional>

namespace duva::fleet
{

struct TargetChoice {
    QString interfaceName; // --interface: only this interface
    QString network;       // --network A.B.C: only A.B.C.255, through an interface in it
    bool extended = false; // --extended: the 256 /24 broadcasts of each /16 too
};

struct TargetsResult {
    std::optional<SearchTargets> targets;
    Outcome status = Outcome::Ok; // when there are none: Usage or NoNetwork
    QString error;
};

// Where to search, from the running interfaces: by default the broadcast address of every
// one; narrowed by name or network; with the extended range, each /16 as one series (which
// takes in the /24 broadcasts of the interfaces in it).
TargetsResult chooseTargets(const QList<NetworkInterface>& interfaces, const TargetChoice& choice);

// The /16 networks a.b of the interfaces that choice selects, for the reset broadcast.
TargetsResult chooseResetNetworks(const QList<NetworkInterface>& interfaces,
                                  const TargetChoice& choice);

} // namespace duva::fleet
