#include "cli/searchreport.h"

#include "protocol/confirmation.h"

#include <QCoreApplication>
#include <QMap>

namespace duva::cli
{

namespace
{

// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(SearchReport)
};

// The /16 networks a.b that a series covers hold these interfaces' subnets too.
bool searched(const fleet::SearchTargets& targets, const NetworkInterface& i)
{
    return targets.broadcasts.contains(i.broadcast) ||
           targets.series.contains({i.address.octet(0), i.address.octet(1)});
}

// The prefix length of a subnet as its broadcast address shows it: the host bits are the
// trailing ones that the interface's own address does not all share.
int prefixLength(const NetworkInterface& i)
{
    const quint32 hostBits = i.broadcast.toUInt32() & ~i.address.toUInt32();
    int bits = 0;
    while (bits < 32 && (hostBits >> bits) != 0)
        ++bits;
    return 32 - bits;
}

} // namespace

QStringList duplicateWarnings(const QList<fleet::FoundModule>& modules)
{
    QMap<QString, QList<const fleet::FoundModule*>> byAddress;
    QMap<int, QList<const fleet::FoundModule*>> bySerial;
    for (const fleet::FoundModule& m : modules) {
        byAddress[m.record.ipAddressText()] << &m;
        bySerial[moduleIdentity(m.record)] << &m;
    }
    QStringList warnings;
    for (auto it = byAddress.cbegin(); it != byAddress.cend(); ++it) {
        if (it.value().size() < 2)
            continue;
        QStringList serials;
        for (const fleet::FoundModule* m : it.value())
            serials << QString::number(moduleIdentity(m->record));
        warnings << Texts::tr("warning: %1 modules share the address %2 (serial numbers "
                              "%3); a write to it reaches all of them")
                        .arg(it.value().size())
                        .arg(it.key(), serials.join(QStringLiteral(", ")));
    }
    for (auto it = bySerial.cbegin(); it != bySerial.cend(); ++it) {
        if (it.value().size() < 2)
            continue;
        QStringList addresses;
        for (const fleet::FoundModule* m : it.value())
            addresses << m->record.ipAddressText();
        warnings << Texts::tr("warning: %1 modules share the serial number %2 (at %3); "
                              "a plan cannot tell them apart")
                        .arg(it.value().size())
                        .arg(it.key())
                        .arg(addresses.join(QStringLiteral(", ")));
    }
    for (const fleet::FoundModule& m : modules) {
        if (m.replies > 1)
            warnings << Texts::tr("warning: %1 identical replies to one request came from "
                                  "%2 (serial number %3): one module answering more than "
                                  "once, or several modules with one record")
                            .arg(m.replies)
                            .arg(m.from.toString())
                            .arg(moduleIdentity(m.record));
    }
    return warnings;
}

QString dropWarning(qint64 dropped, int receiveBuffer)
{
    const QString text =
        dropped == 1 ? Texts::tr("warning: %1 reply was dropped by this computer: its receive "
                                 "buffer (%2 KiB) was full. Search again, or let it take more "
                                 "(Linux: sysctl net.core.rmem_max=4194304, or run as root)")
                     : Texts::tr("warning: %1 replies were dropped by this computer: its "
                                 "receive buffer (%2 KiB) was full. Search again, or let it take "
                                 "more (Linux: sysctl net.core.rmem_max=4194304, or run as "
                                 "root)");
    return text.arg(dropped).arg(receiveBuffer / 1024);
}

QString expectedText(int answered, int expected)
{
    return Texts::tr("%1 of %2 expected modules answered").arg(answered).arg(expected);
}

QString nothingAnsweredText(const fleet::SearchTargets& targets,
                            const QList<NetworkInterface>& interfaces)
{
    QStringList networks;
    for (const NetworkInterface& i : interfaces) {
        if (searched(targets, i))
            networks << Texts::tr("%1 through %2, this computer being %3/%4")
                            .arg(i.broadcast.toString(), i.name, i.address.toString())
                            .arg(prefixLength(i));
    }
    const QString where = networks.isEmpty() ? targets.describe().join(QStringLiteral(", "))
                                             : networks.join(QStringLiteral("; "));
    return Texts::tr("no module answered (searched %1). Check that the modules are powered and "
                     "connected to this computer's own subnet (a module in another subnet answers "
                     "no broadcast; --network or --extended reach further), and that no firewall "
                     "blocks the modules' UDP replies to port 5001 or the search to their port %2")
        .arg(where)
        .arg(modulePort);
}

fleet::Search::Wanted everyModuleOf(const QList<fleet::PlanRow>& rows)
{
    return [rows](const QList<fleet::FoundModule>& found) {
        return std::all_of(rows.begin(), rows.end(), [&found](const fleet::PlanRow& row) {
            return std::any_of(found.begin(), found.end(),
                               [&row](const fleet::FoundModule& m) { return row.picks(m.record); });
        });
    };
}

} // namespace duva::cli
