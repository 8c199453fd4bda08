// Writing a configuration with "GRAVAR": its two preconditions, the request built from what the
// user typed and where it goes, the confirming searches, and what a failed conversion or send
// leaves behind.

#include "windowfixture.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

using namespace duva;
using namespace duva::test;

namespace
{

const QString title = QStringLiteral("duva-configurador");
const QString clientNeedsServer =
    QStringLiteral("Em modo \"Cliente\", preencha o campo \"Domínio ou IP do Servidor\".");
const QString chooseFirst = QStringLiteral("Selecione um dos IPs mostrados da lista. ");
const QString noAnswerStart = QStringLiteral("O dispositivo NÃO RESPONDEU");

QByteArray with(QByteArray r, int offset, const QByteArray& bytes)
{
    r.replace(offset, bytes.size(), bytes);
    return r;
}

void chooseModule(Fixture& f, ModulePeer& peer, const QByteArray& reply)
{
    searchAndAnswer(*f.form, peer, {reply});
    chooseLine(*f.form, 0);
    QVERIFY(!f.form->selectedModuleIp().isEmpty());
    // The search request, taken out so that only what follows is recorded.
    QCOMPARE(int(peer.received().size()), 1);
    peer.clear();
}

void activate(TForm1& form)
{
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

// Replaces an edit's text as the user does. Characters outside Latin-1 arrive as the keyboard
// layout would deliver them: a key event carrying the character.
void retype(QLineEdit* edit, const QString& text)
{
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(edit, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QStringList decimalLines(const QByteArray& bytes)
{
    QStringList result;
    for (const char b : bytes)
        result << QString::number(quint8(b));
    return result;
}

// Forgets what the peer has received so far, including datagrams not yet read.
void drain(ModulePeer& peer)
{
    peer.received(std::numeric_limits<int>::max(), 200);
    peer.clear();
}

// Nothing reaches the peer within a short wait.
bool nothingSent(ModulePeer& peer)
{
    return peer.received(1, 200).empty();
}

QString errorTexts(const RecordingPresenter& presenter)
{
    QStringList texts;
    for (const auto& error : presenter.errors)
        texts << error.caption + ": " + error.text;
    return texts.join('\n');
}

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
        TForm1& w = *f.form;
        if (moduleChosen) {
            const QByteArray blankHost(serverHostSize, ' ');
            chooseModule(f, peer, with(record("127.0.0.20", 0, 1), offset::serverHost, blankHost));
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
        QVERIFY(nothingSent(peer));
    }

    void writeSendsTheFieldsToTheChosenModule()
    {
        Fixture f;
        ModulePeer peer;
        chooseModule(f, peer, record("127.0.0.20", 0, 1));
        TForm1& w = *f.form;
        activate(w);

        // The service key shows the auto-disconnect box; the user turns it on.
        QTest::keyClick(w.Edit11, Qt::Key_F10);
        QTest::mouseClick(w.CheckBox1, Qt::LeftButton);
        retype(w.Edit8, QStringLiteral("20"));
        // A new address: the write still goes to the module as it was chosen.
        retype(w.Edit7, QStringLiteral("192"));
        retype(w.Edit9, QStringLiteral("168"));
        retype(w.Edit16, QStringLiteral("0"));
        retype(w.Edit14, QStringLiteral("132"));
        retype(w.Edit3, QStringLiteral("192"));
        retype(w.Edit4, QStringLiteral("168"));
        retype(w.Edit5, QStringLiteral("0"));
        retype(w.Edit6, QStringLiteral("1"));
        retype(w.Edit10, QStringLiteral("192"));
        retype(w.Edit24, QStringLiteral("168"));
        retype(w.Edit25, QStringLiteral("0"));
        retype(w.Edit27, QStringLiteral("100"));
        retype(w.Edit11, QStringLiteral("5002"));
        retype(w.Edit26, QStringLiteral("80"));
        retype(w.Edit2, QStringLiteral("192.168.0.14"));
        QTest::mouseClick(w.CheckBox3, Qt::LeftButton);
        QVERIFY(f.presenter->errors.empty());

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        const QByteArray expected = QByteArray::fromHex("C0A80084FFFFFF00C0A80001C0A80064"
                                                        "138A0050008055010114313734000000"
                                                        "3139322E3136382E302E313420202020") +
                                    QByteArray(16, ' ') + QByteArray(1, '*');
        const auto& received = peer.received();
        QCOMPARE(int(received.size()), 1);
        QCOMPARE(received[0].data().toHex(' '), expected.toHex(' '));
        QCOMPARE(received[0].destinationAddress(), QHostAddress(QStringLiteral("127.0.0.20")));
        QCOMPARE(received[0].destinationPort(), modulePort);
        QCOMPARE(received[0].senderPort(), TForm1::localUdpPort);

        const QStringList dump = lines(w.ListBox2);
        QCOMPARE(dump, decimalLines(expected));
        QCOMPARE(dump.size(), requestSize);
        QCOMPARE(dump.last(), QStringLiteral("42"));
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
        peer.clear();
        f.clock.advance(5999);
        QVERIFY(nothingSent(peer));
        f.clock.advance(1);
        const auto& search = peer.received();
        QCOMPARE(int(search.size()), 1);
        QCOMPARE(search[0].data(), SearchRequest::build());
        QCOMPARE(search[0].destinationAddress(), QHostAddress(QStringLiteral("127.0.0.255")));
        QCOMPARE(w.retryCount(), 2);

        peer.clear();
        f.clock.advance(2999);
        QVERIFY(nothingSent(peer));
        f.clock.advance(1);
        QCOMPARE(int(peer.received().size()), 1);
        QVERIFY(f.presenter->informations.isEmpty());

        peer.clear();
        f.clock.advance(3000);
        QVERIFY(nothingSent(peer));
        QCOMPARE(f.presenter->informations.size(), 1);
        QVERIFY(f.presenter->informations[0].startsWith(noAnswerStart));
        QVERIFY(w.Button13->isEnabled());
        QCOMPARE(w.retryCount(), 1);
    }

    void confirmingReplyListsTheWrittenModule()
    {
        Fixture f;
        ModulePeer peer;
        chooseModule(f, peer, record("127.0.0.20"));
        TForm1& w = *f.form;
        QTest::mouseClick(w.Button13, Qt::LeftButton);
        QCOMPARE(int(peer.received().size()), 1);
        peer.clear();

        f.clock.advance(6000);
        QCOMPARE(int(peer.received().size()), 1); // the first confirming search
        peer.answer(record("127.0.0.20"));
        QTRY_COMPARE(lines(w.ListBox3), QStringList{QStringLiteral("127.0.0.20")});

        // The reply ended the wait: no further search, no give-up.
        peer.clear();
        f.clock.advance(10000);
        QVERIFY(nothingSent(peer));
        QVERIFY(f.presenter->informations.isEmpty());
        QVERIFY(!w.Button13->isEnabled()); // until a module is chosen again
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
        TForm1& w = *f.form;
        if (situation == 0) {
            QTest::mouseClick(w.Label11, Qt::LeftButton);
            f.clock.advance(9000);
        } else {
            chooseModule(f, peer, record("127.0.0.20", 0, 0));
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
        drain(peer);

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(f.presenter->informations, QStringList{chooseFirst});
        QVERIFY(f.presenter->errors.empty());
        QCOMPARE(w.ListBox1->count(), 0);
        QCOMPARE(w.ListBox2->count(), 0);
        QCOMPARE(w.ListBox3->count(), 0);
        QVERIFY(!w.Label29->isVisible());
        QVERIFY(w.Button13->isEnabled());
        QVERIFY(!w.Timer2->isEnabled());
        QVERIFY(nothingSent(peer));
    }

    void emptyHostPaddedWhenAllowed_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("host");
        QTest::newRow("SERVIDOR, empty host") << true << QString();
        // Blanks are not an empty host, even in client mode.
        QTest::newRow("CLIENTE, blank host") << false << QStringLiteral("   ");
    }

    void emptyHostPaddedWhenAllowed()
    {
        QFETCH(bool, server);
        QFETCH(QString, host);

        Fixture f;
        ModulePeer peer;
        chooseModule(f, peer, record("127.0.0.20", 0, 1));
        TForm1& w = *f.form;
        activate(w);
        retype(w.Edit2, host);
        if (server) {
            QTest::mouseClick(w.RadioButton2, Qt::LeftButton);
            QVERIFY(!w.Edit2->isEnabled());
        }

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QVERIFY(f.presenter->informations.isEmpty());
        const auto& received = peer.received();
        QCOMPARE(int(received.size()), 1);
        const QByteArray bytes = received[0].data();
        QCOMPARE(bytes.size(), requestSize);
        QCOMPARE(bytes.mid(offset::serverHost, serverHostSize), QByteArray(serverHostSize, ' '));
        QCOMPARE(bytes.at(offset::trailer), '*');
        QCOMPARE(bytes.at(offset::clientMode), char(server ? 0 : 1));
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
    }

    void failedConversionSendsNothingAndKeepsTheChoice()
    {
        QFETCH(QStringList, fields);
        QFETCH(QStringList, texts);
        QFETCH(QString, message);

        Fixture f;
        ModulePeer peer;
        chooseModule(f, peer, record("127.0.0.20"));
        TForm1& w = *f.form;
        activate(w);
        QList<QLineEdit*> edits;
        for (int i = 0; i < fields.size(); ++i) {
            auto* edit = w.findChild<QLineEdit*>(fields[i]);
            QVERIFY(edit);
            if (edit->isVisible())
                retype(edit, texts[i]);
            else
                edit->setText(texts[i]); // a hidden service field
            edits << edit;
        }
        const int timerInterval = w.Timer2->interval();

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(int(f.presenter->errors.size()), 1);
        QCOMPARE(f.presenter->errors[0].caption, title);
        QCOMPARE(f.presenter->errors[0].text, message);
        QVERIFY(f.presenter->informations.isEmpty());
        QVERIFY(nothingSent(peer));
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
        QCOMPARE(w.Label13->text(), QStringLiteral("Altere os parâmetros desejados"));

        // Corrected, the next click writes to the same module although it is no longer listed.
        for (QLineEdit* edit : edits) {
            if (edit->isVisible())
                retype(edit, QStringLiteral("1"));
            else
                edit->setText(QStringLiteral("1"));
        }
        f.presenter->clear();
        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(errorTexts(*f.presenter), QString());
        const auto& received = peer.received();
        QCOMPARE(int(received.size()), 1);
        QCOMPARE(received[0].destinationAddress(), QHostAddress(QStringLiteral("127.0.0.20")));
        QCOMPARE(received[0].data().size(), requestSize);
        QVERIFY(!w.Button13->isEnabled());
    }

    void sendErrorLeavesTheChoiceAndNoTimer()
    {
        Fixture f;
        ModulePeer peer;
        chooseModule(f, peer, record("0.0.0.0"));
        TForm1& w = *f.form;
        QCOMPARE(w.selectedModuleIp(), QStringLiteral("0.0.0.0"));

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(int(f.presenter->errors.size()), 1);
        QCOMPARE(f.presenter->errors[0].caption, title);
        QCOMPARE(f.presenter->errors[0].text, QStringLiteral("Null Remote Address."));
        const QStringList dump = lines(w.ListBox2);
        QCOMPARE(dump.size(), requestSize);
        QCOMPARE(dump.at(offset::opcode), QStringLiteral("85"));
        QCOMPARE(w.selectedModuleIp(), QStringLiteral("0.0.0.0"));
        QCOMPARE(w.replyCount(), 1);
        QVERIFY(w.Button13->isEnabled());
        QVERIFY(!w.Timer2->isEnabled());
        QCOMPARE(w.Label13->text(), QStringLiteral("Altere os parâmetros desejados"));

        // No confirmation follows.
        f.clock.advance(15000);
        QVERIFY(nothingSent(peer));
        QVERIFY(f.presenter->informations.isEmpty());
    }

    void writeAfterResetBroadcastGoesToResetPort()
    {
        // Service mode reads the version file from the working directory.
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(directory.path()));
        const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
        QFile version(QStringLiteral("versao.txt"));
        QVERIFY(version.open(QIODevice::WriteOnly));
        version.write("174\r\n");
        version.close();

        Fixture f;
        ModulePeer peer;
        ModulePeer resetPeer(resetPort);
        QVERIFY(resetPeer.isBound());
        chooseModule(f, peer, record("127.0.0.20"));
        TForm1& w = *f.form;
        // The service keys: F10 in the local-port field, then F2 in the time field, uncover
        // "RST 69".
        QTest::keyClick(w.Edit11, Qt::Key_F10);
        QTest::keyClick(w.Edit8, Qt::Key_F2);
        QVERIFY(w.Button3->isVisible());

        QTest::mouseClick(w.Button3, Qt::LeftButton);
        QCOMPARE(int(resetPeer.received(256, 5000).size()), 256);
        resetPeer.clear();

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(errorTexts(*f.presenter), QString());
        const auto& received = resetPeer.received();
        QCOMPARE(int(received.size()), 1);
        QCOMPARE(received[0].destinationAddress(), QHostAddress(QStringLiteral("127.0.0.20")));
        QCOMPARE(received[0].data().size(), requestSize);
        QCOMPARE(quint8(received[0].data().at(offset::opcode)), writeOpcode);
        QVERIFY(nothingSent(peer));
    }

    void serverHostIsWrittenInTheModulesCodePage_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QByteArray>("bytes"); // empty: refused

        QTest::newRow("é") << QStringLiteral("café.example") << QByteArray("caf\xE9.example");
        QTest::newRow("€ (cp1252, not Latin-1)")
            << QStringLiteral("€host") << QByteArray("\x80host");
        QTest::newRow("ā (no cp1252 byte)") << QStringLiteral("vāla") << QByteArray();
    }

    void serverHostIsWrittenInTheModulesCodePage()
    {
        QFETCH(QString, host);
        QFETCH(QByteArray, bytes);

        Fixture f;
        ModulePeer peer;
        chooseModule(f, peer, record("127.0.0.20"));
        TForm1& w = *f.form;
        activate(w);
        retype(w.Edit2, host);
        QCOMPARE(w.Edit2->text(), host);

        QTest::mouseClick(w.Button13, Qt::LeftButton);

        if (bytes.isEmpty()) {
            QCOMPARE(int(f.presenter->errors.size()), 1);
            QCOMPARE(f.presenter->errors[0].caption, title);
            QVERIFY2(f.presenter->errors[0].text.contains(host),
                     qPrintable(errorTexts(*f.presenter)));
            QVERIFY(nothingSent(peer));
            QCOMPARE(w.ListBox2->count(), 0);
            QCOMPARE(w.selectedModuleIp(), QStringLiteral("127.0.0.20"));
            QVERIFY(w.Button13->isEnabled());
            QVERIFY(!w.Timer2->isEnabled());
        } else {
            QCOMPARE(errorTexts(*f.presenter), QString());
            const auto& received = peer.received();
            QCOMPARE(int(received.size()), 1);
            QCOMPARE(received[0].data().mid(offset::serverHost, bytes.size()), bytes);
            QCOMPARE(received[0].data().at(offset::serverHost + bytes.size()), ' ');
        }
    }
};

QTEST_MAIN(TestWrite)
#include "tst_write.moc"
