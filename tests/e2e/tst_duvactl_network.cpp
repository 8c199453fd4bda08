// duvactl against simulated fleets in the test network: the three search formats, a set and
// a 20-module apply confirmed, and every refusal with its message and exit status, with
// nothing sent (the simulator's log shows what reached it); shifts and swaps written in a safe
// order, lost writes sent again, absent modules skipped, and Ctrl+C.

#include "protocol/datagrams.h"
#include "simprocess.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

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

// Everything the simulator received: nothing at all when a command refused before sending.
QStringList received(SimProcess& sim)
{
    return sim.linesContaining(" recv from ");
}

// The writes the simulator received, in order, as "10.77.0.15>10.77.0.100 1036": where each
// went, and the address and serial number its 65 bytes carried.
QStringList writesReceived(SimProcess& sim)
{
    static const QRegularExpression line(" to (\\S+):1461 len 65: (.*)$");
    QStringList writes;
    for (const QString& l : received(sim)) {
        const QRegularExpressionMatch m = line.match(l);
        const QByteArray bytes = QByteArray::fromHex(m.captured(2).toLatin1());
        if (!m.hasMatch() || quint8(bytes.at(duva::offset::opcode)) != duva::writeOpcode)
            continue;
        const auto record = duva::ModuleRecord::fromBytes(bytes.left(duva::recordSize));
        writes << QString("%1>%2 %3")
                      .arg(m.captured(1), record->ipAddressText())
                      .arg(record->serialNumber());
    }
    return writes;
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
        SimProcess sim({"--count", "3", "--answer-twice"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));

        const Result table = duvactl(QStringList{"search"} + quick.mid(0, 4));
        EXPECT_STATUS(table, 0);
        const QStringList lines = table.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith("ipAddress   subnetMask     gateway"));
        QVERIFY(lines[0].endsWith("from        replies"));
        QVERIFY(lines[2].startsWith("10.77.0.11  255.255.255.0  10.77.0.1"));
        // Answered twice, listed once.
        QVERIFY2(lines[2].endsWith("1032          10.77.0.1   10.77.0.11  2"),
                 qPrintable(lines[2]));

        const Result json = duvactl(QStringList{"search", "--json"} + quick.mid(0, 4));
        EXPECT_STATUS(json, 0);
        const QJsonArray modules = QJsonDocument::fromJson(json.out.toUtf8()).array();
        QCOMPARE(modules.size(), 3);
        const QJsonObject first = modules[0].toObject();
        QCOMPARE(first.keys().size(), 16);
        QCOMPARE(first["ipAddress"].toString(), QString("10.77.0.10"));
        QCOMPARE(first["localPort"].toInt(), 5002);
        QCOMPARE(first["watchdog"].toBool(), true);
        QCOMPARE(first["clientMode"].toString(), QString("client"));
        QCOMPARE(first["serialNumber"].toInt(), 1031);
        QCOMPARE(first["from"].toString(), QString("10.77.0.10"));
        QCOMPARE(first["replies"].toInt(), 2);

        const Result csv = duvactl(QStringList{"search", "--csv", "--filter", "serialNumber=1033"} +
                                   quick.mid(0, 4));
        EXPECT_STATUS(csv, 0);
        QCOMPARE(csv.out, QString("ipAddress,subnetMask,gateway,dnsServer,localPort,serverPort,"
                                  "dhcp,watchdog,clientMode,autoDisconnect,autoDisconnectTime,"
                                  "firmwareVersion,serialNumber,serverHost,from,replies\n"
                                  "10.77.0.12,255.255.255.0,10.77.0.1,10.77.0.1,5002,5002,false,"
                                  "true,client,false,10,000,1033,10.77.0.1,10.77.0.12,2\n"));
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

    void fleetWritesGoInASafeOrder_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QByteArray>("plan"); // serialNumber,ipAddress,serverPort
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");    // the start of standard error
        QTest::addColumn<QStringList>("writes"); // as writesReceived() shows them
        QTest::addColumn<QStringList>("after");  // every serial number and its address

        // Every field of the fleet differs from every other, so that bytes in the wrong
        // place show.
        const QStringList fleet{
            "--gateway", "10.77.0.3",          "--dns", "10.77.0.4",     "--local-port",
            "5003",      "--server-port",      "6004",  "--server",      "--auto-disconnect-time",
            "17",        "--firmware-version", "1A2",   "--server-host", "h.duva"};
        QTest::newRow("a shift of 6, each onto the next one's address")
            << fleet + QStringList{"--count", "6"}
            << QByteArray("serialNumber,ipAddress,serverPort\n1031,10.77.0.11,7001\n"
                          "1032,10.77.0.12,7002\n1033,10.77.0.13,7003\n1034,10.77.0.14,7004\n"
                          "1035,10.77.0.15,7005\n1036,10.77.0.100,7006\n")
            << QStringList{} << 0 << ""
            << QStringList{"10.77.0.15>10.77.0.100 1036", "10.77.0.14>10.77.0.15 1035",
                           "10.77.0.13>10.77.0.14 1034",  "10.77.0.12>10.77.0.13 1033",
                           "10.77.0.11>10.77.0.12 1032",  "10.77.0.10>10.77.0.11 1031"}
            << QStringList{"1031 10.77.0.11", "1032 10.77.0.12", "1033 10.77.0.13",
                           "1034 10.77.0.14", "1035 10.77.0.15", "1036 10.77.0.100"};
        const QByteArray swap("serialNumber,ipAddress,serverPort\n1031,10.77.0.11,7001\n"
                              "1032,10.77.0.10,7002\n");
        QTest::newRow("a swap of 2 is refused without a temporary address")
            << fleet + QStringList{"--count", "2"} << swap << QStringList{} << 4
            << "duvactl: the modules with serial numbers 1031, 1032 (row 2, row 3) move onto "
               "one another's addresses in a cycle (1031 10.77.0.10 -> 10.77.0.11, 1032 "
               "10.77.0.11 -> 10.77.0.10)"
            << QStringList{} << QStringList{"1031 10.77.0.10", "1032 10.77.0.11"};
        QTest::newRow("a swap of 2 through a temporary address")
            << fleet + QStringList{"--count", "2"} << swap << QStringList{"--via", "10.77.0.200"}
            << 0 << ""
            << QStringList{"10.77.0.10>10.77.0.200 1031", "10.77.0.11>10.77.0.10 1032",
                           "10.77.0.200>10.77.0.11 1031"}
            << QStringList{"1031 10.77.0.11", "1032 10.77.0.10"};
        QTest::newRow("a temporary address where a module answers")
            << fleet + QStringList{"--count", "3"} << swap << QStringList{"--via", "10.77.0.12"}
            << 4 << "duvactl: --via 10.77.0.12: the module with serial number 1033 answers there"
            << QStringList{}
            << QStringList{"1031 10.77.0.10", "1032 10.77.0.11", "1033 10.77.0.12"};
        QTest::newRow("modules that ignore their first write take it again")
            << fleet + QStringList{"--count", "2", "--ignore-first-write"}
            << QByteArray("serialNumber,ipAddress,serverPort\n1031,,7001\n1032,10.77.0.60,"
                          "7002\n")
            << QStringList{} << 0 << ""
            << QStringList{"10.77.0.10>10.77.0.10 1031", "10.77.0.11>10.77.0.60 1032",
                           "10.77.0.10>10.77.0.10 1031", "10.77.0.11>10.77.0.60 1032"}
            << QStringList{"1031 10.77.0.10", "1032 10.77.0.60"};
        QTest::newRow("a lost write in a chain is not sent after another module")
            << fleet + QStringList{"--count", "2", "--ignore-first-write"}
            << QByteArray("serialNumber,ipAddress,serverPort\n1031,10.77.0.11,7001\n"
                          "1032,10.77.0.12,7002\n")
            << QStringList{} << 1 << "duvactl: not every write was confirmed"
            << QStringList{"10.77.0.11>10.77.0.12 1032", "10.77.0.10>10.77.0.11 1031"}
            << QStringList{"1031 10.77.0.10", "1032 10.77.0.11"};
        QTest::newRow("--skip-missing writes the modules that answered")
            << fleet + QStringList{"--count", "2"}
            << QByteArray("serialNumber,ipAddress,serverPort\n1031,,7001\n4242,,7003\n"
                          "1032,,7002\n")
            << QStringList{"--skip-missing"} << 6
            << "duvactl: row 3: no module with serial number 4242 answered\nthese rows were "
               "not written; the others were\n"
            << QStringList{"10.77.0.10>10.77.0.10 1031", "10.77.0.11>10.77.0.11 1032"}
            << QStringList{"1031 10.77.0.10", "1032 10.77.0.11"};
    }

    // Each write reaches the one module it was meant for, and every serial number survives.
    void fleetWritesGoInASafeOrder()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QByteArray, plan);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QStringList, writes);
        QFETCH(QStringList, after);
        SimProcess sim(simOptions);
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        const QString path = dir.filePath("plan.csv");
        QVERIFY(duva::test::writeFile(path, plan));
        const Result r = duvactl(QStringList{"apply", path} + arguments + quick);
        EXPECT_STATUS(r, status);
        QVERIFY2(message.isEmpty() ? r.err.isEmpty() : r.err.startsWith(message),
                 qPrintable(r.err));
        QTest::qWait(200);
        QCOMPARE(writesReceived(sim), writes);
        // No write reached two modules.
        QCOMPARE(sim.linesContaining("note write: ").size() +
                     sim.linesContaining("ignores its first write").size(),
                 writes.size());

        const Result search = duvactl(QStringList{"search", "--json"} + quick.mid(0, 4));
        QStringList found;
        for (const QJsonValue& m : QJsonDocument::fromJson(search.out.toUtf8()).array()) {
            const QJsonObject o = m.toObject();
            found << QString("%1 %2").arg(o["serialNumber"].toInt()).arg(o["ipAddress"].toString());
            QCOMPARE(o["localPort"].toInt(), 5003);
            QCOMPARE(o["serverHost"].toString(), QString("h.duva"));
        }
        found.sort();
        QCOMPARE(found, after);
    }

    void countdownOnATerminalOnly_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("countdown");
        QTest::newRow("a terminal") << QStringList{} << true;
        QTest::newRow("a terminal, but JSON") << QStringList{"--json"} << false;
    }

    void countdownOnATerminalOnly()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, countdown);
        if (QStandardPaths::findExecutable("script").isEmpty())
            QSKIP("script (util-linux) is missing: no terminal to run duvactl in");
        SimProcess sim({"--count", "1"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        // script gives duvactl a terminal and copies what it shows, both streams in one.
        const QStringList command = QStringList{qEnvironmentVariable("DUVACTL"), "set",
                                                "10.77.0.10", "serverPort=7002"} +
                                    quick + options;
        QProcess p;
        p.start("script", {"-qec", command.join(' '), "/dev/null"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QString shown = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(shown.contains("confirmed"), qPrintable(shown));
        QCOMPARE(shown.contains("\rsearching: "), countdown);
        QCOMPARE(shown.contains("\rsettling: 1 s"), countdown);
        QCOMPARE(shown.contains("\rconfirming: "), countdown);
    }

    void ctrlCSaysWhatWentOut()
    {
        SimProcess sim({"--count", "2"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QProcess p;
        p.start(qEnvironmentVariable("DUVACTL"),
                QStringList{"set", "10.77.0.11", "serverPort=7002"} + quick.mid(0, 4) +
                    QStringList{"--settle-ms", "30000"});
        QDeadlineTimer deadline(10000);
        QByteArray out;
        while (!out.contains("Sent 1 write") && !deadline.hasExpired()) {
            p.waitForReadyRead(200);
            out += p.readAllStandardOutput();
        }
        QVERIFY2(out.contains("Sent 1 write"), out.constData());
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 130);
        out += p.readAllStandardOutput();
        QVERIFY2(out.contains("not confirmed: interrupted\n"), out.constData());
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
                 QString("duvactl: interrupted: 1 of 1 writes went out (serial numbers 1032); "
                         "not confirmed: 1032\n"));
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
        // The write went three times, and three searches asked for it after each.
        QVERIFY(sim.waitForLines(QRegularExpression("silent since its write"), 9));
        QCOMPARE(sim.linesContaining("silent since its write").size(), 9);
        QCOMPARE(writesReceived(sim).size(), 3);
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
