#include "frota/duplicates.h"

#include "protocol/confirmation.h"

#include <QCoreApplication>
#include <QHash>

namespace duva::frota
{

QStringList duplicateReasons(const QList<fleet::ModuleReply>& modules)
{
    QHash<QString, QList<int>> byAddress;
    QHash<int, QList<int>> bySerial;
    for (int i = 0; i < modules.size(); ++i) {
        byAddress[modules[i].record.ipAddressText()] << i;
        bySerial[moduleIdentity(modules[i].record)] << i;
    }
    QStringList reasons;
    for (int i = 0; i < modules.size(); ++i) {
        const fleet::ModuleReply& m = modules[i];
        QStringList lines;
        const QList<int>& sameAddress = byAddress.value(m.record.ipAddressText());
        if (sameAddress.size() > 1) {
            QStringList serials;
            for (const int j : sameAddress)
                if (j != i)
                    serials << QString::number(moduleIdentity(modules[j].record));
            lines << QCoreApplication::translate(
                         "Duplicates",
                         "The address %1 is also held by serial number %2: only one module "
                         "can be reached at an address.")
                         .arg(m.record.ipAddressText(), serials.join(QStringLiteral(", ")));
        }
        const QList<int>& sameSerial = bySerial.value(moduleIdentity(m.record));
        if (sameSerial.size() > 1) {
            QStringList addresses;
            for (const int j : sameSerial)
                if (j != i)
                    addresses << modules[j].record.ipAddressText();
            lines << QCoreApplication::translate(
                         "Duplicates",
                         "The serial number %1 is also held by the module at %2: a plan "
                         "cannot tell them apart.")
                         .arg(moduleIdentity(m.record))
                         .arg(addresses.join(QStringLiteral(", ")));
        }
        reasons << lines.join(QLatin1Char('\n'));
    }
    return reasons;
}

} // namespace duva::frota
