// Start-up: the window's local network, the manual network prefix, the local port.

#include "windowfixture.h"

#include "net/localaddress.h"

#include <QTest>

using namespace duva;
using namespace duva::test;

namespace
{
const QString notOnANetwork = QStringLiteral(
    "Este computador não está em rede, no primeiro uso do módulo TCP/IP conecte-o a uma rede "
    "local.\r\r");
}

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void addressStep_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QList<int>>("prefix");
        QTest::addColumn<QString>("remoteHost");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("warned");

        QTest::newRow("home network")
            << "192.168.0.14" << QList<int>{192, 168, 0} << "192.168.0.255"
            << "192.168.0.14" << false;
        QTest::newRow("short octets") << "10.1.20.5" << QList<int>{10, 1, 20} << "10.1.20.255"
                                      << "10.1.20.5" << false;
        QTest::newRow("longest address")
            << "172.16.100.200" << QList<int>{172, 16, 100} << "172.16.100.255"
            << "172.16.100.200" << false;
        QTest::newRow("loopback") << "127.0.0.1" << QList<int>{127, 0, 0} << "127.0.0.255"
                                  << "127.0.0.1" << true;
        QTest::newRow("first octet 255") << "255.1.2.3" << QList<int>{255, 1, 2} << "255.1.2.255"
                                         << "255.1.2.3" << true;
        QTest::newRow("no address: taken as no network")
            << "" << QList<int>{127, 0, 0} << "127.0.0.255"
            << "" << true;
        QTest::newRow("unparsable text: taken as no network")
            << "fe80::1" << QList<int>{127, 0, 0} << "127.0.0.255"
            << "fe80::1" << true;
    }

    void addressStep()
    {
        QFETCH(QString, address);
        QFETCH(QList<int>, prefix);
        QFETCH(QString, remoteHost);
        QFETCH(QString, label);
        QFETCH(bool, warned);

        ModulePeer peer;
        Fixture f(address, false);
        f.form->show();
        const std::array<int, 3> got = f.form->netPrefix();
        QCOMPARE((QList<int>{got[0], got[1], got[2]}), prefix);
        QCOMPARE(f.form->Udp1->remoteHost(), remoteHost);
        QCOMPARE(f.form->Label14->text(), "IP deste computador: " + label);
        QCOMPARE(f.form->Label14->size(), f.form->Label14->sizeHint()); // the text is not cut
        QCOMPARE(f.presenter->informations, warned ? QStringList{notOnANetwork} : QStringList{});
        QCOMPARE(f.form->outerWidth(), 488);
        QCOMPARE(f.form->retryCount(), 1);

        // Nothing is sent until the user asks.
        QCOMPARE(int(peer.received(1, 200).size()), 0);
    }

    void theAddressStepRunsOnceOnly()
    {
        Fixture f(QStringLiteral("127.0.0.1"), false);
        f.form->show();
        f.form->hide();
        f.form->show();
        QCOMPARE(f.presenter->informations.size(), 1);
    }

    void localPortHeldByAnotherProgramIsToldOnce()
    {
        QUdpSocket other;
        QVERIFY(other.bind(QHostAddress::AnyIPv4, TForm1::localUdpPort));
        Fixture f(QStringLiteral("192.168.0.14"), false);
        f.form->show();
        QCOMPARE(f.presenter->informations.size(), 1);
        QVERIFY(f.presenter->informations[0].contains("5001"));
        QVERIFY(f.presenter->informations[0].contains("em uso"));
    }

    void manualPrefixStrip()
    {
        Fixture f;
        applyPrefix(f.w, "127", "0", "5");

        const std::array<int, 3> prefix = f.form->netPrefix();
        QCOMPARE((QList<int>{prefix[0], prefix[1], prefix[2]}), (QList<int>{127, 0, 5}));
        QCOMPARE(f.form->Label14->text(), QStringLiteral("IP deste computador: 127.0.5.XXX"));
        QCOMPARE(f.presenter->informations,
                 QStringList{"Configure o computador para IP fixo nesta mesma classe."});
        for (QWidget* w :
             std::initializer_list<QWidget*>{f.form->EditIP1, f.form->EditIP2, f.form->EditIP3,
                                             f.form->LabelIP, f.form->ButtonIP})
            QVERIFY(!w->isVisible());
        // The endpoint keeps its destination until the next search builds it from the prefix.
        QCOMPARE(f.form->Udp1->remoteHost(), QStringLiteral("127.0.0.255"));

        ModulePeer peer;
        f.form->Label11Click();
        const auto& sent = peer.received();
        QCOMPARE(int(sent.size()), 1);
        QCOMPARE(sent[0].destinationAddress(), QHostAddress("127.0.5.255"));

        // The label grows with the longest texts the strip gives.
        applyPrefix(f.w, "192", "168", "100");
        QCOMPARE(f.form->Label14->text(), QStringLiteral("IP deste computador: 192.168.100.XXX"));
        QCOMPARE(f.form->Label14->size(), f.form->Label14->sizeHint());
    }

    void manualPrefixWithAnEmptyFieldStopsAtIt()
    {
        Fixture f;
        const QString label = f.form->Label14->text();
        applyPrefix(f.w, "10", "", "1");

        QCOMPARE(f.presenter->errorTexts(), QStringList{"'' is not a valid integer value."});
        QCOMPARE(f.form->netPrefix()[0], 10);
        QCOMPARE(f.form->netPrefix()[1], 0);
        QCOMPARE(f.form->Label14->text(), label);
        QVERIFY(f.form->ButtonIP->isVisible());
        QVERIFY(f.presenter->informations.isEmpty());
    }

    void prefixAbove255IsLookedUpAndTheSearchStopsThere()
    {
        Fixture f;
        applyPrefix(f.w, "300", "0", "0");
        QCOMPARE(f.form->Label14->text(), QStringLiteral("IP deste computador: 300.0.0.XXX"));

        ModulePeer peer;
        f.form->Button13->setEnabled(true);
        QTest::mouseClick(f.form->Label11, Qt::LeftButton);
        QCOMPARE(f.lookups, 1);
        QCOMPARE(f.presenter->errorTexts(), QStringList{"Host Lookup Canceled."});
        // The search stopped at the send: the later steps did not run.
        QVERIFY(!f.form->Button13->isEnabled());
        QVERIFY(f.form->Panel1->isEnabled());
        QVERIFY(!f.form->Timer2->isEnabled());
        QCOMPARE(int(peer.received(1, 200).size()), 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
