// Plans and what they come to: reading CSV and JSON (a search's own output included), the
// checks that refuse a plan before anything is sent, where a search goes, and the rule that
// confirms a write.

#include "cli/output.h"
#include "fleet/fields.h"
#include "fleet/plan.h"
#include "fleet/resolve.h"
#include "fleet/targets.h"
#include "protocol/confirmation.h"

#include <QtTest>

using namespace duva;
using namespace duva::cli;
using namespace duva::fleet;

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
    return {*ModuleRecord::fromBytes(record), Ipv4Address(10, 77, 0, quint8(last)), 1};
}

PlanRow bySerial(int serial, QList<Change> changes)
{
    return {QString("row %1").arg(serial), serial, std::nullopt, changes};
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
        QCOMPARE(int(r.status), int(Outcome::Ok));
        QCOMPARE(r.writes.size(), 2);
        for (const PlannedWrite& w : r.writes) {
            QVERIFY2(w.request.isEmpty(), qPrintable(w.changes.join("; ")));
            QVERIFY(w.changes.isEmpty());
        }
    }

    void csvAsSpreadsheetsWriteIt_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("rows"); // the plan's rows, as summary() puts them
        // A byte-order mark, semicolons, CR LF, a quoted cell with the separator, a doubled
        // quote and a line end, a blank line, an empty cell (no change) and cells left off.
        // Without a serial number the address picks the module and is not a change.
        QTest::newRow("UTF-8 with a mark, ';', CR LF")
            << QByteArray("\xEF\xBB\xBFserialNumber;serverHost;ipAddress;dhcp\r\n"
                          "1031;\"a;b\"\"c\nd\";10.77.0.50;\r\n"
                          "\r\n"
                          ";;10.77.0.11\r\n")
            << "row 2 1031 serverHost=a;b\"c\nd ipAddress=10.77.0.50 | row 4 10.77.0.11";
        QTest::newRow("a Portuguese Excel: cp1252 and ';'")
            << QByteArray("serialNumber;serverHost;dhcp\r\n1031;S\xE3o Jos\xE9;VERDADEIRO\r\n")
            << QString::fromUtf8("row 2 1031 serverHost=São José dhcp=VERDADEIRO");
        QTest::newRow("UTF-8 without a mark, tabs")
            << QByteArray(
                   "serialNumber\tserverHost\twatchdog\n1032\tS\xC3\xA3o Jos\xC3\xA9\tn\xC3\xA3o\n")
            << QString::fromUtf8("row 2 1032 serverHost=São José watchdog=não");
        QTest::newRow("blanks around cells, quoted ones keep theirs")
            << QByteArray(" serialNumber , localPort ,serverHost\n 1033 ,\t5003 ,  \" a b \"  \n")
            << "row 2 1033 localPort=5003 serverHost= a b ";
        QTest::newRow("';' between cells, ',' inside one")
            << QByteArray("serialNumber;serverHost\n1034;\"a,b\"\n") << "row 2 1034 serverHost=a,b";
        // The module at 10.77.0.10, however its address is written.
        QTest::newRow("an address with leading zeros")
            << QByteArray("ipAddress,dhcp\n10.077.0.010,1\n") << "row 2 10.77.0.10 dhcp=1";
        QTest::newRow("a spreadsheet's row of empty cells")
            << QByteArray("serialNumber;dhcp;from\n1035;1;\n;;\n") << "row 2 1035 dhcp=1";
    }

    void csvAsSpreadsheetsWriteIt()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, rows);
        const Plan plan = readPlan(file, PlanFormat::Csv);
        QVERIFY2(plan.error.isEmpty(), qPrintable(plan.error));
        QStringList summary;
        for (const PlanRow& row : plan.rows) {
            QStringList parts{row.where, row.serialNumber ? QString::number(*row.serialNumber)
                                                          : row.addressText()};
            for (const Change& c : row.changes)
                parts << c.field + '=' + c.value;
            summary << parts.join(' ');
        }
        QCOMPARE(summary.join(" | "), rows);
    }

    void leadingZerosASpreadsheetDropped_data()
    {
        QTest::addColumn<QByteArray>("plan");
        QTest::addColumn<QString>("changes"); // of the write, or the error
        // The module shows firmwareVersion 010 and serverHost 0123.
        QTest::newRow("010 saved as 10")
            << QByteArray("serialNumber,firmwareVersion\n1031,10\n") << "";
        QTest::newRow("0123 saved as 123")
            << QByteArray("serialNumber,serverHost\n1031,123\n") << "";
        QTest::newRow("another number is a change")
            << QByteArray("serialNumber,serverHost\n1031,23\n") << "serverHost: 0123 -> 23";
        QTest::newRow("another version is refused")
            << QByteArray("serialNumber,firmwareVersion\n1031,0\n")
            << "row 2, column firmwareVersion: '0' is not exactly 3 characters long";
        QTest::newRow("set means what it says")
            << QByteArray("serverHost=123") << "serverHost: 0123 -> 123";
        QTest::newRow("numbers with zeros added")
            << QByteArray("serialNumber,localPort,autoDisconnectTime\n1031,05002,017\n") << "";
    }

    void leadingZerosASpreadsheetDropped()
    {
        QFETCH(QByteArray, plan);
        QFETCH(QString, changes);
        RecordValues v = RecordValues::fromRecord(module(10, 1031).record);
        v.firmwareVersion = "010";
        v.serverHost = "0123";
        const FoundModule m{*ModuleRecord::fromBytes(v.encode().left(recordSize)),
                            Ipv4Address(10, 77, 0, 10), 1};
        Plan p;
        if (plan.contains('\n')) {
            p = readPlan(plan, PlanFormat::Csv);
            QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        } else {
            p.rows << bySerial(1031, {*parseAssignment(plan).change});
        }
        const Resolution r = resolvePlan(p.rows, {m});
        QCOMPARE(r.writes.isEmpty() ? r.error : r.writes.first().changes.join("; "), changes);
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
        csv("every bad header cell at once", "serialNumber,colour,dhcp,dhcp,size\n1031\n",
            QString("row 1, column 2: unknown field 'colour' (the fields are %1)\n"
                    "row 1: column dhcp appears twice\n"
                    "row 1, column 5: unknown field 'size' (the fields are %1)")
                .arg(fieldNames()));
        csv("every bad row at once", "serialNumber,localPort,dhcp\n1031,70000,2\n1032,1,x,y\n",
            "row 2, column localPort: '70000' is not a port: a whole number from 0 to 65535\n"
            "row 2, column dhcp: '2' is not a boolean: 1, true, on, sim or verdadeiro; 0, false, "
            "off, n\u00e3o or falso\n"
            "row 3, column 4: 'y' lies beyond the last column of the header\n"
            "row 3, column dhcp: 'x' is not a boolean");
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
        json("every bad entry at once", R"([{"dhcp": 1}, 2, {"serialNumber": 3, "dns": 1}])",
             "entry 1: names no module: give its serialNumber or its ipAddress\n"
             "entry 2: not an object of field names and values\n"
             "entry 3: unknown field 'dns'");
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
            << int(Outcome::NotFound)
            << "row 9: no module with serial number 9 answered\n"
               "row 8: no module with serial number 8 answered";
        QTest::newRow("a write to an address two modules answer at")
            << QList<PlanRow>{bySerial(1033, {to50})} << int(Outcome::SharedAddress)
            << "row 1033: 2 modules answer at 10.77.0.12 (serial numbers 1033, 1034); a write "
               "to that address would reach either of them";
        QTest::newRow("an address picking two modules")
            << QList<PlanRow>{{"row 2", std::nullopt, Ipv4Address(10, 77, 0, 12), {{"dhcp", "1"}}}}
            << int(Outcome::SharedAddress)
            << "row 2: 2 modules answer with address 10.77.0.12 (serial numbers 1033, 1034); a "
               "write to one of them would reach any";
        QTest::newRow("an address another module has")
            << QList<PlanRow>{bySerial(1031, {{"ipAddress", "10.77.0.11"}})}
            << int(Outcome::AddressCollision)
            << "row 1031, column ipAddress: '10.77.0.11' is the address of another module that "
               "answered (serial number 1032)";
        QTest::newRow("two modules given one address")
            << QList<PlanRow>{bySerial(1031, {to50}), bySerial(1032, {to50})}
            << int(Outcome::AddressCollision)
            << "row 1031, column ipAddress: '10.77.0.50' is also the new address of the module "
               "with serial number 1032 (row 1032)\n"
               "row 1032, column ipAddress: '10.77.0.50' is also the new address of the module "
               "with serial number 1031 (row 1031)";
        QTest::newRow("client mode without a server host")
            << QList<PlanRow>{bySerial(1031, {{"serverHost", ""}, {"dhcp", "1"}})}
            << int(Outcome::InvalidValue)
            << "row 1031, column serverHost: client mode needs a server host, and serverHost "
               "is empty";
        QTest::newRow("one module named twice")
            << QList<PlanRow>{bySerial(1031, {}),
                              {"row 5", std::nullopt, Ipv4Address(10, 77, 0, 10), {}}}
            << int(Outcome::InvalidValue)
            << "row 1031 and row 5 both name the module with serial number 1031";
        QTest::newRow("a module at 0.0.0.0")
            << QList<PlanRow>{bySerial(1035, {{"dhcp", "1"}})} << int(Outcome::InvalidValue)
            << "row 1035: the module with serial number 1035 holds the address 0.0.0.10, which "
               "no write can reach";
        QTest::newRow("two modules swapping addresses")
            << QList<PlanRow>{bySerial(1031, {{"ipAddress", "10.77.0.11"}}),
                              bySerial(1032, {{"ipAddress", "10.77.0.10"}})}
            << int(Outcome::Ok) << "";
        QTest::newRow("server mode without a server host")
            << QList<PlanRow>{bySerial(1031, {{"serverHost", ""}, {"clientMode", "server"}})}
            << int(Outcome::Ok) << "";
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
        QCOMPARE(r.writes.isEmpty(), status != int(Outcome::Ok));
    }

    void valuesThatCutAModuleOff_data()
    {
        QTest::addColumn<QList<PlanRow>>("rows");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("error"); // empty: written
        // Modules 1031-1033 at 10.77.0.10-12/24, gateway 10.77.0.1; this computer is 10.77.0.2.
        const auto row = [](int serial, const char* field, const char* value) {
            return QList<PlanRow>{bySerial(serial, {{field, value}})};
        };
        const auto refused = [](const QString& lines) {
            return lines + "\n(--force writes such values all the same)";
        };
        const struct {
            const char* name;
            const char* field;
            const char* value;
            const char* why;
        } single[] = {
            {"the network address", "ipAddress", "10.77.0.0",
             "is the network address of its subnet 10.77.0.0/24"},
            {"the broadcast address", "ipAddress", "10.77.0.255",
             "is the broadcast address of its subnet 10.77.0.0/24"},
            {"no address", "ipAddress", "0.0.0.0", "is 0.0.0.0, which means no address"},
            {"loopback", "ipAddress", "127.0.0.1",
             "is a loopback address (127.0.0.0/8), which never leaves the module"},
            {"multicast", "ipAddress", "239.1.2.3",
             "is a multicast address (224.0.0.0/4), which no module can hold"},
            {"every network's broadcast", "ipAddress", "255.255.255.255",
             "is 255.255.255.255, the broadcast address of every network"},
            {"this computer's address", "ipAddress", "10.77.0.2", "is this computer's own address"},
            {"the module's gateway", "ipAddress", "10.77.0.1", "is the module's own gateway"},
            {"a gateway that is the module", "gateway", "10.77.0.10",
             "is the module's own ipAddress"},
            {"a mask with a hole", "subnetMask", "255.0.255.0",
             "has ones that are not contiguous: a subnet mask is ones followed by zeros, such "
             "as 255.255.255.0"},
            {"a gateway outside the subnet", "gateway", "10.78.0.1",
             "lies outside the module's subnet 10.77.0.0/24"},
            {"an address leaving the gateway outside", "ipAddress", "10.77.1.10",
             "puts the gateway 10.77.0.1 outside the module's subnet 10.77.1.0/24"},
            {"a mask leaving the gateway outside", "subnetMask", "255.255.255.252",
             "puts the gateway 10.77.0.1 outside the module's subnet 10.77.0.8/30"},
            {"a serial number another module has", "serialNumber", "1032",
             "is also the serial number of the module at 10.77.0.11; modules that share one "
             "cannot be told apart"},
        };
        for (const auto& c : single) {
            QTest::addRow("%s", c.name)
                << row(1031, c.field, c.value) << false
                << refused(QString("row 1031, column %1: '%2' %3").arg(c.field, c.value, c.why));
            QTest::addRow("%s, forced", c.name) << row(1031, c.field, c.value) << true << "";
        }
        QTest::newRow("a mask that makes the address its subnet's broadcast")
            << row(1032, "subnetMask", "255.255.255.252") << false
            << refused("row 1032, column subnetMask: '255.255.255.252' makes the module's "
                       "ipAddress 10.77.0.11 the broadcast address of its subnet 10.77.0.8/30\n"
                       "row 1032, column subnetMask: '255.255.255.252' puts the gateway "
                       "10.77.0.1 outside the module's subnet 10.77.0.8/30");
        QTest::newRow("one serial number for two modules")
            << QList<PlanRow>{bySerial(1031, {{"serialNumber", "7"}}),
                              bySerial(1033, {{"serialNumber", "7"}})}
            << false
            << refused("row 1031, column serialNumber: '7' is also the serial number of the "
                       "module at 10.77.0.12 (row 1033); modules that share one cannot be told "
                       "apart\n"
                       "row 1033, column serialNumber: '7' is also the serial number of the "
                       "module at 10.77.0.10 (row 1031); modules that share one cannot be told "
                       "apart");
        QTest::newRow("every bad value at once")
            << QList<PlanRow>{bySerial(1031,
                                       {{"ipAddress", "10.77.0.255"}, {"gateway", "10.78.0.1"}}),
                              bySerial(1032, {{"subnetMask", "255.0.255.0"}})}
            << false
            << refused("row 1031, column ipAddress: '10.77.0.255' is the broadcast address of "
                       "its subnet 10.77.0.0/24\n"
                       "row 1031, column gateway: '10.78.0.1' lies outside the module's subnet "
                       "10.77.0.0/24\n"
                       "row 1032, column subnetMask: '255.0.255.0' has ones that are not "
                       "contiguous: a subnet mask is ones followed by zeros, such as "
                       "255.255.255.0");
        QTest::newRow("no gateway") << row(1031, "gateway", "0.0.0.0") << false << "";
        QTest::newRow("two serial numbers exchanged")
            << QList<PlanRow>{bySerial(1031, {{"serialNumber", "1033"}}),
                              bySerial(1033, {{"serialNumber", "1031"}})}
            << false << "";
        QTest::newRow("an old fault that the write leaves as it was")
            << row(1033, "dhcp", "1") << false << "";
    }

    void valuesThatCutAModuleOff()
    {
        QFETCH(QList<PlanRow>, rows);
        QFETCH(bool, force);
        QFETCH(QString, error);
        QList<FoundModule> found{module(10, 1031), module(11, 1032), module(12, 1033)};
        RecordValues v = RecordValues::fromRecord(found[2].record); // its gateway outside
        v.gateway = {10, 1, 0, 1};
        found[2].record = *ModuleRecord::fromBytes(v.encode().left(recordSize));
        const Resolution r = resolvePlan(rows, found, {{Ipv4Address(10, 77, 0, 2)}, force});
        QCOMPARE(r.error, error);
        QCOMPARE(int(r.status), int(error.isEmpty() ? Outcome::Ok : Outcome::InvalidValue));
        QCOMPARE(r.writes.size(), error.isEmpty() ? rows.size() : 0);
    }

    void changesAndTheirRequest()
    {
        const QList<FoundModule> found{module(10, 1031)};
        // dhcp=0 is what the module shows already: no change.
        const Resolution r = resolvePlan(
            {bySerial(1031, {{"dhcp", "0"}, {"ipAddress", "10.77.0.60"}, {"serialNumber", "7"}})},
            found);
        QCOMPARE(int(r.status), int(Outcome::Ok));
        const PlannedWrite& w = r.writes.first();
        QCOMPARE(w.changes,
                 (QStringList{"ipAddress: 10.77.0.10 -> 10.77.0.60", "serialNumber: 1031 -> 7"}));
        QCOMPARE(w.currentAddress.toString(), QString("10.77.0.10"));
        QCOMPARE(w.newAddress.toString(), QString("10.77.0.60"));
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
            {"eth0", Ipv4Address(0xC0A80014), Ipv4Address(0xC0A800FF)},
            {"eth1", Ipv4Address(0x0A4D0001), Ipv4Address(0x0A4D00FF)},
            {"eth1", Ipv4Address(0x0A4D0101), Ipv4Address(0x0A4D01FF)},
            {"wlan0", Ipv4Address(0xAC100005), Ipv4Address(0xAC10FFFF)},
            {"ethernet_32769", Ipv4Address(0xC0A80514), Ipv4Address(0xC0A805FF), "Ethernet 2"}};
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
        QCOMPARE(int(chooseTargets(interfaces, {"", "10.77", false}).status), int(Outcome::Usage));
        QCOMPARE(int(chooseTargets(interfaces, {"", "10.77.300", false}).status),
                 int(Outcome::Usage));
        const TargetsResult none = chooseTargets({}, {});
        QCOMPARE(int(none.status), int(Outcome::NoNetwork));
        QCOMPARE(chooseResetNetworks(interfaces, {"eth1", "", false}).targets->series,
                 (QList<std::pair<int, int>>{{10, 77}}));
    }
};

QTEST_GUILESS_MAIN(TestPlan)
#include "tst_plan.moc"
