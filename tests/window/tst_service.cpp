// The service functions, reached as the technician reaches them: keys typed into the real
// window, clicks on its hidden buttons, the version file in the working directory and the
// reset broadcast on loopback.

#include "testsupport.h"
#include "windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <type_traits>
#ifndef Q_OS_WIN
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

using namespace duva;
using namespace duva::test;

namespace
{

const QString dhcpMessage =
    QStringLiteral("Em modo DHCP a alteração dos campos IP e Gateway não tem efeito!");

// Counts the key events that reach a control.
class KeyCounter : public QObject
{
public:
    explicit KeyCounter(QObject* control) : QObject(control) { control->installEventFilter(this); }
    int presses = 0;
    int releases = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            ++presses;
        else if (event->type() == QEvent::KeyRelease)
            ++releases;
        return false;
    }
};

// Whether a control has the keyboard. Weston's Xwayland may take the focus from a window it
// has just activated for a moment, while it settles which window has it; a key typed then
// goes nowhere, so the keys below wait for it to come back.
bool keyboardFocused()
{
    return QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; });
}

// Presses and releases key where a person's key goes: the control with the focus.
void type(Qt::Key key)
{
    QVERIFY2(keyboardFocused(), "no control has the keyboard");
    QTest::keyClick(static_cast<QWidget*>(nullptr), key);
}

void type(const char* characters)
{
    QVERIFY2(keyboardFocused(), "no control has the keyboard");
    QTest::keyClicks(static_cast<QWidget*>(nullptr), QString::fromLatin1(characters));
}

// Whether the X window manager states the frames it draws (_NET_FRAME_EXTENTS in the root's
// _NET_SUPPORTED); weston's Xwayland does not. Windows has no X window manager to ask.
#ifdef Q_OS_WIN
bool windowManagerStatesFrames()
{
    return true;
}
#else
bool windowManagerStatesFrames()
{
    xcb_connection_t* c = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const auto reply = [](auto* r) {
        return std::unique_ptr<std::remove_pointer_t<decltype(r)>, decltype(&std::free)>(
            r, &std::free);
    };
    const auto atom = [&](const QByteArray& name) {
        const auto r = reply(xcb_intern_atom_reply(
            c, xcb_intern_atom(c, true, uint16_t(name.size()), name.constData()), nullptr));
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    };
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto list = reply(xcb_get_property_reply(
        c, xcb_get_property(c, false, root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 1024),
        nullptr));
    if (!list || list->format != 32)
        return false;
    const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(list.get()));
    const auto* end = begin + xcb_get_property_value_length(list.get()) / 4;
    const xcb_atom_t extents = atom("_NET_FRAME_EXTENTS");
    return extents != XCB_ATOM_NONE && std::find(begin, end, extents) != end;
}
#endif

// Whether the window system shows window at an outer width of width. Under an X11 window
// manager that states its frames, only once Qt's frame geometry holds that frame; under one
// that states none, the client alone is that wide (the frame it draws comes on top).
bool showsOuterWidth(const QWidget& window, int width)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return window.frameGeometry().width() == width;
    if (!windowManagerStatesFrames())
        return window.width() == width;
    const QRect outer = window.frameGeometry();
    return outer.width() > window.width() && outer.width() == width;
}

// What the window shows, for a failed comparison.
QByteArray shownWidths(const QWidget& window)
{
    return QStringLiteral("client %1 (fixed %2..%3), frame geometry %4, platform %5")
        .arg(window.width())
        .arg(window.minimumWidth())
        .arg(window.maximumWidth())
        .arg(window.frameGeometry().width())
        .arg(QGuiApplication::platformName())
        .toLocal8Bit();
}

} // namespace

class TestService : public QObject
{
    Q_OBJECT

private:
    TForm1& form() { return *m_f->form; }
    RecordingPresenter& presenter() { return *m_f->presenter; }
    QString versionFile() const { return m_workDir->filePath("versao.txt"); }

    // Gives the keyboard focus to control, as a click or a Tab would.
    void focus(QWidget* control)
    {
        control->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), control);
    }

    std::unique_ptr<ScopedWorkingDirectory> m_workDir;
    std::unique_ptr<Fixture> m_f;

private slots:
    void init()
    {
        // The version file is looked for in the working directory: one of the test's own.
        m_workDir = std::make_unique<ScopedWorkingDirectory>();
        QVERIFY(m_workDir->isValid());

        m_f = std::make_unique<Fixture>();
        QApplication::setActiveWindow(m_f->form.get());
        m_f->form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_f->form.get()));
    }
    void cleanup()
    {
        m_f.reset();
        m_workDir.reset();
    }

    // ---- Keys seen by the window ----

    void theWidthNeedsAltReleasedJustBeforeF3_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("width");
        // Each Alt released just before F3 toggles between the two widths.
        QTest::newRow("Alt, F3") << QList<int>{Qt::Key_Alt, Qt::Key_F3} << 514;
        QTest::newRow("Alt, F3 twice")
            << QList<int>{Qt::Key_Alt, Qt::Key_F3, Qt::Key_Alt, Qt::Key_F3} << 630;
        QTest::newRow("Alt, F3 three times")
            << QList<int>{Qt::Key_Alt, Qt::Key_F3, Qt::Key_Alt, Qt::Key_F3, Qt::Key_Alt, Qt::Key_F3}
            << 514;
        QTest::newRow("F3 alone") << QList<int>{Qt::Key_F3} << 488;
        QTest::newRow("Alt, a, F3") << QList<int>{Qt::Key_Alt, Qt::Key_A, Qt::Key_F3} << 488;
        QTest::newRow("Alt, Shift, F3")
            << QList<int>{Qt::Key_Alt, Qt::Key_Shift, Qt::Key_F3} << 488;
        QTest::newRow("Alt, F3, F3") << QList<int>{Qt::Key_Alt, Qt::Key_F3, Qt::Key_F3} << 514;
        QTest::newRow("Alt, Alt, F3") << QList<int>{Qt::Key_Alt, Qt::Key_Alt, Qt::Key_F3} << 514;
        QTest::newRow("F3, Alt") << QList<int>{Qt::Key_F3, Qt::Key_Alt} << 488;
    }
    void theWidthNeedsAltReleasedJustBeforeF3()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, width);
        focus(form().Edit2);
        for (int key : keys)
            type(Qt::Key(key));
        QCOMPARE(form().outerWidth(), width);
    }

    void theWidthsCountTheFrameFromTheStart_data()
    {
        // A window manager frames the window while it is being shown; twenty starts catch a
        // frame that arrives while the width is read. Every other start waits until the
        // shown width is what the window system shows before the keys come.
        QTest::addColumn<bool>("settleFirst");
        for (int start = 1; start <= 20; ++start)
            QTest::addRow("start %d", start) << (start % 2 == 0);
    }
    void theWidthsCountTheFrameFromTheStart()
    {
        QFETCH(bool, settleFirst);
        m_f.reset();
        m_f = std::make_unique<Fixture>();
        QCOMPARE(form().outerWidth(), 488);
        activate(form());
        if (settleFirst)
            QTRY_VERIFY2(showsOuterWidth(form(), 488), shownWidths(form()).constData());
        for (int width : {514, 630, 514}) {
            type(Qt::Key_Alt);
            type(Qt::Key_F3);
            QCOMPARE(form().outerWidth(), width);
        }
        QTRY_VERIFY2(showsOuterWidth(form(), 514), shownWidths(form()).constData());
    }

    void theRightAltKeyCountsAsAlt()
    {
        // On many keyboards the right-hand Alt key reaches the window as AltGr.
        focus(form().Edit7);
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent altGr(type, Qt::Key_AltGr, Qt::NoModifier);
            QApplication::sendEvent(form().Edit7, &altGr);
        }
        QVERIFY(form().lastKeyWasAlt());
        type(Qt::Key_F3);
        QCOMPARE(form().outerWidth(), 514);
    }

    void altHeldOverF3ChangesNothing()
    {
        // Alt+F3 as a chord: F3 is released while Alt is still down.
        focus(form().Edit7);
        QTest::keyPress(static_cast<QWidget*>(nullptr), Qt::Key_Alt);
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_F3, Qt::AltModifier);
        QTest::keyRelease(static_cast<QWidget*>(nullptr), Qt::Key_Alt);
        QCOMPARE(form().outerWidth(), 488);
        QVERIFY(form().lastKeyWasAlt());
    }

    void everyKeyReleaseStaysWithTheWindow()
    {
        const KeyCounter edit(form().Edit7);
        const KeyCounter list(form().ListBox3);
        focus(form().Edit7);
        type("12");
        type(Qt::Key_Alt);
        type(Qt::Key_F3);
        type(Qt::Key_Backspace);
        // The presses reach the field and edit it; none of the releases does.
        QCOMPARE(form().Edit7->text(), QStringLiteral("1"));
        QCOMPARE(edit.presses, 5);
        QCOMPARE(edit.releases, 0);
        QCOMPARE(form().outerWidth(), 514);

        focus(form().ListBox3);
        type(Qt::Key_Down);
        QCOMPARE(list.presses, 1);
        QCOMPARE(list.releases, 0);
    }

    void spaceStillOperatesAButtonFromTheKeyboard()
    {
        const KeyCounter box(form().CheckBox2);
        focus(form().CheckBox2);
        type(Qt::Key_Space);
        QVERIFY(form().CheckBox2->isChecked());
        QVERIFY(!form().CheckBox2->isDown());
        QCOMPARE(box.releases, 1);
        // The window still sees the release first.
        type(Qt::Key_Alt);
        focus(form().CheckBox2);
        type(Qt::Key_Space);
        type(Qt::Key_F3);
        QCOMPARE(form().outerWidth(), 488);
        QVERIFY(!form().CheckBox2->isChecked());
    }

    void f5UnlocksTheIpFieldsInEveryMode_data()
    {
        QTest::addColumn<bool>("dhcp");
        QTest::newRow("DHCP, fields locked") << true;
        QTest::newRow("fixed IP, fields already open") << false;
    }
    void f5UnlocksTheIpFieldsInEveryMode()
    {
        QFETCH(bool, dhcp);
        TForm1& w = form();
        const QList<QWidget*> ipFields{w.Edit7, w.Edit9, w.Edit16, w.Edit14};
        const QList<QWidget*> maskFields{w.Edit15, w.Edit17, w.Edit18, w.Edit20};
        w.CheckBox7->setChecked(dhcp);
        w.CheckBox8->setChecked(!dhcp);
        for (QWidget* field : ipFields + maskFields)
            field->setEnabled(!dhcp);

        focus(w.Edit11);
        type(Qt::Key_F5);
        for (QWidget* field : ipFields)
            QVERIFY(field->isEnabled());
        for (QWidget* field : maskFields)
            QCOMPARE(field->isEnabled(), !dhcp); // no other field is touched
        QCOMPARE(w.CheckBox7->isChecked(), dhcp);
        QCOMPARE(presenter().informations, QStringList{dhcpMessage});
        QVERIFY(presenter().errors.empty());
    }

    void f6OpensTheStripWhereverTheFocusIs_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("IP field") << "Edit7";
        QTest::newRow("server host in its group") << "Edit2";
        QTest::newRow("module list") << "ListBox3";
        QTest::newRow("GRAVAR") << "Button13";
    }
    void f6OpensTheStripWhereverTheFocusIs()
    {
        QFETCH(QString, control);
        TForm1& w = form();
        const QList<QWidget*> strip{w.EditIP1, w.EditIP2, w.EditIP3, w.LabelIP, w.ButtonIP};
        for (QWidget* c : strip)
            QVERIFY(!c->isVisible());
        auto* start = w.findChild<QWidget*>(control);
        QVERIFY(start);
        focus(start);
        type(Qt::Key_F6);
        for (QWidget* c : strip)
            QVERIFY2(c->isVisible(), qPrintable(c->objectName()));
        QCOMPARE(QApplication::focusWidget(), w.EditIP1);

        // Each field hands the focus on after its third character; the last one keeps it.
        type("192");
        QCOMPARE(w.EditIP1->text(), QStringLiteral("192"));
        QCOMPARE(QApplication::focusWidget(), w.EditIP2);
        type("16");
        QCOMPARE(QApplication::focusWidget(), w.EditIP2);
        type("8");
        QCOMPARE(QApplication::focusWidget(), w.EditIP3);
        type("100");
        QCOMPARE(w.EditIP3->text(), QStringLiteral("100"));
        QCOMPARE(QApplication::focusWidget(), w.EditIP3);
        type("7"); // a fourth character is refused
        QCOMPARE(w.EditIP3->text(), QStringLiteral("100"));
        QCOMPARE(w.EditIP2->text(), QStringLiteral("168"));
        // Typing alone applies nothing.
        QCOMPARE(w.netPrefix(), (std::array<int, 3>{127, 0, 0}));
    }

    // ---- Local-port field and service mode ----

    void f10InTheLocalPortFieldOpensTheTimeField()
    {
        TForm1& w = form();
        w.Edit11->setText(QStringLiteral("6000"));
        w.CheckBox1->setChecked(false);
        QVERIFY(!w.Edit8->isEnabled());
        focus(w.Edit11);
        type("1");
        type(Qt::Key_Backspace); // ordinary keys stay the field's
        QCOMPARE(w.Edit11->text(), QStringLiteral("6000"));
        QVERIFY(!w.Edit8->isVisible());

        type(Qt::Key_F10);
        QCOMPARE(w.Edit26->text(), QStringLiteral("6000"));
        QVERIFY(w.CheckBox1->isVisible());
        QVERIFY(!w.CheckBox1->isChecked());
        QVERIFY(w.Edit8->isVisible());
        QVERIFY(w.Edit8->isEnabled());
        QCOMPARE(QApplication::focusWidget(), w.Edit8);
        QCOMPARE(w.Edit11->text(), QStringLiteral("6000"));
        QVERIFY(!w.Button3->isVisible());
    }

    void f2ElsewhereIsNoServiceKey()
    {
        TForm1& w = form();
        focus(w.Edit11);
        type(Qt::Key_F2);
        focus(w.Edit7);
        type(Qt::Key_F2);
        QVERIFY(!w.EditMac1->isVisible());
        QVERIFY(!w.Button3->isVisible());
        QVERIFY(!w.Edit1->isEnabled());
        QVERIFY(presenter().errors.empty());
    }

    void f2EntersServiceMode_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("no version file")
            << false << QByteArray() << QStringLiteral("000") << QStringList{"File not found."};
        QTest::newRow("version 1.5")
            << true << QByteArray("1.5\r\nnotes\r\n") << "1.5" << QStringList();
        QTest::newRow("first line longer than the field")
            << true << QByteArray("1.74 beta\n") << "1.74 beta" << QStringList();
        QTest::newRow("empty file") << true << QByteArray() << "" << QStringList();
    }
    void f2EntersServiceMode()
    {
        QFETCH(bool, fileExists);
        QFETCH(QByteArray, content);
        QFETCH(QString, version);
        QFETCH(QStringList, errors);
        if (fileExists)
            QVERIFY(writeFile(versionFile(), content));

        TForm1& w = form();
        // A module of the server kind with its own serial number was loaded before.
        w.EditMac3->setText(QStringLiteral("77"));
        w.LabelNs->setText(QStringLiteral("12345"));
        w.RadioButton2->setChecked(true);
        w.Edit26->setEnabled(false);
        w.Edit2->setEnabled(false);
        w.CheckBox1->setChecked(false);
        QVERIFY(!w.RadioButton1->isChecked());

        focus(w.Edit11);
        type(Qt::Key_F10);
        type(Qt::Key_F2);

        QCOMPARE(w.EditMac1->text(), QStringLiteral("0"));
        QCOMPARE(w.EditMac2->text(), QStringLiteral("4"));
        QCOMPARE(w.EditMac3->text(), QStringLiteral("77"));
        for (QWidget* serial : {w.EditMac1, w.EditMac2, w.EditMac3}) {
            QVERIFY(serial->isVisible());
            QVERIFY(serial->isEnabled());
        }
        QCOMPARE(QApplication::focusWidget(), w.EditMac3);
        QCOMPARE(w.Edit2->text(), QStringLiteral("192.168.0.14"));
        QVERIFY(w.Edit2->isEnabled());
        QVERIFY(w.RadioButton1->isChecked());
        QVERIFY(!w.RadioButton2->isChecked());
        QVERIFY(!w.Edit26->isEnabled()); // the client button's own reaction does not run
        QVERIFY(w.CheckBox1->isChecked());
        QVERIFY(w.Edit8->isEnabled());
        QCOMPARE(w.Edit8->text(), QStringLiteral("10"));
        QVERIFY(w.LabelNs->isVisible());
        QCOMPARE(w.LabelNs->text(), QStringLiteral("12345"));
        QVERIFY(w.Button2->isVisible());
        QVERIFY(w.Button3->isVisible());
        QVERIFY(w.Edit1->isEnabled());

        QCOMPARE(w.Edit1->text(), version);
        QCOMPARE(presenter().errorTexts(), errors);
        // Reading never makes or changes the file.
        QCOMPARE(QFileInfo::exists(versionFile()), fileExists);
        if (fileExists)
            QCOMPARE(contentOf(versionFile()), content);
    }

    void plusStepsTheMiddleSerialField_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("errors");
        textRow("4", "4", "5");
        textRow("no upper limit", "255", "256");
        textRow("not a number", "abc", "abc", "'abc' is not a valid integer value.");
        textRow("empty", "", "", "'' is not a valid integer value.");
    }
    void plusStepsTheMiddleSerialField()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QStringList, errors);
        QVERIFY(writeFile(versionFile(), "1.5"));
        enterServiceMode(form());
        TForm1& w = form();
        w.EditMac2->setText(before);
        QTest::mouseClick(w.Button2, Qt::LeftButton);
        QCOMPARE(w.EditMac2->text(), after);
        QCOMPARE(presenter().errorTexts(), errors);
        QCOMPARE(w.EditMac1->text(), QStringLiteral("0"));
        QCOMPARE(w.LabelNs->text(), QStringLiteral("00000")); // not recomputed
    }

    // ---- Storing the version ----

    void doubleClickStoresTheVersion()
    {
        QVERIFY(writeFile(versionFile(), "1.5\r\n"));
        enterServiceMode(form());
        TForm1& w = form();
        QCOMPARE(w.Edit1->text(), QStringLiteral("1.5"));
        focus(w.Edit1);
        QTest::keyClick(w.Edit1, Qt::Key_A, Qt::ControlModifier);
        type("1.6");
        QCOMPARE(w.Edit1->text(), QStringLiteral("1.6"));
        QTest::mouseDClick(w.Edit1, Qt::LeftButton);
        QCOMPARE(contentOf(versionFile()), QByteArray("1.6"));
        QVERIFY(presenter().errors.empty());
    }

    void doubleClickWithoutTheFileCreatesNone()
    {
        QVERIFY(writeFile(versionFile(), "1.5"));
        enterServiceMode(form());
        QVERIFY(QFile::remove(versionFile()));
        QTest::mouseDClick(form().Edit1, Qt::LeftButton);
        QCOMPARE(presenter().errorTexts(), QStringList{"File not found."});
        QVERIFY(!QFileInfo::exists(versionFile()));
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void theVersionFieldIsLockedOutsideServiceMode()
    {
        QVERIFY(writeFile(versionFile(), "1.5"));
        QVERIFY(!form().Edit1->isEnabled());
        QTest::mouseDClick(form().Edit1, Qt::LeftButton);
        QCOMPARE(contentOf(versionFile()), QByteArray("1.5"));
        QVERIFY(presenter().errors.empty());
    }

    // ---- Reset broadcast ----

    void resetReachesEveryNetworkOfTheSlash16InOrder()
    {
        TForm1& w = form();
        ModulePeer modules;
        QVERIFY(modules.isBound());
        searchAndAnswer(w, modules, {record("127.0.0.5"), record("127.0.0.6")});
        chooseLine(w, 1);
        QCOMPARE(w.selectedModuleIp(), QStringLiteral("127.0.0.6"));
        QVERIFY(w.ListBox1->count() > 0);

        ModulePeer resetPort(69);
        QVERIFY(resetPort.isBound());
        QVERIFY(writeFile(versionFile(), "1.5"));
        enterServiceMode(form());
        const bool statusVisible = w.Label13->isVisible();
        w.Label13->setText(QStringLiteral("Selecione um dos IP´s abaixo"));

        QElapsedTimer elapsed;
        elapsed.start();
        QTest::mouseClick(w.Button3, Qt::LeftButton);
        const qint64 took = elapsed.elapsed();

        QCOMPARE(w.Label13->text(), QStringLiteral("Aguarde ..."));
        QCOMPARE(w.Label13->isVisible(), statusVisible);
        QCOMPARE(w.ListBox1->count(), 0);
        QCOMPARE(w.ListBox3->count(), 0);
        QCOMPARE(lines(w.ListBox2), QStringList(65, QStringLiteral("0")));
        QVERIFY2(took >= 256, qPrintable(QString::number(took)));

        const auto& received = resetPort.received(256, 5000);
        QCOMPARE(int(received.size()), 256);
        for (int n = 0; n < 256; ++n) {
            const QNetworkDatagram& d = received[size_t(n)];
            QCOMPARE(d.data(), QByteArray(65, '\0'));
            QCOMPARE(d.destinationAddress(), QHostAddress(QStringLiteral("127.0.%1.255").arg(n)));
            QCOMPARE(d.destinationPort(), 69);
        }
        QTest::qWait(50);
        QCOMPARE(int(resetPort.received(257, 0).size()), 256);
        QCOMPARE(int(modules.received(3, 0).size()), 1); // only the search, none to 1461

        // The endpoint stays pointed at the last network, port 69; the selection stays.
        QCOMPARE(w.Udp1->remotePort(), 69);
        QCOMPARE(w.Udp1->remoteHost(), QStringLiteral("127.0.255.255"));
        QCOMPARE(w.selectedModuleIp(), QStringLiteral("127.0.0.6"));
        QVERIFY(presenter().errors.empty());
    }

    void aResetSendThatFailsEndsTheBroadcast()
    {
        TForm1& w = form();
        QVERIFY(writeFile(versionFile(), "1.5"));
        enterServiceMode(form());
        // A second octet above 255, typed into the manual prefix: a.b.N.255 is no address.
        type(Qt::Key_F6);
        type("127");
        type("300");
        type("0");
        QTest::mouseClick(w.ButtonIP, Qt::LeftButton);
        QCOMPARE(w.netPrefix(), (std::array<int, 3>{127, 300, 0}));
        presenter().clear();

        ModulePeer resetPort(69);
        QTest::mouseClick(w.Button3, Qt::LeftButton);
        QTRY_COMPARE(presenter().errorTexts(), QStringList{"Host Lookup Canceled."});
        QCOMPARE(m_f->lookups, 1); // the remaining addresses are not tried
        QCOMPARE(lines(w.ListBox2), QStringList(65, QStringLiteral("0")));
        QCOMPARE(int(resetPort.received(1, 300).size()), 0);
    }

    // ---- Default values and clearing ----

    void baseFillsTheDefaultAddresses()
    {
        TForm1& w = form();
        const QList<TEdit*> untouched{w.Edit15, w.Edit17, w.Edit18, w.Edit20,
                                      w.Edit3,  w.Edit4,  w.Edit5,  w.Edit6};
        for (TEdit* field : untouched)
            field->setText(field->objectName());
        w.CheckBox7->setChecked(true);
        for (TEdit* field : {w.Edit7, w.Edit9, w.Edit16, w.Edit14})
            field->setEnabled(false);
        w.Edit11->setText(QStringLiteral("6000"));
        w.Edit26->setText(QStringLiteral("6000"));

        QTest::mouseClick(w.Button1, Qt::LeftButton);

        QCOMPARE(
            (QStringList{w.Edit7->text(), w.Edit9->text(), w.Edit16->text(), w.Edit14->text()}),
            (QStringList{"192", "168", "0", "132"}));
        QCOMPARE(w.Edit11->text(), QStringLiteral("5002"));
        QCOMPARE(
            (QStringList{w.Edit10->text(), w.Edit24->text(), w.Edit25->text(), w.Edit27->text()}),
            (QStringList{"192", "168", "0", "100"}));
        QVERIFY(!w.Edit2->text().isEmpty());
        QVERIFY(w.Edit2->text().size() <= 32);
        QVERIFY(!w.Edit2->text().contains(' '));
        QCOMPARE(w.Edit26->text(), QStringLiteral("5002"));
        for (TEdit* field : untouched)
            QCOMPARE(field->text(), field->objectName());
        QVERIFY(w.CheckBox7->isChecked());
        QVERIFY(!w.Edit7->isEnabled());
        QVERIFY(presenter().errors.empty());
    }

    void limpaClearsTheByteListsOnly()
    {
        TForm1& w = form();
        ModulePeer modules;
        searchAndAnswer(w, modules, {record("127.0.0.5")});
        QCOMPARE(w.ListBox1->count(), 64);
        QVERIFY(w.ListBox2->count() > 0);
        QCOMPARE(lines(w.ListBox3), QStringList{"127.0.0.5"});

        QTest::mouseClick(w.Button21, Qt::LeftButton);
        QCOMPARE(w.ListBox1->count(), 0);
        QCOMPARE(w.ListBox2->count(), 0);
        QCOMPARE(lines(w.ListBox3), QStringList{"127.0.0.5"});
        QCOMPARE(w.replyCount(), 1);
        chooseLine(w, 0); // the line still leads to its record
        QCOMPARE(w.selectedModuleIp(), QStringLiteral("127.0.0.5"));
    }
};

QTEST_MAIN(TestService)
#include "tst_service.moc"
