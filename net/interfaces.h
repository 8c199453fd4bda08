#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace duva
{

// An IPv4 address of a network interface that is up and running, loopback aside.
struct NetworkInterface {
    QString name;      // the system's name, for example eth0
    quint32 address;   // host order
    quint32 broadcast; // host order: the address with every host bit set
};

// Every such address, in the system's order (an interface with two addresses gives two).
QList<NetworkInterface> runningIPv4Interfaces();

QString dottedAddress(quint32 address);

} // namespace duva
