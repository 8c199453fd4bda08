#pragma once

#include "net/interfaces.h"

#include <QList>
#include <QString>

namespace duva::frota
{

// How the adapter list shows an interface: "eth0 (192.168.0.5)", or on Windows
// "Ethernet (192.168.0.5)", the name the user knows.
QString adapterLabel(const NetworkInterface& adapter);

// Where a search broadcasts: the broadcast address of every adapter (no address twice), or
// of those with this system name when name is not empty. Host order.
QList<Ipv4Address> searchBroadcasts(const QList<NetworkInterface>& adapters,
                                    const QString& name = {});

} // namespace duva::frota
