#pragma once

#include "protocol/ipv4.h"

#include <QList>
#include <QString>
#include <QtGlobal>

namespace duva
{

// An IPv4 address of a network interface that is up and running, loopback aside.
struct NetworkInterface {
    QString name; // the system's name, for example eth0
    Ipv4Address address;
    Ipv4Address broadcast; // the address with every host bit set
    // The name the user sees where it differs from the system's: on Windows "Ethernet" or
    // "Wi-Fi", where the system's is an internal one (ethernet_32769). Empty elsewhere.
    QString shownName = {};
};

// Every such address, in the system's order (an interface with two addresses gives two).
QList<NetworkInterface> runningIPv4Interfaces();

// Ipv4Address::toString for the callers that still keep addresses as numbers.
QString dottedAddress(quint32 address);

} // namespace duva
