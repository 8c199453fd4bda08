#include "frota/adapters.h"

namespace duva::frota
{

QString adapterLabel(const NetworkInterface& adapter)
{
    return QStringLiteral("%1 (%2)").arg(
        adapter.shownName.isEmpty() ? adapter.name : adapter.shownName, adapter.address.toString());
}

QList<Ipv4Address> searchBroadcasts(const QList<NetworkInterface>& adapters, const QString& name)
{
    QList<Ipv4Address> out;
    for (const NetworkInterface& a : adapters) {
        if ((name.isEmpty() || a.name == name) && !out.contains(a.broadcast))
            out << a.broadcast;
    }
    return out;
}

} // namespace duva::frota
