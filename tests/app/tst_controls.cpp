#include "app/controls.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>

using namespace duva;

// The controls in a plain window, driven through the window system like a user would.
class ControlsTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_log.clear();
        m_window = std::make_unique<QWidget>();
        m_window->resize(400, 300);
        m_box = new TCheckBox(QStringLiteral("DHCP"), m_window.get());
        m_box->setGeometry(10, 10, 100, 20);
        m_client = new TRadioButton(QStringLiteral("CLIENTE"), m_window.get());
        m_client->setGeometry(10, 40, 100, 20);
        m_server = new TRadioButton(QStringLiteral("SERVIDOR"), m_window.get());
        m_server->setGeometry(120, 40, 100, 20);
        m_client->setSibling(m_server);
        m_server->setSibling(m_client);
        m_edit = new TEdit(m_window.get());
        m_edit->setGeometry(10, 70, 100, 21);
        m_other = new TEdit(m_window.get());
        m_other->setGeometry(120, 70, 100, 21);
        m_list = new TListBox(m_window.get());
        m_list->setGeometry(10, 100, 150, 150);
        m_list->addItems(
            {QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.2"), QStringLiteral("10.0.0.3")});
        m_label = new TLabel(QStringLiteral("Procurar módulos na rede"), m_window.get());
        m_label->setGeometry(200, 100, 150, 20);

        const auto state = [](QAbstractButton* button) { return button->isChecked() ? "1" : "0"; };
        m_box->onMouseDown = [this, state] { m_log << QStringLiteral("down ") + state(m_box); };
        m_box->onMouseUp = [this, state] { m_log << QStringLiteral("up ") + state(m_box); };
        m_client->onMouseDown = [this, state] {
            m_log << QStringLiteral("client down ") + state(m_client) + state(m_server);
        };
        m_server->onMouseDown = [this, state] {
            m_log << QStringLiteral("server down ") + state(m_client) + state(m_server);
        };
        m_list->onClick = [this] { m_log << QStringLiteral("row %1").arg(m_list->currentRow()); };
        m_label->onClick = [this] { m_log << QStringLiteral("label"); };

        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void checkBoxReactions_data()
    {
        QTest::addColumn<bool>("before");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("releaseInside");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<bool>("after");

        // The press reaction sees the old state, the release reaction the new one.
        QTest::newRow("left, unchecked")
            << false << Qt::LeftButton << true << QStringList{"down 0", "up 1"} << true;
        QTest::newRow("left, checked")
            << true << Qt::LeftButton << true << QStringList{"down 1", "up 0"} << false;
        // Other buttons change nothing, but both reactions run.
        QTest::newRow("right") << false << Qt::RightButton << true << QStringList{"down 0", "up 0"}
                               << false;
        QTest::newRow("middle") << true << Qt::MiddleButton << true << QStringList{"down 1", "up 1"}
                                << true;
        // Released outside: no change, and still the release reaction.
        QTest::newRow("left, released outside")
            << false << Qt::LeftButton << false << QStringList{"down 0", "up 0"} << false;
        QTest::newRow("right, released outside")
            << true << Qt::RightButton << false << QStringList{"down 1", "up 1"} << true;
    }

    void checkBoxReactions()
    {
        QFETCH(bool, before);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, releaseInside);
        QFETCH(QStringList, log);
        QFETCH(bool, after);

        m_box->setChecked(before);
        QVERIFY(m_log.isEmpty()); // the program's changes run no mouse reaction
        const QPoint inside = m_box->rect().center();
        const QPoint outside(m_box->width() + 150, m_box->height() + 150);
        QTest::mousePress(m_box, button, {}, inside);
        QTest::mouseRelease(m_box, button, {}, releaseInside ? inside : outside);
        QCOMPARE(m_log, log);
        QCOMPARE(m_box->isChecked(), after);
    }

    void radioButtonPair()
    {
        QVERIFY(!m_client->autoExclusive());
        QTest::mouseClick(m_client, Qt::LeftButton);
        QVERIFY(m_client->isChecked());
        QVERIFY(!m_server->isChecked());
        // A click on the checked button keeps it checked.
        QTest::mouseClick(m_client, Qt::LeftButton);
        QVERIFY(m_client->isChecked());
        // Checking one, by click or by the program, unchecks the other.
        QTest::mouseClick(m_server, Qt::LeftButton);
        QVERIFY(m_server->isChecked());
        QVERIFY(!m_client->isChecked());
        m_client->setChecked(true);
        QVERIFY(!m_server->isChecked());
        // The keyboard's click follows the same rule.
        m_client->setFocus();
        QTest::keyClick(m_client, Qt::Key_Space);
        QVERIFY(m_client->isChecked());
        // The program can leave both unchecked.
        m_client->setChecked(false);
        QVERIFY(!m_client->isChecked());
        QVERIFY(!m_server->isChecked());
    }

    void radioButtonReactions()
    {
        m_client->setChecked(true);
        QTest::mouseClick(m_server, Qt::LeftButton);
        QTest::mouseClick(m_server, Qt::RightButton);
        QCOMPARE(m_log, (QStringList{"server down 10", "server down 01"}));
        QVERIFY(m_server->isChecked());
    }

    void editExitsToAnotherControl()
    {
        int exits = 0;
        m_edit->onExit = [&] { ++exits; };
        m_edit->setFocus(Qt::OtherFocusReason);
        QVERIFY(m_edit->hasFocus());
        QTest::keyClick(m_edit, Qt::Key_Tab);
        QVERIFY(!m_edit->hasFocus());
        QCOMPARE(exits, 1);

        m_edit->setFocus(Qt::OtherFocusReason);
        QTest::mouseClick(m_other, Qt::LeftButton);
        QVERIFY(m_other->hasFocus());
        QCOMPARE(exits, 2);
    }

    void editIgnoresTheWindowLosingFocus()
    {
        int exits = 0;
        m_edit->onExit = [&] { ++exits; };
        m_edit->setFocus(Qt::OtherFocusReason);
        QVERIFY(m_edit->hasFocus());

        QWidget dialog;
        dialog.resize(100, 100);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(exits, 0);

        // Back in the window the field still has the focus; leaving it now counts.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QVERIFY(m_edit->hasFocus());
        m_other->setFocus(Qt::MouseFocusReason);
        QCOMPARE(exits, 1);
    }

    void editKeyDown()
    {
        QList<int> keys;
        m_edit->onKeyDown = [&](int key) {
            keys << key;
            return key == Qt::Key_F10 || key == Qt::Key_X;
        };
        m_edit->setFocus();
        QTest::keyClicks(m_edit, QStringLiteral("axb"));
        QTest::keyClick(m_edit, Qt::Key_F10);
        QCOMPARE(keys, (QList<int>{Qt::Key_A, Qt::Key_X, Qt::Key_B, Qt::Key_F10}));
        QCOMPARE(m_edit->text(), QStringLiteral("ab")); // the taken key is not typed
    }

    void editTypedLimit()
    {
        m_edit->setTypedLimit(3);
        m_edit->setFocus();
        QTest::keyClicks(m_edit, QStringLiteral("1234"));
        QCOMPARE(m_edit->text(), QStringLiteral("123"));
        // Typing over a selection keeps to the limit.
        m_edit->selectAll();
        QTest::keyClicks(m_edit, QStringLiteral("98765"));
        QCOMPARE(m_edit->text(), QStringLiteral("987"));

        // The program's text is kept whole; the user can shorten it but not lengthen it, also
        // right after the program put it in.
        m_edit->setText(QStringLiteral("1.5.2"));
        QCOMPARE(m_edit->text(), QStringLiteral("1.5.2"));
        m_edit->end(false);
        QTest::keyClicks(m_edit, QStringLiteral("99"));
        QCOMPARE(m_edit->text(), QStringLiteral("1.5.2"));
        QTest::keyClick(m_edit, Qt::Key_Backspace);
        QCOMPARE(m_edit->text(), QStringLiteral("1.5."));
        QTest::keyClick(m_edit, Qt::Key_7);
        QCOMPARE(m_edit->text(), QStringLiteral("1.5."));
        m_edit->selectAll();
        QTest::keyClick(m_edit, Qt::Key_Delete);
        QTest::keyClicks(m_edit, QStringLiteral("2.0x"));
        QCOMPARE(m_edit->text(), QStringLiteral("2.0"));

        // A paste keeps what fits where it goes in, and the text after it.
        m_edit->setText(QStringLiteral("12"));
        m_edit->setCursorPosition(1);
        QGuiApplication::clipboard()->setText(QStringLiteral("345"));
        QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_edit->text(), QStringLiteral("132"));
        QCOMPARE(m_edit->cursorPosition(), 2);
    }

    void editContextMenuPasteKeepsTheLimit()
    {
        m_edit->setTypedLimit(3);
        m_edit->setText(QStringLiteral("12"));
        m_edit->setFocus();
        m_edit->setCursorPosition(1);
        QGuiApplication::clipboard()->setText(QStringLiteral("345"));
        // The menu as a right-click opens it.
        const QPoint at = m_edit->rect().center();
        QContextMenuEvent opening(QContextMenuEvent::Mouse, at, m_edit->mapToGlobal(at));
        QApplication::sendEvent(m_edit, &opening);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        // Its "Paste" is the action whose shortcut is the paste key.
        QAction* paste = nullptr;
        for (QAction* action : menu->actions())
            if (action->text().endsWith(QKeySequence(QKeySequence::Paste).toString()))
                paste = action;
        QVERIFY(paste && paste->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(paste).center());
        QTRY_COMPARE(m_edit->text(), QStringLiteral("132"));
        QVERIFY(!QApplication::activePopupWidget());
    }

    // Qt 6.4 binds its menu's Paste by names, later versions by pointers; either way the
    // paste is the user's, cut to the limit, and happens once.
    void editMenuPasteWhicheverWayQtBindsIt_data()
    {
        QTest::addColumn<bool>("byPointer");
        QTest::newRow("bound by names") << false;
        QTest::newRow("bound by pointers") << true;
    }

    void editMenuPasteWhicheverWayQtBindsIt()
    {
        QFETCH(bool, byPointer);
        m_edit->setTypedLimit(3);
        m_edit->setText(QStringLiteral("12"));
        m_edit->setCursorPosition(1);
        QGuiApplication::clipboard()->setText(QStringLiteral("345"));
        QMenu menu;
        QAction* paste = menu.addAction(QLineEdit::tr("&Paste") + QLatin1Char('\t') +
                                        QKeySequence(QKeySequence::Paste).toString());
        if (byPointer) {
            paste->setObjectName(QStringLiteral("edit-paste"));
            connect(paste, &QAction::triggered, m_edit, &QLineEdit::paste);
        } else {
            connect(paste, SIGNAL(triggered()), m_edit, SLOT(paste()));
        }
        m_edit->takeMenuPaste(&menu);
        paste->trigger();
        QCOMPARE(m_edit->text(), QStringLiteral("132"));
    }

    void editDoubleClick()
    {
        QStringList seen;
        m_edit->setText(QStringLiteral("1.6"));
        m_edit->onDblClick = [&] { seen << m_edit->text(); };
        QTest::mouseDClick(m_edit, Qt::LeftButton);
        QCOMPARE(seen, QStringList{"1.6"});
    }

    void listBoxClicks()
    {
        const QPoint second = m_list->visualItemRect(m_list->item(1)).center();
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, second);
        // Choosing the chosen line again reports it again.
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, second);
        // Not the right button, nor a click below the last line.
        QTest::mouseClick(m_list->viewport(), Qt::RightButton, {},
                          m_list->visualItemRect(m_list->item(0)).center());
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {},
                          QPoint(20, m_list->viewport()->height() - 5));
        QCOMPARE(m_log, (QStringList{"row 1", "row 1"}));
    }

    void listBoxKeys()
    {
        m_list->setFocus();
        m_list->setCurrentRow(0);
        QTest::keyClick(m_list, Qt::Key_Down);
        QTest::keyClick(m_list, Qt::Key_Down);
        QTest::keyClick(m_list, Qt::Key_Down); // already on the last line: no choice
        QTest::keyClick(m_list, Qt::Key_Home);
        QTest::keyClick(m_list, Qt::Key_End);
        QTest::keyClick(m_list, Qt::Key_F5); // not a move
        QCOMPARE(m_log, (QStringList{"row 1", "row 2", "row 0", "row 2"}));
    }

    void labelClick_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("releaseInside");
        QTest::addColumn<int>("clicks");

        QTest::newRow("left") << Qt::LeftButton << true << 1;
        QTest::newRow("right") << Qt::RightButton << true << 0;
        QTest::newRow("left, released outside") << Qt::LeftButton << false << 0;
    }

    void labelClick()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, releaseInside);
        QFETCH(int, clicks);

        const QPoint inside = m_label->rect().center();
        QTest::mousePress(m_label, button, {}, inside);
        QTest::mouseRelease(m_label, button, {}, releaseInside ? inside : QPoint(-100, 50));
        QCOMPARE(m_log.count(QStringLiteral("label")), clicks);
    }

    void labelKeyHeld_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }

    // A held key repeats its press (on X11 as a release and a press, both marked as repeats):
    // the search starts once.
    void labelKeyHeld()
    {
        QFETCH(int, key);
        m_label->setKeyboardOperable();
        m_label->setFocus();
        QVERIFY(m_label->hasFocus());
        const auto send = [this, key](QEvent::Type type, bool repeat) {
            QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
            QApplication::sendEvent(m_label, &event);
        };
        send(QEvent::KeyPress, false);
        for (int i = 0; i < 5; ++i) {
            send(QEvent::KeyRelease, true);
            send(QEvent::KeyPress, true);
        }
        send(QEvent::KeyRelease, false);
        QCOMPARE(m_log, QStringList{"label"});
    }

private:
    QStringList m_log;
    std::unique_ptr<QWidget> m_window;
    TCheckBox* m_box = nullptr;
    TRadioButton* m_client = nullptr;
    TRadioButton* m_server = nullptr;
    TEdit* m_edit = nullptr;
    TEdit* m_other = nullptr;
    TListBox* m_list = nullptr;
    TLabel* m_label = nullptr;
};

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
