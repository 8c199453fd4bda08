#include "net/localaddress.h"

#include <QTest>

using namespace duva;

using Prefix = std::optional<std::array<int, 3>>;
Q_DECLARE_METATYPE(Prefix)

class LocalAddressTest : public QObject
{
    Q_OBJECT
private slots:
    void chooseLocalAddress_data()
    {
        QTest::addColumn<QString>("resolved");
        QTest::addColumn<QStringList>("interfaces");
        QTest::addColumn<QStringList>("withoutCarrier"); // up but not running
        QTest::addColumn<QString>("expected");

        const QStringList two{"192.168.0.14", "10.0.0.2"};
        const QStringList none;
        QTest::newRow("resolved wins") << "10.1.20.5" << two << none << "10.1.20.5";
        QTest::newRow("loopback gives way") << "127.0.1.1" << two << none << "192.168.0.14";
        QTest::newRow("unresolved gives way") << "" << two << none << "192.168.0.14";
        QTest::newRow("loopback, no interface")
            << "127.0.0.1" << QStringList() << none << "127.0.0.1";
        QTest::newRow("nothing at all") << "" << QStringList() << none << "";
        // Only 127.x.x.x is loopback; a 127 elsewhere in the text is not.
        QTest::newRow("127 not first") << "10.127.0.1" << two << none << "10.127.0.1";
        QTest::newRow("running beats first up")
            << "127.0.1.1" << two << QStringList{"192.168.0.14"} << "10.0.0.2";
        QTest::newRow("none running: first up") << "" << two << two << "192.168.0.14";
    }

    void chooseLocalAddress()
    {
        QFETCH(QString, resolved);
        QFETCH(QStringList, interfaces);
        QFETCH(QStringList, withoutCarrier);
        QFETCH(QString, expected);
        QList<InterfaceAddress> candidates;
        for (const QString& address : interfaces)
            candidates.append({address, !withoutCarrier.contains(address)});
        QCOMPARE(duva::chooseLocalAddress(resolved, candidates), expected);
    }

    // Run by loopback-and-ipv6.sh: a computer whose name resolves to a loopback address and
    // that has no IPv4 address but loopback's, only an IPv6 one, shows that loopback address.
    void loopbackAndIPv6Only()
    {
        const QString expected = qEnvironmentVariable("DUVA_HOST_ADDRESS");
        if (expected.isEmpty())
            QSKIP("needs the namespaces of loopback-and-ipv6.sh");
        QCOMPARE(localAddressText(), expected);
    }

    void addressPrefix_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Prefix>("expected");

        QTest::newRow("full address") << "192.168.0.14" << Prefix({192, 168, 0});
        QTest::newRow("short fields") << "10.1.20.5" << Prefix({10, 1, 20});
        QTest::newRow("no fourth octet") << "10.1.20." << Prefix({10, 1, 20});
        QTest::newRow("fourth not looked at") << "1.2.3.garbage" << Prefix({1, 2, 3});
        QTest::newRow("leading zeros") << "010.001.000.1" << Prefix({10, 1, 0});
        QTest::newRow("empty") << "" << Prefix();
        QTest::newRow("two dots") << "192.168.0" << Prefix();
        QTest::newRow("ends after digit") << "192.168" << Prefix();
        QTest::newRow("four digits") << "1921.168.0.1" << Prefix();
        QTest::newRow("empty field") << "192..0.1" << Prefix();
        QTest::newRow("letter") << "19a.168.0.1" << Prefix();
        QTest::newRow("blank") << "192. 68.0.1" << Prefix();
        QTest::newRow("sign") << "-1.168.0.1" << Prefix();
        QTest::newRow("non-ASCII digit") << QString::fromUtf8("1\u0663.1.1.1") << Prefix();
    }

    void addressPrefix()
    {
        QFETCH(QString, text);
        QFETCH(Prefix, expected);
        QCOMPARE(duva::addressPrefix(text), expected);
    }
};

QTEST_GUILESS_MAIN(LocalAddressTest)
#include "tst_localaddress.moc"
