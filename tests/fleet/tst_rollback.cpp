#include "fleet/rollback.h"
#include "records.h"

#include <QtTest>

using namespace duva;
using namespace duva::fleet;
using namespace duva::test;

Q_DECLARE_METATYPE(QList<duva::fleet::RecordEntry>)
Q_DECLARE_METATYPE(QList<duva::ModuleRecord>)

namespace
{

RecordEntry entry(const ModuleRecord& before, const ModuleRecord& after,
                  EntryStatus status = EntryStatus::Confirmed)
{
    RecordEntry e;
    e.time = QDateTime::currentDateTime();
    e.serialNumber = before.serialNumber();
    e.before = before;
    e.after = after;
    e.status = status;
    e.writesSent = 1;
    return e;
}

// Fresh modules from one factory address (all alike but the serial number), and where a
// commissioning put them.
const quint32 factory = ip("192.168.0.100");
ModuleRecord fresh(int serial)
{
    return moduleRecord(factory, serial, 0);
}
ModuleRecord commissioned(int serial)
{
    return moduleRecord(ip("10.77.0.0") + quint32(serial % 100), serial, serial % 7 + 1);
}

} // namespace

class TestRollback : public QObject
{
    Q_OBJECT
private slots:
    void plan_data()
    {
        QTest::addColumn<QList<RecordEntry>>("entries");
        QTest::addColumn<QList<ModuleRecord>>("found");
        QTest::addColumn<QList<int>>("writes");  // serial numbers as found, in record order
        QTest::addColumn<QList<int>>("restore"); // the entry each write restores
        QTest::addColumn<QList<int>>("missing");
        QTest::addColumn<QList<int>>("unchanged");
        QTest::addColumn<QString>("refusal"); // a part of the reason; empty: not refused

        const ModuleRecord a0 = moduleRecord(ip("10.77.0.11"), 1031, 1);
        const ModuleRecord a1 = moduleRecord(ip("10.77.0.21"), 1031, 2);
        const ModuleRecord b0 = moduleRecord(ip("10.77.0.12"), 1032, 3);
        const ModuleRecord b1 = moduleRecord(ip("10.77.0.22"), 1032, 4);
        const ModuleRecord c0 = moduleRecord(ip("10.77.0.13"), 1033, 5);
        const ModuleRecord c1 = moduleRecord(ip("10.77.0.23"), 1033, 6);

        QTest::newRow("an apply of three modules")
            << QList{entry(a0, a1), entry(b0, b1), entry(c0, c1)} << QList{c1, a1, b1}
            << QList{1031, 1032, 1033} << QList{0, 1, 2} << QList<int>{} << QList<int>{}
            << QString();
        QTest::newRow("only confirmed entries are undone")
            << QList{entry(a0, a1, EntryStatus::NotConfirmed), entry(b0, b1),
                     entry(c0, c1, EntryStatus::Refused)}
            << QList{a0, b1, c0} << QList{1032} << QList{1} << QList<int>{} << QList<int>{}
            << QString();
        // A run ended before its confirmations came (a crash): the modules that show exactly
        // what was written are undone; one that shows something else is left alone.
        QTest::newRow("not confirmed, but the module shows the record written")
            << QList{entry(a0, a1, EntryStatus::NotConfirmed),
                     entry(b0, b1, EntryStatus::NotConfirmed),
                     entry(c0, c1, EntryStatus::NotConfirmed)}
            << QList{a1, b0, moduleRecord(ip("10.77.0.23"), 1033, 9)} << QList{1031} << QList{0}
            << QList<int>{} << QList<int>{} << QString();
        QTest::newRow("a module that is as before already, one missing")
            << QList{entry(a0, a1), entry(b0, b1), entry(c0, c1)} << QList{a0, c1} << QList{1033}
            << QList{2} << QList{1032} << QList{1031} << QString();

        // Written twice, its serial number changed by the second write: found by the new
        // one, given the record from before the first.
        const ModuleRecord a2 = moduleRecord(ip("10.77.0.31"), 5000, 8);
        QTest::newRow("written twice, serial number changed")
            << QList{entry(a0, a1), entry(b0, b1), entry(a1, a2)} << QList{b1, a2}
            << QList{5000, 1032} << QList{0, 1} << QList<int>{} << QList<int>{} << QString();

        // Two modules that swapped addresses go back without meeting.
        const ModuleRecord aAtB = moduleRecord(ip("10.77.0.12"), 1031, 1);
        const ModuleRecord bAtA = moduleRecord(ip("10.77.0.11"), 1032, 3);
        QTest::newRow("a swap") << QList{entry(a0, aAtB), entry(b0, bAtA)} << QList{aAtB, bAtA}
                                << QList{1031, 1032} << QList{0, 1} << QList<int>{} << QList<int>{}
                                << QString();

        QTest::newRow("a commissioning off one factory address")
            << QList{entry(fresh(7001), commissioned(7001)), entry(fresh(7002), commissioned(7002)),
                     entry(fresh(7003), commissioned(7003))}
            << QList{commissioned(7003), commissioned(7001), commissioned(7002)} << QList<int>{}
            << QList<int>{} << QList<int>{} << QList<int>{}
            << QStringLiteral("would give modules 7001, 7002, 7003 one address, 192.168.0.100");
        QTest::newRow("onto the address that another module holds now")
            << QList{entry(a0, a1)} << QList{a1, moduleRecord(ip("10.77.0.11"), 1099, 9)}
            << QList<int>{} << QList<int>{} << QList<int>{} << QList<int>{}
            << QStringLiteral("modules 1031, 1099 one address, 10.77.0.11");
        QTest::newRow("onto a serial number that another module carries now")
            << QList{entry(a1, a2)} << QList{a2, moduleRecord(ip("10.77.0.99"), 1031, 9)}
            << QList<int>{} << QList<int>{} << QList<int>{} << QList<int>{}
            << QStringLiteral("modules at 10.77.0.21, at 10.77.0.99 one serial number, 1031");
        QTest::newRow("two modules carry the serial number")
            << QList{entry(a0, a1)} << QList{a1, moduleRecord(ip("10.77.0.98"), 1031, 9)}
            << QList<int>{} << QList<int>{} << QList<int>{} << QList<int>{}
            << QStringLiteral("2 modules carry serial number 1031 (at 10.77.0.21, 10.77.0.98)");
        // Modules that the rollback leaves alone may share an address: not its business.
        QTest::newRow("others share an address")
            << QList{entry(a0, a1)} << QList{a1, fresh(7001), fresh(7002)} << QList{1031}
            << QList{0} << QList<int>{} << QList<int>{} << QString();
    }
    void plan()
    {
        QFETCH(QList<RecordEntry>, entries);
        QFETCH(QList<ModuleRecord>, found);
        QFETCH(QList<int>, writes);
        QFETCH(QList<int>, restore);
        QFETCH(QList<int>, missing);
        QFETCH(QList<int>, unchanged);
        QFETCH(QString, refusal);

        const RollbackPlan plan = planRollback(entries, found);
        if (refusal.isEmpty())
            QVERIFY2(plan.refusal.isEmpty(), qPrintable(plan.refusal));
        else
            QVERIFY2(plan.refusal.contains(refusal), qPrintable(plan.refusal));
        QList<int> serials;
        QList<int> restored;
        for (const RollbackWrite& w : plan.writes) {
            serials << w.current.serialNumber();
            restored << w.entry;
            const ModuleRecord& before = *entries.at(w.entry).before;
            QCOMPARE(w.restored.bytes(), before.bytes());
            // Byte for byte the earlier record, as a write.
            QCOMPARE(w.request.size(), requestSize);
            QCOMPARE(w.request.left(offset::opcode), before.bytes().left(offset::opcode));
            QCOMPARE(w.request.mid(offset::opcode + 1, recordSize - offset::opcode - 1),
                     before.bytes().mid(offset::opcode + 1));
            QCOMPARE(quint8(w.request.at(offset::opcode)), writeOpcode);
            QCOMPARE(quint8(w.request.at(offset::trailer)), requestTrailer);
        }
        QCOMPARE(serials, writes);
        QCOMPARE(restored, restore);
        QCOMPARE(plan.missing, missing);
        QCOMPARE(plan.unchanged, unchanged);
    }
};

QTEST_GUILESS_MAIN(TestRollback)
#include "tst_rollback.moc"
