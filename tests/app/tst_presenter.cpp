#include "app/messagepresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace duva;

namespace
{

// A row of two text columns.
void row(const char* tag, const char* first, const char* second)
{
    QTest::newRow(tag) << QString::fromUtf8(first) << QString::fromUtf8(second);
}

} // namespace

class PresenterTest : public QObject
{
    Q_OBJECT
private slots:
    void errorBoxText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");

        row("empty", "", "");
        row("letter", "File not found", "File not found.");
        row("apostrophe sorts before", "'' is not a valid integer value",
            "'' is not a valid integer value.");
        row("own full stop", "Disk full.", "Disk full.");
        row("digit", "I/O error 5", "I/O error 5.");
        row("slash sorts after", "a/", "a/.");
        row("hyphen sorts before", "a-", "a-");
        row("exclamation sorts before", "Pronto!", "Pronto!");
        row("space sorts before", "ok ", "ok ");
        row("accented letter", "Informação", "Informação.");
    }

    void errorBoxText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(duva::errorBoxText(message), shown);
    }

    void applicationTitle_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");

        row("path, no extension", "/usr/local/bin/duva-configurador", "duva-configurador");
        row("upper case with extension", "DUVA.EXE", "Duva");
        row("windows path", "C:\\Programas\\CONFIG.V2.EXE", "Config");
        row("first letter kept", "/opt/dUVA", "duva");
        row("one letter", "X.exe", "X");
        row("dot first", "/tmp/.hidden", "");
        row("empty", "", "");
    }

    void applicationTitle()
    {
        QFETCH(QString, file);
        QFETCH(QString, title);
        QCOMPARE(duva::applicationTitle(file), title);
    }

    void boxes_data()
    {
        QTest::addColumn<bool>("isError");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QMessageBox::Icon>("icon");

        QTest::newRow("information") << false << "Informação" << QMessageBox::Information;
        QTest::newRow("error") << true << "Duva" << QMessageBox::Critical;
    }

    void boxes()
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
};

QTEST_MAIN(PresenterTest)
#include "tst_presenter.moc"
