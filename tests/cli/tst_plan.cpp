// Plans and what they come to: reading CSV and JSON (a search's own output included), the
// checks that refuse a plan before anything is sent, where a search goes, and the rule that
// confirms a write.

#include "cli/output.h"
#include "cli/plan.h"
#include "cli/resolve.h"
#include "cli/targets.h"
#include "protocol/confirmation.h"

#include <QtTest>

using namespace duva;
using namespace duva::cli;

namespace
{

// A module as a search finds it: address 10.77.0.<last>, serial number serial.
FoundModule module(int last, int serial)
{
    RecordValues v;
    v.ipAddress = {10, 77, 0, quint8(last)};
    v.subnetMask = {255, 255, 255, 0};
    // A distinct value in every field, so that a field read from another's bytes shows.
    v.gateway = {10, 77, 0, 1};
    v.dnsServer = {10, 77, 0, 2};
    v.localPort = 5002;
    v.serverPort = 6003;
    v.watchdog = true;
    v.clientMode = true;
    v.autoDisconnectTime = 17;
    v.serverHost = "central.duva";
    v.firmwareVersion = "1.7";
    v.setSerialNumber(serial);
    QByteArray record = v.encode().left(recordSize);
    record[offset::opcode] = 0;
    return {*ModuleRecord::fromBytes(record), QString("10.77.0.%1").arg(last), 1};
}

PlanRow bySerial(int serial, QList<Change> changes)
{
    return {QString("row %1").arg(serial), serial, QString(), changes};
}

} // namespace

class TestPlan : public QObject
{
    Q_OBJECT
private slots:
    void searchOutputIsAPlanThatChangesNothing_data()
    {
        QTest::addColumn<bool>("json");
        QTest::newRow("csv") << false;
        QTest::newRow("json") << true;
    }

    void searchOutputIsAPlanThatChangesNothing()
    {
        QFETCH(bool, json);
        QList<FoundModule> found{module(10, 1031), module(11, 1032)};
        found[1].replies = 2;
        const QString text = json ? modulesJson(found) : modulesCsv(found);
        const Plan plan = readPlan(text.toUtf8(), json ? PlanFormat::Json : PlanFormat::Csv);
        QVERIFY2(plan.error.isEmpty(), qPrintable(plan.error));
        QCOMPARE(plan.rows.size(), 2);
        QCOMPARE(plan.rows[1].serialNumber, std::optional<int>(1032));
        QCOMPARE(plan.rows[1].where, json ? QString("entry 2") : QString("row 3"));
        const Resolution r = resolvePlan(plan.rows, found);
        QCOMPARE(int(r.status), int(ExitStatus::Ok));
        QCOMPARE(r.writes.size(), 2);
        for (const PlannedWrite& w : r.writes) {
            QVERIFY2(w.request.isEmpty(), qPrintable(w.changes.join("; ")));
            QVERIFY(w.changes.isEmpty());
        }
    }

    void csvAsSpreadsheetsWriteIt()
    {
        // A byte-order mark, semicolons, CR LF, a quoted cell with the separator, a doubled
        // quote and a line end, a blank line, an empty cell (no change) and cells left off.
        const QByteArray csv = "\xEF\xBB\xBFserialNumber;serverHost;ipAddress;dhcp\r\n"
                               "1031;\"a;b\"\"c\nd\";10.77.0.50;\r\n"
                               "\r\n"
                               ";;10.77.0.11\r\n";
        const Plan plan = readPlan(csv, PlanFormat::Csv);
        QVERIFY2(plan.error.isEmpty(), qPrintable(plan.error));
        QCOMPARE(plan.rows.size(), 2);
        QCOMPARE(plan.rows[0].changes.size(), 2);
        QCOMPARE(plan.rows[0].changes[0].value, QString("a;b\"c\nd"));
        QCOMPARE(plan.rows[0].changes[1].field, QString("ipAddress"));
        // Without a serial number the address picks the module and is not a change.
        QCOMPARE(plan.rows[1].where, QString("row 4"));
        QCOMPARE(plan.rows[1].ipAddress, QString("10.77.0.11"));
        QVERIFY(plan.rows[1].changes.isEmpty());
    }

    void badPlansAreRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("json");
        QTest::addColumn<QString>("error");
        const auto csv = [](const char* name, const QByteArray& text, const QString& error) {
            QTest::newRow(name) << text << false << error;
        };
        csv("empty", "", "row 1: no header naming the columns");
        csv("no selector column", "dhcp\n1\n", "row 1: no column serialNumber or ipAddress");
        csv("column twice", "serialNumber,dhcp,dhcp\n", "row 1: column dhcp appears twice");
        csv("unclosed quote", "serialNumber,serverHost\n1,\"abc\n", "row 2: a quoted cell is not");
        csv("quote inside", "serialNumber,serverHost\n1,ab\"c\n", "row 2: a quote in the middle");
        csv("beyond the header", "serialNumber\n1,2\n", "row 2, column 2: '2' lies beyond");
        csv("no module named", "serialNumber,ipAddress,dhcp\n,,1\n", "row 2: names no module");
        csv("one module twice", "serialNumber\n7\n8\n7\n",
            "row 2 and row 4 both name the module with serial number 7");
        csv("one address twice", "ipAddress\n10.77.0.1\n10.77.0.1\n",
            "row 2 and row 3 both name the module with address 10.77.0.1");
        csv("not UTF-8", "serialNumber,serverHost\n1,\xff\n", "the file is not UTF-8 text");
        const auto json = [](const char* name, const QByteArray& text, const QString& error) {
            QTest::newRow(name) << text << true << error;
        };
        json("not JSON", "[{", "not JSON: ");
        json("an object", R"({"serialNumber": 1})", "not a JSON array");
        json("an entry not an object", "[1]", "entry 1: not an object");
        json("a value not a value", R"([{"serialNumber": 1, "dhcp": [1]}])",
             "entry 1, column dhcp: [1] is not a value");
        json("a fraction", R"([{"serialNumber": 1.5}])", "entry 1, column serialNumber: '1.5'");
        json("a negative port", R"([{"serialNumber": 1, "localPort": -1}])",
             "entry 1, column localPort: '-1' is not a port");
    }

    void badPlansAreRefused()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, json);
        QFETCH(QString, error);
        const Plan plan = readPlan(text, json ? PlanFormat::Json : PlanFormat::Csv);
        QVERIFY2(plan.error.startsWith(error), qPrintable(plan.error));
        QVERIFY(plan.rows.isEmpty());
    }

    void resolutionRefusesWhatCannotBeWrittenSafely_data()
    {
        QTest::addColumn<QList<PlanRow>>("rows");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const Change to50{"ipAddress", "10.77.0.50"};
        QTest::newRow("a module that did not answer")
            << QList<PlanRow>{bySerial(1031, {}), bySerial(9, {}), bySerial(8, {})}
            << int(ExitStatus::NotFound)
            << "row 9: no module with serial number 9 answered\n"
               "row 8: no module with serial number 8 answered";
        QTest::newRow("a write to an address two modules answer at")
            << QList<PlanRow>{bySerial(1033, {to50})} << int(ExitStatus::SharedAddress)
            << "row 1033: 2 modules answer at 10.77.0.12 (serial numbers 1033, 1034); a write "
               "to that address would reach either of them";
        QTest::newRow("an address picking two modules")
            << QList<PlanRow>{{"row 2", std::nullopt, "10.77.0.12", {{"dhcp", "1"}}}}
            << int(ExitStatus::SharedAddress)
            << "row 2: 2 modules answer with address 10.77.0.12 (serial numbers 1033, 1034); a "
               "write to one of them would reach any";
        QTest::newRow("an address another module has")
            << QList<PlanRow>{bySerial(1031, {{"ipAddress", "10.77.0.11"}})}
            << int(ExitStatus::AddressCollision)
            << "row 1031, column ipAddress: '10.77.0.11' is the address of another module that "
               "answered (serial number 1032)";
        QTest::newRow("two modules given one address")
            << QList<PlanRow>{bySerial(1031, {to50}), bySerial(1032, {to50})}
            << int(ExitStatus::AddressCollision)
            << "row 1031, column ipAddress: '10.77.0.50' is also the new address of the module "
               "with serial number 1032 (row 1032)\n"
               "row 1032, column ipAddress: '10.77.0.50' is also the new address of the module "
               "with serial number 1031 (row 1031)";
        QTest::newRow("client mode without a server host")
            << QList<PlanRow>{bySerial(1031, {{"serverHost", ""}, {"dhcp", "1"}})}
            << int(ExitStatus::InvalidValue)
            << "row 1031, column serverHost: client mode needs a server host, and serverHost "
               "is empty";
        QTest::newRow("one module named twice")
            << QList<PlanRow>{bySerial(1031, {}), {"row 5", std::nullopt, "10.77.0.10", {}}}
            << int(ExitStatus::InvalidValue)
            << "row 1031 and row 5 both name the module with serial number 1031";
        QTest::newRow("a module at 0.0.0.0")
            << QList<PlanRow>{bySerial(1035, {{"dhcp", "1"}})} << int(ExitStatus::InvalidValue)
            << "row 1035: the module with serial number 1035 holds the address 0.0.0.10, which "
               "no write can reach";
        QTest::newRow("two modules swapping addresses")
            << QList<PlanRow>{bySerial(1031, {{"ipAddress", "10.77.0.11"}}),
                              bySerial(1032, {{"ipAddress", "10.77.0.10"}})}
            << int(ExitStatus::Ok) << "";
        QTest::newRow("server mode without a server host")
            << QList<PlanRow>{bySerial(1031, {{"serverHost", ""}, {"clientMode", "server"}})}
            << int(ExitStatus::Ok) << "";
    }

    void resolutionRefusesWhatCannotBeWrittenSafely()
    {
        QFETCH(QList<PlanRow>, rows);
        QFETCH(int, status);
        QFETCH(QString, error);
        // Modules fresh from the factory share 10.77.0.12.
        QList<FoundModule> found{module(10, 1031), module(11, 1032), module(12, 1033),
                                 module(12, 1034), module(10, 1035)};
        QByteArray unreachable = found[4].record.bytes(); // 0.0.0.10: no address yet
        unreachable[0] = unreachable[1] = 0;
        found[4].record = *ModuleRecord::fromBytes(unreachable);
        const Resolution r = resolvePlan(rows, found);
        QCOMPARE(r.error, error);
        QCOMPARE(int(r.status), status);
        QCOMPARE(r.writes.isEmpty(), status != int(ExitStatus::Ok));
    }

    void changesAndTheirRequest()
    {
        const QList<FoundModule> found{module(10, 1031)};
        // dhcp=0 is what the module shows already: no change.
        const Resolution r = resolvePlan(
            {bySerial(1031, {{"dhcp", "0"}, {"ipAddress", "10.77.0.60"}, {"serialNumber", "7"}})},
            found);
        QCOMPARE(int(r.status), int(ExitStatus::Ok));
        const PlannedWrite& w = r.writes.first();
        QCOMPARE(w.changes,
                 (QStringList{"ipAddress: 10.77.0.10 -> 10.77.0.60", "serialNumber: 1031 -> 7"}));
        QCOMPARE(w.currentAddress, QString("10.77.0.10"));
        QCOMPARE(w.newAddress, QString("10.77.0.60"));
        QCOMPARE(w.newSerialNumber, 7);
        QCOMPARE(w.request.size(), requestSize);
        QCOMPARE(w.request.left(4), QByteArray("\x0A\x4D\x00\x3C", 4));
        QCOMPARE(w.request.mid(offset::serialBytes, 3), QByteArray("\0\0\7", 3));
        QCOMPARE(quint8(w.request[offset::opcode]), writeOpcode);
    }

    void aReplyConfirmsOnlyExactlyWhatWasWritten()
    {
        const FoundModule m = module(10, 1031);
        QByteArray request = RecordValues::fromRecord(m.record).encode();
        // The reply carries no opcode; that byte is no field.
        QVERIFY(confirmsWrite(m.record, request));
        request[offset::serverHost + 31] = 'x';
        request[offset::watchdog] = 0; // the module holds it on
        QCOMPARE(fieldsDifferingFromWrite(m.record, request),
                 (QStringList{"watchdog", "serverHost"}));
        QVERIFY(!confirmsWrite(m.record, request));
    }

    void searchTargets()
    {
        const QList<NetworkInterface> interfaces{
            {"eth0", 0xC0A80014, 0xC0A800FF},
            {"eth1", 0x0A4D0001, 0x0A4D00FF},
            {"eth1", 0x0A4D0101, 0x0A4D01FF},
            {"wlan0", 0xAC100005, 0xAC10FFFF},
            {"ethernet_32769", 0xC0A80514, 0xC0A805FF, "Ethernet 2"}};
        const auto describe = [&](const TargetChoice& c) {
            const TargetsResult t = chooseTargets(interfaces, c);
            return t.targets ? t.targets->describe().join(", ") : t.error;
        };
        QCOMPARE(describe({}), QString("192.168.0.255, 10.77.0.255, 10.77.1.255, 172.16.255.255, "
                                       "192.168.5.255"));
        QCOMPARE(describe({"eth1", "", false}), QString("10.77.0.255, 10.77.1.255"));
        // An interface by the name the user sees (Windows) or by the system's.
        QCOMPARE(describe({"Ethernet 2", "", false}), QString("192.168.5.255"));
        QCOMPARE(describe({"ethernet_32769", "", false}), QString("192.168.5.255"));
        QCOMPARE(describe({"", "10.77.1", false}), QString("10.77.1.255"));
        // The series takes in every /24 broadcast of its /16; a /16's own is one of them.
        QCOMPARE(describe({"", "", true}),
                 QString("192.168.0.255 ... 192.168.255.255, 10.77.0.255 ... 10.77.255.255, "
                         "172.16.0.255 ... 172.16.255.255"));
        QCOMPARE(describe({"eth9", "", false}),
                 QString("no IPv4 network: no running interface named eth9 (running: eth0 "
                         "(192.168.0.20), eth1 (10.77.0.1), eth1 (10.77.1.1), wlan0 (172.16.0.5), "
                         "Ethernet 2 (ethernet_32769, 192.168.5.20))"));
        QCOMPARE(int(chooseTargets(interfaces, {"", "10.77", false}).status),
                 int(ExitStatus::Usage));
        QCOMPARE(int(chooseTargets(interfaces, {"", "10.77.300", false}).status),
                 int(ExitStatus::Usage));
        const TargetsResult none = chooseTargets({}, {});
        QCOMPARE(int(none.status), int(ExitStatus::NoNetwork));
        QCOMPARE(chooseResetNetworks(interfaces, {"eth1", "", false}).targets->series,
                 (QList<std::pair<int, int>>{{10, 77}}));
    }
};

QTEST_GUILESS_MAIN(TestPlan)
#include "tst_plan.moc"
