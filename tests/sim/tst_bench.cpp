#include "protocol/datagrams.h"
#include "testsupport.h"
#include "tools/sim/bench.h"
#include "tools/sim/options.h"

#include <QtTest>

using namespace duva;
using namespace duva::sim;
using duva::test::writeRequestTo;

namespace
{

constexpr quint32 shared = 0x0A4D000A; // 10.77.0.10
constexpr quint32 broadcast = 0x0A4D00FF;

Config benchConfig(const QStringList& arguments)
{
    const ParseResult parsed = parseArguments(arguments);
    if (!parsed.config)
        qFatal("%s", qPrintable(parsed.error));
    return *parsed.config;
}

// The modules (from 0) that answer a broadcast search.
QList<int> answering(Bench& bench, qint64 nowMs)
{
    QList<int> modules;
    const Outcome o = bench.handle(SearchRequest::build(), Channel::Search, broadcast, nowMs);
    for (const Answer& a : o.answers)
        modules << a.module;
    return modules;
}

// Writes the module at the shared address away to 10.77.0.<last>, keeping its serial number.
Outcome moveAway(Bench& bench, Fleet& fleet, int module, int last, qint64 nowMs)
{
    QByteArray request = writeRequestTo(QStringLiteral("10.77.0.%1").arg(last));
    request.replace(offset::serialBytes, 3, fleet.record(module).mid(offset::serialBytes, 3));
    return bench.handle(request, Channel::Search, shared, nowMs);
}

} // namespace

class TestBench : public QObject
{
    Q_OBJECT
private slots:
    // One module at a time; the next comes the set time after the one before moved away,
    // and the one that moved still answers at its new address.
    void modulesComeOneAtATime()
    {
        const Config config = benchConfig({"--bench", "--count", "3", "--bench-gap-ms", "700"});
        QVERIFY(config.sameIp);
        Fleet fleet(initialRecords(config), config.faults);
        Bench bench(fleet, config.bench);
        QCOMPARE(bench.start(0).size(), 1);
        QCOMPARE(answering(bench, 10), QList<int>{0});

        // A write that leaves the module at the address plugs in nobody.
        QByteArray same = fleet.record(0) + char(requestTrailer);
        same[offset::opcode] = char(writeOpcode);
        same[offset::serverPort] = 0x33;
        bench.handle(same, Channel::Search, shared, 50);
        QVERIFY(!bench.nextChangeMs());

        const Outcome moved = moveAway(bench, fleet, 0, 61, 100);
        QVERIFY(moved.notes.join('\n').contains("moved to 10.77.0.61"));
        QCOMPARE(bench.nextChangeMs(), 800);
        QVERIFY(bench.advance(799).isEmpty());
        QCOMPARE(answering(bench, 799), QList<int>{0});
        QCOMPARE(bench.advance(800).size(), 1);
        QCOMPARE(answering(bench, 810), (QList<int>{0, 1}));
        QCOMPARE(fleet.record(1).left(4), fleet.record(2).left(4)); // the factory address

        moveAway(bench, fleet, 1, 62, 1000);
        moveAway(bench, fleet, 0, 63, 1100); // at its new address: changes nothing here
        QCOMPARE(answering(bench, 1699), (QList<int>{0, 1}));
        QCOMPARE(answering(bench, 1700), (QList<int>{0, 1, 2}));
        moveAway(bench, fleet, 2, 64, 1800);
        QVERIFY(!bench.nextChangeMs()); // nobody left to plug in
    }

    // Two plugged in together once; the second leaves, and comes back after the first moved.
    void aPairOnceAndOneLeaves()
    {
        const Config config =
            benchConfig({"--bench", "--count", "4", "--bench-pair", "2", "--bench-gap-ms", "1000",
                         "--bench-pair-leave-ms", "3000"});
        Fleet fleet(initialRecords(config), config.faults);
        Bench bench(fleet, config.bench);
        bench.start(0);
        moveAway(bench, fleet, 0, 61, 500);
        QCOMPARE(answering(bench, 1500), (QList<int>{0, 1, 2}));
        // A write to the shared address now reaches both, as it would on a real bench.
        QCOMPARE(bench.nextChangeMs(), 4500);
        QCOMPARE(bench.advance(4500).size(), 1);
        QCOMPARE(answering(bench, 4600), (QList<int>{0, 1}));
        moveAway(bench, fleet, 1, 62, 5000);
        QCOMPARE(answering(bench, 6000), (QList<int>{0, 1, 2})); // the one that left
        moveAway(bench, fleet, 2, 63, 6500);
        QCOMPARE(answering(bench, 7500), (QList<int>{0, 1, 2, 3}));
    }

    // A reset gives every module its first record and starts the bench again.
    void resetStartsAgain()
    {
        const Config config = benchConfig({"--bench", "--count", "2"});
        Fleet fleet(initialRecords(config), config.faults);
        Bench bench(fleet, config.bench);
        bench.start(0);
        moveAway(bench, fleet, 0, 61, 100);
        QCOMPARE(answering(bench, 1100), (QList<int>{0, 1}));
        bench.handle(ResetDatagram::build(), Channel::Reset, shared, 1200);
        QCOMPARE(answering(bench, 1300), QList<int>{0});
        QCOMPARE(fleet.record(0), initialRecords(config).front());
    }

    void badBenchOptionsAreRejected_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("gap without bench") << QStringList{"--bench-gap-ms", "10"} << "--bench";
        QTest::newRow("pair past the last module")
            << QStringList{"--bench", "--count", "3", "--bench-pair", "3"} << "--bench-pair 3";
        QTest::newRow("negative gap")
            << QStringList{"--bench", "--bench-gap-ms", "-1"} << "--bench-gap-ms";
    }
    void badBenchOptionsAreRejected()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const ParseResult parsed = parseArguments(arguments);
        QVERIFY(!parsed.config);
        QVERIFY2(parsed.error.contains(error), qPrintable(parsed.error));
    }
};

QTEST_GUILESS_MAIN(TestBench)
#include "tst_bench.moc"
