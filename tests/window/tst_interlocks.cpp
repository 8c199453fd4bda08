// The field interlocks as the user meets them: mouse presses and releases on the mode boxes and
// buttons, the auto-disconnect box and its time field, and the server port following the local
// port, on the real window.

#include "windowfixture.h"

#include <QPushButton>
#include <QTest>

using namespace duva;
using namespace duva::test;

namespace
{

// How the mouse goes over a box or button.
enum Gesture { LeftClick, RightClick, MiddleClick, LeftReleasedOutside };

void perform(QWidget* control, int gesture)
{
    switch (gesture) {
    case LeftClick:
        QTest::mouseClick(control, Qt::LeftButton);
        break;
    case RightClick:
        QTest::mouseClick(control, Qt::RightButton);
        break;
    case MiddleClick:
        QTest::mouseClick(control, Qt::MiddleButton);
        break;
    case LeftReleasedOutside:
        QTest::mousePress(control, Qt::LeftButton);
        QTest::mouseRelease(control, Qt::LeftButton, {},
                            QPoint(control->width() + 30, control->height() + 30));
        break;
    }
}

QList<QWidget*> addressFields(const TForm1& form)
{
    return {form.Edit7,  form.Edit9,  form.Edit16, form.Edit14,
            form.Edit15, form.Edit17, form.Edit18, form.Edit20};
}

// One character per control, + enabled and - disabled, so that a failure names the culprit.
QString enabledStates(const QList<QWidget*>& controls)
{
    QString states;
    for (const QWidget* control : controls)
        states += control->isEnabled() ? '+' : '-';
    return states;
}

QString all(bool enabled, int count = 8)
{
    return QString(count, enabled ? '+' : '-');
}

void setEnabled(const QList<QWidget*>& controls, bool enabled)
{
    for (QWidget* control : controls)
        control->setEnabled(enabled);
}

// Shows the hidden auto-disconnect box and time field, as the service key in the local-port
// field does.
void showAutoDisconnect(TForm1& form)
{
    QTest::keyClick(form.Edit11, Qt::Key_F10);
    QVERIFY(form.CheckBox1->isVisible());
    QVERIFY(form.Edit8->isVisible());
}

} // namespace

class TestInterlocks : public QObject
{
    Q_OBJECT

private slots:
    void primaryClickOnModeBox_data()
    {
        QTest::addColumn<bool>("onDhcp");
        QTest::addColumn<bool>("dhcpBefore");
        QTest::addColumn<bool>("fixedBefore");
        QTest::addColumn<bool>("dhcpAfter");
        QTest::addColumn<bool>("fixedAfter");
        QTest::addColumn<bool>("addressEnabled");
        QTest::addColumn<bool>("localPortBefore");
        QTest::addColumn<bool>("localPortAfter");

        // The address fields follow the box that was pressed; exactly one box ends checked.
        QTest::newRow("DHCP from neither")
            << true << false << false << true << false << false << false << false;
        QTest::newRow("DHCP from fixed")
            << true << false << true << true << false << false << true << true;
        QTest::newRow("DHCP from DHCP")
            << true << true << false << false << true << false << true << true;
        QTest::newRow("DHCP from both")
            << true << true << true << false << true << false << false << false;
        QTest::newRow("IP FIXO from neither")
            << false << false << false << false << true << true << false << true;
        QTest::newRow("IP FIXO from DHCP")
            << false << true << false << false << true << true << false << true;
        QTest::newRow("IP FIXO from fixed")
            << false << false << true << true << false << true << false << true;
        QTest::newRow("IP FIXO from both")
            << false << true << true << true << false << true << false << true;
    }

    void primaryClickOnModeBox()
    {
        QFETCH(bool, onDhcp);
        QFETCH(bool, dhcpBefore);
        QFETCH(bool, fixedBefore);
        QFETCH(bool, dhcpAfter);
        QFETCH(bool, fixedAfter);
        QFETCH(bool, addressEnabled);
        QFETCH(bool, localPortBefore);
        QFETCH(bool, localPortAfter);

        ChosenModule f;
        TForm1& w = f.w;
        // The starting state, set by the program (which runs no reaction); the address fields
        // start in the state opposite to the expected one.
        w.CheckBox7->setChecked(dhcpBefore);
        w.CheckBox8->setChecked(fixedBefore);
        setEnabled(addressFields(w), !addressEnabled);
        w.Edit11->setEnabled(localPortBefore);

        QTest::mouseClick(onDhcp ? w.CheckBox7 : w.CheckBox8, Qt::LeftButton);

        QCOMPARE(w.CheckBox7->isChecked(), dhcpAfter);
        QCOMPARE(w.CheckBox8->isChecked(), fixedAfter);
        QCOMPARE(enabledStates(addressFields(w)), all(addressEnabled));
        QCOMPARE(w.Edit11->isEnabled(), localPortAfter);
        // The gateway fields belong to no interlock.
        QCOMPARE(enabledStates({w.Edit3, w.Edit4, w.Edit5, w.Edit6}), all(true, 4));
    }

    void pressWithoutToggle_data()
    {
        QTest::addColumn<bool>("onDhcp");
        QTest::addColumn<int>("gesture");
        QTest::addColumn<bool>("bothBefore");

        // Other buttons and a left press released away from the box change no box state, but
        // both reactions run: the pressed box keeps its state and the other box ends opposite.
        const std::pair<const char*, int> gestures[] = {
            {"right", RightClick},
            {"middle", MiddleClick},
            {"left released outside", LeftReleasedOutside}};
        for (const bool onDhcp : {true, false})
            for (const auto& [name, gesture] : gestures)
                for (const bool both : {false, true})
                    QTest::addRow("%s, %s, %s", onDhcp ? "DHCP" : "IP FIXO", name,
                                  both ? "both checked" : "neither checked")
                        << onDhcp << gesture << both;
    }

    void pressWithoutToggle()
    {
        QFETCH(bool, onDhcp);
        QFETCH(int, gesture);
        QFETCH(bool, bothBefore);

        ChosenModule f;
        TForm1& w = f.w;
        w.CheckBox7->setChecked(bothBefore);
        w.CheckBox8->setChecked(bothBefore);
        setEnabled(addressFields(w), onDhcp);
        w.Edit11->setEnabled(onDhcp);

        perform(onDhcp ? w.CheckBox7 : w.CheckBox8, gesture);

        TCheckBox* pressed = onDhcp ? w.CheckBox7 : w.CheckBox8;
        TCheckBox* other = onDhcp ? w.CheckBox8 : w.CheckBox7;
        QCOMPARE(pressed->isChecked(), bothBefore);
        QCOMPARE(other->isChecked(), !bothBefore);
        QCOMPARE(enabledStates(addressFields(w)), all(!onDhcp));
        // Only "IP FIXO" touches the local port (it enables it).
        QCOMPARE(w.Edit11->isEnabled(), true);
    }

    void clientAndServerButtonsDriveTheirFields()
    {
        ChosenModule f(with(record("127.0.0.20", 0, 1), offset::autoDisconnect, 0)); // client
        TForm1& w = f.w;
        showAutoDisconnect(w);
        const QList<QWidget*> serverFields = {w.Edit2, w.Edit26};

        QTest::mouseClick(w.RadioButton1, Qt::LeftButton);
        QVERIFY(w.RadioButton1->isChecked());
        QCOMPARE(enabledStates(serverFields), all(true, 2));
        QVERIFY(!w.CheckBox1->isEnabled());
        QVERIFY(!w.Edit8->isEnabled());

        // "SERVIDOR" with the box unchecked: the box comes back, the time field does not.
        QTest::mouseClick(w.RadioButton2, Qt::LeftButton);
        QVERIFY(w.RadioButton2->isChecked());
        QVERIFY(!w.RadioButton1->isChecked());
        QCOMPARE(enabledStates(serverFields), all(false, 2));
        QVERIFY(w.CheckBox1->isEnabled());
        QVERIFY(!w.Edit8->isEnabled());

        // The box's own rule, both ways.
        QTest::mouseClick(w.CheckBox1, Qt::LeftButton);
        QVERIFY(w.CheckBox1->isChecked());
        QVERIFY(w.Edit8->isEnabled());
        QTest::mouseClick(w.CheckBox1, Qt::LeftButton);
        QVERIFY(!w.Edit8->isEnabled());
        QTest::mouseClick(w.CheckBox1, Qt::LeftButton);
        QVERIFY(w.Edit8->isEnabled());

        // "CLIENTE" disables both although the box stays checked.
        QTest::mouseClick(w.RadioButton1, Qt::LeftButton);
        QVERIFY(w.CheckBox1->isChecked());
        QVERIFY(!w.CheckBox1->isEnabled());
        QVERIFY(!w.Edit8->isEnabled());
        QCOMPARE(enabledStates(serverFields), all(true, 2));

        // "SERVIDOR" with the box checked brings the time field back too.
        QTest::mouseClick(w.RadioButton2, Qt::LeftButton);
        QVERIFY(w.CheckBox1->isEnabled());
        QVERIFY(w.Edit8->isEnabled());
    }

    void radioPressChangesFieldsWhateverTheRelease_data()
    {
        QTest::addColumn<bool>("onClient");
        QTest::addColumn<int>("gesture");
        QTest::addColumn<bool>("clientAfter");
        QTest::addColumn<bool>("serverAfter");

        QTest::newRow("CLIENTE, left click") << true << int(LeftClick) << true << false;
        QTest::newRow("CLIENTE, right click") << true << int(RightClick) << false << true;
        QTest::newRow("CLIENTE, left released outside")
            << true << int(LeftReleasedOutside) << false << true;
        QTest::newRow("SERVIDOR, left click") << false << int(LeftClick) << false << true;
        QTest::newRow("SERVIDOR, right click") << false << int(RightClick) << true << false;
        QTest::newRow("SERVIDOR, left released outside")
            << false << int(LeftReleasedOutside) << true << false;
    }

    void radioPressChangesFieldsWhateverTheRelease()
    {
        QFETCH(bool, onClient);
        QFETCH(int, gesture);
        QFETCH(bool, clientAfter);
        QFETCH(bool, serverAfter);

        // The module is in the other mode, with auto-disconnect on.
        ChosenModule f(with(record("127.0.0.20", 0, onClient ? 0 : 1), offset::autoDisconnect, 1));
        TForm1& w = f.w;
        if (!onClient) {
            // As "CLIENTE" leaves them.
            w.CheckBox1->setEnabled(false);
            w.Edit8->setEnabled(false);
        }
        QVERIFY(w.CheckBox1->isChecked());

        perform(onClient ? static_cast<QWidget*>(w.RadioButton1) : w.RadioButton2, gesture);

        QCOMPARE(w.RadioButton1->isChecked(), clientAfter);
        QCOMPARE(w.RadioButton2->isChecked(), serverAfter);
        QCOMPARE(enabledStates({w.Edit2, w.Edit26}), all(onClient, 2));
        QCOMPARE(w.CheckBox1->isEnabled(), !onClient);
        QCOMPARE(w.Edit8->isEnabled(), !onClient);
    }

    void searchRunsTheBoxAndTimeRules()
    {
        ChosenModule f(with(record("127.0.0.20"), offset::autoDisconnect, 1));
        TForm1& w = f.w;
        QVERIFY(w.CheckBox1->isChecked());
        QVERIFY(w.Edit8->isEnabled());
        QCOMPARE(w.Edit8->text(), QStringLiteral("10"));
        f.clock.advance(1000); // the search command is clickable again

        QTest::mouseClick(w.Label11, Qt::LeftButton);

        QVERIFY(!w.CheckBox1->isChecked());
        QVERIFY(!w.Edit8->isEnabled());
        QCOMPARE(w.Edit8->text(), QStringLiteral("0"));
        QVERIFY(f.presenter->errors.empty());
    }

    void timeFieldRule_data()
    {
        QTest::addColumn<QString>("typed"); // empty: the old text deleted with backspace
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("errors");

        textRow("all deleted", "", "0");
        textRow("300", "300", "255");
        textRow("256", "256", "255");
        textRow("255", "255", "255");
        textRow("7", "7", "7");
        // Negative values are not corrected; the sign alone is not a number yet.
        textRow("-5", "-5", "-5", "'-' is not a valid integer value.");
        textRow("lone minus", "-", "-", "'-' is not a valid integer value.");
        textRow("1a", "1a", "1a", "'1a' is not a valid integer value.");
    }

    void timeFieldRule()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QStringList, errors);

        Fixture f;
        TForm1& w = f.w;
        showAutoDisconnect(w);
        QCOMPARE(w.Edit8->text(), QStringLiteral("10"));

        if (typed.isEmpty()) {
            QTest::keyClick(w.Edit8, Qt::Key_End);
            QTest::keyClick(w.Edit8, Qt::Key_Backspace);
            QTest::keyClick(w.Edit8, Qt::Key_Backspace);
        } else {
            QTest::keyClick(w.Edit8, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(w.Edit8, typed);
        }

        QCOMPARE(w.Edit8->text(), shown);
        QCOMPARE(f.presenter->errorTexts(), errors);
    }

    void localPortReachesServerPortBeforeTheWrite()
    {
        ChosenModule f;
        TForm1& w = f.w;
        activate(w);

        retype(w.Edit11, QStringLiteral("6000"));
        QCOMPARE(w.Edit26->text(), QStringLiteral("5002")); // copied on leaving, not on typing
        QTest::mouseClick(w.Button13, Qt::LeftButton);

        QCOMPARE(w.Edit26->text(), QStringLiteral("6000"));
        const auto& sent = f.peer.received();
        QCOMPARE(int(sent.size()), 1);
        const QByteArray bytes = sent[0].data();
        QCOMPARE(bytes.size(), requestSize);
        QCOMPARE(bytes.mid(offset::localPort, 4), QByteArray::fromHex("17701770"));
    }

    void leavingLocalPortCopiesAnyText()
    {
        ChosenModule f;
        TForm1& w = f.w;
        activate(w);

        retype(w.Edit11, QStringLiteral("12x"));
        QTest::mouseClick(w.Edit3, Qt::LeftButton);
        QCOMPARE(w.Edit26->text(), QStringLiteral("12x"));

        retype(w.Edit11, QString());
        QTest::mouseClick(w.Edit2, Qt::LeftButton);
        QCOMPARE(w.Edit26->text(), QString());
        QVERIFY(f.presenter->errors.empty());
    }

    void selectionSetsModesWithoutPressReactions_data()
    {
        QTest::addColumn<quint8>("dhcp");
        QTest::addColumn<quint8>("clientMode");
        QTest::addColumn<quint8>("autoDisconnect");

        // Only 1 is DHCP, client mode or auto-disconnect; 0 is fixed IP or server mode, and
        // any other mode byte checks neither button. A press on "CLIENTE" would disable the
        // auto-disconnect box and the time field, one on "DHCP" would uncheck "IP FIXO" after
        // the fact, one on "IP FIXO" would enable the address fields: none of them may run.
        QTest::newRow("DHCP, client, auto on") << quint8(1) << quint8(1) << quint8(1);
        QTest::newRow("DHCP, client, auto off") << quint8(1) << quint8(1) << quint8(0);
        QTest::newRow("fixed, server, auto off") << quint8(0) << quint8(0) << quint8(0);
        QTest::newRow("fixed, server, auto on") << quint8(0) << quint8(0) << quint8(1);
        QTest::newRow("DHCP, server, auto on") << quint8(1) << quint8(0) << quint8(1);
        QTest::newRow("fixed (2), neither mode, auto on") << quint8(2) << quint8(2) << quint8(1);
        QTest::newRow("all bytes 2") << quint8(2) << quint8(2) << quint8(2);
    }

    void selectionSetsModesWithoutPressReactions()
    {
        QFETCH(quint8, dhcp);
        QFETCH(quint8, clientMode);
        QFETCH(quint8, autoDisconnect);

        ChosenModule f(
            with(record("127.0.0.20", dhcp, clientMode), offset::autoDisconnect, autoDisconnect));
        TForm1& w = f.w;

        const bool isDhcp = dhcp == 1;
        const bool server = clientMode == 0;
        QCOMPARE(w.CheckBox7->isChecked(), isDhcp);
        QCOMPARE(w.CheckBox8->isChecked(), !isDhcp);
        QCOMPARE(enabledStates(addressFields(w)), all(!isDhcp));
        for (QWidget* field : addressFields(w))
            QVERIFY(!static_cast<QLineEdit*>(field)->text().isEmpty());
        QCOMPARE(w.RadioButton1->isChecked(), clientMode == 1);
        QCOMPARE(w.RadioButton2->isChecked(), server);
        QCOMPARE(enabledStates({w.Edit2, w.Edit26}), all(!server, 2));
        QVERIFY(w.CheckBox1->isEnabled());
        QCOMPARE(w.CheckBox1->isChecked(), autoDisconnect == 1);
        QCOMPARE(w.Edit8->isEnabled(), autoDisconnect == 1); // the box's rule alone
        QVERIFY(w.Edit11->isEnabled());
        QVERIFY(!w.Edit1->isEnabled()); // the version field stays as it was

        // Once more after the user has changed the window: "CLIENTE" disables the box, the
        // service key enables the time field. Choosing the line again sets both from the
        // record; a mode byte other than 0 and 1 leaves "CLIENTE" as the user left it.
        QTest::mouseClick(w.RadioButton1, Qt::LeftButton);
        QTest::keyClick(w.Edit11, Qt::Key_F10);
        QVERIFY(!w.CheckBox1->isEnabled());
        QVERIFY(w.Edit8->isEnabled());
        chooseLine(w, 0);
        QVERIFY(w.CheckBox1->isEnabled());
        QCOMPARE(w.Edit8->isEnabled(), autoDisconnect == 1);
        QCOMPARE(w.RadioButton1->isChecked(), !server);
        QCOMPARE(w.RadioButton2->isChecked(), server);
        QCOMPARE(enabledStates({w.Edit2, w.Edit26}), all(!server, 2));
    }
};

QTEST_MAIN(TestInterlocks)
#include "tst_interlocks.moc"
