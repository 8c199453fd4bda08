#include "app/messagepresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace duva;

class PresenterTest : public QObject
{
    Q_OBJECT
private slots:
    void errorBoxText_data();
    void errorBoxText();
    void applicationTitle_data();
    void applicationTitle();
    void boxes_data();
    void boxes();
};

void PresenterTest::errorBoxText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("letter") << "File not found"
                            << "File not found.";
    QTest::newRow("apostrophe sorts before") << "'' is not a valid integer value"
                                             << "'' is not a valid integer value.";
    QTest::newRow("own full stop") << "Disk full."
                                   << "Disk full.";
    QTest::newRow("digit") << "I/O error 5"
                           << "I/O error 5.";
    QTest::newRow("slash sorts after") << "a/"
                                       << "a/.";
    QTest::newRow("hyphen sorts before") << "a-"
                                         << "a-";
    QTest::newRow("exclamation sorts before") << "Pronto!"
                                              << "Pronto!";
    QTest::newRow("space sorts before") << "ok "
                                        << "ok ";
    QTest::newRow("accented letter") << "Informação"
                                     << "Informação.";
}

void PresenterTest::errorBoxText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(duva::errorBoxText(message), shown);
}

void PresenterTest::applicationTitle_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");

    QTest::newRow("path, no extension") << "/usr/local/bin/duva-configurador"
                                        << "duva-configurador";
    QTest::newRow("upper case with extension") << "DUVA.EXE"
                                               << "Duva";
    QTest::newRow("windows path") << "C:\\Programas\\CONFIG.V2.EXE"
                                  << "Config";
    QTest::newRow("first letter kept") << "/opt/dUVA"
                                       << "duva";
    QTest::newRow("one letter") << "X.exe"
                                << "X";
    QTest::newRow("dot first") << "/tmp/.hidden"
                               << "";
    QTest::newRow("empty") << ""
                           << "";
}

void PresenterTest::applicationTitle()
{
    QFETCH(QString, file);
    QFETCH(QString, title);
    QCOMPARE(duva::applicationTitle(file), title);
}

void PresenterTest::boxes_data()
{
    QTest::addColumn<bool>("isError");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QMessageBox::Icon>("icon");

    QTest::newRow("information") << false << "Informação" << QMessageBox::Information;
    QTest::newRow("error") << true << "Duva" << QMessageBox::Critical;
}

void PresenterTest::boxes()
{
    QFETCH(bool, isError);
    QFETCH(QString, caption);
    QFETCH(QMessageBox::Icon, icon);

    QWidget owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    struct Seen {
        bool found = false;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        Qt::TextFormat format = Qt::AutoText;
        int buttons = 0;
        bool modal = false;
        QWidget* parent = nullptr;
    } seen;
    // Read the open box, then close it as the user would.
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.format = box->textFormat();
        seen.buttons = box->buttons().size();
        seen.modal = box->isModal();
        seen.parent = box->parentWidget();
        box->button(QMessageBox::Ok)->click();
    });

    // Lines end in carriage returns; markup is shown as typed.
    const QString text = QStringLiteral("<b>um</b>\r\ndois\rtrês\r\r");
    QtMessagePresenter presenter;
    if (isError)
        presenter.error(&owner, QStringLiteral("Duva"), text);
    else
        presenter.information(&owner, text);

    QVERIFY(seen.found);
    QCOMPARE(seen.title, caption);
    QCOMPARE(seen.icon, icon);
    QCOMPARE(seen.text, QStringLiteral("<b>um</b>\ndois\ntrês\n\n"));
    QCOMPARE(seen.format, Qt::PlainText);
    QCOMPARE(seen.buttons, 1);
    QVERIFY(seen.modal);
    QCOMPARE(seen.parent, &owner);
}

QTEST_MAIN(PresenterTest)
#include "tst_presenter.moc"
