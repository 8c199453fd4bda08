#include "fleet/targets.h"

#include <QCoreApplication>

#include "protocol/ipv4.h"

namespace duva::fleet
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Targets)
};
} // namespace

namespace
{

struct Selection {
    QList<NetworkInterface> interfaces;
    std::optional<Ipv4Address> networkBroadcast;
    TargetsResult failure;
};

QString runningNames(const QList<NetworkInterface>& interfaces)
{
    QStringList names;
    for (const NetworkInterface& i : interfaces)
        names
            << (i.shownName.isEmpty()
                    ? QStringLiteral("%1 (%2)").arg(i.name, i.address.toString())
                    : QStringLiteral("%1 (%2, %3)").arg(i.shownName, i.name, i.address.toString()));
    return names.join(QStringLiteral(", "));
}

Selection select(const QList<NetworkInterface>& all, const TargetChoice& choice)
{
    Selection s;
    std::optional<Ipv4Address> prefix;
    if (!choice.network.isEmpty()) {
        prefix = Ipv4Address::parse(QString(choice.network + QStringLiteral(".0")));
        if (!prefix || choice.network.count(QLatin1Char('.')) != 2) {
            s.failure = {std::nullopt, Outcome::Usage,
                         Texts::tr("--network %1: not three numbers from 0 to 255 joined "
                                   "by dots, such as 192.168.0")
                             .arg(choice.network)};
            return s;
        }
        s.networkBroadcast = Ipv4Address(prefix->toUInt32() | 0xFF);
    }
    if (all.isEmpty()) {
        s.failure = {std::nullopt, Outcome::NoNetwork,
                     Texts::tr("no IPv4 network: no interface but loopback is up and "
                               "running with an IPv4 address")};
        return s;
    }
    for (const NetworkInterface& i : all) {
        // Either name will do: the one Windows shows or the system's own.
        if (!choice.interfaceName.isEmpty() && i.name != choice.interfaceName &&
            (i.shownName.isEmpty() || i.shownName != choice.interfaceName))
            continue;
        if (prefix && Ipv4Address(i.address.toUInt32() & 0xFFFFFF00) != *prefix)
            continue;
        s.interfaces << i;
    }
    if (s.interfaces.isEmpty()) {
        QStringList asked;
        if (!choice.interfaceName.isEmpty())
            asked << Texts::tr("named %1").arg(choice.interfaceName);
        if (prefix)
            asked << Texts::tr("in %1").arg(choice.network);
        s.failure = {std::nullopt, Outcome::NoNetwork,
                     Texts::tr("no IPv4 network: no running interface %1 (running: %2)")
                         .arg(asked.join(Texts::tr(" and ")), runningNames(all))};
    }
    return s;
}

std::pair<int, int> sixteenOf(Ipv4Address address)
{
    return {address.octet(0), address.octet(1)};
}

} // namespace

TargetsResult chooseTargets(const QList<NetworkInterface>& interfaces, const TargetChoice& choice)
{
    const Selection s = select(interfaces, choice);
    if (s.interfaces.isEmpty())
        return s.failure;
    SearchTargets t;
    for (const NetworkInterface& i : s.interfaces) {
        const Ipv4Address broadcast = s.networkBroadcast.value_or(i.broadcast);
        if (choice.extended && !t.series.contains(sixteenOf(i.address)))
            t.series << sixteenOf(i.address);
        if (!t.broadcasts.contains(broadcast))
            t.broadcasts << broadcast;
    }
    // A broadcast that a series sends anyway is not sent twice.
    t.broadcasts.removeIf(
        [&t](Ipv4Address b) { return b.octet(3) == 0xFF && t.series.contains(sixteenOf(b)); });
    return {t, Outcome::Ok, QString()};
}

TargetsResult chooseResetNetworks(const QList<NetworkInterface>& interfaces,
                                  const TargetChoice& choice)
{
    const Selection s = select(interfaces, choice);
    if (s.interfaces.isEmpty())
        return s.failure;
    SearchTargets t;
    for (const NetworkInterface& i : s.interfaces) {
        if (!t.series.contains(sixteenOf(i.address)))
            t.series << sixteenOf(i.address);
    }
    return {t, Outcome::Ok, QString()};
}

} // namespace duva::fleet
