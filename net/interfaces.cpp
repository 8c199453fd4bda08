#include "net/interfaces.h"

#include <QNetworkInterface>

namespace duva
{

QList<NetworkInterface> runningIPv4Interfaces()
{
    QList<NetworkInterface> found;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : i.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            const quint32 address = entry.ip().toIPv4Address();
            const quint32 mask = entry.netmask().toIPv4Address();
            if (mask == 0xFFFFFFFF)
                continue; // a host address alone: nothing to broadcast to
            // Computed rather than taken from the entry, which is empty on links that have
            // no broadcast flag (a point-to-point link, say) and on some systems.
            const QString shown = i.humanReadableName();
            found.append({i.name(), Ipv4Address(address), Ipv4Address(address | ~mask),
                          shown == i.name() ? QString() : shown});
        }
    }
    return found;
}

QString dottedAddress(quint32 address)
{
    return Ipv4Address(address).toString();
}

} // namespace duva
