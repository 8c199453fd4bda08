// duvactl's command line: what it refuses before anything is opened or sent, and what it
// reads from the rest.

#include "cli/options.h"

#include <QtTest>

using namespace duva::cli;

class TestOptions : public QObject
{
    Q_OBJECT
private slots:
    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList{} << "no command given";
        QTest::newRow("unknown command") << QStringList{"find"} << "unknown command 'find'";
        QTest::newRow("two formats")
            << QStringList{"search", "--json", "--csv"} << "--json and --csv exclude each other";
        QTest::newRow("CSV for scripts and for a spreadsheet")
            << QStringList{"search", "--csv", "--excel"} << "--csv and --excel exclude each other";
        QTest::newRow("unknown option")
            << QStringList{"search", "--colour"} << "Unknown option 'colour'.";
        QTest::newRow("a serial that is no number")
            << QStringList{"show", "--serial", "x1"}
            << "--serial: 'x1' is not a whole number from 0 to 16777215";
        QTest::newRow("a serial past 24 bits")
            << QStringList{"show", "--serial", "16777216"}
            << "--serial: '16777216' is not a whole number from 0 to 16777215";
        QTest::newRow("no quiet period") << QStringList{"search", "--quiet-ms", "0"}
                                         << "--quiet-ms: '0' is not a whole number from 1 to";
        QTest::newRow("a negative settle time") << QStringList{"apply", "p.csv", "--settle-ms=-1"}
                                                << "--settle-ms: '-1' is not a whole number";
        QTest::newRow("a filter for set") << QStringList{"set", "1.2.3.4", "--filter", "dhcp=1"}
                                          << "--filter does not apply to set";
        QTest::newRow("--yes for set")
            << QStringList{"set", "1.2.3.4", "dhcp=1", "--yes"} << "--yes does not apply to set";
        QTest::newRow("a dry run of a search")
            << QStringList{"search", "--dry-run"} << "--dry-run does not apply to search";
        QTest::newRow("--expect for apply")
            << QStringList{"apply", "p.csv", "--expect", "3"} << "--expect does not apply to apply";
        QTest::newRow("--expect none") << QStringList{"search", "--expect", "0"}
                                       << "--expect: '0' is not a whole number from 1 to";
        QTest::newRow("--force for a search")
            << QStringList{"search", "--force"} << "--force does not apply to search";
        QTest::newRow("CSV from apply")
            << QStringList{"apply", "p.csv", "--csv"} << "--csv does not apply to apply";
        QTest::newRow("a temporary address that is none")
            << QStringList{"apply", "p.csv", "--via", "10.77.0.256"}
            << "--via: '10.77.0.256' is not an IPv4 address";
        QTest::newRow("a temporary address for a search")
            << QStringList{"search", "--via", "10.77.0.200"} << "--via does not apply to search";
        QTest::newRow("--skip-missing for set")
            << QStringList{"set", "1.2.3.4", "dhcp=1", "--skip-missing"}
            << "--skip-missing does not apply to set";
        QTest::newRow("a record of a search")
            << QStringList{"search", "--record", "r.json"} << "--record does not apply to search";
        QTest::newRow("--force for a rollback")
            << QStringList{"rollback", "r.json", "--force"} << "--force does not apply to rollback";
    }

    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        Options o;
        bool help = false, version = false;
        const auto failure = readOptions(arguments, o, help, version);
        QVERIFY(failure);
        QCOMPARE(int(failure->status), int(ExitStatus::Usage));
        QVERIFY2(failure->message.startsWith(message), qPrintable(failure->message));
    }

    void taken()
    {
        Options o;
        bool help = false, version = false;
        QVERIFY(!readOptions({"set", "--serial=7", "dhcp=1", "--settle-ms", "250", "--quiet-ms",
                              "100", "--timeout-ms", "900", "--interface", "eth1", "--network",
                              "10.77.0", "--extended", "--dry-run", "--json", "--via",
                              "10.77.0.200", "--via=10.77.0.201"},
                             o, help, version));
        QCOMPARE(o.command, QString("set"));
        QCOMPARE(o.arguments, QStringList{"dhcp=1"});
        QCOMPARE(o.serial, std::optional<int>(7));
        QCOMPARE(o.settleMs, 250);
        QCOMPARE(o.timing.quietMs, 100);
        QCOMPARE(o.timing.totalMs, 900);
        QCOMPARE(o.timing.attempts, 3);
        QCOMPARE(o.where.interfaceName, QString("eth1"));
        QCOMPARE(o.where.network, QString("10.77.0"));
        QVERIFY(o.where.extended && o.dryRun && o.format == Format::Json);
        QCOMPARE(o.via, (QList<duva::Ipv4Address>{duva::Ipv4Address(0x0A4D00C8),
                                                  duva::Ipv4Address(0x0A4D00C9)}));
        // The window's own waits by default.
        Options defaults;
        QVERIFY(!readOptions({"search"}, defaults, help, version));
        QCOMPARE(defaults.settleMs, 6000);
        QCOMPARE(defaults.timing.totalMs, 3000);
        QCOMPARE(defaults.timing.quietMs, 500);
        QCOMPARE(defaults.expect, 0);
        QVERIFY(!readOptions({"search", "--expect", "1000"}, o, help, version));
        QCOMPARE(o.expect, 1000);
        QVERIFY(!readOptions({"rollback", "r.json", "--record", "undo.csv", "--operator", "Ana",
                              "--skip-missing", "--via", "10.77.0.200", "--dry-run"},
                             o, help, version));
        QCOMPARE(o.command, QString("rollback"));
        QCOMPARE(o.recordPath, QString("undo.csv"));
        QCOMPARE(o.operatorName, QString("Ana"));
        QVERIFY(o.skipMissing && o.dryRun);
    }
};

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
