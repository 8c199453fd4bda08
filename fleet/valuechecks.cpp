#include "fleet/valuechecks.h"

#include "protocol/recordfields.h"

#include <QCoreApplication>

namespace duva::fleet
{

namespace
{

// The texts a person reads, translated by the program that shows them.
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(ValueChecks)
};

quint32 addressAt(const ModuleRecord& r, int at)
{
    return recordFieldAt(at).address(r).toUInt32();
}

QString dotted(quint32 a)
{
    return Ipv4Address(a).toString();
}

int prefixLength(quint32 mask)
{
    int n = 0;
    while (n < 32 && (mask << n & 0x80000000u))
        ++n;
    return n;
}

QString subnetText(quint32 address, quint32 mask)
{
    return QStringLiteral("%1/%2").arg(dotted(address & mask)).arg(prefixLength(mask));
}

// Why an address can never be a module's own, whatever its subnet; empty when it can.
QString unusableAddress(quint32 ip, const QList<Ipv4Address>& ownAddresses)
{
    if (ip == 0)
        return Texts::tr("is 0.0.0.0, which means no address");
    if (ip >> 24 == 0)
        return Texts::tr("lies in 0.0.0.0/8, which no datagram can reach");
    if (ip >> 24 == 127)
        return Texts::tr("is a loopback address (127.0.0.0/8), which never leaves the module");
    if (ip >> 28 == 0xE)
        return Texts::tr("is a multicast address (224.0.0.0/4), which no module can hold");
    if (ip == 0xFFFFFFFFu)
        return Texts::tr("is 255.255.255.255, the broadcast address of every network");
    if (ownAddresses.contains(Ipv4Address(ip)))
        return Texts::tr("is this computer's own address");
    return QString();
}

} // namespace

QString ValueRefusal::text() const
{
    // "field" (set) or "column" (a plan), in the reader's language.
    const QString word = fieldWord == QLatin1String("field")
                             ? QCoreApplication::translate("ValueChecks", "field")
                             : QCoreApplication::translate("ValueChecks", "column");
    return QCoreApplication::translate("ValueChecks", "%1, %2 %3: '%4' %5")
        .arg(where, word, field, value, why);
}

bool isContiguousMask(quint32 mask)
{
    return (~mask & (~mask + 1)) == 0; // the zeros, plus one, are a power of two (or zero)
}

QList<ValueRefusal> checkWrittenValues(const QList<WrittenModule>& written,
                                       const QList<ModuleRecord>& unwritten,
                                       const QList<Ipv4Address>& ownAddresses)
{
    QList<ValueRefusal> refusals;
    for (int i = 0; i < written.size(); ++i) {
        const WrittenModule& w = written[i];
        const auto refuse = [&](const char* field, const QString& value, const QString& why) {
            refusals << ValueRefusal{w.where, w.fieldWord, QString::fromLatin1(field), value, why};
        };
        const quint32 ip = addressAt(w.after, offset::ipAddress);
        const quint32 mask = addressAt(w.after, offset::subnetMask);
        const quint32 gateway = addressAt(w.after, offset::gateway);
        const bool ipChanged = ip != addressAt(w.before, offset::ipAddress);
        const bool maskChanged = mask != addressAt(w.before, offset::subnetMask);
        const bool gatewayChanged = gateway != addressAt(w.before, offset::gateway);
        const bool contiguous = isContiguousMask(mask);

        if (maskChanged && !contiguous)
            refuse("subnetMask", dotted(mask),
                   Texts::tr("has ones that are not contiguous: a subnet mask is ones "
                             "followed by zeros, such as 255.255.255.0"));

        const QString unusable = ipChanged ? unusableAddress(ip, ownAddresses) : QString();
        if (!unusable.isEmpty()) {
            refuse("ipAddress", dotted(ip), unusable);
        } else if ((ipChanged || maskChanged) && contiguous && prefixLength(mask) <= 30 &&
                   ((ip & ~mask) == 0 || (ip & ~mask) == ~mask)) {
            // A /31 or /32 has no network or broadcast address of its own.
            const bool network = (ip & ~mask) == 0;
            if (ipChanged)
                refuse("ipAddress", dotted(ip),
                       (network ? Texts::tr("is the network address of its subnet %1")
                                : Texts::tr("is the broadcast address of its subnet %1"))
                           .arg(subnetText(ip, mask)));
            else
                refuse("subnetMask", dotted(mask),
                       (network ? Texts::tr("makes the module's ipAddress %1 the network address "
                                            "of its subnet %2")
                                : Texts::tr("makes the module's ipAddress %1 the broadcast "
                                            "address of its subnet %2"))
                           .arg(dotted(ip), subnetText(ip, mask)));
        }

        if (!unusable.isEmpty()) {
            // Nothing more to say of the gateway of a module that no address reaches.
        } else if (gateway != 0 && ip == gateway && (ipChanged || gatewayChanged)) {
            if (ipChanged)
                refuse("ipAddress", dotted(ip), Texts::tr("is the module's own gateway"));
            else
                refuse("gateway", dotted(gateway), Texts::tr("is the module's own ipAddress"));
        } else if (gateway != 0 && contiguous && (gateway & mask) != (ip & mask) &&
                   (ipChanged || maskChanged || gatewayChanged)) {
            const QString subnet = subnetText(ip, mask);
            if (gatewayChanged)
                refuse("gateway", dotted(gateway),
                       Texts::tr("lies outside the module's subnet %1").arg(subnet));
            else if (ipChanged)
                refuse("ipAddress", dotted(ip),
                       Texts::tr("puts the gateway %1 outside the module's subnet %2")
                           .arg(dotted(gateway), subnet));
            else
                refuse("subnetMask", dotted(mask),
                       Texts::tr("puts the gateway %1 outside the module's subnet %2")
                           .arg(dotted(gateway), subnet));
        }

        const int serial = w.after.serialNumber();
        if (serial != w.before.serialNumber()) {
            QStringList holders;
            for (const ModuleRecord& other : unwritten) {
                if (other.serialNumber() == serial)
                    holders << Texts::tr("the module at %1").arg(other.ipAddressText());
            }
            for (int j = 0; j < written.size(); ++j) {
                if (j != i && written[j].after.serialNumber() == serial)
                    holders << Texts::tr("the module at %1 (%2)")
                                   .arg(written[j].before.ipAddressText(), written[j].where);
            }
            if (!holders.isEmpty())
                refuse("serialNumber", QString::number(serial),
                       Texts::tr("is also the serial number of %1; modules that share "
                                 "one cannot be told apart")
                           .arg(holders.join(QStringLiteral(", "))));
        }
    }
    return refusals;
}

} // namespace duva::fleet
