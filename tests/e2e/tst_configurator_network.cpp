// The configurator window against simulated modules in the test network: it finds them by
// its own subnet broadcast, lists a whole fleet, ignores broken answers, carries a
// configuration change through to the module and back, and behind a firewall that denies
// incoming traffic finds them once the packaged ufw profile's port is open.

#include "simprocess.h"
#include "window/windowfixture.h"

#include "net/localaddress.h"

#include <QFileInfo>
#include <QtTest>

#include <sys/stat.h>

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

// Whether this process runs in the configurator's namespace that testnet.sh made, and so
// may change its firewall without touching the computer's own.
bool inTheTestNetwork()
{
    struct stat here {
    }, made{};
    const QByteArray name = qgetenv("DUVA_NS_CONFIGURATOR");
    return !name.isEmpty() && stat("/proc/self/ns/net", &here) == 0 &&
           stat(("/run/netns/" + name).constData(), &made) == 0 && here.st_dev == made.st_dev &&
           here.st_ino == made.st_ino;
}

// Runs nft with script on its standard input; nft's complaint, or empty on success.
QString nft(const QString& script)
{
    QProcess p;
    p.start(QStringLiteral("nft"), {QStringLiteral("-f"), QStringLiteral("-")});
    p.write(script.toUtf8());
    p.closeWriteChannel();
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("nft did not finish");
    return p.exitCode() == 0 ? QString()
                             : QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
}

// The input rules ufw sets up by default (deny incoming), as nftables rules: what the host
// started, and a few services a desktop needs, come in; everything else is dropped.
const char* const ufwDefault = R"(table inet duva_ufw_default {
    chain input {
        type filter hook input priority filter; policy drop;
        iif lo accept
        ct state related,established accept
        ct state invalid drop
        ip protocol icmp accept
        udp sport 67 udp dport 68 accept
        ip daddr 224.0.0.251 udp dport 5353 accept
        ip daddr 239.255.255.250 udp dport 1900 accept
    }
}
)";

// The rules that the packaged ufw profile's ports make ("ports=5001/udp|..."), or empty if
// it names none.
QStringList profileRules(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList rules;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.startsWith("ports="))
            continue;
        for (const QByteArray& entry : line.mid(6).trimmed().split('|')) {
            const QList<QByteArray> portAndProtocol = entry.split('/');
            if (portAndProtocol.size() == 2)
                rules << QStringLiteral("add rule inet duva_ufw_default input %1 dport %2 accept")
                             .arg(QString::fromLatin1(portAndProtocol[1]),
                                  QString::fromLatin1(portAndProtocol[0]));
        }
    }
    return rules;
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

    void aDenyingFirewallDropsTheAnswersUntilTheProfileOpensThePort()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("nft")).isEmpty())
            QSKIP("nft is not installed (nftables)");
        QVERIFY2(inTheTestNetwork(), "not in the test network's own namespace");
        const QStringList opening = profileRules(QStringLiteral(DUVA_UFW_PROFILE));
        QVERIFY2(!opening.isEmpty(), DUVA_UFW_PROFILE " names no ports");

        SimProcess sim({"--count", "3", "--first-ip", "10.77.0.10"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const QString denied = nft(QString::fromLatin1(ufwDefault));
        QVERIFY2(denied.isEmpty(), qPrintable(denied));
        NetworkWindow w;

        // Every module answers; connection tracking takes none of the answers for a reply to
        // the broadcast, and the firewall drops them all.
        const QRegularExpression answer(QStringLiteral("send to 10\\.77\\.0\\.1:5001 .* len 64"));
        QTest::mouseClick(w.form->Label11, Qt::LeftButton);
        QVERIFY(sim.waitForLines(answer, 3));
        QTest::qWait(300);
        QCOMPARE(w.form->ListBox3->count(), 0);

        const QString opened = nft(opening.join('\n'));
        QVERIFY2(opened.isEmpty(), qPrintable(opened));
        QTest::mouseClick(w.form->Label11, Qt::LeftButton);
        QTRY_COMPARE(listed(*w.form), fleet(10, 3));
        QCOMPARE(w.form->ListBox3->count(), 3);
        QVERIFY(w.presenter->informations.isEmpty());
    }
};

QTEST_MAIN(TestConfiguratorNetwork)
#include "tst_configurator_network.moc"
