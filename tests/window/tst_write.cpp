// Writing a configuration with "GRAVAR": its two preconditions, the request built from what the
// user typed and where it goes, the confirming searches, and what a failed conversion or send
// leaves behind.

#include "testsupport.h"
#include "windowfixture.h"

#include <QPushButton>
#include <QTest>

using namespace duva;
using namespace duva::test;

namespace
{

const QString clientNeedsServer =
    QStringLiteral("Em modo \"Cliente\", preencha o campo \"Domínio ou IP do Servidor\".");
const QString chooseFirst = QStringLiteral("Selecione um dos IPs mostrados da lista. ");
const QString noAnswerStart = QStringLiteral("O dispositivo NÃO RESPONDEU");
const QString waitForChoice = QStringLiteral("Altere os parâmetros desejados");

} // namespace

class TestWrite : public QObject
{
    Q_OBJECT

private slots:
    void clientModeNeedsServerHost_data()
    {
        QTest::addColumn<bool>("moduleChosen");
        QTest::newRow("right after start") << false;
        QTest::newRow("module with no server host") << true;
    }

    void clientModeNeedsServerHost()
    {
        QFETCH(bool, moduleChosen);

        Fixture f;
        ModulePeer peer;
        TForm1& w = f.w;
        if (moduleChosen) {
            const QByteArray blankHost(serverHostSize, ' ');
            searchAndAnswer(w, peer, {with(record("127.0.0.20"), offset::serverHost, blankHost)});
            chooseLine(w, 0);
            peer.clear();
        }
        QVERIFY(w.RadioButton1->isChecked());
        QVERIFY(w.Edit2->text().isEmpty());
        const QStringList received = lines(w.ListBox1);
        const QStringList sent = lines(w.ListBox2);
        const QStringList modules = lines(w.ListBox3);
        const QString chosen = w.selectedModuleIp();

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(f.presenter->informations, QStringList{clientNeedsServer});
        QVERIFY(f.presenter->errors.empty());
        QCOMPARE(lines(w.ListBox1), received);
        QCOMPARE(lines(w.ListBox2), sent);
        QCOMPARE(lines(w.ListBox3), modules);
        QVERIFY(w.Label29->isVisible());
        QCOMPARE(w.selectedModuleIp(), chosen);
        QVERIFY(w.Button13->isEnabled());
        QVERIFY(!w.Timer2->isEnabled());
        QVERIFY(peer.receivesNothing());
    }

    void writeSendsTheFieldsToTheChosenModule()
    {
        ChosenModule f(record("127.0.0.20", 0, 1));
        TForm1& w = f.w;
        activate(w);

        // The service key shows the auto-disconnect box; the user turns it on.
        QTest::keyClick(w.Edit11, Qt::Key_F10);
        QTest::mouseClick(w.CheckBox1, Qt::LeftButton);
        // A new address: the write still goes to the module as it was chosen.
        const std::pair<QLineEdit*, const char*> typed[] = {
            {w.Edit8, "20"},   {w.Edit7, "192"},   {w.Edit9, "168"},  {w.Edit16, "0"},
            {w.Edit14, "132"}, {w.Edit3, "192"},   {w.Edit4, "168"},  {w.Edit5, "0"},
            {w.Edit6, "1"},    {w.Edit10, "192"},  {w.Edit24, "168"}, {w.Edit25, "0"},
            {w.Edit27, "100"}, {w.Edit11, "5002"}, {w.Edit26, "80"},  {w.Edit2, "192.168.0.14"}};
        for (const auto& [edit, text] : typed)
            retype(edit, QString::fromLatin1(text));
        QTest::mouseClick(w.CheckBox3, Qt::LeftButton);
        QVERIFY(f.presenter->errors.empty());

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        const QByteArray expected = QByteArray::fromHex("C0A80084FFFFFF00C0A80001C0A80064"
                                                        "138A0050008055010114313734000000"
                                                        "3139322E3136382E302E313420202020") +
                                    QByteArray(16, ' ') + QByteArray(1, '*');
        const auto& received = f.peer.received();
        QCOMPARE(int(received.size()), 1);
        QCOMPARE(received[0].data().toHex(' '), expected.toHex(' '));
        QCOMPARE(received[0].destinationAddress(), QHostAddress(QStringLiteral("127.0.0.20")));
        QCOMPARE(received[0].destinationPort(), modulePort);
        QCOMPARE(received[0].senderPort(), TForm1::localUdpPort);

        QCOMPARE(lines(w.ListBox2), decimalLines(expected));
        QVERIFY(lines(w.ListBox1).isEmpty());
        QVERIFY(lines(w.ListBox3).isEmpty());
        QVERIFY(!w.Button13->isEnabled());
        QVERIFY(w.Label13->isVisible());
        QCOMPARE(w.Label13->text(), QStringLiteral("Aguarde ..."));
        QVERIFY(!w.Label29->isVisible());
        QVERIFY(w.selectedModuleIp().isEmpty());
        QCOMPARE(w.replyCount(), 0);
        QCOMPARE(w.retryCount(), 1);
        QVERIFY(f.presenter->informations.isEmpty());
        QVERIFY(f.presenter->errors.empty());

        // The confirming searches: at 6 s and 9 s, the give-up at 12 s.
        QCOMPARE(sentDuring(f, f.peer, 5999), 0);
        QCOMPARE(sentDuring(f, f.peer, 1), 1);
        const auto& search = f.peer.received();
        QCOMPARE(search[0].data(), SearchRequest::build());
        QCOMPARE(search[0].destinationAddress(), QHostAddress(QStringLiteral("127.0.0.255")));
        QCOMPARE(w.retryCount(), 2);

        QCOMPARE(sentDuring(f, f.peer, 2999), 0);
        QCOMPARE(sentDuring(f, f.peer, 1), 1);
        QVERIFY(f.presenter->informations.isEmpty());

        QCOMPARE(sentDuring(f, f.peer, 3000), 0);
        QCOMPARE(f.presenter->informations.size(), 1);
        QVERIFY(f.presenter->informations[0].startsWith(noAnswerStart));
        QVERIFY(w.Button13->isEnabled());
        QCOMPARE(w.retryCount(), 1);
    }

    void confirmingReplyListsTheWrittenModule()
    {
        ChosenModule f;
        TForm1& w = f.w;
        QTest::mouseClick(w.Button13, Qt::LeftButton);
        QCOMPARE(int(f.peer.received().size()), 1);

        QCOMPARE(sentDuring(f, f.peer, 6000), 1); // the first confirming search
        f.peer.answer(record("127.0.0.20"));
        QTRY_COMPARE(lines(w.ListBox3), QStringList{QStringLiteral("127.0.0.20")});

        // The reply ended the wait: no further search, no give-up.
        QCOMPARE(sentDuring(f, f.peer, 10000), 0);
        QVERIFY(f.presenter->informations.isEmpty());
        QVERIFY(!w.Button13->isEnabled()); // until a module is chosen again
        // The reply counter counts on, but stays hidden since the write.
        QCOMPARE(w.Label29->text(), QStringLiteral("1:"));
        QVERIFY(!w.Label29->isVisible());
    }

    void aWriteStartsItsOwnConfirmation_data()
    {
        QTest::addColumn<int>("answerAfter");
        // The search's retries used up in part: the write starts counting afresh.
        QTest::newRow("search answered after one retry") << 3100;
        QTest::newRow("search answered after two retries") << 6100;
        // The give-up hid the status line: the write shows it again.
        QTest::newRow("late reply after the search gave up") << 9100;
    }

    void aWriteStartsItsOwnConfirmation()
    {
        QFETCH(int, answerAfter);

        Fixture f;
        ModulePeer peer;
        TForm1& w = f.w;
        QTest::mouseClick(w.Label11, Qt::LeftButton);
        f.clock.advance(answerAfter);
        QCOMPARE(w.Label13->isVisible(), answerAfter < 9000);
        peer.answer(record("127.0.0.20"));
        QTRY_COMPARE(w.ListBox3->count(), 1);
        chooseLine(w, 0);
        f.presenter->clear();
        peer.drain();

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(int(peer.received().size()), 1);
        QVERIFY(w.Label13->isVisible());
        QCOMPARE(w.Label13->text(), QStringLiteral("Aguarde ..."));
        // Confirming searches at 6 s and 9 s, the give-up at 12 s.
        QCOMPARE(sentDuring(f, peer, 5999), 0);
        QCOMPARE(sentDuring(f, peer, 1), 1);
        QCOMPARE(sentDuring(f, peer, 2999), 0);
        QCOMPARE(sentDuring(f, peer, 1), 1);
        QCOMPARE(sentDuring(f, peer, 2999), 0);
        QVERIFY(f.presenter->informations.isEmpty());
        f.clock.advance(1);
        QCOMPARE(f.presenter->informations.size(), 1);
        QVERIFY(f.presenter->informations[0].startsWith(noAnswerStart));
    }

    void aChosenRecordIsWrittenBackAsShown_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<quint8>("read");
        QTest::addColumn<quint8>("written");

        // Byte 23 comes from "CLIENTE" alone: neither button checked writes server mode.
        QTest::newRow("client mode 2, neither button")
            << int(offset::clientMode) << quint8(2) << quint8(0);
        QTest::newRow("client mode 255, neither button")
            << int(offset::clientMode) << quint8(255) << quint8(0);
        QTest::newRow("DHCP 2, fixed IP") << int(offset::dhcp) << quint8(2) << quint8(0);
        QTest::newRow("watchdog 0x81, off") << int(offset::watchdog) << quint8(0x81) << quint8(0);
        QTest::newRow("auto-disconnect 2, off")
            << int(offset::autoDisconnect) << quint8(2) << quint8(0);
    }

    void aChosenRecordIsWrittenBackAsShown()
    {
        QFETCH(int, at);
        QFETCH(quint8, read);
        QFETCH(quint8, written);

        const QByteArray chosen = with(record("127.0.0.20"), at, read);
        ChosenModule f(chosen);
        TForm1& w = f.w;
        QCOMPARE(w.RadioButton1->isChecked() || w.RadioButton2->isChecked(),
                 at != offset::clientMode);

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(f.presenter->errorTexts(), QStringList());
        const auto& received = f.peer.received();
        QCOMPARE(int(received.size()), 1);
        QByteArray expected = with(chosen, at, written) + '*';
        expected[offset::opcode] = char(writeOpcode);
        QCOMPARE(received[0].data().toHex(' '), expected.toHex(' '));
    }

    void noModuleChosen_data()
    {
        QTest::addColumn<int>("situation");
        QTest::newRow("search gave up") << 0;
        QTest::newRow("write's confirmation gave up") << 1;
        QTest::newRow("late reply listed, not chosen") << 2;
    }

    void noModuleChosen()
    {
        QFETCH(int, situation);

        Fixture f;
        ModulePeer peer;
        TForm1& w = f.w;
        if (situation == 0) {
            QTest::mouseClick(w.Label11, Qt::LeftButton);
            f.clock.advance(9000);
        } else {
            searchAndAnswer(w, peer, {record("127.0.0.20", 0, 0)});
            chooseLine(w, 0);
            QTest::mouseClick(w.Button13, Qt::LeftButton);
            f.clock.advance(12000);
        }
        QCOMPARE(f.presenter->informations.size(), 1); // the give-up
        f.presenter->clear();
        if (situation == 2) {
            peer.answer(record("127.0.0.21"));
            QTRY_COMPARE(w.ListBox3->count(), 1);
        }
        QVERIFY(w.Button13->isEnabled());
        QVERIFY(w.ListBox2->count() > 0);
        peer.drain();

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(f.presenter->informations, QStringList{chooseFirst});
        QVERIFY(f.presenter->errors.empty());
        QCOMPARE(w.ListBox1->count(), 0);
        QCOMPARE(w.ListBox2->count(), 0);
        QCOMPARE(w.ListBox3->count(), 0);
        QVERIFY(!w.Label29->isVisible());
        QVERIFY(w.Button13->isEnabled());
        QVERIFY(!w.Timer2->isEnabled());
        QVERIFY(peer.receivesNothing());
    }

    void serverHostIsPaddedInTheModulesCodePage_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("SERVIDOR, empty host") << true << QString() << QByteArray();
        // Blanks are not an empty host, even in client mode.
        QTest::newRow("CLIENTE, blank host") << false << QStringLiteral("   ") << QByteArray();
        QTest::newRow("é") << false << QStringLiteral("café.example")
                           << QByteArray("caf\xE9.example");
        QTest::newRow("€ (cp1252, not Latin-1)")
            << false << QStringLiteral("€host") << QByteArray("\x80host");
    }

    void serverHostIsPaddedInTheModulesCodePage()
    {
        QFETCH(bool, server);
        QFETCH(QString, host);
        QFETCH(QByteArray, bytes);

        ChosenModule f(record("127.0.0.20", 0, 1));
        TForm1& w = f.w;
        activate(w);
        retype(w.Edit2, host);
        QCOMPARE(w.Edit2->text(), host);
        if (server) {
            QTest::mouseClick(w.RadioButton2, Qt::LeftButton);
            QVERIFY(!w.Edit2->isEnabled());
        }

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QVERIFY(f.presenter->informations.isEmpty());
        QCOMPARE(f.presenter->errorTexts(), QStringList());
        const auto& received = f.peer.received();
        QCOMPARE(int(received.size()), 1);
        const QByteArray sent = received[0].data();
        QCOMPARE(sent.size(), requestSize);
        QCOMPARE(sent.mid(offset::serverHost, serverHostSize),
                 bytes.leftJustified(serverHostSize, ' '));
        QCOMPARE(sent.at(offset::trailer), '*');
        QCOMPARE(sent.at(offset::clientMode), char(server ? 0 : 1));
    }

    void failedConversionSendsNothingAndKeepsTheChoice_data()
    {
        QTest::addColumn<QStringList>("fields"); // object names, in the order typed
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("message");

        QTest::newRow("IP octet abc")
            << QStringList{"Edit9"} << QStringList{"abc"} << "'abc' is not a valid integer value.";
        QTest::newRow("empty DNS octet")
            << QStringList{"Edit27"} << QStringList{""} << "'' is not a valid integer value.";
        // The first bad field in the request's order is the one reported.
        QTest::newRow("two bad fields")
            << QStringList{"EditMac2", "Edit14"} << QStringList{"x", "1.5"}
            << "'1.5' is not a valid integer value.";
        QTest::newRow("server host with ā, which cp1252 lacks")
            << QStringList{"Edit2"} << QStringList{"vāla"}
            << "O texto 'vāla' tem caracteres que o módulo não aceita.";
    }

    void failedConversionSendsNothingAndKeepsTheChoice()
    {
        QFETCH(QStringList, fields);
        QFETCH(QStringList, texts);
        QFETCH(QString, message);

        ChosenModule f;
        TForm1& w = f.w;
        activate(w);
        QList<QLineEdit*> edits;
        const auto type = [](QLineEdit* edit, const QString& text) {
            if (edit->isVisible())
                retype(edit, text);
            else
                edit->setText(text); // a hidden service field
        };
        for (int i = 0; i < fields.size(); ++i) {
            edits << w.findChild<QLineEdit*>(fields[i]);
            QVERIFY(edits.last());
            type(edits.last(), texts[i]);
        }
        const int timerInterval = w.Timer2->interval();

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(f.presenter->errorTexts(), QStringList{message});
        QVERIFY(f.presenter->informations.isEmpty());
        QVERIFY(f.peer.receivesNothing());
        QCOMPARE(w.ListBox1->count(), 0);
        QCOMPARE(w.ListBox2->count(), 0);
        QCOMPARE(w.ListBox3->count(), 0);
        QVERIFY(!w.Label29->isVisible());
        QCOMPARE(w.selectedModuleIp(), QStringLiteral("127.0.0.20"));
        QCOMPARE(w.replyCount(), 1);
        QCOMPARE(w.retryCount(), 1);
        QVERIFY(!w.Timer2->isEnabled());
        QCOMPARE(w.Timer2->interval(), timerInterval);
        QVERIFY(w.Button13->isEnabled());
        QCOMPARE(w.Label13->text(), waitForChoice);

        // Corrected, the next click writes to the same module although it is no longer listed.
        for (QLineEdit* edit : edits)
            type(edit, QStringLiteral("1"));
        f.presenter->clear();
        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(f.presenter->errorTexts(), QStringList());
        const auto& received = f.peer.received();
        QCOMPARE(int(received.size()), 1);
        QCOMPARE(received[0].destinationAddress(), QHostAddress(QStringLiteral("127.0.0.20")));
        QCOMPARE(received[0].data().size(), requestSize);
        QVERIFY(!w.Button13->isEnabled());
    }

    void sendErrorLeavesTheChoiceAndNoTimer()
    {
        ChosenModule f(record("0.0.0.0"));
        TForm1& w = f.w;
        QCOMPARE(w.selectedModuleIp(), QStringLiteral("0.0.0.0"));

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(f.presenter->errorTexts(), QStringList{"Null Remote Address."});
        const QStringList dump = lines(w.ListBox2);
        QCOMPARE(dump.size(), requestSize);
        QCOMPARE(dump.at(offset::opcode), QStringLiteral("85"));
        QCOMPARE(w.selectedModuleIp(), QStringLiteral("0.0.0.0"));
        QCOMPARE(w.replyCount(), 1);
        QVERIFY(w.Button13->isEnabled());
        QVERIFY(!w.Timer2->isEnabled());
        QCOMPARE(w.Label13->text(), waitForChoice);

        // No confirmation follows.
        QCOMPARE(sentDuring(f, f.peer, 15000), 0);
        QVERIFY(f.presenter->informations.isEmpty());
    }

    void writeAfterResetBroadcastGoesToResetPort()
    {
        // Service mode reads the version file from the working directory.
        ScopedWorkingDirectory directory;
        QVERIFY(directory.isValid());
        QVERIFY(writeFile(QStringLiteral("versao.txt"), "174\r\n"));
        ChosenModule f;
        ModulePeer resetPeer(resetPort);
        QVERIFY(resetPeer.isBound());
        enterServiceMode(f.w); // uncovers "RST 69"

        QTest::mouseClick(f.w.Button3, Qt::LeftButton);
        QCOMPARE(int(resetPeer.received(256, 5000).size()), 256);
        resetPeer.clear();

        QTest::mouseClick(f.w.Button13, Qt::LeftButton);

        QCOMPARE(f.presenter->errorTexts(), QStringList());
        const auto& received = resetPeer.received();
        QCOMPARE(int(received.size()), 1);
        QCOMPARE(received[0].destinationAddress(), QHostAddress(QStringLiteral("127.0.0.20")));
        QCOMPARE(received[0].data().size(), requestSize);
        QCOMPARE(quint8(received[0].data().at(offset::opcode)), writeOpcode);
        QVERIFY(f.peer.receivesNothing());
    }
};

QTEST_MAIN(TestWrite)
#include "tst_write.moc"
