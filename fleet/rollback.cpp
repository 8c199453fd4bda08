#include "fleet/rollback.h"

#include <QCoreApplication>
#include <QMap>
#include <QStringList>
#include <algorithm>

namespace duva::fleet
{

namespace
{

// The texts a person reads, translated (translations/*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Rollback)
};

QString dotted(quint32 a)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(a >> 24)
        .arg((a >> 16) & 0xFF)
        .arg((a >> 8) & 0xFF)
        .arg(a & 0xFF);
}

quint32 addressOf(const ModuleRecord& r)
{
    quint32 a = 0;
    for (int i = 0; i < 4; ++i)
        a = a << 8 | r.byte(offset::ipAddress + i);
    return a;
}

// Whether two records hold the same configuration; the opcode byte is not part of it.
bool sameConfiguration(const ModuleRecord& a, const ModuleRecord& b)
{
    QByteArray x = a.bytes();
    QByteArray y = b.bytes();
    x[offset::opcode] = y[offset::opcode] = 0;
    return x == y;
}

// Modules (by index) that would end with one value of key, where one of them is written;
// each named by what tells them apart there (the serial number where they would share an
// address, the address where they would share a serial number).
template <typename Key>
QStringList clashes(const QList<ModuleRecord>& finals, const QList<bool>& written,
                    Key (*key)(const ModuleRecord&), const char* sentence, QString (*show)(Key),
                    QString (*name)(const ModuleRecord&))
{
    QMap<Key, QList<int>> holders;
    for (int i = 0; i < finals.size(); ++i)
        holders[key(finals.at(i))] << i;
    QStringList reasons;
    for (auto it = holders.cbegin(); it != holders.cend(); ++it) {
        const QList<int>& modules = it.value();
        const bool involved =
            std::any_of(modules.begin(), modules.end(), [&](int i) { return written.at(i); });
        if (modules.size() < 2 || !involved)
            continue;
        QStringList names;
        for (int i : modules)
            names << name(finals.at(i));
        names.sort();
        reasons << Texts::tr(sentence).arg(names.join(QStringLiteral(", ")), show(it.key()));
    }
    return reasons;
}

QString serialName(const ModuleRecord& r)
{
    return QString::number(r.serialNumber());
}

QString addressName(const ModuleRecord& r)
{
    return Texts::tr("at %1").arg(dotted(addressOf(r)));
}

int serialOf(const ModuleRecord& r)
{
    return r.serialNumber();
}

QString numberText(int n)
{
    return QString::number(n);
}

} // namespace

bool confirmedBy(const RecordEntry& e, const QList<ModuleRecord>& found)
{
    if (!e.before || !e.after)
        return false;
    if (e.status == EntryStatus::Confirmed)
        return true;
    // A write whose confirmation never came (the run was stopped, or ended by a crash while
    // the module settled): confirmed now where its module shows exactly what was written.
    return e.status == EntryStatus::NotConfirmed &&
           std::any_of(found.begin(), found.end(), [&e](const ModuleRecord& m) {
               return m.serialNumber() == e.after->serialNumber() && sameConfiguration(m, *e.after);
           });
}

RollbackPlan planRollback(const QList<RecordEntry>& entries, const QList<ModuleRecord>& found)
{
    // Follows each module through the record: the serial number it carries now, and the
    // entry that holds its record from before the first confirmed write.
    QMap<int, int> firstEntryBySerial;
    QList<int> order; // serial numbers now, in the order of their first entries
    for (int i = 0; i < entries.size(); ++i) {
        const RecordEntry& e = entries.at(i);
        if (!confirmedBy(e, found))
            continue;
        const int was = e.before->serialNumber();
        const int now = e.after->serialNumber();
        const int first = firstEntryBySerial.contains(was) ? firstEntryBySerial.take(was) : i;
        order.removeOne(was);
        order << now;
        firstEntryBySerial.insert(now, first);
    }
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return firstEntryBySerial.value(a) < firstEntryBySerial.value(b);
    });

    RollbackPlan plan;
    QStringList reasons;
    QList<ModuleRecord> finals = found;
    QList<bool> written(found.size(), false);
    for (int serial : order) {
        QList<int> holders;
        for (int i = 0; i < found.size(); ++i) {
            if (found.at(i).serialNumber() == serial)
                holders << i;
        }
        if (holders.isEmpty()) {
            plan.missing << serial;
            continue;
        }
        if (holders.size() > 1) {
            QStringList addresses;
            for (int i : holders)
                addresses << dotted(addressOf(found.at(i)));
            reasons << Texts::tr("%1 modules carry serial number %2 (at %3): which one "
                                 "to put back cannot be told")
                           .arg(holders.size())
                           .arg(serial)
                           .arg(addresses.join(QStringLiteral(", ")));
            continue;
        }
        const int entry = firstEntryBySerial.value(serial);
        const ModuleRecord& restored = *entries.at(entry).before;
        const ModuleRecord& current = found.at(holders.first());
        if (sameConfiguration(current, restored)) {
            plan.unchanged << serial;
            continue;
        }
        finals[holders.first()] = restored;
        written[holders.first()] = true;
        plan.writes << RollbackWrite{entry, current, restored, writeRequestHolding(restored)};
    }
    reasons << clashes<quint32>(
        finals, written, addressOf,
        QT_TRANSLATE_NOOP("Rollback", "the rollback would give modules %1 one address, %2"), dotted,
        serialName);
    reasons << clashes<int>(
        finals, written, serialOf,
        QT_TRANSLATE_NOOP("Rollback", "the rollback would give modules %1 one serial number, %2"),
        numberText, addressName);
    if (!reasons.isEmpty()) {
        plan.writes.clear();
        plan.refusal = reasons.join(QLatin1Char('\n'));
    }
    return plan;
}

} // namespace duva::fleet
