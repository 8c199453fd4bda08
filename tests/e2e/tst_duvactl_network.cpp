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
#include <memory>

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

// duvactl in the locale given (LANG; the variables that would override it are cleared).
Result duvactl(QStringList arguments, const QStringList& prefix = {},
               const QString& locale = QStringLiteral("C"))
{
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        environment.remove(QString::fromLatin1(name));
    environment.insert("LANG", locale);
    p.setProcessEnvironment(environment);
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

    // A person reads the help, the refusals and the summary in the locale's language; a script
    // reads the same JSON in every language.
    void speaksTheLocaleLanguage_data()
    {
        QTest::addColumn<QStringList>("simOptions"); // empty: no simulator
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("english");    // in standard output and error, LANG=C
        QTest::addColumn<QStringList>("portuguese"); // the same, LANG=pt_BR.UTF-8
        QTest::addColumn<bool>("sameOutput");        // standard output byte for byte

        QTest::newRow("help") << QStringList{} << QStringList{"--help"} << 0
                              << QStringList{"Usage: duvactl [options] command [arguments...]\n",
                                             "\nOptions:\n", "\nExit status:\n",
                                             "\nArguments:\n  command  "}
                              << QStringList{"Uso: duvactl [opções] comando [argumentos...]\n",
                                             "\nOpções:\n", "\nCódigo de saída:\n",
                                             "\nArgumentos:\n  comando  "}
                              << false;
        QTest::newRow("an unknown option")
            << QStringList{} << QStringList{"search", "--colour"} << 2
            << QStringList{"duvactl: Unknown option 'colour'.\nTry 'duvactl --help'.\n"}
            << QStringList{"duvactl: Opção desconhecida 'colour'.\nExperimente 'duvactl --help'.\n"}
            << true;
        QTest::newRow("a value refused")
            << QStringList{"--count", "1"} << QStringList{"set", "10.77.0.10", "serverPort=70000"}
            << 3
            << QStringList{"duvactl: argument serverPort=70000, field serverPort: '70000' is not "
                           "a port: a whole number from 0 to 65535\n"}
            << QStringList{"duvactl: argumento serverPort=70000, campo serverPort: '70000' não "
                           "é uma porta: um número inteiro de 0 a 65535\n"}
            << true;
        QTest::newRow("a refusal after the search")
            << QStringList{"--count", "2"}
            << QStringList{"set", "10.77.0.10", "ipAddress=10.77.0.11"} << 4
            << QStringList{"duvactl: 10.77.0.10, field ipAddress: '10.77.0.11' is the address of "
                           "another module that answered (serial number 1032)\nnothing was "
                           "written\n"}
            << QStringList{"duvactl: 10.77.0.10, campo ipAddress: '10.77.0.11' é o endereço de "
                           "outro módulo que respondeu (número de série 1032)\nnada foi "
                           "gravado\n"}
            << true;
        QTest::newRow("a write not confirmed")
            << QStringList{"--count", "2", "--mute-after-write"}
            << QStringList{"set", "10.77.0.11", "watchdog=false"} << 1
            << QStringList{"Module 1032 at 10.77.0.11:\n  watchdog: true -> false\n",
                           "where       serialNumber  address     newAddress  status\n",
                           "  not confirmed: it did not answer\n",
                           "duvactl: not every write was confirmed: no reply carried exactly "
                           "the record written\n"}
            << QStringList{"Módulo 1032 em 10.77.0.11:\n  watchdog: true -> false\n",
                           "onde        nº de série  endereço    novo endereço  estado\n",
                           "  não confirmado: não respondeu\n",
                           "duvactl: nem toda gravação foi confirmada: nenhuma resposta trouxe "
                           "exatamente o registro gravado\n"}
            << false;
        QTest::newRow("a write not confirmed, as JSON")
            << QStringList{"--count", "2", "--mute-after-write"}
            << QStringList{"set", "10.77.0.11", "watchdog=false", "--json"} << 1
            << QStringList{"\"status\": \"not confirmed\"", "\"reason\": \"it did not answer\""}
            << QStringList{"\"status\": \"not confirmed\"", "\"reason\": \"it did not answer\"",
                           "duvactl: nem toda gravação foi confirmada"}
            << true;
        QTest::newRow("a search as JSON")
            << QStringList{"--count", "3"} << QStringList{"search", "--json"} << 0
            << QStringList{"\"serialNumber\": 1033"} << QStringList{"\"serialNumber\": 1033"}
            << true;
        QTest::newRow("an apply as JSON")
            << QStringList{"--count", "2"} << QStringList{"apply", "PLAN", "--json"} << 0
            << QStringList{"\"where\": \"row 2\"", "\"where\": \"row 3\""}
            << QStringList{"\"where\": \"row 2\"", "\"where\": \"row 3\""} << true;
    }

    void speaksTheLocaleLanguage()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QStringList, english);
        QFETCH(QStringList, portuguese);
        QFETCH(bool, sameOutput);
        QTemporaryDir dir;
        const QString plan = dir.filePath("plan.csv");
        QVERIFY(duva::test::writeFile(plan, "serialNumber,serverPort\n1031,5002\n1032,5009\n"));
        arguments.replaceInStrings("PLAN", plan);
        QList<Result> results;
        for (const QString& locale : QStringList{"C", "pt_BR.UTF-8"}) {
            // A fresh fleet for each, as a write changes it.
            std::unique_ptr<SimProcess> sim;
            if (!simOptions.isEmpty()) {
                sim = std::make_unique<SimProcess>(simOptions);
                QVERIFY2(sim->isReady(), qPrintable(sim->errorText()));
            }
            const QStringList timing =
                arguments.first() == QLatin1String("search") ? quick.mid(0, 4) : quick;
            results << duvactl(arguments + (simOptions.isEmpty() ? QStringList{} : timing), {},
                               locale);
            EXPECT_STATUS(results.last(), status);
        }
        for (int i = 0; i < 2; ++i) {
            const QString said = results[i].out + results[i].err;
            for (const QString& text : i == 0 ? english : portuguese)
                QVERIFY2(said.contains(text), qPrintable(text + "\nnot in:\n" + said));
        }
        if (sameOutput)
            QCOMPARE(results[1].out, results[0].out);
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
