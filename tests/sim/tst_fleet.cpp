#include "protocol/datagrams.h"
#include "testsupport.h"
#include "tools/sim/fleet.h"
#include "tools/sim/options.h"

#include <QtTest>

using namespace duva;
using namespace duva::sim;
using duva::test::writeRequestTo;

namespace
{

constexpr quint32 first = 0x0A4D000A; // 10.77.0.10
constexpr quint32 broadcast = 0x0A4D00FF;

std::vector<QByteArray> records(int count)
{
    Config config;
    config.count = count;
    return initialRecords(config);
}

QList<int> answeringModules(const Outcome& outcome)
{
    QList<int> modules;
    for (const Answer& a : outcome.answers)
        modules << a.module;
    return modules;
}

} // namespace

class TestFleet : public QObject
{
    Q_OBJECT
private slots:
    void searchIsAnsweredByEveryModuleInOrder()
    {
        const auto start = records(3);
        Fleet fleet(start, Faults{});
        const Outcome outcome = fleet.handle(SearchRequest::build(), Channel::Search, broadcast);
        QCOMPARE(outcome.kind, Outcome::Kind::Search);
        QCOMPARE(answeringModules(outcome), (QList<int>{0, 1, 2}));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(outcome.answers[i].bytes, start[i]);
            QCOMPARE(outcome.answers[i].bytes.size(), recordSize);
            QCOMPARE(outcome.answers[i].source, first + quint32(i));
            QCOMPARE(outcome.answers[i].delayMs, 0);
        }
    }

    void searchToOneModulesAddressReachesOnlyIt()
    {
        Fleet fleet(records(3), Faults{});
        const Outcome outcome = fleet.handle(SearchRequest::build(), Channel::Search, first + 2);
        QCOMPARE(answeringModules(outcome), (QList<int>{2}));
    }

    void writeChangesTheAddressedModuleOnly()
    {
        const auto start = records(3);
        Fleet fleet(start, Faults{});
        const QByteArray request = writeRequestTo("10.77.0.200");

        const Outcome written = fleet.handle(request, Channel::Search, first + 1);
        QCOMPARE(written.kind, Outcome::Kind::Write);
        QVERIFY(written.answers.empty()); // a write is never acknowledged
        QCOMPARE(fleet.record(0), start[0]);
        QCOMPARE(fleet.record(2), start[2]);
        QByteArray expected = request.left(recordSize);
        expected[offset::opcode] =
            start[1].at(offset::opcode); // the module keeps its own opcode byte
        QCOMPARE(fleet.record(1), expected);

        const Outcome search = fleet.handle(SearchRequest::build(), Channel::Search, broadcast);
        QCOMPARE(search.answers.at(1).bytes, expected);
        QCOMPARE(search.answers.at(1).source, 0x0A4D00C8u);

        // It now goes by its new address only.
        QCOMPARE(fleet.handle(request, Channel::Search, first + 1).kind, Outcome::Kind::Ignored);
        const QByteArray again = writeRequestTo("10.77.0.11");
        QCOMPARE(fleet.handle(again, Channel::Search, 0x0A4D00C8).kind, Outcome::Kind::Write);
        QCOMPARE(Fleet::addressOf(fleet.record(1)), first + 1);
    }

    void writesReachEveryModuleAtTheAddress_data()
    {
        QTest::addColumn<bool>("sameIp");
        QTest::addColumn<bool>("ignoreFirstWrite");
        QTest::addColumn<QList<int>>("takenByFirst"); // modules that took the first write
        QTest::addColumn<QList<int>>("takenBySecond");

        QTest::newRow("two modules on one address both take it")
            << true << false << QList<int>{0, 1} << QList<int>{};
        QTest::newRow("a module that ignores its first write takes the second")
            << false << true << QList<int>{} << QList<int>{0};
        QTest::newRow("both ignore the first, both take the second")
            << true << true << QList<int>{} << QList<int>{0, 1};
    }

    void writesReachEveryModuleAtTheAddress()
    {
        QFETCH(bool, sameIp);
        QFETCH(bool, ignoreFirstWrite);
        QFETCH(QList<int>, takenByFirst);
        QFETCH(QList<int>, takenBySecond);
        Config config;
        config.count = 2;
        config.sameIp = sameIp;
        Faults faults;
        faults.ignoreFirstWrite = ignoreFirstWrite;
        Fleet fleet(initialRecords(config), faults);
        const auto taken = [&fleet](const char* address) {
            QList<int> modules;
            for (int i = 0; i < fleet.size(); ++i) {
                if (Fleet::addressOf(fleet.record(i)) == *parseAddress(address))
                    modules << i;
            }
            return modules;
        };
        const Outcome one = fleet.handle(writeRequestTo("10.77.0.60"), Channel::Search, first);
        QCOMPARE(taken("10.77.0.60"), takenByFirst);
        QCOMPARE(one.notes.filter("ignores its first write").size(),
                 ignoreFirstWrite ? (sameIp ? 2 : 1) : 0);
        // The second goes where the modules that ignored the first still are.
        fleet.handle(writeRequestTo("10.77.0.61"), Channel::Search, first);
        QCOMPARE(taken("10.77.0.61"), takenBySecond);
    }

    void writeToAnUnknownAddressIsIgnored()
    {
        const auto start = records(3);
        Fleet fleet(start, Faults{});
        for (quint32 destination : {broadcast, first + 3, 0x7F000001u}) {
            const Outcome outcome =
                fleet.handle(writeRequestTo("1.2.3.4"), Channel::Search, destination);
            QCOMPARE(outcome.kind, Outcome::Kind::Ignored);
            QVERIFY(outcome.notes.join(' ').contains(addressText(destination)));
        }
        for (int i = 0; i < 3; ++i)
            QCOMPARE(fleet.record(i), start[i]);
    }

    void resetRestoresTheFirstRecords()
    {
        const auto start = records(2);
        Fleet fleet(start, Faults{});
        fleet.handle(writeRequestTo("10.77.0.99"), Channel::Search, first);
        fleet.handle(writeRequestTo("10.77.0.98"), Channel::Search, first + 1);
        QVERIFY(fleet.record(0) != start[0]);

        const Outcome outcome = fleet.handle(ResetDatagram::build(), Channel::Reset, broadcast);
        QCOMPARE(outcome.kind, Outcome::Kind::Reset);
        QVERIFY(outcome.answers.empty());
        QCOMPARE(fleet.record(0), start[0]);
        QCOMPARE(fleet.record(1), start[1]);
    }

    void malformedDatagramsAreIgnored_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<bool>("onResetPort");
        const QByteArray search = SearchRequest::build();
        QByteArray badTrailer = search;
        badTrailer[offset::trailer] = 0x2B;
        QByteArray unknownOpcode = search;
        unknownOpcode[offset::opcode] = 0x06;
        QByteArray nonZeroReset = ResetDatagram::build();
        nonZeroReset[10] = 1;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("search without trailer (64 bytes)") << search.left(64) << false;
        QTest::newRow("search with an extra byte") << search + '\0' << false;
        QTest::newRow("bad trailer") << badTrailer << false;
        QTest::newRow("unknown opcode") << unknownOpcode << false;
        QTest::newRow("huge") << QByteArray(4000, '\x55') << false;
        QTest::newRow("reset bytes on the search port") << ResetDatagram::build() << false;
        QTest::newRow("search on the reset port") << search << true;
        QTest::newRow("write on the reset port") << writeRequestTo("10.77.0.10") << true;
        QTest::newRow("reset with a non-zero byte") << nonZeroReset << true;
        QTest::newRow("short reset") << QByteArray(64, '\0') << true;
    }

    void malformedDatagramsAreIgnored()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(bool, onResetPort);
        const auto start = records(2);
        Fleet fleet(start, Faults{});
        fleet.handle(writeRequestTo("10.77.0.50"), Channel::Search,
                     first); // so a reset would show
        const QByteArray written = fleet.record(0);

        const Outcome outcome =
            fleet.handle(datagram, onResetPort ? Channel::Reset : Channel::Search, first + 1);
        QCOMPARE(outcome.kind, Outcome::Kind::Ignored);
        QVERIFY(outcome.answers.empty());
        QVERIFY(outcome.notes.join(' ').startsWith("ignored"));
        QCOMPARE(fleet.record(0), written);
        QCOMPARE(fleet.record(1), start[1]);
    }

    void answerTwiceAndWrongLength_data()
    {
        QTest::addColumn<bool>("twice");
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("modules");
        QTest::newRow("twice") << true << -1 << QList<int>{0, 0, 1, 1};
        QTest::newRow("cut to 63") << false << 63 << QList<int>{0, 1};
        QTest::newRow("padded to 65") << false << 65 << QList<int>{0, 1};
        QTest::newRow("empty") << false << 0 << QList<int>{0, 1};
        QTest::newRow("twice and 100 bytes") << true << 100 << QList<int>{0, 0, 1, 1};
    }

    void answerTwiceAndWrongLength()
    {
        QFETCH(bool, twice);
        QFETCH(int, length);
        QFETCH(QList<int>, modules);
        const auto start = records(2);
        Faults faults;
        faults.answerTwice = twice;
        faults.wrongLength = length;
        Fleet fleet(start, faults);
        const Outcome outcome = fleet.handle(SearchRequest::build(), Channel::Search, broadcast);
        QCOMPARE(answeringModules(outcome), modules);
        for (const Answer& a : outcome.answers) {
            const QByteArray& record = start[a.module];
            if (length < 0) {
                QCOMPARE(a.bytes, record);
                continue;
            }
            QCOMPARE(a.bytes.size(), length);
            QCOMPARE(a.bytes.left(recordSize), record.left(length));
            QCOMPARE(a.bytes.mid(recordSize), QByteArray(std::max(0, length - recordSize), '\0'));
        }
    }

    void dropsAndDelaysRepeatWithTheSeed()
    {
        const auto start = records(100);
        Faults faults;
        faults.dropPercent = 30;
        faults.delayMs = 50;
        faults.jitterMs = 20;
        faults.seed = 1234;
        const auto run = [&](Faults f) {
            Fleet fleet(start, f);
            QList<QPair<int, int>> sent;
            for (int search = 0; search < 3; ++search) {
                for (const Answer& a :
                     fleet.handle(SearchRequest::build(), Channel::Search, broadcast).answers)
                    sent << qMakePair(a.module, a.delayMs);
            }
            return sent;
        };
        const auto once = run(faults);
        QCOMPARE(run(faults), once);
        QVERIFY2(once.size() > 150 && once.size() < 270, qPrintable(QString::number(once.size())));
        for (const auto& [module, delay] : once)
            QVERIFY(delay >= 50 && delay <= 70);

        faults.seed = 4321;
        QVERIFY(run(faults) != once);
        faults.dropPercent = 100;
        QVERIFY(run(faults).isEmpty());
        faults.dropPercent = 0;
        QCOMPARE(run(faults).size(), 300);
    }

    void initialRecordsFollowTheOptions()
    {
        const ParseResult parsed = parseArguments(
            QStringLiteral("--count 2 --first-ip 192.168.0.253 --serial=65535 --server "
                           "--server-host abc --firmware-version 7 --dhcp on --watchdog off "
                           "--local-port 80 --server-port 65535 --auto-disconnect on "
                           "--auto-disconnect-time 255 --mask 255.255.0.0")
                .split(' '));
        QVERIFY2(parsed.config, qPrintable(parsed.error));
        const auto made = initialRecords(*parsed.config);
        QCOMPARE(int(made.size()), 2);
        const auto second = ModuleRecord::fromBytes(made[1]);
        QVERIFY(second);
        QCOMPARE(second->ipAddressText(), QString("192.168.0.254"));
        QCOMPARE(second->subnetMask(1), QString("255"));
        QCOMPARE(second->subnetMask(2), QString("0"));
        QCOMPARE(second->gateway(3), QString("1")); // the gateway defaults to .1 of the /24
        QCOMPARE(second->dnsServer(2), QString("0"));
        QCOMPARE(second->serialNumber(), 65536);
        QCOMPARE(second->clientMode(), std::optional<bool>(false));
        QCOMPARE(second->serverHost(), QString("abc"));
        QCOMPARE(made[1].mid(offset::serverHost + 3), QByteArray(29, ' '));
        QCOMPARE(made[1].mid(offset::firmwareVersion, 3), QByteArray("7\0\0", 3));
        QVERIFY(second->dhcp());
        QVERIFY(!second->watchdog());
        QVERIFY(second->autoDisconnect());
        QCOMPARE(second->autoDisconnectTime(), 255);
        QCOMPARE(second->localPort(), 80);
        QCOMPARE(second->serverPort(), 65535);
        QCOMPARE(second->byte(offset::opcode), quint8(0));
    }

    void sameIpGivesEveryModuleTheFirstAddress()
    {
        // .254 with three modules: no address counts past it.
        const ParseResult parsed =
            parseArguments({"--count", "3", "--same-ip", "--first-ip", "10.77.0.254"});
        QVERIFY2(parsed.config, qPrintable(parsed.error));
        const auto made = initialRecords(*parsed.config);
        QCOMPARE(int(made.size()), 3);
        for (int i = 0; i < 3; ++i) {
            const auto record = ModuleRecord::fromBytes(made[i]).value();
            QCOMPARE(record.ipAddressText(), QString("10.77.0.254"));
            QCOMPARE(record.serialNumber(), 1031 + i);
        }
    }

    void muteAfterWriteSilencesOnlyTheWrittenModuleUntilAReset()
    {
        Faults faults;
        faults.muteAfterWrite = true;
        Fleet fleet(records(3), faults);
        const QByteArray search = SearchRequest::build();
        QCOMPARE(fleet.handle(writeRequestTo("10.77.0.60"), Channel::Search, first + 1).kind,
                 Outcome::Kind::Write);
        const Outcome after = fleet.handle(search, Channel::Search, broadcast);
        QCOMPARE(answeringModules(after), (QList<int>{0, 2}));
        QVERIFY(after.notes.filter("module 2 (10.77.0.60): silent since its write").size() == 1);
        fleet.handle(ResetDatagram::build(), Channel::Reset, broadcast);
        QCOMPARE(answeringModules(fleet.handle(search, Channel::Search, broadcast)),
                 (QList<int>{0, 1, 2}));
    }

    void someModulesIgnoreTheirFirstSearch_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QList<int>>("answering"); // the modules answering the first search
        QTest::newRow("none") << 0 << QList<int>{0, 1, 2, 3};
        QTest::newRow("half, every other one") << 50 << QList<int>{0, 2};
        QTest::newRow("a quarter") << 25 << QList<int>{0, 1, 2};
        QTest::newRow("all") << 100 << QList<int>{};
    }

    void someModulesIgnoreTheirFirstSearch()
    {
        QFETCH(int, percent);
        QFETCH(QList<int>, answering);
        const auto config =
            parseArguments({"--count", "4", "--ignore-first-search", QString::number(percent)})
                .config;
        QVERIFY(config);
        Fleet fleet(initialRecords(*config), config->faults);
        const QByteArray search = SearchRequest::build();
        const Outcome once = fleet.handle(search, Channel::Search, broadcast);
        QCOMPARE(answeringModules(once), answering);
        QCOMPARE(once.notes.filter(": ignores its first search").size(), 4 - answering.size());
        QCOMPARE(answeringModules(fleet.handle(search, Channel::Search, broadcast)),
                 (QList<int>{0, 1, 2, 3}));
        // A reset makes them new again.
        fleet.handle(ResetDatagram::build(), Channel::Reset, broadcast);
        QCOMPARE(answeringModules(fleet.handle(search, Channel::Search, broadcast)), answering);
    }

    void badOptionsAreRejected_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("no modules") << QStringList{"--count", "0"} << "--count";
        QTest::newRow("255 modules") << QStringList{"--count", "255"} << "--count";
        QTest::newRow("count not a number") << QStringList{"--count", "3x"} << "--count";
        QTest::newRow("addresses past .254")
            << QStringList{"--first-ip", "10.0.0.250", "--count", "6"} << ".255";
        QTest::newRow("network address") << QStringList{"--first-ip", "10.0.0.0"} << "--first-ip";
        QTest::newRow("octet above 255") << QStringList{"--gateway", "10.0.0.256"} << "--gateway";
        QTest::newRow("three octets") << QStringList{"--dns", "10.0.1"} << "--dns";
        QTest::newRow("serials past 24 bits")
            << QStringList{"--serial", "16777215", "--count", "2"} << "--serial";
        QTest::newRow("long version")
            << QStringList{"--firmware-version", "1.23"} << "--firmware-version";
        QTest::newRow("long server host")
            << QStringList{"--server-host", QString(33, 'h')} << "--server-host";
        QTest::newRow("server host outside cp1252")
            << QStringList{"--server-host", QString::fromUtf8("\xe6\x97\xa5")} << "record";
        QTest::newRow("not on or off") << QStringList{"--dhcp", "yes"} << "--dhcp";
        QTest::newRow("both modes") << QStringList{"--client", "--server"} << "--server";
        QTest::newRow("drop above 100") << QStringList{"--drop-percent", "101"} << "--drop-percent";
        QTest::newRow("ignore above 100")
            << QStringList{"--ignore-first-search", "101"} << "--ignore-first-search";
        QTest::newRow("missing value") << QStringList{"--count"} << "--count";
        QTest::newRow("value for a flag") << QStringList{"--answer-twice=yes"} << "--answer-twice";
        QTest::newRow("unknown option") << QStringList{"--colour"} << "--colour";
        QTest::newRow("stray argument") << QStringList{"--count", "2", "7"} << "'7'";
        QTest::newRow("firmware text after --version") << QStringList{"--version", "7"} << "'7'";
        QTest::newRow("one port for both")
            << QStringList{"--search-port", "7000", "--reset-port", "7000"} << "--reset-port";
    }

    void badOptionsAreRejected()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        const ParseResult parsed = parseArguments(arguments);
        QVERIFY(!parsed.config);
        QVERIFY2(parsed.error.contains(mentions), qPrintable(parsed.error));
    }
};

QTEST_GUILESS_MAIN(TestFleet)
#include "tst_fleet.moc"
