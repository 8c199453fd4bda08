// The configurator window against simulated modules in the test network: it finds them by
// its own subnet broadcast, lists a whole fleet, ignores broken answers, and carries a
// configuration change through to the module and back.

#include "simprocess.h"
#include "window/windowfixture.h"

#include "net/localaddress.h"

#include <QtTest>

using namespace duva;
using namespace duva::test;

namespace
{

// The window as the program makes it, but with recorded messages: the real local address
// and Qt's timers, on the configurator's side of the test network.
struct NetworkWindow {
    NetworkWindow()
    {
        FormDeps deps = FormDeps::system(QStringLiteral("duva-configurador"));
        deps.presenter = presenter;
        form = std::make_unique<TForm1>(std::move(deps));
        form->show();
    }
    std::shared_ptr<RecordingPresenter> presenter = std::make_shared<RecordingPresenter>();
    std::unique_ptr<TForm1> form;
};

QSet<QString> listed(const TForm1& form)
{
    const QStringList texts = lines(form.ListBox3);
    return {texts.begin(), texts.end()};
}

QSet<QString> fleet(int first, int count)
{
    QSet<QString> addresses;
    for (int i = 0; i < count; ++i)
        addresses << QStringLiteral("10.77.0.%1").arg(first + i);
    return addresses;
}

int lineOf(const TForm1& form, const QString& address)
{
    return lines(form.ListBox3).indexOf(address);
}

} // namespace

class TestConfiguratorNetwork : public QObject
{
    Q_OBJECT

private slots:
    void init() { DUVA_REQUIRE_TEST_NETWORK(); }

    void theWindowFindsItsNetworkAndEveryModule()
    {
        SimProcess sim({"--count", "3", "--first-ip", "10.77.0.10"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        NetworkWindow w;
        // The host name resolves to loopback here; the window takes the interface instead.
        QCOMPARE(w.form->Label14->text(), QStringLiteral("IP deste computador: 10.77.0.1"));
        QVERIFY(w.presenter->informations.isEmpty());

        QTest::mouseClick(w.form->Label11, Qt::LeftButton);
        QTRY_COMPARE(listed(*w.form), fleet(10, 3));
        QVERIFY(sim.waitForLines(QRegularExpression("recv from 10\\.77\\.0\\.1:5001 to "
                                                    "10\\.77\\.0\\.255:1461 len 65")));
        QCOMPARE(w.form->Label29->text(), QStringLiteral("3:"));
        QCOMPARE(w.presenter->beeps, 3);
    }

    void aHundredModulesAnsweringAtOnceAreListedInFull()
    {
        SimProcess sim({"--count", "100", "--first-ip", "10.77.0.100"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        NetworkWindow w;
        QTest::mouseClick(w.form->Label11, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(w.form->ListBox3->count(), 100, 5000);
        QCOMPARE(listed(*w.form), fleet(100, 100));
        QCOMPARE(w.form->replyCount(), 100);
    }

    void answersOfTheWrongLengthAreIgnored_data()
    {
        QTest::addColumn<QString>("length");
        QTest::newRow("63") << "63";
        QTest::newRow("65") << "65";
    }

    void answersOfTheWrongLengthAreIgnored()
    {
        QFETCH(QString, length);
        SimProcess sim({"--count", "2", "--wrong-length", length});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        NetworkWindow w;
        QTest::mouseClick(w.form->Label11, Qt::LeftButton);
        QVERIFY(sim.waitForLines(QRegularExpression("len " + length), 2));
        QTest::qWait(300);
        QCOMPARE(w.form->ListBox3->count(), 0);
        QCOMPARE(w.form->replyCount(), 0);
        QVERIFY(w.form->Timer2->isEnabled()); // the search goes on waiting
    }

    void aWrittenConfigurationComesBackFromTheModule()
    {
        SimProcess sim({"--count", "2", "--first-ip", "10.77.0.10", "--server"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        NetworkWindow w;
        TForm1& f = *w.form;
        QTest::mouseClick(f.Label11, Qt::LeftButton);
        QTRY_COMPARE(f.ListBox3->count(), 2);
        chooseLine(f, lineOf(f, "10.77.0.11"));
        QCOMPARE(f.selectedModuleIp(), QStringLiteral("10.77.0.11"));
        QVERIFY(f.RadioButton2->isChecked());

        // A new address, client mode with a server, new ports.
        activate(f);
        retype(f.Edit14, "200");
        QTest::mouseClick(f.RadioButton1, Qt::LeftButton);
        QVERIFY(f.RadioButton1->isChecked());
        QVERIFY(f.Edit2->isEnabled());
        retype(f.Edit2, "servidor.exemplo.com.br");
        retype(f.Edit11, "6000");
        QTest::mouseClick(f.Button13, Qt::LeftButton);

        WriteRequest expected;
        expected.ipAddress = {"10", "77", "0", "200"};
        expected.subnetMask = {"255", "255", "255", "0"};
        expected.gateway = {f.Edit3->text(), f.Edit4->text(), f.Edit5->text(), f.Edit6->text()};
        expected.dnsServer = {f.Edit10->text(), f.Edit24->text(), f.Edit25->text(),
                              f.Edit27->text()};
        expected.localPort = "6000";
        expected.serverPort = "6000"; // the server port follows the local port
        expected.dhcp = f.CheckBox7->isChecked();
        expected.watchdog = f.CheckBox3->isChecked();
        expected.clientMode = true;
        expected.autoDisconnect = f.CheckBox1->isChecked();
        expected.autoDisconnectTime = f.Edit8->text();
        expected.firmwareVersion = f.Edit1->text();
        expected.serialBytes = {f.EditMac1->text(), f.EditMac2->text(), f.EditMac3->text()};
        expected.serverHost = "servidor.exemplo.com.br";
        const QString hex = QString::fromLatin1(expected.build().toHex(' ').toUpper());
        QVERIFY(sim.waitForLines(QRegularExpression(
            "recv from 10\\.77\\.0\\.1:5001 to 10\\.77\\.0\\.11:1461 len 65: " + hex)));
        QVERIFY(w.presenter->errors.empty());
        QVERIFY(!f.Button13->isEnabled());

        // Six seconds later the window searches again; the module answers with its new record.
        QTRY_COMPARE_WITH_TIMEOUT(listed(f), (QSet<QString>{"10.77.0.10", "10.77.0.200"}), 9000);
        QVERIFY(w.presenter->informations.isEmpty());
        chooseLine(f, lineOf(f, "10.77.0.200"));
        QCOMPARE(f.Edit14->text(), QStringLiteral("200"));
        QCOMPARE(f.Edit11->text(), QStringLiteral("6000"));
        QCOMPARE(f.Edit26->text(), QStringLiteral("6000"));
        QCOMPARE(f.Edit2->text(), QStringLiteral("servidor.exemplo.com.br"));
        QVERIFY(f.RadioButton1->isChecked());
    }
};

QTEST_MAIN(TestConfiguratorNetwork)
#include "tst_configurator_network.moc"
