// The module search: what one search sends and empties, its retry schedule and give-up, and
// the extended range.

#include "windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QTest>
#include <chrono>
#include <thread>

using namespace duva;
using namespace duva::test;

namespace
{

const QString noAnswer = QStringLiteral(
    "O dispositivo NÃO RESPONDEU, verfique se o módulo:\r\r"
    "- Está energizado pela fonte de alimentação.\r"
    "- Está conectado a rede local por um cabo de rede.\r\r"
    "Estando correto, siga o procedimento abaixo:\r\r"
    "- Mantenha pressionada a tecla chamada RST localizada no módulo.\r"
    "- Em seguida, mantenha também pressionada a tecla DHCP localizada no módulo.    \r"
    "- Solte primeiro a tecla RST.\r"
    "- Em seguida solte a tecla DHCP.\r"
    "- Clique novamente em Procurar módulos na rede.   \r\r");

QColor statusColour(const TForm1& form)
{
    return form.Label13->palette().color(QPalette::WindowText);
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void oneSearchSendsOneRequestAndEmptiesTheWindow()
    {
        // A module chosen and fields filled, as before any later search.
        ChosenModule f(record("127.0.0.20", 0, 1));
        f.clock.advance(1000);
        f.form->CheckBox1->setChecked(true);
        QVERIFY(!f.form->Edit7->text().isEmpty());

        QTest::mouseClick(f.form->Label11, Qt::LeftButton);

        const auto& sent = f.peer.received();
        QCOMPARE(int(sent.size()), 1);
        QCOMPARE(sent[0].destinationAddress(), QHostAddress("127.0.0.255"));
        QCOMPARE(sent[0].data(), SearchRequest::build());
        QCOMPARE(f.form->Udp1->remotePort(), 1461);

        QCOMPARE(lines(f.form->ListBox2), decimalLines(SearchRequest::build()));
        QVERIFY(lines(f.form->ListBox1).isEmpty());
        QVERIFY(lines(f.form->ListBox3).isEmpty());
        QVERIFY(!f.form->Button13->isEnabled());
        QVERIFY(f.form->Label13->isVisible());
        QCOMPARE(f.form->Label13->text(), QStringLiteral("Aguarde ..."));
        QCOMPARE(f.form->replyCount(), 0);
        QVERIFY(f.form->selectedModuleIp().isEmpty());

        for (QLineEdit* field :
             {f.form->Edit1,  f.form->Edit2,  f.form->Edit3,  f.form->Edit4,  f.form->Edit5,
              f.form->Edit6,  f.form->Edit7,  f.form->Edit9,  f.form->Edit10, f.form->Edit11,
              f.form->Edit14, f.form->Edit15, f.form->Edit16, f.form->Edit17, f.form->Edit18,
              f.form->Edit20, f.form->Edit24, f.form->Edit25, f.form->Edit26, f.form->Edit27})
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
        QVERIFY(f.form->LabelNs->text().isEmpty());
        // The time field's own rule puts "0" into it; unchecking the box disables it.
        QCOMPARE(f.form->Edit8->text(), QStringLiteral("0"));
        QVERIFY(!f.form->Edit8->isEnabled());
        for (QAbstractButton* box : std::initializer_list<QAbstractButton*>{
                 f.form->CheckBox1, f.form->CheckBox7, f.form->CheckBox8, f.form->RadioButton1,
                 f.form->RadioButton2})
            QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
    }

    void theSearchCommandRestsForOneSecond()
    {
        Fixture f;
        ModulePeer peer;
        QTest::mouseClick(f.form->Label11, Qt::LeftButton);
        QVERIFY(!f.form->Panel1->isEnabled());
        QCOMPARE(int(peer.received().size()), 1);
        peer.clear();
        // Clicks while it rests do nothing.
        QTest::mouseClick(f.form->Label11, Qt::LeftButton);
        QCOMPARE(int(peer.received(1, 100).size()), 0);
        f.clock.advance(999);
        QVERIFY(!f.form->Panel1->isEnabled());
        f.clock.advance(1);
        QVERIFY(f.form->Panel1->isEnabled());
        QVERIFY(!f.form->Timer3->isEnabled());
    }

    void theSearchIsLastInTheTabOrderAndShowsItsFocus()
    {
        Fixture f;
        TForm1& w = *f.form;
        activate(w);
        const auto focused = [] { return QApplication::focusWidget(); };
        // The window opens with the keyboard in the first field, not on the search.
        QCOMPARE(focused(), static_cast<QWidget*>(w.Edit7));

        // One round of Tab from the first field: "Base", then the search, then the first
        // field again.
        w.Edit7->setFocus(Qt::TabFocusReason);
        QList<QWidget*> round;
        do {
            QTest::keyClick(focused(), Qt::Key_Tab);
            round << focused();
        } while (focused() != w.Edit7 && round.size() < 100);
        QCOMPARE(round.count(w.Label11), 1);
        QVERIFY(round.size() >= 3);
        QCOMPARE(round.at(round.size() - 3), static_cast<QWidget*>(w.Button1));
        QCOMPARE(round.at(round.size() - 2), static_cast<QWidget*>(w.Label11));

        QTest::keyClick(w.Edit7, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused(), static_cast<QWidget*>(w.Label11));
        const QImage framed = w.Label11->grab().toImage();
        w.Edit11->setFocus(Qt::TabFocusReason);
        QVERIFY2(w.Label11->grab().toImage() != framed, "no focus frame");

        // The mouse still leaves the focus where it is.
        QTest::mouseClick(w.Label11, Qt::LeftButton);
        QCOMPARE(w.Label13->text(), QStringLiteral("Aguarde ..."));
        QCOMPARE(focused(), static_cast<QWidget*>(w.Edit11));
    }

    void spaceOrEnterOnTheSearchStartsIt_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void spaceOrEnterOnTheSearchStartsIt()
    {
        QFETCH(int, key);
        Fixture f;
        ModulePeer peer;
        TForm1& w = *f.form;
        activate(w);
        w.Label11->setFocus(Qt::BacktabFocusReason);
        QTest::keyClick(w.Label11, Qt::Key(key));
        QCOMPARE(int(peer.received().size()), 1);
        peer.clear();
        QVERIFY(peer.receivesNothing(100)); // one key, one search
        QCOMPARE(w.Label13->text(), QStringLiteral("Aguarde ..."));
        QVERIFY(!w.Panel1->isEnabled());
        QVERIFY(w.Timer2->isEnabled());
        // After its rest the search has the focus again, ready for the next key.
        f.clock.advance(1000);
        QVERIFY(w.Label11->hasFocus());
    }

    void unansweredSearchRetriesAtThreeAndSixAndGivesUpAtNine()
    {
        Fixture f;
        ModulePeer peer;
        QTest::mouseClick(f.form->Label11, Qt::LeftButton);
        QCOMPARE(int(peer.received().size()), 1);
        QCOMPARE(sentDuring(f, peer, 2999), 0);
        QCOMPARE(sentDuring(f, peer, 1), 1);
        QCOMPARE(f.form->retryCount(), 2);
        QCOMPARE(sentDuring(f, peer, 3000), 1);
        QCOMPARE(f.form->retryCount(), 3);
        QVERIFY(f.presenter->informations.isEmpty());

        QCOMPARE(sentDuring(f, peer, 3000), 0);
        QCOMPARE(f.presenter->informations, QStringList{noAnswer});
        QCOMPARE(f.form->retryCount(), 1);
        QVERIFY(f.form->Button13->isEnabled());
        QVERIFY(!f.form->Label13->isVisible());
        QVERIFY(!f.form->Timer2->isEnabled());
        QCOMPARE(f.form->Timer2->interval(), 3000);
        QCOMPARE(lines(f.form->ListBox2).size(), 65);
        QCOMPARE(sentDuring(f, peer, 10000), 0);
    }

    void aSecondClickKeepsTheWaitingSchedule()
    {
        Fixture f;
        ModulePeer peer;
        QTest::mouseClick(f.form->Label11, Qt::LeftButton);
        f.clock.advance(1500);
        QTest::mouseClick(f.form->Label11, Qt::LeftButton);
        QCOMPARE(int(peer.received().size()), 2);
        // The retry comes 3 s after the first click, not after the second.
        QCOMPARE(sentDuring(f, peer, 1499), 0);
        QCOMPARE(sentDuring(f, peer, 1), 1);
    }

    void aReplyStopsTheScheduleAndLeavesTheRetryCount_data()
    {
        QTest::addColumn<int>("answerAfter");
        QTest::addColumn<int>("retryCount");
        QTest::addColumn<int>("nextSearchSends");
        QTest::newRow("answered at once") << 100 << 1 << 3;
        QTest::newRow("answered after one retry") << 3100 << 2 << 2;
        QTest::newRow("answered after two retries") << 6100 << 3 << 1;
    }

    void aReplyStopsTheScheduleAndLeavesTheRetryCount()
    {
        QFETCH(int, answerAfter);
        QFETCH(int, retryCount);
        QFETCH(int, nextSearchSends);

        Fixture f;
        ModulePeer peer;
        QTest::mouseClick(f.form->Label11, Qt::LeftButton);
        f.clock.advance(answerAfter);
        peer.answer(record("127.0.0.20"));
        QTRY_COMPARE(f.form->replyCount(), 1);
        QCOMPARE(f.form->retryCount(), retryCount);
        QVERIFY(!f.form->Timer2->isEnabled());
        QCOMPARE(sentDuring(f, peer, 20000), 0);

        // The next unanswered search gets only the retries that are left.
        peer.clear();
        QTest::mouseClick(f.form->Label11, Qt::LeftButton);
        f.clock.advance(3000 * nextSearchSends - 1);
        QCOMPARE(int(peer.received(nextSearchSends, 500).size()), nextSearchSends);
        QVERIFY(f.presenter->informations.isEmpty());
        f.clock.advance(1);
        QCOMPARE(f.presenter->informations, QStringList{noAnswer});
    }

    void theStatusAlternatesColourAtEachRetry()
    {
        Fixture f;
        QCOMPARE(statusColour(*f.form), QColor(Qt::white));
        f.form->Label11Click();
        QCOMPARE(statusColour(*f.form), QColor(Qt::white));
        f.clock.advance(3000);
        QCOMPARE(statusColour(*f.form), QColor(0, 0, 128));
        f.clock.advance(3000);
        QCOMPARE(statusColour(*f.form), QColor(Qt::white));
        f.clock.advance(3000); // gives up: the colour stays
        QCOMPARE(statusColour(*f.form), QColor(Qt::white));
    }

    void aRetryThatCannotSendKeepsItsCountAndColour()
    {
        Fixture f;
        f.form->Label11Click();
        // A prefix whose broadcast text is no address: the retry's send fails.
        applyPrefix(f.w, "300", "0", "0");
        f.presenter->clear();
        f.clock.advance(3000);
        QCOMPARE(f.presenter->errorTexts(), QStringList{"Host Lookup Canceled."});
        QCOMPARE(f.form->retryCount(), 1);
        QCOMPARE(statusColour(*f.form), QColor(Qt::white));
    }

    void extendedRangeCoversEveryNetworkOfTheSixteen()
    {
        Fixture f;
        ModulePeer peer;
        f.form->CheckBox2->setChecked(true);
        std::vector<std::chrono::steady_clock::time_point> sentAt;
        f.form->Udp1->setOnDataSend(
            [&](UdpEndpoint&) { sentAt.push_back(std::chrono::steady_clock::now()); });
        QElapsedTimer elapsed;
        elapsed.start();
        QTest::mouseClick(f.form->Label11, Qt::LeftButton);
        QVERIFY(elapsed.elapsed() >= 256);
        QCOMPARE(int(sentAt.size()), 256);
        for (size_t i = 1; i < sentAt.size(); ++i)
            QVERIFY2(sentAt[i] - sentAt[i - 1] >= std::chrono::milliseconds(1),
                     qPrintable(QString::number(i)));

        const auto& sent = peer.received(256, 5000);
        QCOMPARE(int(sent.size()), 256);
        for (int n = 0; n < 256; ++n) {
            QCOMPARE(sent[n].destinationAddress(),
                     QHostAddress(QStringLiteral("127.0.%1.255").arg(n)));
            QCOMPARE(sent[n].data(), SearchRequest::build());
        }
        QCOMPARE(lines(f.form->ListBox2).size(), 65);
        QCOMPARE(f.form->Udp1->remoteHost(), QStringLiteral("127.0.255.255"));
        QCOMPARE(f.form->Udp1->remotePort(), 1461);
    }

    void repliesDuringTheExtendedSendsAreTakenInAfterThem()
    {
        Fixture f;
        ModulePeer peer;
        f.form->CheckBox2->setChecked(true);
        // A module answers while the window is still sending its 256 requests.
        std::thread module([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            QUdpSocket socket;
            socket.setProxy(QNetworkProxy::NoProxy);
            socket.writeDatagram(record("127.0.0.20"), QHostAddress::LocalHost,
                                 TForm1::localUdpPort);
            socket.waitForBytesWritten(100);
        });
        QTest::mouseClick(f.form->Label11, Qt::LeftButton);
        module.join();
        // Counted for this search: the count was reset before the reply was taken in.
        QTRY_COMPARE(f.form->replyCount(), 1);
        QCOMPARE(lines(f.form->ListBox3), QStringList{"127.0.0.20"});
        QCOMPARE(f.form->moduleSlot(1), record("127.0.0.20"));
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
