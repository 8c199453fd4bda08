#include "frota/duplicates.h"

#include "protocol/confirmation.h"

#include <QCoreApplication>

namespace duva::frota
{

namespace
{
// A tooltip names this many others at most, so that a box of fresh modules all at one
// factory address stays quick to mark and readable.
constexpr int namedAtMost = 10;

QString others(const QStringList& names)
{
    return names.size() <= namedAtMost
               ? names.join(QStringLiteral(", "))
               : names.mid(0, namedAtMost).join(QStringLiteral(", ")) + QStringLiteral(", …");
}
} // namespace

QList<int> DuplicateIndex::add(const QList<fleet::ModuleReply>& modules, int row)
{
    const ModuleRecord& record = modules[row].record;
    QList<int>& sameAddress = m_byAddress[record.ipAddressText()];
    QList<int>& sameSerial = m_bySerial[moduleIdentity(record)];
    sameAddress << row;
    sameSerial << row;
    QList<int> touched = sameAddress;
    for (const int r : sameSerial)
        if (!touched.contains(r))
            touched << r;
    return touched;
}

QList<int> DuplicateIndex::remove(const QList<fleet::ModuleReply>& modules, int row)
{
    const ModuleRecord& record = modules[row].record;
    QList<int>& sameAddress = m_byAddress[record.ipAddressText()];
    QList<int>& sameSerial = m_bySerial[moduleIdentity(record)];
    QList<int> touched = sameAddress;
    for (const int r : sameSerial)
        if (!touched.contains(r))
            touched << r;
    sameAddress.removeAll(row);
    sameSerial.removeAll(row);
    return touched;
}

void DuplicateIndex::clear()
{
    m_byAddress.clear();
    m_bySerial.clear();
}

QString DuplicateIndex::reason(const QList<fleet::ModuleReply>& modules, int row) const
{
    const ModuleRecord& record = modules[row].record;
    QStringList lines;
    const QList<int> sameAddress = m_byAddress.value(record.ipAddressText());
    if (sameAddress.size() > 1) {
        QStringList serials;
        for (const int j : sameAddress) {
            if (j != row)
                serials << QString::number(moduleIdentity(modules[j].record));
            if (serials.size() > namedAtMost)
                break;
        }
        lines << QCoreApplication::translate(
                     "Duplicates",
                     "The address %1 is also held by serial number %2: only one module "
                     "can be reached at an address.")
                     .arg(record.ipAddressText(), others(serials));
    }
    const QList<int> sameSerial = m_bySerial.value(moduleIdentity(record));
    if (sameSerial.size() > 1) {
        QStringList addresses;
        for (const int j : sameSerial) {
            if (j != row)
                addresses << modules[j].record.ipAddressText();
            if (addresses.size() > namedAtMost)
                break;
        }
        lines << QCoreApplication::translate("Duplicates",
                                             "The serial number %1 is also held by the module "
                                             "at %2: a plan cannot tell them apart.")
                     .arg(moduleIdentity(record))
                     .arg(others(addresses));
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList duplicateReasons(const QList<fleet::ModuleReply>& modules)
{
    DuplicateIndex index;
    for (int row = 0; row < modules.size(); ++row)
        index.add(modules, row);
    QStringList reasons;
    for (int row = 0; row < modules.size(); ++row)
        reasons << index.reason(modules, row);
    return reasons;
}

} // namespace duva::frota
