#include "protocol/conversion.h"
#include "protocol/cp1252.h"
#include "protocol/exception.h"
#include "protocol/ipv4.h"

#include <QTest>

using namespace duva;

class TestConversion : public QObject
{
    Q_OBJECT
private slots:
    void strToInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        const auto ok = [](const char* t, int v) { QTest::newRow(t) << QString(t) << true << v; };
        const auto bad = [](const QString& t) {
            QTest::newRow(qUtf8Printable("bad:" + t)) << t << false << 0;
        };
        ok("0", 0);
        ok("007", 7);
        ok("   42", 42);
        ok("+7", 7);
        ok("-13", -13);
        ok("2147483647", INT32_MAX);
        ok("-2147483648", INT32_MIN);
        ok("$10", 16);
        ok("-$10", -16);
        ok("+x1f", 31);
        ok("X1F", 31);
        ok("0x7FFFFFFF", INT32_MAX);
        ok("0XFFFFFFFF", -1);
        ok("$80000000", INT32_MIN);
        ok("  -0xff", -255);
        ok("$00000001", 1);
        // The 32-bit limit is on the value: leading zeros do not count.
        ok("$000000001", 1);
        ok("0x0000000010", 16);
        ok("-$00000000FFFFFFFF", 1);
        for (
            const QString t :
            {"",    " ",          "-",           "+",           "$",          "0x",          "-0x",
             "x",   "2147483648", "-2147483649", "99999999999", "$123456789", "$0100000000", "12 ",
             "1a",  "\t5",        "- 5",         "+-5",         "$-1",        "$$1",         "0x 1",
             "1.0", "abc",        "0b101"})
            bad(t);
        bad(QString::fromUtf8("\u0663")); // an Arabic-Indic digit is not a digit here
    }

    void strToInt()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        try {
            const int got = duva::strToInt(text);
            QVERIFY2(valid, qPrintable(QString::number(got)));
            QCOMPARE(got, value);
        } catch (const ConversionError& e) {
            QVERIFY2(!valid, qPrintable(e.message()));
            QCOMPARE(e.message(), "'" + text + "' is not a valid integer value");
        }
    }

    void cp1252RoundTripsEveryByte()
    {
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = static_cast<char>(b);
        const QString text = fromCp1252(all);
        QCOMPARE(text.size(), 256);
        bool ok = false;
        QCOMPARE(toCp1252(text, &ok), all);
        QVERIFY(ok);
    }

    void cp1252Characters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::newRow("ascii") << QString("Abc 1") << QByteArray("Abc 1") << true;
        QTest::newRow("latin-1") << QString::fromUtf8("ção ÿ") << QByteArray("\xE7\xE3o \xFF")
                                 << true;
        QTest::newRow("windows range") << QString::fromUtf8("€‚ƒ…Š™šŸ")
                                       << QByteArray("\x80\x82\x83\x85\x8A\x99\x9A\x9F") << true;
        QTest::newRow("undefined bytes") << QString::fromUtf8("\u0081\u008D\u008F\u0090\u009D")
                                         << QByteArray("\x81\x8D\x8F\x90\x9D") << true;
        // All 32 bytes where cp1252 differs from Latin-1, each with its own character, so
        // that two entries swapped in the table show up (a round trip cannot see that).
        QTest::newRow("every byte 80-9F")
            << QString::fromUtf8("\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021"
                                 "\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
                                 "\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
                                 "\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178")
            << QByteArray("\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
                          "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F")
            << true;
        // U+0080 and U+009F have no byte: 0x80 and 0x9F hold the euro sign and Y with diaeresis.
        QTest::newRow("C1 without byte")
            << QString::fromUtf8("a\u0080\u009F") << QByteArray("a??") << false;
        QTest::newRow("outside code page") << QString::fromUtf8("őЖ") << QByteArray("??") << false;
        QTest::newRow("surrogate pair") << QString::fromUtf8("x😀y") << QByteArray("x?y") << false;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?") << false;
    }

    void cp1252Characters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        bool gotOk = !ok;
        QCOMPARE(toCp1252(text, &gotOk), bytes);
        QCOMPARE(gotOk, ok);
        if (ok) {
            QCOMPARE(fromCp1252(bytes), text);
            QCOMPARE(toCp1252OrThrow(text), bytes);
        } else {
            try {
                toCp1252OrThrow(text);
                QFAIL("no EncodingError");
            } catch (const EncodingError& e) {
                QCOMPARE(e.message(),
                         "O texto '" + text + "' tem caracteres que o módulo não aceita");
            }
        }
    }

    // An address's dotted text, number and record bytes describe the same four octets; the
    // parse takes only the strict dotted form (duvactl's value table holds the refusals).
    void ipv4Forms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("number");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("most significant first")
            << "192.168.7.21" << 0xC0A80715u << QByteArray("\xC0\xA8\x07\x15") << "192.168.7.21";
        QTest::newRow("leading zeros are decimal")
            << "010.009.000.255" << 0x0A0900FFu << QByteArray("\x0A\x09\x00\xFF", 4)
            << "10.9.0.255";
        QTest::newRow("no address") << "0.0.0.0" << 0u << QByteArray(4, '\0') << "0.0.0.0";
    }
    void ipv4Forms()
    {
        QFETCH(QString, text);
        QFETCH(quint32, number);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const auto parsed = Ipv4Address::parse(text);
        QVERIFY(parsed);
        QCOMPARE(parsed->toUInt32(), number);
        QCOMPARE(parsed->toBytes(), bytes);
        QCOMPARE(parsed->toString(), shown);
        QCOMPARE(Ipv4Address::fromBytes(QByteArray("x") + bytes, 1), *parsed);
        QCOMPARE(Ipv4Address::parse(shown), parsed);
    }
};

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"
