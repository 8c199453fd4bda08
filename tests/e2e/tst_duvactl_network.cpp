// duvactl against simulated fleets in the test network: the three search formats, a set and
// a 20-module apply confirmed, and every refusal with its message and exit status, with
// nothing sent (the simulator's log shows what reached it).

#include "protocol/datagrams.h"
#include "simprocess.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using duva::test::SimProcess;

namespace
{

struct Result {
    int status = -1;
    QString out;
    QString err;
};

// Short waits keep the test quick; the defaults are the window's.
const QStringList quick{"--quiet-ms", "300", "--timeout-ms", "1500", "--settle-ms", "300"};

Result duvactl(QStringList arguments, const QStringList& prefix = {})
{
    QProcess p;
    const QString program = qEnvironmentVariable("DUVACTL");
    if (prefix.isEmpty()) {
        p.start(program, arguments);
    } else {
        arguments.prepend(program);
        p.start(prefix.first(), prefix.mid(1) + arguments);
    }
    if (!p.waitForFinished(60000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

#define EXPECT_STATUS(result, expected)                                                            \
    QVERIFY2((result).status == (expected),                                                        \
             qPrintable(                                                                           \
                 QString("status %1\n%2%3").arg((result).status).arg((result).out, (result).err)))

// A fleet with a distinct value in every field, so that a field shown from another's bytes
// shows (dhcp off, watchdog on, client mode, auto-disconnect on).
const QStringList distinct{"--gateway",
                           "10.77.0.1",
                           "--dns",
                           "10.77.0.2",
                           "--server-port",
                           "6003",
                           "--auto-disconnect",
                           "on",
                           "--auto-disconnect-time",
                           "17",
                           "--firmware-version",
                           "1.7",
                           "--server-host",
                           "central.duva"};

// Everything the simulator received: nothing at all when a command refused before sending.
QStringList received(SimProcess& sim)
{
    return sim.linesContaining(" recv from ");
}

} // namespace

class TestDuvactlNetwork : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        DUVA_REQUIRE_TEST_NETWORK();
        QVERIFY2(QFileInfo(qEnvironmentVariable("DUVACTL")).isExecutable(), "DUVACTL not set");
    }

    void searchInEveryFormat()
    {
        SimProcess sim(QStringList{"--count", "3", "--answer-twice"} + distinct);
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));

        const Result table = duvactl(QStringList{"search"} + quick.mid(0, 4));
        EXPECT_STATUS(table, 0);
        const QStringList lines = table.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith("ipAddress   subnetMask     gateway"));
        QVERIFY(lines[0].endsWith("from        replies"));
        QVERIFY2(lines[2].startsWith("10.77.0.11  255.255.255.0  10.77.0.1  10.77.0.2"),
                 qPrintable(lines[2]));
        // Answered twice, listed once.
        QVERIFY2(lines[2].endsWith("1032          central.duva  10.77.0.11  2"),
                 qPrintable(lines[2]));

        const Result json = duvactl(QStringList{"search", "--json"} + quick.mid(0, 4));
        EXPECT_STATUS(json, 0);
        const QJsonArray modules = QJsonDocument::fromJson(json.out.toUtf8()).array();
        QCOMPARE(modules.size(), 3);
        QCOMPARE(modules[0].toObject(), (QJsonObject{{"ipAddress", "10.77.0.10"},
                                                     {"subnetMask", "255.255.255.0"},
                                                     {"gateway", "10.77.0.1"},
                                                     {"dnsServer", "10.77.0.2"},
                                                     {"localPort", 5002},
                                                     {"serverPort", 6003},
                                                     {"dhcp", false},
                                                     {"watchdog", true},
                                                     {"clientMode", "client"},
                                                     {"autoDisconnect", true},
                                                     {"autoDisconnectTime", 17},
                                                     {"firmwareVersion", "1.7"},
                                                     {"serialNumber", 1031},
                                                     {"serverHost", "central.duva"},
                                                     {"from", "10.77.0.10"},
                                                     {"replies", 2}}));

        const Result csv = duvactl(QStringList{"search", "--csv", "--filter", "serialNumber=1033"} +
                                   quick.mid(0, 4));
        EXPECT_STATUS(csv, 0);
        QCOMPARE(csv.out, QString("ipAddress,subnetMask,gateway,dnsServer,localPort,serverPort,"
                                  "dhcp,watchdog,clientMode,autoDisconnect,autoDisconnectTime,"
                                  "firmwareVersion,serialNumber,serverHost,from,replies\n"
                                  "10.77.0.12,255.255.255.0,10.77.0.1,10.77.0.2,5002,6003,false,"
                                  "true,client,true,17,1.7,1033,central.duva,10.77.0.12,2\n"));
    }

    void setIsConfirmed()
    {
        SimProcess sim({"--count", "3"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const Result r = duvactl(QStringList{"set", "10.77.0.11", "ipAddress=10.77.0.60",
                                             "serverHost=central", "--json"} +
                                 quick);
        EXPECT_STATUS(r, 0);
        const QJsonObject result = QJsonDocument::fromJson(r.out.toUtf8()).array()[0].toObject();
        QCOMPARE(result["status"].toString(), QString("confirmed"));
        QCOMPARE(result["newAddress"].toString(), QString("10.77.0.60"));
        QCOMPARE(result["changes"].toArray().size(), 2);
        // One write, to the module's old address.
        QVERIFY(sim.waitForLines(QRegularExpression("note write: ")));
        QCOMPARE(sim.linesContaining("to 10.77.0.11:1461 len 65").size(), 1);
        QCOMPARE(sim.linesContaining("note write: ").size(), 1);
        const Result shown = duvactl(QStringList{"show", "--serial", "1032"} + quick.mid(0, 4));
        EXPECT_STATUS(shown, 0);
        QVERIFY(shown.out.contains("ipAddress:           10.77.0.60\n"));
        QVERIFY(shown.out.contains("serverHost:          central\n"));
    }

    void twentyModulesApplyTheirSearchAsAPlan()
    {
        SimProcess sim({"--count", "20"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const Result before = duvactl(QStringList{"search", "--csv"} + quick.mid(0, 4));
        EXPECT_STATUS(before, 0);
        // The spreadsheet edit: every module moves up by 100 in the last octet.
        QStringList rows = before.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 21);
        for (int i = 1; i < rows.size(); ++i)
            rows[i].replace(QRegularExpression("^10\\.77\\.0\\.(\\d+),"),
                            QString("10.77.0.%1,").arg(109 + i));
        QTemporaryDir dir;
        const QString plan = dir.filePath("fleet.csv");
        QVERIFY(duva::test::writeFile(plan, rows.join('\n').toUtf8() + '\n'));

        const Result r = duvactl(QStringList{"apply", plan} + quick);
        EXPECT_STATUS(r, 0);
        QCOMPARE(r.out.count(QRegularExpression(" confirmed\n")), 20);
        QVERIFY(sim.waitForLines(QRegularExpression("note write: "), 20));

        const Result after = duvactl(QStringList{"search", "--json"} + quick.mid(0, 4));
        const QJsonArray modules = QJsonDocument::fromJson(after.out.toUtf8()).array();
        QCOMPARE(modules.size(), 20);
        QCOMPARE(modules[0].toObject()["ipAddress"].toString(), QString("10.77.0.110"));
        QCOMPARE(modules[19].toObject()["ipAddress"].toString(), QString("10.77.0.129"));
    }

    void refusalsSendNothing_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QByteArray>("plan"); // written to plan.csv; empty: none
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("searched"); // whether the refusal needed a search first

        QTest::newRow("a plan with one bad row")
            << QStringList{"--count", "3"}
            << QByteArray("serialNumber,ipAddress,serverPort\n1031,10.77.0.40,\n"
                          "1032,10.77.0.41,70000\n1033,10.77.0.42,\n")
            << QStringList{"apply", "PLAN"} << 3
            << "duvactl: PLAN: row 3, column serverPort: '70000' is not a port: a whole number "
               "from 0 to 65535\n"
            << false;
        QTest::newRow("an unknown field")
            << QStringList{"--count", "1"} << QByteArray()
            << QStringList{"set", "10.77.0.10", "dchp=1"} << 3
            << "duvactl: argument dchp=1: unknown field 'dchp'" << false;
        QTest::newRow("two modules on one address")
            << QStringList{"--count", "2", "--same-ip"} << QByteArray()
            << QStringList{"set", "10.77.0.10", "dhcp=1"} << 5
            << "duvactl: 10.77.0.10: 2 modules answer with address 10.77.0.10 (serial numbers "
               "1031, 1032); a write to one of them would reach any\nnothing was written\n"
            << true;
        QTest::newRow("two modules on one address, picked by serial")
            << QStringList{"--count", "2", "--same-ip"} << QByteArray()
            << QStringList{"set", "--serial", "1032", "dhcp=1"} << 5
            << "duvactl: --serial 1032: 2 modules answer at 10.77.0.10 (serial numbers 1031, "
               "1032); a write to that address would reach either of them\nnothing was written\n"
            << true;
        QTest::newRow("an address another module has")
            << QStringList{"--count", "2"} << QByteArray()
            << QStringList{"set", "10.77.0.10", "ipAddress=10.77.0.11"} << 4
            << "duvactl: 10.77.0.10, field ipAddress: '10.77.0.11' is the address of another "
               "module that answered (serial number 1032)\nnothing was written\n"
            << true;
        QTest::newRow("a module that does not answer")
            << QStringList{"--count", "2"} << QByteArray("serialNumber,dhcp\n1031,1\n4242,1\n")
            << QStringList{"apply", "PLAN"} << 6
            << "duvactl: row 3: no module with serial number 4242 answered\nnothing was "
               "written\n"
            << true;
    }

    void refusalsSendNothing()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QByteArray, plan);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(bool, searched);
        SimProcess sim(simOptions);
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        const QString planPath = dir.filePath("plan.csv");
        if (!plan.isEmpty()) {
            QVERIFY(duva::test::writeFile(planPath, plan));
            arguments.replaceInStrings("PLAN", planPath);
            message.replace("PLAN", planPath);
        }
        const Result r = duvactl(arguments + quick);
        EXPECT_STATUS(r, status);
        QVERIFY2(r.err.startsWith(message), qPrintable(r.err));
        QTest::qWait(200); // anything sent would be logged by now
        QCOMPARE(sim.linesContaining("note write: ").size(), 0);
        if (searched) {
            QCOMPARE(received(sim).size(), received(sim).filter("to 10.77.0.255:1461").size());
        } else {
            QCOMPARE(received(sim), QStringList());
        }
    }

    // What reaches the modules, read on the simulator's side: a dry run sends its search and
    // nothing else; a plan whose first rows change nothing still writes its later rows, each to
    // its own module; a new serial number is confirmed by the module answering with it; `show`
    // of an address that several modules share shows each and ends with status 5.
    void whatReachesTheModules_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QByteArray>("plan"); // written to plan.csv; empty: none
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");      // a pattern the standard output matches
        QTest::addColumn<QStringList>("written"); // the addresses written to, once each

        QTest::newRow("a dry run")
            << QStringList{"--count", "2"} << QByteArray()
            << QStringList{"set", "10.77.0.11", "serverPort=6000", "--dry-run"} << 0
            << "10\\.77\\.0\\.11 +not sent \\(dry run\\)\n"
            << QStringList();
        QTest::newRow("a plan whose first rows change nothing")
            << QStringList{"--count", "3"}
            << QByteArray("serialNumber,serverPort,dhcp\n1031,6003,0\n1032,,\n1033,6000,1\n")
            << QStringList{"apply", "PLAN"} << 0 << "1033 +10\\.77\\.0\\.12 .* confirmed\n"
            << QStringList{"10.77.0.12"};
        QTest::newRow("a new serial number")
            << QStringList{"--count", "2"} << QByteArray()
            << QStringList{"set", "10.77.0.11", "serialNumber=2032"} << 0
            << "1032 +10\\.77\\.0\\.11 .* confirmed\n"
            << QStringList{"10.77.0.11"};
        QTest::newRow("show of a shared address")
            << QStringList{"--count", "2", "--same-ip"} << QByteArray()
            << QStringList{"show", "10.77.0.10"} << 5
            << "serialNumber: +1031\n(.|\n)*serialNumber: +1032\n"
            << QStringList();
    }

    void whatReachesTheModules()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QByteArray, plan);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QStringList, written);
        SimProcess sim(simOptions + distinct);
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        if (!plan.isEmpty()) {
            QVERIFY(duva::test::writeFile(dir.filePath("plan.csv"), plan));
            arguments.replaceInStrings("PLAN", dir.filePath("plan.csv"));
        }
        // show writes nothing, so it takes no settling time.
        const Result r = duvactl(arguments + (arguments[0] == "show" ? quick.mid(0, 4) : quick));
        EXPECT_STATUS(r, status);
        QVERIFY2(r.out.contains(QRegularExpression(output)), qPrintable(r.out));
        QTest::qWait(200); // anything sent would be logged by now
        // Besides the searches (to the broadcast address), the writes, one to each module named.
        QStringList writes = received(sim);
        writes.removeIf([](const QString& line) { return line.contains("to 10.77.0.255:1461"); });
        QCOMPARE(writes.size(), written.size());
        for (const QString& address : written)
            QCOMPARE(writes.filter(QString("to %1:1461 len 65: ").arg(address)).size(), 1);
    }

    void aModuleSilentAfterItsWriteIsNotConfirmed()
    {
        SimProcess sim({"--count", "2", "--mute-after-write"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const Result r = duvactl(QStringList{"set", "10.77.0.11", "watchdog=false"} + quick);
        EXPECT_STATUS(r, 1);
        QVERIFY2(r.out.contains(QRegularExpression(
                     "10\\.77\\.0\\.11  1032 +10\\.77\\.0\\.11  10\\.77\\.0\\.11  not confirmed: "
                     "it did not answer\n")),
                 qPrintable(r.out));
        QCOMPARE(r.err, QString("duvactl: not every write was confirmed: no reply carried "
                                "exactly the record written\n"));
        // Three searches asked for it after the write.
        QVERIFY(sim.waitForLines(QRegularExpression("silent since its write"), 3));
        QCOMPARE(sim.linesContaining("silent since its write").size(), 3);
    }

    void portHeldByAnotherProgram()
    {
        SimProcess sim({"--count", "1"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const duva::test::RawUdpSocket holder("0.0.0.0", 5001);
        QVERIFY(holder.isBound());
        const Result r = duvactl({"search"});
        EXPECT_STATUS(r, 7);
        QCOMPARE(r.err, QString("duvactl: UDP port 5001 is held by another program (is the "
                                "configurator window open?); replies could not reach duvactl, "
                                "so nothing was sent\n"));
        QTest::qWait(200);
        QCOMPARE(received(sim), QStringList());
    }

    void noIPv4Network()
    {
        // A namespace of its own with loopback alone.
        const Result r = duvactl({"search"}, {"unshare", "--net"});
        EXPECT_STATUS(r, 8);
        QCOMPARE(r.err, QString("duvactl: no IPv4 network: no interface but loopback is up and "
                                "running with an IPv4 address\n"));
    }

    void resetNeedsYesAndRestoresTheFleet()
    {
        SimProcess sim({"--count", "2"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const Result refused = duvactl({"reset"});
        EXPECT_STATUS(refused, 2);
        QVERIFY(refused.err.contains("UDP port 69 at 10.77.0.255 ... 10.77.255.255"));
        QVERIFY(refused.err.endsWith("Give --yes to send it.\n"));
        EXPECT_STATUS(duvactl(QStringList{"set", "10.77.0.10", "ipAddress=10.77.0.90"} + quick), 0);

        EXPECT_STATUS(duvactl({"reset", "--yes"}), 0);
        // 256 datagrams went out; the one to the modules' /24 reached them.
        QVERIFY(sim.waitForLines(QRegularExpression("note reset: 2 module")));
        const Result after = duvactl(QStringList{"search", "--csv"} + quick.mid(0, 4));
        QVERIFY(after.out.contains("\n10.77.0.10,"));
        QVERIFY(!after.out.contains("10.77.0.90"));
    }
};

QTEST_GUILESS_MAIN(TestDuvactlNetwork)
#include "tst_duvactl_network.moc"
