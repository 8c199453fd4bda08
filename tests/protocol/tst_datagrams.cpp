#include "protocol/confirmation.h"
#include "protocol/datagrams.h"
#include "protocol/exception.h"
#include "protocol/recordfields.h"
#include "testsupport.h"

#include <QTest>

using namespace duva;

namespace
{

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text); // spaces are skipped
}

const QByteArray workedExample = hex("C0 A8 00 84 FF FF FF 00 C0 A8 00 01 C0 A8 00 64"
                                     "13 8A 13 8A 00 80 55 01 01 0A 30 30 30 00 04 07"
                                     "31 39 32 2E 31 36 38 2E 30 2E 31 34 20 20 20 20") +
                                 QByteArray(16, ' ') + hex("2A");

// A text field of the request by a short name: ip0..3, mask0..3, gw0..3, dns0..3, serial0..2,
// localPort, serverPort, time, version, host.
QString& field(WriteRequest& w, const QString& name)
{
    const int i = name.back().isDigit() ? name.back().digitValue() : 0;
    const QString base = name.back().isDigit() ? name.chopped(1) : name;
    if (base == "ip")
        return w.ipAddress[i];
    if (base == "mask")
        return w.subnetMask[i];
    if (base == "gw")
        return w.gateway[i];
    if (base == "dns")
        return w.dnsServer[i];
    if (base == "serial")
        return w.serialBytes[i];
    if (base == "localPort")
        return w.localPort;
    if (base == "serverPort")
        return w.serverPort;
    if (base == "time")
        return w.autoDisconnectTime;
    if (base == "version")
        return w.firmwareVersion;
    Q_ASSERT(base == "host");
    return w.serverHost;
}

std::optional<ModuleRecord> recordWith(int at, const QByteArray& bytes)
{
    QByteArray raw = workedExample.left(recordSize);
    raw.replace(at, bytes.size(), bytes);
    return ModuleRecord::fromBytes(raw);
}

} // namespace

class TestDatagrams : public QObject
{
    Q_OBJECT
private slots:
    void fixedDatagrams()
    {
        QCOMPARE(SearchRequest::build(),
                 QByteArray(22, 0) + hex("05") + QByteArray(41, 0) + hex("2A"));
        QCOMPARE(ResetDatagram::build(), QByteArray(65, 0));
    }

    void workedExampleAndReadBack()
    {
        QCOMPARE(duva::test::exampleWriteRequest().build().toHex(' '), workedExample.toHex(' '));

        // What the window shows for a record must write the same record back.
        const auto r = ModuleRecord::fromBytes(workedExample.left(recordSize));
        QVERIFY(r);
        QCOMPARE(r->ipAddressText(), "192.168.0.132");
        WriteRequest w;
        for (int i = 0; i < 4; ++i) {
            w.ipAddress[i] = r->ipAddress(i);
            w.subnetMask[i] = r->subnetMask(i);
            w.gateway[i] = r->gateway(i);
            w.dnsServer[i] = r->dnsServer(i);
        }
        w.localPort = QString::number(r->localPort());
        w.serverPort = QString::number(r->serverPort());
        w.dhcp = r->dhcp();
        w.watchdog = r->watchdog();
        w.clientMode = r->clientMode().value_or(false);
        w.autoDisconnect = r->autoDisconnect();
        w.autoDisconnectTime = QString::number(r->autoDisconnectTime());
        w.firmwareVersion = r->firmwareVersion();
        for (int i = 0; i < 3; ++i)
            w.serialBytes[i] = QString::number(r->serialBytes()[i]);
        w.serverHost = r->serverHost();
        QCOMPARE(w.build(), workedExample);

        // The typed values of a record encode to the same bytes, and so do the window's texts
        // turned into values: one encoder for both.
        QCOMPARE(RecordValues::fromRecord(*r).encode(), workedExample);
        QCOMPARE(w.values().encode(), workedExample);
    }

    void recordValuesWriteBackOddBytesUnchanged()
    {
        // Texts keep their raw bytes (a NUL inside the version, blanks around the host);
        // flags and the mode byte are written as the window writes them.
        QByteArray raw = workedExample.left(recordSize);
        raw.replace(offset::firmwareVersion, 3, QByteArray("7\0x", 3));
        raw.replace(offset::serverHost, 5, "  ab ");
        raw[offset::dhcp] = 2;
        raw[offset::clientMode] = 2;
        const QByteArray written = RecordValues::fromRecord(*ModuleRecord::fromBytes(raw)).encode();
        QCOMPARE(written.mid(offset::firmwareVersion, 3), QByteArray("7\0x", 3));
        QCOMPARE(written.mid(offset::serverHost, serverHostSize), raw.mid(offset::serverHost));
        QCOMPARE(written.at(offset::dhcp), '\0');
        QCOMPARE(written.at(offset::clientMode), '\0');
    }

    void writeFields_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("at");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* tag, const char* name, const QString& text, int at,
                            const QByteArray& expected) {
            QTest::newRow(tag) << QString(name) << text << at << expected;
        };
        row("octet 256", "ip0", "256", 0, hex("00"));
        row("octet 300", "mask3", "300", 7, hex("2C"));
        row("octet -1", "dns3", "-1", 15, hex("FF"));
        row("octet hex", "gw2", " $0A", 10, hex("0A"));
        row("port 80", "serverPort", "80", 18, hex("00 50"));
        row("port 65536", "localPort", "65536", 16, hex("00 00"));
        row("port -1", "localPort", "-1", 16, hex("00 FF"));
        row("port 70000", "serverPort", "70000", 18, hex("11 70"));
        row("port -256", "serverPort", "-256", 18, hex("FF 00"));
        row("time 511", "time", "511", 25, hex("FF"));
        row("version 7", "version", "7", 26, hex("37 00 00"));
        row("version 12", "version", "12", 26, hex("31 32 00"));
        row("version empty", "version", "", 26, hex("00 00 00"));
        row("version long", "version", QString::fromUtf8("1€34"), 26, hex("31 80 33"));
        row("serial wrap", "serial2", "258", 29, hex("00 04 02"));
        row("host abc", "host", "abc", 32, QByteArray("abc") + QByteArray(29, ' '));
        row("host empty", "host", "", 32, QByteArray(32, ' '));
        row("host 32", "host", QString(32, 'h'), 32, QByteArray(32, 'h'));
        row("host cut", "host", QString(31, 'h') + "xyz", 32, QByteArray(31, 'h') + "x");
        row("host cp1252", "host", QString::fromUtf8("são ž"), 32,
            QByteArray("s\xE3o \x9E") + QByteArray(27, ' '));
    }

    void writeFields()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, at);
        QFETCH(QByteArray, expected);
        WriteRequest w = duva::test::exampleWriteRequest();
        field(w, name) = text;
        const QByteArray d = w.build();
        QCOMPARE(d.size(), requestSize);
        // The field lands where it belongs and nothing else moves.
        QByteArray rest = workedExample;
        rest.replace(at, expected.size(), expected);
        QCOMPARE(d.toHex(' '), rest.toHex(' '));
    }

    void firstBadFieldReported_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("firstText");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("secondText");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* first, const QString& firstText, const char* second,
                            const QString& secondText, const QString& message) {
            QTest::newRow(first) << QString(first) << firstText << QString(second) << secondText
                                 << message;
        };
        const auto conv = [](const char* t) {
            return QString("'%1' is not a valid integer value").arg(t);
        };
        const QString o = QString::fromUtf8("ő");
        row("ip3", "abc", "mask0", "b", conv("abc"));
        row("mask3", "m", "gw0", "g", conv("m"));
        row("gw3", "g", "dns0", "d", conv("g"));
        row("dns3", "d", "localPort", "", conv("d"));
        row("localPort", "", "serverPort", "s", conv(""));
        row("serverPort", "s ", "time", "t", conv("s "));
        row("time", "t", "version", o, conv("t"));
        row("version", "1" + o, "serial0", "s",
            QString::fromUtf8("O texto '1ő' tem caracteres que o módulo não aceita"));
        row("serial2", "s", "host", o, conv("s"));
        row("host", "a" + o, "ip0", "256",
            QString::fromUtf8("O texto 'aő' tem caracteres que o módulo não aceita"));
    }

    void firstBadFieldReported()
    {
        QFETCH(QString, first);
        QFETCH(QString, firstText);
        QFETCH(QString, second);
        QFETCH(QString, secondText);
        QFETCH(QString, message);
        WriteRequest w = duva::test::exampleWriteRequest();
        field(w, first) = firstText;
        field(w, second) = secondText;
        try {
            w.build();
            QFAIL("built a request from a bad field");
        } catch (const Exception& e) {
            QCOMPARE(e.message(), message);
            const bool isEncoding = dynamic_cast<const EncodingError*>(&e) != nullptr;
            QCOMPARE(isEncoding, first == "version" || first == "host");
        }
    }

    void readRecord_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, int at, const QByteArray& bytes, const char* what,
                            const QString& expected) {
            QTest::newRow(tag) << at << bytes << QString(what) << expected;
        };
        row("ports", 16, hex("FF FF 00 50"), "ports", "65535 80");
        row("dhcp 1", 20, hex("01"), "dhcp", "1");
        row("dhcp 2", 20, hex("02"), "dhcp", "0");
        row("watchdog 80", 21, hex("80"), "watchdog", "1");
        row("watchdog 81", 21, hex("81"), "watchdog", "0");
        row("client", 23, hex("01"), "mode", "client");
        row("server", 23, hex("00"), "mode", "server");
        row("mode 2", 23, hex("02"), "mode", "neither");
        row("auto 2", 24, hex("02 FF"), "auto", "0 255");
        row("version 174", 26, "174", "version", "174");
        row("version NUL", 26,
            QByteArray("1\0"
                       "4",
                       3),
            "version", "1");
        row("version cp1252", 26, "\x80\x81\xE9", "version", QString::fromUtf8("€\u0081é"));
        row("serial 258", 29, hex("00 01 02"), "serial", "0 1 2 258");
        row("serial 65536", 29, hex("01 00 00"), "serial", "1 0 0 65536");
        row("serial max", 29, hex("FF FF FF"), "serial", "255 255 255 16777215");
        row("host padded", 32, "  abc" + QByteArray(27, ' '), "host", "abc");
        row("host NULs", 32, "  abc" + QByteArray(27, '\0'), "host", "abc");
        row("host inner NUL", 32, QByteArray("ab\0c", 4) + QByteArray(28, ' '), "host", "abc");
        row("host blank", 32, QByteArray(32, ' '), "host", "");
        row("host controls", 32, QByteArray("\t\x01 a b\r\n") + QByteArray(24, '\0'), "host",
            "a b");
        row("host full", 32, QByteArray(32, 'z'), "host", QString(32, 'z'));
        row("host high", 32, "\xA0x\x81" + QByteArray(29, ' '), "host",
            QString::fromUtf8("\u00A0x\u0081"));
    }

    void readRecord()
    {
        QFETCH(int, at);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, what);
        QFETCH(QString, expected);
        const auto record = recordWith(at, bytes);
        QVERIFY(record);
        const ModuleRecord& r = *record;
        QString got;
        if (what == "ports") {
            got = QString("%1 %2").arg(r.localPort()).arg(r.serverPort());
        } else if (what == "dhcp") {
            got = QString::number(r.dhcp());
        } else if (what == "watchdog") {
            got = QString::number(r.watchdog());
        } else if (what == "mode") {
            got = r.clientMode() ? (*r.clientMode() ? "client" : "server") : "neither";
        } else if (what == "auto") {
            got = QString("%1 %2").arg(r.autoDisconnect()).arg(r.autoDisconnectTime());
        } else if (what == "version") {
            got = r.firmwareVersion();
        } else if (what == "serial") {
            const auto s = r.serialBytes();
            got = QString("%1 %2 %3 %4").arg(s[0]).arg(s[1]).arg(s[2]).arg(r.serialNumber());
        } else {
            got = r.serverHost();
        }
        QCOMPARE(got, expected);
    }

    // Every field of the record's table is carried by the codec at its own bytes: stored
    // through RecordValues, encoded, and read back by the table, no other byte moves. Names
    // are unique and the fields lie in byte order without overlapping.
    void everyFieldOfTheTableRoundTripsAtItsOffset()
    {
        const RecordValues base = RecordValues::fromRecord(*recordWith(0, QByteArray()));
        QStringList names;
        int end = 0;
        for (const RecordField& f : recordFields()) {
            QVERIFY2(!names.contains(f.name), qPrintable(f.name));
            names << f.name;
            QVERIFY2(f.offset >= end && f.size > 0, qPrintable(f.name));
            end = f.offset + f.size;
            QVERIFY(end <= recordSize);
            QCOMPARE(&recordFieldAt(f.offset), &f);
            QCOMPARE(findRecordField(f.name), &f);

            // A value unlike the worked example's in every byte of the field, at its limit.
            QByteArray bytes;
            switch (f.kind) {
            case FieldKind::Address:
                bytes = f.bytes(0x0B160C21);
                break;
            case FieldKind::Number:
                bytes = f.bytes(quint32(f.high));
                break;
            case FieldKind::Flag:
                bytes = f.bytes(base.encode().at(f.offset) == char(f.on) ? 0 : 1);
                break;
            case FieldKind::Mode:
                bytes = f.bytes(0);
                break;
            case FieldKind::Text:
                bytes = QByteArray(int(f.high), 'q');
                break;
            }
            QCOMPARE(bytes.size(), f.size);
            RecordValues values = base;
            values.setField(f, bytes);
            QByteArray expected = base.encode();
            expected.replace(f.offset, f.size, bytes);
            QCOMPARE(values.encode().toHex(' '), expected.toHex(' '));
            const ModuleRecord back = *ModuleRecord::fromBytes(expected.left(recordSize));
            if (f.kind != FieldKind::Text)
                QCOMPARE(f.bytes(f.value(back)), bytes);
            QVERIFY(f.text(back) != f.text(*recordWith(0, QByteArray())));
        }
        QCOMPARE(end, recordSize);
    }

    void recordNeedsExactly64Bytes()
    {
        QVERIFY(!ModuleRecord::fromBytes(QByteArray()));
        QVERIFY(!ModuleRecord::fromBytes(QByteArray(63, 0)));
        QVERIFY(!ModuleRecord::fromBytes(SearchRequest::build()));
        const auto r = ModuleRecord::fromBytes(QByteArray(64, '\xFF'));
        QVERIFY(r);
        QCOMPARE(r->ipAddressText(), "255.255.255.255");
    }

    // A write is confirmed only by a reply that carries every byte of every field as written:
    // one byte changed by its lowest bit, anywhere in the record, names its field. The opcode
    // byte, which a reply does not echo, is no field.
    void confirmationLooksAtEveryByte_data()
    {
        QTest::addColumn<int>("at"); // -1: the reply carries exactly what was written
        QTest::addColumn<QString>("field");
        // The record's layout, written out here rather than read from the program's own table.
        const struct {
            const char* name;
            int at;
            int size;
        } layout[] = {
            {"ipAddress", 0, 4},       {"subnetMask", 4, 4},          {"gateway", 8, 4},
            {"dnsServer", 12, 4},      {"localPort", 16, 2},          {"serverPort", 18, 2},
            {"dhcp", 20, 1},           {"watchdog", 21, 1},           {"clientMode", 23, 1},
            {"autoDisconnect", 24, 1}, {"autoDisconnectTime", 25, 1}, {"firmwareVersion", 26, 3},
            {"serialNumber", 29, 3},   {"serverHost", 32, 32}};
        for (const auto& f : layout)
            for (int i = 0; i < f.size; ++i)
                QTest::addRow("%s, byte %d", f.name, i) << f.at + i << QString(f.name);
        QTest::newRow("the opcode") << 22 << QString();
        QTest::newRow("nothing") << -1 << QString();
    }

    void confirmationLooksAtEveryByte()
    {
        QFETCH(int, at);
        QFETCH(QString, field);
        const QByteArray request = workedExample;
        QByteArray reply = request.left(recordSize);
        if (at >= 0)
            reply[at] = char(reply[at] ^ 1);
        const ModuleRecord record = *ModuleRecord::fromBytes(reply);
        QCOMPARE(fieldsDifferingFromWrite(record, request),
                 field.isEmpty() ? QStringList() : QStringList{field});
        QCOMPARE(confirmsWrite(record, request), field.isEmpty());
    }

    void dump()
    {
        QCOMPARE(dumpBytes(hex("00 7F 80 FF 0A")), QStringList({"0", "127", "128", "255", "10"}));
        const QStringList lines = dumpBytes(SearchRequest::build());
        QCOMPARE(lines.size(), 65);
        QCOMPARE(lines.at(22), "5");
        QCOMPARE(lines.last(), "42");
    }
};

QTEST_GUILESS_MAIN(TestDatagrams)
#include "tst_datagrams.moc"
