// duvactl against simulated fleets in the test network: the three search formats, a set and
// a 20-module apply confirmed, and every refusal with its message and exit status, with
// nothing sent (the simulator's log shows what reached it); shifts and swaps written in a safe
// order, lost writes sent again, absent modules skipped, and Ctrl+C; fresh modules
// commissioned one at a time, with a record that an interrupted run resumes from.

#include "protocol/datagrams.h"
#include "protocol/recordvalues.h"
#include "simprocess.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include <csignal>

using duva::test::SimProcess;

namespace
{

struct Result {
    int status = -1;
    QString out;
    QString err;
    QByteArray outBytes; // as written: QString::fromUtf8 drops a byte-order mark
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
    const QByteArray out = p.readAllStandardOutput();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(out),
            QString::fromUtf8(p.readAllStandardError()), out};
}

#define EXPECT_STATUS(result, expected)                                                            \
    QVERIFY2((result).status == (expected),                                                        \
             qPrintable(                                                                           \
                 QString("status %1\n%2%3").arg((result).status).arg((result).out, (result).err)))

// Runs `ip` commands in the test network; false when one fails.
bool ip(const QList<QStringList>& commands)
{
    for (const QStringList& arguments : commands) {
        QProcess p;
        p.start(QStringLiteral("ip"), arguments);
        if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode()) {
            qWarning("ip %s: %s", qPrintable(arguments.join(' ')),
                     p.readAllStandardError().constData());
            return false;
        }
    }
    return true;
}

// The test network widened to 10.77.0.0/16 for as long as this object lives: this computer
// is 10.77.0.1/16, and the modules' side takes the /16's broadcasts.
class SixteenBitNetwork
{
public:
    SixteenBitNetwork()
    {
        m_made =
            ip({{"addr", "del", "10.77.0.1/24", "dev", "veth-cfg"},
                {"addr", "add", "10.77.0.1/16", "brd", "+", "dev", "veth-cfg"},
                {"-n", modules(), "addr", "add", "10.77.0.3/16", "brd", "+", "dev", "veth-mod"}});
    }
    ~SixteenBitNetwork()
    {
        ip({{"-n", modules(), "addr", "del", "10.77.0.3/16", "dev", "veth-mod"}});
        ip({{"addr", "del", "10.77.0.1/16", "dev", "veth-cfg"}});
        ip({{"addr", "add", "10.77.0.1/24", "brd", "+", "dev", "veth-cfg"}});
    }
    SixteenBitNetwork(const SixteenBitNetwork&) = delete;
    SixteenBitNetwork& operator=(const SixteenBitNetwork&) = delete;
    bool isMade() const { return m_made; }

private:
    static QString modules() { return qEnvironmentVariable("DUVA_NS_MODULES"); }
    bool m_made = false;
};

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

// A commissioning plan for n fresh modules: row k (CSV row k + 1) gives 10.77.0.(60 + k), the
// test network's gateway and a port of its own; the other fields keep the module's values.
QString commissionPlan(const QTemporaryDir& dir, int n)
{
    QString csv = "ipAddress,gateway,serverPort\n";
    for (int k = 1; k <= n; ++k)
        csv += QString("10.77.0.%1,10.77.0.1,%2\n").arg(60 + k).arg(7000 + k);
    const QString path = dir.filePath("commission.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv.toUtf8()) != csv.size())
        return QString();
    return path;
}

// The writes of a bench of n modules commissioned from 10.77.0.10 in plugging order, one each.
QStringList oneWriteEach(int n)
{
    QStringList writes;
    for (int k = 1; k <= n; ++k)
        writes << QString("10.77.0.10>10.77.0.%1 %2").arg(60 + k).arg(1030 + k);
    return writes;
}

// The record's entries (a .json record).
QJsonArray recordEntries(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value("entries").toArray();
}

// Checks that every write the simulator received is in the record as its module's `after`, and
// that each module is there confirmed once; empty when so, else what is wrong.
QString recordMatchesWrites(SimProcess& sim, const QJsonArray& entries, int n)
{
    static const QRegularExpression line(" len 65: (.*)$");
    QMap<int, QByteArray> written; // serial -> the 64 bytes of its write
    for (const QString& l : received(sim)) {
        const QRegularExpressionMatch m = line.match(l);
        const QByteArray bytes = QByteArray::fromHex(m.captured(1).toLatin1());
        if (m.hasMatch() && quint8(bytes.at(duva::offset::opcode)) == duva::writeOpcode)
            written.insert(
                duva::ModuleRecord::fromBytes(bytes.left(duva::recordSize))->serialNumber(),
                bytes.left(duva::recordSize));
    }
    QMap<int, int> confirmed;
    for (const QJsonValue& v : entries) {
        const QJsonObject e = v.toObject();
        if (e.value("status").toString() != "confirmed")
            continue;
        const int serial = e.value("serialNumber").toInt();
        ++confirmed[serial];
        QByteArray after =
            QByteArray::fromHex(e.value("after").toObject().value("bytes").toString().toLatin1());
        // The record as the module shows it: the write's bytes but for the opcode.
        if (after.size() != duva::recordSize ||
            quint8(after.at(duva::offset::opcode)) == duva::writeOpcode)
            return QString("%1: the record's after holds the write's opcode").arg(serial);
        after[duva::offset::opcode] = char(duva::writeOpcode);
        if (after != written.value(serial))
            return QString("%1: the record's after is not what the module received").arg(serial);
        if (e.value("command").toString() != "commission" ||
            e.value("before").toObject().value("ipAddress").toString() != "10.77.0.10")
            return QString("%1: %2").arg(serial).arg(QString(QJsonDocument(e).toJson()));
    }
    if (confirmed.size() != n || written.size() != n)
        return QString("%1 modules confirmed, %2 written, not %3")
            .arg(confirmed.size())
            .arg(written.size())
            .arg(n);
    for (int times : std::as_const(confirmed)) {
        if (times != 1)
            return "a module confirmed twice";
    }
    return QString();
}

// Each module's last reply so far, by the simulator's module number: its 64 bytes in hex.
QMap<int, QString> lastReplies(SimProcess& sim)
{
    static const QRegularExpression line("^send to \\S+ from \\S+ len 64 module (\\d+): (.*)$");
    QMap<int, QString> replies;
    for (const QString& l : sim.linesContaining("send to ")) {
        const QRegularExpressionMatch m = line.match(l.mid(l.indexOf("send to ")));
        if (m.hasMatch())
            replies[m.captured(1).toInt()] = m.captured(2).remove(' ').toLower();
    }
    return replies;
}

// A record's bytes in hex for a module at address with serial, the other fields the
// simulator's defaults would not matter for.
QString recordHex(const char* address, int serial)
{
    duva::RecordValues v;
    const QStringList octets = QString(address).split('.');
    for (int i = 0; i < 4; ++i)
        v.ipAddress[i] = quint8(octets[i].toUInt());
    v.subnetMask = {255, 255, 255, 0};
    v.setSerialNumber(serial);
    v.serverHost = "fabrica";
    return QString::fromLatin1(v.encode().left(duva::recordSize).toHex());
}

// The record a commissioning keeps: modules 1031 ... moved off one factory address (or,
// without one, off 10.77.0.50 ...) onto 10.77.0.10 ..., each confirmed.
QByteArray commissioningRecord(int modules, const char* factory = "10.77.0.250")
{
    QJsonArray entries;
    for (int i = 0; i < modules; ++i) {
        const int serial = 1031 + i;
        const QByteArray after = QString("10.77.0.%1").arg(10 + i).toLatin1();
        entries.append(QJsonObject{
            {"time", QString("2026-12-09T11:0%1:00.000-03:00").arg(i)},
            {"operator", "ana"},
            {"command", "commission"},
            {"planRow", i + 1},
            {"serialNumber", serial},
            {"status", "confirmed"},
            {"writesSent", 1},
            {"before",
             QJsonObject{{"bytes", recordHex(factory ? QByteArray(factory)
                                                     : "10.77.0.5" + QByteArray::number(i),
                                             serial)}}},
            {"after", QJsonObject{{"bytes", recordHex(after, serial)}}}});
    }
    return QJsonDocument(
               QJsonObject{{"format", "duva-write-record"}, {"version", 1}, {"entries", entries}})
        .toJson();
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

    void searchesMissNothingAndSayWhatIsOdd_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QStringList>("secondSim"); // another fleet on the same port; empty: none
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("requests"); // search requests that reached the first fleet
        QTest::addColumn<QString>("err");

        QTest::newRow("half the modules miss the first search")
            << QStringList{"--count", "20", "--ignore-first-search", "50"} << QStringList()
            << QStringList{"search"} << 0 << 20 << 3 << QString();
        QTest::newRow("all of them miss it")
            << QStringList{"--count", "3", "--ignore-first-search", "100"} << QStringList()
            << QStringList{"search"} << 0 << 3 << 3 << QString();
        QTest::newRow("show: the module named misses the first search")
            << QStringList{"--count", "4", "--ignore-first-search", "25"} << QStringList()
            << QStringList{"show", "--serial", "1034"} << 0 << 1 << 3 << QString();
        QTest::newRow("--expect reached, with no further request")
            << QStringList{"--count", "6", "--ignore-first-search", "50"} << QStringList()
            << QStringList{"search", "--expect", "6"} << 0 << 6 << 2
            << "duvactl: 6 of 6 expected modules answered\n";
        QTest::newRow("--expect short: asked until the total wait ended")
            << QStringList{"--count", "4"} << QStringList()
            << QStringList{"search", "--expect", "5", "--quiet-ms", "200"} << 6 << 4 << -1
            << "duvactl: 4 of 5 expected modules answered\n";
        QTest::newRow("two modules share an address")
            << QStringList{"--count", "2", "--same-ip", "--serial", "2001"} << QStringList()
            << QStringList{"search"} << 0 << 2 << 2
            << "duvactl: warning: 2 modules share the address 10.77.0.10 (serial numbers 2001, "
               "2002); a write to it reaches all of them\n";
        QTest::newRow("two modules share a serial number")
            << QStringList{"--count", "2", "--share-port", "--serial", "3001"}
            << QStringList{"--count",    "1",        "--share-port", "--first-ip",
                           "10.77.0.40", "--serial", "3002",         "--server"}
            << QStringList{"search"} << 0 << 3 << 2
            << "duvactl: warning: 2 modules share the serial number 3002 (at 10.77.0.11, "
               "10.77.0.40); a plan cannot tell them apart\n";
        QTest::newRow("a module answers twice")
            << QStringList{"--count", "1", "--answer-twice", "--first-ip", "10.77.0.77"}
            << QStringList() << QStringList{"search"} << 0 << 1 << 2
            << "duvactl: warning: 2 identical replies to one request came from 10.77.0.77 "
               "(serial number 1031): one module answering more than once, or several modules "
               "with one record\n";
    }

    void searchesMissNothingAndSayWhatIsOdd()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QStringList, secondSim);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(int, listed);
        QFETCH(int, requests);
        QFETCH(QString, err);
        SimProcess sim(simOptions);
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        std::unique_ptr<SimProcess> second;
        if (!secondSim.isEmpty()) {
            second = std::make_unique<SimProcess>(secondSim);
            QVERIFY2(second->isReady(), qPrintable(second->errorText()));
        }
        const Result r =
            duvactl(arguments + QStringList{"--csv", "--quiet-ms", "300"} + quick.mid(2, 2));
        EXPECT_STATUS(r, status);
        QCOMPARE(r.out.count('\n') - 1, listed);
        QCOMPARE(r.err, err);
        if (requests < 0)
            return;
        sim.waitForLines(QRegularExpression("note search: "), requests + 1, 500);
        QCOMPARE(sim.linesContaining("note search: ").size(), requests);
    }

    void aThousandModulesAnsweringAtOnceAreAllListed()
    {
        const SixteenBitNetwork network;
        QVERIFY(network.isMade());
        // Four fleets of 250 on one port: 10.77.1.1 ... 10.77.4.250, serial numbers 5001 on.
        std::vector<std::unique_ptr<SimProcess>> fleets;
        for (int k = 0; k < 4; ++k) {
            fleets.push_back(std::make_unique<SimProcess>(QStringList{
                "--count", "250", "--first-ip", QString("10.77.%1.1").arg(k + 1), "--serial",
                QString::number(5001 + 250 * k), "--share-port", "--quiet"}));
            QVERIFY2(fleets.back()->isReady(), qPrintable(fleets.back()->errorText()));
        }
        const Result r = duvactl({"search", "--json", "--quiet-ms", "300"});
        EXPECT_STATUS(r, 0);
        QCOMPARE(r.err, QString());
        const QJsonArray modules = QJsonDocument::fromJson(r.out.toUtf8()).array();
        QCOMPARE(modules.size(), 1000);
        QSet<int> serials;
        for (const QJsonValue& m : modules)
            serials.insert(m.toObject()["serialNumber"].toInt());
        QCOMPARE(serials.size(), 1000);
        QCOMPARE(modules[999].toObject()["ipAddress"].toString(), QString("10.77.4.250"));
    }

    void aSearchThatFindsNothingSaysWhereItLookedAndWhatToCheck()
    {
        const Result r = duvactl({"search", "--quiet-ms", "100", "--timeout-ms", "300"});
        EXPECT_STATUS(r, 6);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err,
                 QString("duvactl: no module answered (searched 10.77.0.255 through veth-cfg, "
                         "this computer being 10.77.0.1/24). Check that the modules are powered "
                         "and connected to this computer's own subnet (a module in another "
                         "subnet answers no broadcast; --network or --extended reach further), "
                         "and that no firewall blocks the modules' UDP replies to port 5001 or "
                         "the search to their port 1461\n"));
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

    // apply --record, then rollback of that record: every module answers again with its
    // record byte for byte as before, and each record entry holds what the modules sent and
    // took. The writes are a chain of moves, which the rollback undoes in the reverse order.
    void applyRecordedThenRolledBack()
    {
        SimProcess sim(QStringList{"--count", "5"} + distinct);
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        EXPECT_STATUS(duvactl(QStringList{"search"} + quick.mid(0, 4)), 0);
        const QRegularExpression lastModule(" len 64 module 5: ");
        QVERIFY(sim.waitForLines(lastModule));
        const QMap<int, QString> before = lastReplies(sim);
        QCOMPARE(before.size(), 5);

        QTemporaryDir dir;
        const QString plan = dir.filePath("plan.csv");
        QVERIFY(duva::test::writeFile(
            plan, "serialNumber,ipAddress,serverPort,watchdog,serverHost,autoDisconnectTime\n"
                  "1031,10.77.0.11,7101,off,a.duva,21\n1032,10.77.0.12,7102,off,b.duva,22\n"
                  "1033,10.77.0.13,7103,off,c.duva,23\n1034,10.77.0.14,7104,off,d.duva,24\n"
                  "1035,10.77.0.60,7105,off,e.duva,25\n"));
        const QString record = dir.filePath("r.json");
        QElapsedTimer clock;
        clock.start();
        // The default settle period: each module is confirmed as soon as it shows its write.
        const Result applied =
            duvactl(QStringList{"apply", plan, "--record", record, "--operator", "técnica Ana"} +
                    quick.mid(0, 4));
        const qint64 applyMs = clock.elapsed();
        EXPECT_STATUS(applied, 0);
        QVERIFY2(applyMs < 4000, qPrintable(QString("%1 ms").arg(applyMs)));
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray entries =
            QJsonDocument::fromJson(file.readAll()).object()["entries"].toArray();
        QCOMPARE(entries.size(), 5);
        QVERIFY(sim.waitForLines(QRegularExpression("note write: "), 5));
        // Each write's 64 bytes with the write opcode, as the simulator took it.
        QStringList written;
        for (const QString& l : received(sim)) {
            if (l.contains(":1461 len 65: "))
                written << l.section(": ", -1).remove(' ').toLower().left(2 * duva::recordSize);
        }
        // In the order the modules were confirmed: the chain's far end first.
        for (int i = 0; i < 5; ++i) {
            const QJsonObject e = entries[4 - i].toObject();
            QCOMPARE(e["status"].toString(), QString("confirmed"));
            QCOMPARE(e["serialNumber"].toInt(), 1031 + i);
            QCOMPARE(e["planRow"].toInt(), i + 1);
            QCOMPARE(e["writesSent"].toInt(), 1);
            QCOMPARE(e["operator"].toString(), QString("técnica Ana"));
            QCOMPARE(e["interface"].toString(), QString("veth-cfg"));
            QCOMPARE(e["command"].toString(), QString("apply"));
            QCOMPARE(e["before"].toObject()["bytes"].toString(), before.value(i + 1));
            QByteArray after =
                QByteArray::fromHex(e["after"].toObject()["bytes"].toString().toLatin1());
            after[duva::offset::opcode] = char(duva::writeOpcode);
            QVERIFY2(written.contains(QString::fromLatin1(after.toHex())),
                     qPrintable(written.join('\n')));
        }

        // A dry run says what would change and sends no write.
        const Result dry = duvactl(QStringList{"rollback", record, "--dry-run"} + quick);
        EXPECT_STATUS(dry, 0);
        QCOMPARE(dry.out.count("not sent (dry run)\n"), 5);
        QVERIFY2(dry.out.contains("Module 1035 at 10.77.0.60 (entry 1):\n  ipAddress: 10.77.0.60 "
                                  "-> 10.77.0.14\n  serverPort: 7105 -> 6003\n"),
                 qPrintable(dry.out));
        QTest::qWait(200);
        QCOMPARE(writesReceived(sim).size(), 5);

        const QString again = dir.filePath("rollback.csv");
        const Result rolled =
            duvactl(QStringList{"rollback", record, "--record", again} + quick.mid(0, 4));
        EXPECT_STATUS(rolled, 0);
        QCOMPARE(rolled.out.count(" confirmed\n"), 5);
        QVERIFY(sim.waitForLines(QRegularExpression("note write: "), 10));
        // Back along the chain: each module before another moves onto its address.
        QCOMPARE(writesReceived(sim).mid(5),
                 (QStringList{"10.77.0.11>10.77.0.10 1031", "10.77.0.12>10.77.0.11 1032",
                              "10.77.0.13>10.77.0.12 1033", "10.77.0.14>10.77.0.13 1034",
                              "10.77.0.60>10.77.0.14 1035"}));
        QCOMPARE(sim.linesContaining("note write: ").size(), 10); // none reached two modules
        const int replies = int(sim.linesContaining(" len 64 module 5: ").size());
        EXPECT_STATUS(duvactl(QStringList{"search"} + quick.mid(0, 4)), 0);
        QVERIFY(sim.waitForLines(lastModule, replies + 1));
        QCOMPARE(lastReplies(sim), before);
        QFile rollbackRecord(again);
        QVERIFY(rollbackRecord.open(QIODevice::ReadOnly));
        const QByteArray csv = rollbackRecord.readAll();
        QCOMPARE(csv.count(",rollback,"), 5);
        QCOMPARE(csv.count(",confirmed,1,"), 5);
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
        QTest::newRow("an unknown field and a bad value")
            << QStringList{"--count", "1"} << QByteArray()
            << QStringList{"set", "10.77.0.10", "dchp=1", "serverPort=70000"} << 3
            << "duvactl: argument dchp=1: unknown field 'dchp' (the fields are ipAddress, "
               "subnetMask, gateway, dnsServer, localPort, serverPort, dhcp, watchdog, "
               "clientMode, autoDisconnect, autoDisconnectTime, firmwareVersion, serialNumber, "
               "serverHost)\nargument serverPort=70000, field serverPort: '70000' is not a port: "
               "a whole number from 0 to 65535\n"
            << false;
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
        QTest::newRow("a record that cannot be written: not even a search goes")
            << QStringList{"--count", "1"} << QByteArray()
            << QStringList{"set", "10.77.0.10", "dhcp=1", "--record", "/nonexistent/r.json"} << 10
            << "duvactl: /nonexistent/r.json: cannot make /nonexistent/r.json.lock\nnothing was "
               "sent\n"
            << false;
        QTest::newRow("a rollback of a commissioning: all back on one factory address")
            << QStringList{"--count", "3"} << commissioningRecord(3)
            << QStringList{"rollback", "PLAN", "--record", "PLAN.rollback.json"} << 4
            << "duvactl: the rollback would give modules 1031, 1032, 1033 one address, "
               "10.77.0.250\nnothing was written\n"
            << true;
        QTest::newRow("a rollback whose module does not answer")
            << QStringList{"--count", "2"} << commissioningRecord(3, nullptr)
            << QStringList{"rollback", "PLAN"} << 6
            << "duvactl: entry 3: no module with serial number 1033 answered\nnothing was "
               "written\n"
            << true;
        QTest::newRow("a rollback to an address that two modules answer from now")
            << QStringList{"--count", "2", "--same-ip"} << commissioningRecord(1, nullptr)
            << QStringList{"rollback", "PLAN"} << 5
            << "duvactl: entry 1: 2 modules answer at 10.77.0.10 (serial numbers 1031, 1032); a "
               "write to that address would reach either of them\nnothing was written\n"
            << true;
        QTest::newRow("a rollback onto this computer's address")
            << QStringList{"--count", "1"} << commissioningRecord(1, "10.77.0.1")
            << QStringList{"rollback", "PLAN"} << 4
            << "duvactl: entry 1: the module with serial number 1031 would go back to 10.77.0.1, "
               "which is this computer's own address now\nnothing was written\n"
            << true;
    }

    void valuesThatCutAModuleOffSendNothing_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QByteArray>("plan");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("searched");
        // This computer is 10.77.0.1; the modules' gateway is another address.
        const QStringList fleet{"--count",      "3",    "--gateway",     "10.77.0.254",
                                "--local-port", "5011", "--server-port", "5012"};
        const char* force = "(--force writes such values all the same)\nnothing was written\n";
        const struct {
            const char* assignment;
            const char* why;
        } refusals[] = {
            {"ipAddress=10.77.0.0", "is the network address of its subnet 10.77.0.0/24"},
            {"ipAddress=10.77.0.255", "is the broadcast address of its subnet 10.77.0.0/24"},
            {"ipAddress=0.0.0.0", "is 0.0.0.0, which means no address"},
            {"ipAddress=127.0.0.1",
             "is a loopback address (127.0.0.0/8), which never leaves the module"},
            {"ipAddress=224.0.0.1",
             "is a multicast address (224.0.0.0/4), which no module can hold"},
            {"ipAddress=255.255.255.255",
             "is 255.255.255.255, the broadcast address of every network"},
            {"ipAddress=10.77.0.1", "is this computer's own address"},
            {"ipAddress=10.77.0.254", "is the module's own gateway"},
            {"subnetMask=255.0.255.0",
             "has ones that are not contiguous: a subnet mask is ones followed by zeros, such "
             "as 255.255.255.0"},
            {"gateway=10.78.0.1", "lies outside the module's subnet 10.77.0.0/24"},
            {"serialNumber=1032", "is also the serial number of the module at 10.77.0.11; "
                                  "modules that share one cannot be told apart"},
        };
        for (const auto& r : refusals) {
            const QString field = QString(r.assignment).section('=', 0, 0);
            const QString value = QString(r.assignment).section('=', 1);
            QTest::addRow("%s", r.assignment)
                << fleet << QByteArray() << QStringList{"set", "10.77.0.10", r.assignment} << 3
                << QString("duvactl: 10.77.0.10, field %1: '%2' %3\n%4")
                       .arg(field, value, r.why, force)
                << true;
        }
        QTest::newRow("a plan with several bad cells")
            << fleet
            << QByteArray("serialNumber,ipAddress,serverPort,dhcp\n1031,10.77.0.40,70000,talvez\n"
                          "1032,10.77.0.300,,\n")
            << QStringList{"apply", "PLAN"} << 3
            << "duvactl: PLAN: row 2, column serverPort: '70000' is not a port: a whole number "
               "from 0 to 65535\n"
               "row 2, column dhcp: 'talvez' is not a boolean: 1, true, on, sim or verdadeiro; "
               "0, false, off, n\u00e3o or falso\n"
               "row 3, column ipAddress: '10.77.0.300' is not an IPv4 address: four numbers from "
               "0 to 255 joined by dots\n"
            << false;
        // A commissioning's rows are checked before any search; each module's record again
        // when it answers.
        QTest::newRow("a commissioning row that cuts its module off")
            << fleet << QByteArray("ipAddress,serverPort\n10.77.0.61,7001\n10.77.0.1,7002\n")
            << QStringList{"commission", "PLAN", "--at", "10.77.0.10"} << 3
            << QString("duvactl: PLAN: row 3, column ipAddress: '10.77.0.1' is this computer's "
                       "own address\n%1")
                   .arg(force)
            << false;
        QTest::newRow("a commissioning without its address")
            << fleet << QByteArray("ipAddress\n10.77.0.61\n") << QStringList{"commission", "PLAN"}
            << 2
            << QString("duvactl: commission needs --at ADDRESS, the address that fresh modules "
                       "answer from\n")
            << false;
        QTest::newRow("a plan with several values that cut modules off")
            << fleet
            << QByteArray("serialNumber;ipAddress;gateway\r\n1031;10.77.0.255;\r\n"
                          "1032;;10.78.0.1\r\n1033;10.77.0.1;\r\n")
            << QStringList{"apply", "PLAN"} << 3
            << QString("duvactl: row 2, column ipAddress: '10.77.0.255' is the broadcast address "
                       "of its subnet 10.77.0.0/24\n"
                       "row 3, column gateway: '10.78.0.1' lies outside the module's subnet "
                       "10.77.0.0/24\n"
                       "row 4, column ipAddress: '10.77.0.1' is this computer's own address\n%1")
                   .arg(force)
            << true;
    }

    void valuesThatCutAModuleOffSendNothing() { refusalsSendNothing(); }

    void forceWritesARefusedValue()
    {
        SimProcess sim({"--count", "2", "--gateway", "10.77.0.254"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const Result r =
            duvactl(QStringList{"set", "10.77.0.11", "gateway=10.78.0.1", "--force"} + quick);
        EXPECT_STATUS(r, 0);
        QVERIFY2(r.out.contains("  gateway: 10.77.0.254 -> 10.78.0.1\n"), qPrintable(r.out));
        QVERIFY(sim.waitForLines(QRegularExpression("note write: ")));
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
        const QString planPath =
            dir.filePath(arguments.first() == "rollback" ? "record.json" : "plan.csv");
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

    void aPlanSavedByCalcAppliesUnchanged_data()
    {
        QTest::addColumn<QString>("format");     // how search exports the fleet
        QTest::addColumn<QString>("calcOpens");  // Calc's import options: separator, quote, UTF-8
        QTest::addColumn<QString>("calcSaves");  // and its export options
        QTest::addColumn<QString>("serverHost"); // a text that the round trip must keep
        QTest::addColumn<QByteArray>("saved");   // what Calc made of firmwareVersion 000 and it
        // The last option of each, 1046, is Brazilian Portuguese.
        QTest::newRow("--csv, saved as UTF-8 with ','") << "--csv"
                                                        << "44,34,76,1,,1046"
                                                        << "44,34,76,1,,1046"
                                                        << "0123" << QByteArray(",0,2041,123,");
        QTest::newRow("--excel, saved as cp1252 with ';'")
            << "--excel"
            << "59,34,76,1,,1046"
            << "59,34,1,1,,1046" << QString::fromUtf8("São José")
            << QByteArray(";0;2041;S\xE3o Jos\xE9;");
    }

    void aPlanSavedByCalcAppliesUnchanged()
    {
        const QString soffice = QStandardPaths::findExecutable("soffice");
        if (soffice.isEmpty())
            QSKIP("LibreOffice Calc (soffice) is missing: scripts/install-deps.sh --test "
                  "installs libreoffice-calc-nogui");
        QFETCH(QString, format);
        QFETCH(QString, calcOpens);
        QFETCH(QString, calcSaves);
        QFETCH(QString, serverHost);
        QFETCH(QByteArray, saved);
        // Texts of digits with leading zeros, booleans, ports and addresses: what a spreadsheet
        // takes for numbers, dates or its own words.
        SimProcess sim({"--count",
                        "4",
                        "--gateway",
                        "10.77.0.254",
                        "--dns",
                        "10.77.0.253",
                        "--local-port",
                        "5011",
                        "--server-port",
                        "5012",
                        "--watchdog",
                        "off",
                        "--auto-disconnect",
                        "on",
                        "--auto-disconnect-time",
                        "7",
                        "--firmware-version",
                        "000",
                        "--serial",
                        "2041",
                        "--server-host",
                        serverHost});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const Result exported = duvactl(QStringList{"search", format} + quick.mid(0, 4));
        EXPECT_STATUS(exported, 0);
        if (format == "--excel") // what a Portuguese Excel opens as columns
            QVERIFY(exported.outBytes.startsWith("\xEF\xBB\xBFipAddress;subnetMask;"));
        QTemporaryDir dir;
        QVERIFY(duva::test::writeFile(dir.filePath("fleet.csv"), exported.outBytes));

        // Calc opens the file and saves it again, in a profile of its own.
        QProcess calc;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir.filePath("home"));
        env.insert("LANG", "pt_BR.UTF-8");
        calc.setProcessEnvironment(env);
        calc.start(soffice, {"--headless", "--norestore",
                             "-env:UserInstallation=file://" + dir.filePath("profile"),
                             "--infilter=Text - txt - csv (StarCalc):" + calcOpens, "--convert-to",
                             "csv:Text - txt - csv (StarCalc):" + calcSaves, "--outdir",
                             dir.filePath("saved"), dir.filePath("fleet.csv")});
        QVERIFY2(calc.waitForFinished(100000), "Calc did not finish");
        QFile file(dir.filePath("saved/fleet.csv"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(calc.readAllStandardError()));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.contains(saved), bytes.constData());

        const Result r = duvactl(QStringList{"apply", file.fileName()} + quick);
        EXPECT_STATUS(r, 0);
        QCOMPARE(r.out.count(QRegularExpression(": no change\n")), 4);
        QTest::qWait(200);
        QCOMPARE(sim.linesContaining("note write: ").size(), 0);
        QCOMPARE(received(sim).size(), received(sim).filter("to 10.77.0.255:1461").size());
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
        const QStringList command =
            QStringList{qEnvironmentVariable("DUVACTL"), "set", "10.77.0.10", "serverPort=7002"} +
            quick + options;
        QProcess p;
        p.start("script", {"-qec", command.join(' '), "/dev/null"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QString shown = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(shown.contains("confirmed"), qPrintable(shown));
        QCOMPARE(shown.contains("\rsearching: "), countdown);
        QCOMPARE(shown.contains("\rconfirming: "), countdown);
    }

    void ctrlCSaysWhatWentOut()
    {
        SimProcess sim({"--count", "2", "--mute-after-write"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        QProcess p;
        p.start(qEnvironmentVariable("DUVACTL"),
                QStringList{"set", "10.77.0.11", "serverPort=7002"} + quick.mid(0, 4) +
                    QStringList{"--settle-ms", "30000", "--record", dir.filePath("r.json")});
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
        // The module still open has its entry, on disk before the program ended.
        QFile record(dir.filePath("r.json"));
        QVERIFY(record.open(QIODevice::ReadOnly));
        const QJsonArray entries =
            QJsonDocument::fromJson(record.readAll()).object()["entries"].toArray();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0]["status"].toString(), QString("not confirmed"));
        QCOMPARE(entries[0]["reason"].toString(), QString("interrupted"));
        QCOMPARE(entries[0]["writesSent"].toInt(), 1);
    }

    // Killed outright (no handler runs) while a chain of moves settles: each module's entry
    // was on disk before its write went, so the record is whole and names every module the
    // simulator took a write from, for a later look or a rollback.
    void aKilledApplyLeavesEveryWriteInItsRecord()
    {
        SimProcess sim({"--count", "4", "--mute-after-write"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        const QString plan = dir.filePath("plan.csv");
        QVERIFY(duva::test::writeFile(plan, "serialNumber,ipAddress,serverPort\n"
                                            "1031,10.77.0.11,7201\n1032,10.77.0.12,7202\n"
                                            "1033,10.77.0.13,7203\n1034,10.77.0.70,7204\n"));
        const QString path = dir.filePath("r.json");
        QProcess p;
        p.start(qEnvironmentVariable("DUVACTL"),
                QStringList{"apply", plan} + quick.mid(0, 4) +
                    QStringList{"--settle-ms", "30000", "--record", path});
        QDeadlineTimer deadline(10000);
        QByteArray out;
        while (!out.contains("Sent 4 writes") && !deadline.hasExpired()) {
            p.waitForReadyRead(200);
            out += p.readAllStandardOutput();
        }
        QVERIFY2(out.contains("Sent 4 writes"), out.constData());
        QVERIFY(sim.waitForLines(QRegularExpression(":1461 len 65: "), 4));
        ::kill(pid_t(p.processId()), SIGKILL);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);

        // The far end first, each written once.
        QCOMPARE(writesReceived(sim),
                 (QStringList{"10.77.0.13>10.77.0.70 1034", "10.77.0.12>10.77.0.13 1033",
                              "10.77.0.11>10.77.0.12 1032", "10.77.0.10>10.77.0.11 1031"}));
        QStringList entries;
        for (const QJsonValue& e : recordEntries(path))
            entries << QString("%1 %2 -> %3 %4: %5: %6")
                           .arg(e["serialNumber"].toInt())
                           .arg(e["before"]["ipAddress"].toString(),
                                e["after"]["ipAddress"].toString())
                           .arg(e["writesSent"].toInt())
                           .arg(e["status"].toString(), e["reason"].toString());
        QCOMPARE(entries,
                 (QStringList{"1034 10.77.0.13 -> 10.77.0.70 1: not confirmed: written; no "
                              "confirmation yet",
                              "1033 10.77.0.12 -> 10.77.0.13 1: not confirmed: written; no "
                              "confirmation yet",
                              "1032 10.77.0.11 -> 10.77.0.12 1: not confirmed: written; no "
                              "confirmation yet",
                              "1031 10.77.0.10 -> 10.77.0.11 1: not confirmed: written; no "
                              "confirmation yet"}));
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
        // A settle period of three searches, one every 500 ms.
        const Result r = duvactl(QStringList{"set", "10.77.0.11", "watchdog=false"} + quick +
                                 QStringList{"--settle-ms", "1500"});
        EXPECT_STATUS(r, 1);
        QVERIFY2(r.out.contains(QRegularExpression(
                     "10\\.77\\.0\\.11  1032 +10\\.77\\.0\\.11  10\\.77\\.0\\.11  not confirmed: "
                     "it did not answer\n")),
                 qPrintable(r.out));
        QCOMPARE(r.err, QString("duvactl: not every write was confirmed: no reply carried "
                                "exactly the record written\n"));
        // The write went three times, and three searches asked for it after each, the
        // last one ending the settle period.
        QVERIFY(sim.waitForLines(QRegularExpression("silent since its write"), 9));
        QCOMPARE(sim.linesContaining("silent since its write").size(), 9);
        QCOMPARE(writesReceived(sim).size(), 3);
    }

    // A module still taking its write (or restarting) answers with its old record for a
    // while: no failure, and no resend; it is confirmed at the first search that shows its
    // new record, long before the settle period ends.
    void aModuleShowingItsOldRecordAtFirstIsConfirmedWithoutAResend()
    {
        SimProcess sim({"--count", "2", "--old-record-searches", "2"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QElapsedTimer clock;
        clock.start();
        const Result r = duvactl(QStringList{"set", "10.77.0.11", "serverPort=7002"} +
                                 quick.mid(0, 4) + QStringList{"--settle-ms", "6000"});
        const qint64 ms = clock.elapsed();
        EXPECT_STATUS(r, 0);
        QVERIFY2(r.out.endsWith("10.77.0.11  1032          10.77.0.11  10.77.0.11  confirmed\n"),
                 qPrintable(r.out));
        QVERIFY(sim.waitForLines(QRegularExpression("answers with its old record"), 2));
        QCOMPARE(writesReceived(sim).size(), 1);
        // Three searches, 500 ms apart, after the search that found it.
        QVERIFY2(ms < 4000, qPrintable(QString("%1 ms").arg(ms)));
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
        QTest::newRow("a commissioning")
            << QStringList{"--count", "2", "--bench", "--bench-gap-ms", "300"}
            << QStringList{"commission", "COMMISSION", "--at", "10.77.0.10"} << 0
            << QStringList{"waiting for the next module at 10.77.0.10 (2 row(s) left)\n",
                           "writing 1031 -> 10.77.0.61 (row 2)\n", "1031 confirmed at 10.77.0.61 (",
                           "every row is done: 2 module(s) confirmed in this run\n"}
            << QStringList{"aguardando o próximo módulo em 10.77.0.10 (2 linhas restantes)\n",
                           "gravando 1031 -> 10.77.0.61 (linha 2)\n",
                           "1031 confirmado em 10.77.0.61 (",
                           "toda linha está feita: 2 módulos confirmados nesta execução\n"}
            << false;
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
        QTest::newRow("a value that would cut a module off")
            << QStringList{"--count", "1"}
            << QStringList{"set", "10.77.0.10", "subnetMask=255.0.255.0"} << 3
            << QStringList{"duvactl: 10.77.0.10, field subnetMask: '255.0.255.0' has ones that "
                           "are not contiguous: a subnet mask is ones followed by zeros, such as "
                           "255.255.255.0\n(--force writes such values all the same)\nnothing "
                           "was written\n"}
            << QStringList{"duvactl: 10.77.0.10, campo subnetMask: '255.0.255.0' tem uns que não "
                           "são contíguos: uma máscara de sub-rede é uns seguidos de zeros, como "
                           "255.255.255.0\n(--force grava esses valores mesmo assim)\nnada foi "
                           "gravado\n"}
            << true;
        QTest::newRow("a rollback of a file that is no record")
            << QStringList{} << QStringList{"rollback", "PLAN"} << 3
            << QStringList{"plan.csv: not a record of writes (the first line is not its header)\n"}
            << QStringList{"plan.csv: não é um registro de gravações (a primeira linha não é o "
                           "seu cabeçalho)\n"}
            << true;
        QTest::newRow("a record of neither kind")
            << QStringList{"--count", "1"}
            << QStringList{"set", "10.77.0.10", "watchdog=false", "--record", "WRITES.txt"} << 10
            << QStringList{"writes.txt: a record is a .json or a .csv file\n"}
            << QStringList{"writes.txt: um registro é um arquivo .json ou .csv\n"} << true;
        const QStringList swap{"apply", "SWAP", "--via", "10.77.0.200", "--skip-missing"};
        QTest::newRow("a swap through a temporary address, a row missing")
            << QStringList{"--count", "2"} << swap << 6
            << QStringList{"Order of the writes (each module is written before another moves "
                           "onto its address):\n  1. 1031 at 10.77.0.10 -> 10.77.0.200 "
                           "(temporary)\n",
                           "  then, once each is confirmed at its temporary address:\n",
                           "duvactl: row 3: no module with serial number 4242 answered\nthese "
                           "rows were not written; the others were\n"}
            << QStringList{"Ordem das gravações (cada módulo é gravado antes que outro passe para "
                           "o endereço dele):\n  1. 1031 em 10.77.0.10 -> 10.77.0.200 "
                           "(temporário)\n",
                           "  depois, quando cada um estiver confirmado no seu endereço "
                           "temporário:\n",
                           "duvactl: linha 3: nenhum módulo com número de série 4242 respondeu\n"
                           "estas linhas não foram gravadas; as outras foram\n"}
            << false;
        QTest::newRow("the same swap as JSON")
            << QStringList{"--count", "2"} << swap + QStringList{"--json"} << 6
            << QStringList{"\"where\": \"row 4\"", "\"status\": \"confirmed\""}
            << QStringList{"\"where\": \"row 4\"", "\"status\": \"confirmed\"",
                           "estas linhas não foram gravadas"}
            << true;
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
        const QString swapPlan = dir.filePath("swap.csv");
        QVERIFY(duva::test::writeFile(swapPlan, "serialNumber,ipAddress\n1031,10.77.0.11\n4242,\n"
                                                "1032,10.77.0.10\n"));
        const QString commissionPlan = dir.filePath("commission.csv");
        QVERIFY(duva::test::writeFile(commissionPlan, "ipAddress,gateway\n10.77.0.61,10.77.0.1\n"
                                                      "10.77.0.62,10.77.0.1\n"));
        arguments.replaceInStrings("WRITES.txt", dir.filePath("writes.txt"))
            .replaceInStrings("COMMISSION", commissionPlan)
            .replaceInStrings("PLAN", plan)
            .replaceInStrings("SWAP", swapPlan);
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

    // Six fresh modules at one address, plugged in one after another, the third together
    // with the fourth for a while: nothing is written while two answer, each module gets one
    // write (its row, in plugging order) and is confirmed at its new address, and the record
    // holds exactly the bytes each module received.
    void commissionsModulesPluggedInOneAtATime()
    {
        SimProcess sim(QStringList{"--count", "6", "--bench", "--bench-gap-ms", "300",
                                   "--bench-pair", "3", "--bench-pair-leave-ms", "2500"} +
                       distinct);
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        const QString record = dir.filePath("record.json");
        const Result r =
            duvactl(QStringList{"commission", commissionPlan(dir, 6), "--at", "10.77.0.10",
                                "--record", record, "--json", "--operator", "Ana Souza"} +
                    quick.mid(0, 4) + QStringList{"--settle-ms", "3000"});
        EXPECT_STATUS(r, 0);
        QStringList events;
        for (const QString& l : r.out.split('\n', Qt::SkipEmptyParts)) {
            const QJsonObject e = QJsonDocument::fromJson(l.toUtf8()).object();
            events << e.value("event").toString();
            if (e.value("event") == "several")
                QCOMPARE(e.value("serialNumbers").toArray(), (QJsonArray{1033, 1034}));
            if (e.value("event") == "confirmed")
                QVERIFY2(e.value("ms").toInt() < 2000, qPrintable(l));
        }
        QCOMPARE(events.count("several"), 1);
        QCOMPARE(events.count("confirmed"), 6);
        QCOMPARE(events.last(), "finished");

        QVERIFY(sim.waitForLines(QRegularExpression("note write: "), 6));
        QCOMPARE(writesReceived(sim), oneWriteEach(6));
        // Every write found one module alone at the address, as the bench's notes show it.
        int atAddress = 0;
        for (const QString& l : sim.logLines()) {
            if (l.contains(" plugged in at "))
                ++atAddress;
            else if (l.contains(" unplugged") || l.contains(" moved to "))
                --atAddress;
            else if (l.contains(" len 65: ") &&
                     quint8(QByteArray::fromHex(l.section(": ", 1).toLatin1())
                                .at(duva::offset::opcode)) == duva::writeOpcode)
                QVERIFY2(atAddress == 1, qPrintable(l));
        }
        const QJsonArray entries = recordEntries(record);
        QCOMPARE(entries.size(), 6);
        QCOMPARE(entries[0].toObject().value("operator").toString(), "Ana Souza");
        const QString mismatch = recordMatchesWrites(sim, entries, 6);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }

    // Ctrl+C stops a commissioning with a summary; the same command with the same record goes
    // on where it stopped: no module is written twice, a write that was under way is confirmed
    // (its row not given to the next module), and every row ends confirmed.
    void anInterruptedCommissioningResumesFromItsRecord_data()
    {
        QTest::addColumn<QString>("stopAt");   // the output line after which the signal comes
        QTest::addColumn<int>("writesOut");    // the writes the simulator took by then
        QTest::addColumn<int>("signal");       // SIGINT (Ctrl+C), or SIGKILL (a crash)
        QTest::addColumn<QString>("summary");  // what the summary says
        QTest::addColumn<QStringList>("kept"); // the first run's record, by status
        QTest::newRow("while waiting") << "1032 confirmed at 10.77.0.62" << 2 << SIGINT
                                       << "2 module(s) confirmed in this run, 3 row(s) left; no "
                                          "write is outstanding"
                                       << QStringList{"confirmed", "confirmed"};
        QTest::newRow("with a write out") << "writing 1033 -> 10.77.0.63" << 3 << SIGINT
                                          << "2 module(s) confirmed in this run, 3 row(s) left; "
                                             "the last write went out and is not confirmed"
                                          << QStringList{"confirmed", "confirmed", "not confirmed"};
        // The write's entry was kept before it went: no handler needed.
        QTest::newRow("killed with a write out")
            << "writing 1033 -> 10.77.0.63" << 3 << SIGKILL << QString()
            << QStringList{"confirmed", "confirmed", "not confirmed"};
    }

    void anInterruptedCommissioningResumesFromItsRecord()
    {
        QFETCH(QString, stopAt);
        QFETCH(int, writesOut);
        QFETCH(int, signal);
        QFETCH(QString, summary);
        QFETCH(QStringList, kept);
        SimProcess sim(QStringList{"--count", "5", "--bench", "--bench-gap-ms", "300"} + distinct);
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        const QString record = dir.filePath("record.json");
        const QStringList command =
            QStringList{"commission", commissionPlan(dir, 5), "--at", "10.77.0.10", "--record",
                        record} +
            quick.mid(0, 4) + QStringList{"--settle-ms", "3000"};
        QProcess p;
        p.start(qEnvironmentVariable("DUVACTL"), command);
        QDeadlineTimer deadline(30000);
        QByteArray out;
        while (!out.contains(stopAt.toUtf8()) && !deadline.hasExpired()) {
            p.waitForReadyRead(100);
            out += p.readAllStandardOutput();
        }
        QVERIFY2(out.contains(stopAt.toUtf8()), out.constData());
        QVERIFY(sim.waitForLines(QRegularExpression(":1461 len 65: "), writesOut));
        ::kill(pid_t(p.processId()), signal);
        QVERIFY(p.waitForFinished(5000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (signal == SIGINT) {
            QCOMPARE(p.exitCode(), 130);
            QCOMPARE(err, "duvactl: interrupted: " + summary + "\nthe same command with --record " +
                              record + " goes on where this one stopped\n");
        }
        QStringList statuses;
        for (const QJsonValue& e : recordEntries(record))
            statuses << e.toObject().value("status").toString();
        QCOMPARE(statuses, kept);

        const Result resumed = duvactl(command);
        EXPECT_STATUS(resumed, 0);
        QVERIFY2(resumed.out.startsWith(record + " shows 2 row(s) confirmed already; they are "
                                                 "skipped\n"),
                 qPrintable(resumed.out));
        QVERIFY(sim.waitForLines(QRegularExpression("note write: "), 5));
        QCOMPARE(writesReceived(sim), oneWriteEach(5));
        const QString mismatch = recordMatchesWrites(sim, recordEntries(record), 5);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
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
