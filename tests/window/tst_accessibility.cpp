// The window as a screen reader meets it: a real AT-SPI client walks the accessible tree of
// the window on a real X server, Tabs round it with the real key and presses the search.
// Run by under-screen-reader.sh; skipped anywhere else.

#include "windowfixture.h"

#include <QProcess>
#include <QTest>

using namespace duva;
using namespace duva::test;

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void aScreenReaderNamesEveryControl()
    {
        const QByteArray client = qgetenv("DUVA_SCREEN_READER");
        if (client.isEmpty() || qgetenv("QT_QPA_PLATFORM") != "xcb")
            QSKIP("needs an X server, a session bus and the AT-SPI client (under-screen-reader.sh)");
        Fixture f;
        activate(*f.form);
        ModulePeer peer;

        QProcess reader;
        reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        reader.start(QStringLiteral("/usr/bin/python3"),
                     {QString::fromLocal8Bit(client), QString::number(QCoreApplication::applicationPid())});
        QVERIFY(reader.waitForStarted());
        // The window answers the client's questions meanwhile.
        QTRY_VERIFY_WITH_TIMEOUT(reader.state() == QProcess::NotRunning, 90000);
        QCOMPARE(reader.exitCode(), 0);

        QStringList heard;
        QStringList nameless;
        QStringList radios;
        QString searchActions;
        bool pressed = false;
        for (const QString& line : QString::fromUtf8(reader.readAllStandardOutput()).split('\n')) {
            const QStringList part = line.split('\t');
            if (part[0] == QLatin1String("object") && part.size() == 5) {
                if (part[3] == QLatin1String("1") && part[2].trimmed().isEmpty())
                    nameless << part[1];
                if (part[1] == QLatin1String("radio button"))
                    radios << part[2];
                if (part[2] == QStringLiteral("Procurar módulos na rede"))
                    searchActions = part[1] + ": " + part[4];
            } else if (part[0] == QLatin1String("tab") && part.size() == 3) {
                heard << part[2] + ", " + part[1];
            } else if (part[0] == QLatin1String("pressed")) {
                pressed = true;
            }
        }
        qInfo("heard on a Tab round:\n  %s", qPrintable(heard.join(QStringLiteral("\n  "))));
        QCOMPARE(nameless, QStringList());
        QCOMPARE(radios, (QStringList{"CLIENTE", "SERVIDOR"}));
        QVERIFY2(searchActions.startsWith(QLatin1String("push button: ")) &&
                     searchActions.contains(QLatin1String("ress")),
                 qPrintable(searchActions));

        // A full Tab round from the first field, as it is heard.
        const QStringList round{
            "IP, octeto 1, text",
            "IP, octeto 2, text",
            "IP, octeto 3, text",
            "IP, octeto 4, text",
            "Porta Local, text",
            "Máscara de sub-rede, octeto 1, text",
            "Máscara de sub-rede, octeto 2, text",
            "Máscara de sub-rede, octeto 3, text",
            "Máscara de sub-rede, octeto 4, text",
            "IP do Gateway, octeto 1, text",
            "IP do Gateway, octeto 2, text",
            "IP do Gateway, octeto 3, text",
            "IP do Gateway, octeto 4, text",
            "IP do Servidor de DNS, octeto 1, text",
            "IP do Servidor de DNS, octeto 2, text",
            "IP do Servidor de DNS, octeto 3, text",
            "IP do Servidor de DNS, octeto 4, text",
            "Domínio ou IP do Servidor, text",
            "Porta do Servidor, text",
            "WatchDog, check box",
            "GRAVAR, push button",
            "Alcance extendido, check box",
            "Módulos encontrados, list",
            "Base, push button",
            "Procurar módulos na rede, push button",
        };
        QCOMPARE(heard, round);

        // Press starts the search as a click does.
        QVERIFY(pressed);
        QCOMPARE(int(peer.received(1).size()), 1);
        QCOMPARE(peer.received().front().data(), SearchRequest::build());
        QVERIFY(!f.form->Panel1->isEnabled());
        QCOMPARE(f.form->Label13->text(), QStringLiteral("Aguarde ..."));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
