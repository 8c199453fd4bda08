// Every value duvactl takes, valid and invalid, with the message that names it: as a `set`
// argument, and the same value in a plan's row and column.

#include "fleet/fields.h"
#include "fleet/plan.h"

#include <QtTest>

using namespace duva::fleet;

class TestValues : public QObject
{
    Q_OBJECT
private slots:
    void values_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("why"); // empty: taken

        const auto ok = [](const char* field, const QString& value) {
            QTest::addRow("%s=%s", field, qPrintable(value)) << field << value << QString();
        };
        const auto bad = [](const char* field, const QString& value, const char* why) {
            QTest::addRow("bad %s=%s", field, qPrintable(value))
                << field << value << QString("'%1' %2").arg(value, QString::fromUtf8(why));
        };
        const char* notAddress =
            "is not an IPv4 address: four numbers from 0 to 255 joined by dots";
        ok("ipAddress", "10.77.0.60");
        ok("subnetMask", "255.255.255.0");
        ok("gateway", "0.0.0.0");
        ok("dnsServer", "010.077.000.001"); // leading zeros are still decimal
        bad("ipAddress", "10.77.0.256", notAddress);
        bad("ipAddress", "10.77.0", notAddress);
        bad("ipAddress", "10.77.0.1.2", notAddress);
        bad("gateway", "10.77.0.-1", notAddress);
        bad("gateway", " 10.77.0.1", notAddress);
        bad("dnsServer", "10.77.0.0x1", notAddress);
        bad("subnetMask", "10.77..1", notAddress);
        bad("subnetMask", "", notAddress);
        bad("ipAddress", "0010.77.0.1", notAddress); // four digits, even below 256
        bad("ipAddress", "10.77.0.1 ", notAddress);
        bad("gateway", "+10.77.0.1", notAddress);
        bad("gateway", "10.77.0.", notAddress);
        bad("dnsServer", QString::fromUtf8("10.77.0.\u0661"), notAddress); // a non-ASCII digit

        ok("localPort", "0");
        ok("serverPort", "65535");
        bad("localPort", "65536", "is not a port: a whole number from 0 to 65535");
        bad("serverPort", "-1", "is not a port: a whole number from 0 to 65535");
        bad("serverPort", "$FF", "is not a port: a whole number from 0 to 65535");
        bad("localPort", "80 ", "is not a port: a whole number from 0 to 65535");
        ok("autoDisconnectTime", "255");
        bad("autoDisconnectTime", "256", "is not a time value: a whole number from 0 to 255");
        ok("serialNumber", "16777215");
        bad("serialNumber", "16777216",
            "is not a serial number: a whole number from 0 to 16777215");
        bad("serialNumber", "99999999999999",
            "is not a serial number: a whole number from 0 to "
            "16777215");

        // As scripts, Calc and a Portuguese Excel write them.
        for (const char* b : {"0", "1", "true", "false", "TRUE", "FALSE", "VERDADEIRO", "falso",
                              "sim", "não", "NÃO", "nao", "on", "OFF"})
            ok("dhcp", QString::fromUtf8(b));
        const char* notBoolean =
            "is not a boolean: 1, true, on, sim or verdadeiro; 0, false, off, não or falso";
        bad("watchdog", "yes", notBoolean);
        bad("autoDisconnect", "verdade", notBoolean);
        bad("dhcp", "2", notBoolean);
        ok("clientMode", "client");
        ok("clientMode", "server");
        bad("clientMode", "Client", "is neither client nor server");

        ok("firmwareVersion", "1.6");
        ok("firmwareVersion", QString::fromUtf8("ç€1")); // cp1252 has both
        bad("firmwareVersion", "1.", "is not exactly 3 characters long");
        bad("firmwareVersion", "1.23", "is not exactly 3 characters long");
        const char* notCp1252 = "has a character that the modules cannot store (they take "
                                "Windows Latin-1, cp1252, text only)";
        bad("firmwareVersion", QString::fromUtf8("1ő2"), notCp1252);
        ok("serverHost", QString(32, 'h'));
        ok("serverHost", "central.duva.com.br");
        bad("serverHost", QString(33, 'h'), "is longer than 32 characters");
        bad("serverHost", QString::fromUtf8("servidor-日本"), notCp1252);
    }

    void values()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, why);

        const ParsedChange parsed = parseAssignment(field + '=' + value);
        if (why.isEmpty()) {
            QVERIFY2(parsed.change, qPrintable(parsed.error));
            QCOMPARE(parsed.change->field, field);
            QCOMPARE(parsed.change->value, value);
        } else {
            QVERIFY(!parsed.change);
            QCOMPARE(parsed.error, QString("argument %1=%2, field %1: %3").arg(field, value, why));
        }

        // The same value in the third row of a plan: a spreadsheet's row number, and the column.
        if (value.isEmpty())
            return; // an empty cell changes nothing
        const QByteArray quoted = "\"" + value.toUtf8() + "\"\n";
        const QByteArray csv = field == "serialNumber"
                                   ? "serialNumber\n1031\n" + quoted
                                   : "serialNumber," + field.toUtf8() + "\n1031,\n1032," + quoted;
        const Plan plan = readPlan(csv, PlanFormat::Csv);
        if (why.isEmpty())
            QVERIFY2(plan.error.isEmpty(), qPrintable(plan.error));
        else
            QCOMPARE(plan.error, QString("row 3, column %1: %2").arg(field, why));
    }

    // Each field reads and writes its own bytes: two records that differ in every byte, with no
    // two fields of one record alike where a value could be shared. Writing the second's value
    // into the first changes that field's bytes and no other.
    void eachFieldHasItsOwnBytes_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("inFirst");
        QTest::addColumn<QString>("inSecond");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("size");

        QTest::newRow("ipAddress") << "ipAddress"
                                   << "10.77.0.10"
                                   << "192.168.1.20" << 0 << 4;
        QTest::newRow("subnetMask") << "subnetMask"
                                    << "255.255.254.0"
                                    << "255.255.0.0" << 4 << 4;
        QTest::newRow("gateway") << "gateway"
                                 << "10.77.0.1"
                                 << "192.168.1.254" << 8 << 4;
        QTest::newRow("dnsServer") << "dnsServer"
                                   << "10.77.0.2"
                                   << "192.168.1.253" << 12 << 4;
        QTest::newRow("localPort") << "localPort"
                                   << "5002"
                                   << "4000" << 16 << 2;
        QTest::newRow("serverPort") << "serverPort"
                                    << "6003"
                                    << "4001" << 18 << 2;
        QTest::newRow("dhcp") << "dhcp"
                              << "true"
                              << "false" << 20 << 1;
        QTest::newRow("watchdog") << "watchdog"
                                  << "true"
                                  << "false" << 21 << 1;
        QTest::newRow("clientMode") << "clientMode"
                                    << "client"
                                    << "server" << 23 << 1;
        QTest::newRow("autoDisconnect") << "autoDisconnect"
                                        << "false"
                                        << "true" << 24 << 1;
        QTest::newRow("autoDisconnectTime") << "autoDisconnectTime"
                                            << "17"
                                            << "44" << 25 << 1;
        QTest::newRow("firmwareVersion") << "firmwareVersion"
                                         << "1.7"
                                         << "2.0" << 26 << 3;
        QTest::newRow("serialNumber") << "serialNumber"
                                      << "1031"
                                      << "66051" << 29 << 3;
        QTest::newRow("serverHost") << "serverHost"
                                    << "central.duva"
                                    << "srv" << 32 << 32;
    }

    void eachFieldHasItsOwnBytes()
    {
        QFETCH(QString, field);
        QFETCH(QString, inFirst);
        QFETCH(QString, inSecond);
        QFETCH(int, at);
        QFETCH(int, size);
        const auto record = [](const char* hex, const char* host) {
            QByteArray bytes = QByteArray::fromHex(hex) + host;
            bytes.append(64 - bytes.size(), ' ');
            return *duva::ModuleRecord::fromBytes(bytes);
        };
        const duva::ModuleRecord first = record("0A4D000A FFFFFE00 0A4D0001 0A4D0002 138A1773"
                                                "01 80 00 01 00 11 312E37 000407",
                                                "central.duva");
        const duva::ModuleRecord second = record("C0A80114 FFFF0000 C0A801FE C0A801FD 0FA00FA1"
                                                 "00 00 00 00 01 2C 322E30 010203",
                                                 "srv");
        const Field* f = findField(field);
        QVERIFY(f);
        QCOMPARE(f->text(first), inFirst);
        QCOMPARE(f->text(second), inSecond);
        QCOMPARE(f->json(first).toVariant().toString(), inFirst);

        duva::RecordValues values = duva::RecordValues::fromRecord(first);
        QCOMPARE(f->store(inSecond, values), QString());
        QByteArray expected = first.bytes();
        expected.replace(at, size, second.bytes().mid(at, size));
        expected[22] = char(duva::writeOpcode);
        QCOMPARE(values.encode().left(64).toHex(' '), expected.toHex(' '));
    }

    void unknownFieldsAreRefused()
    {
        QCOMPARE(parseAssignment("ipaddress=10.77.0.1").error,
                 QString("argument ipaddress=10.77.0.1: unknown field 'ipaddress' (the fields "
                         "are ipAddress, subnetMask, gateway, dnsServer, localPort, serverPort, "
                         "dhcp, watchdog, clientMode, autoDisconnect, autoDisconnectTime, "
                         "firmwareVersion, serialNumber, serverHost)"));
        QVERIFY(parseAssignment("=1").error.startsWith("=1: not FIELD=VALUE"));
        QVERIFY(readPlan("serialNumber,colour\n1,red\n", PlanFormat::Csv)
                    .error.startsWith("row 1, column 2: unknown field 'colour'"));
        QVERIFY(readPlan(R"([{"serialNumber": 1, "colour": "red"}])", PlanFormat::Json)
                    .error.startsWith("entry 1: unknown field 'colour'"));
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
