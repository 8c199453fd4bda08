// The fleet window's Plan tab without a network: a cell the command line would refuse is
// marked with the command line's own message and listed, a spreadsheet's plan opens and saves
// back to the same plan, and a plan starts from the modules found.

#include "fleet/plan.h"
#include "fleet/records.h"
#include "frota/modulesmodel.h"
#include "frota/planmodel.h"
#include "frota/plantab.h"
#include "protocol/recordfields.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace duva;
using duva::test::ip;
using duva::test::moduleRecord;

namespace
{

int column(const QString& name)
{
    return int(frota::PlanModel::columnNames().indexOf(name));
}

// The rows of a plan as comparable text: where, serial or address, and the changes.
QStringList summary(const fleet::Plan& plan)
{
    QStringList out;
    for (const fleet::PlanRow& row : plan.rows) {
        QStringList parts{row.serialNumber ? QString::number(*row.serialNumber)
                                           : row.addressText()};
        for (const fleet::Change& c : row.changes)
            parts << c.field + QLatin1Char('=') + c.value;
        std::sort(parts.begin() + 1, parts.end()); // a file's column order means nothing
        out << parts.join(QLatin1Char(' '));
    }
    return out;
}

// A plan of two modules, read as the command line reads it.
fleet::Plan twoModules()
{
    return fleet::readPlan("serialNumber,ipAddress,localPort,serverHost\n"
                           "1043,10.0.0.21,4101,a.duva.com.br\n"
                           "1044,10.0.0.22,4102,b.duva.com.br\n",
                           fleet::PlanFormat::Csv);
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}

} // namespace

class TestFrotaPlan : public QObject
{
    Q_OBJECT
private slots:
    void refusedCellIsMarkedListedAndCleared_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("fixed");

        QTest::newRow("address") << "ipAddress"
                                 << "10.0.0.256"
                                 << "10.0.0.23";
        QTest::newRow("serial number") << "serialNumber"
                                       << "1043x"
                                       << "2051";
        QTest::newRow("port") << "serverPort"
                              << "70000"
                              << "6005";
        QTest::newRow("flag") << "dhcp"
                              << "talvez"
                              << "sim";
        QTest::newRow("mode") << "clientMode"
                              << "both"
                              << "server";
        QTest::newRow("exact text") << "firmwareVersion"
                                    << "1.2.3"
                                    << "124";
        QTest::newRow("text beyond cp1252") << "serverHost"
                                            << "hôst€→.br"
                                            << "hôst€.br";
    }
    void refusedCellIsMarkedListedAndCleared()
    {
        QFETCH(QString, field);
        QFETCH(QString, refused);
        QFETCH(QString, fixed);
        frota::ModulesModel found;
        frota::PlanTab tab(&found);
        frota::PlanModel& model = *tab.model();
        model.setPlan(twoModules());
        QCOMPARE(tab.refusalList()->count(), 0);

        const QModelIndex cell = model.index(1, column(field));
        QVERIFY(model.setData(cell, refused));
        // The message the command line gives for the same plan saved to a file.
        const fleet::Plan read = fleet::readPlan(model.toCsv(), fleet::PlanFormat::Csv);
        QVERIFY(!read.error.isEmpty());
        QCOMPARE(model.refusals().size(), 1);
        const QString message = model.data(cell, Qt::ToolTipRole).toString();
        QVERIFY2(read.error.contains(message), qPrintable(read.error + " / " + message));
        QVERIFY(message.startsWith(QStringLiteral("row 3, column %1: '").arg(field)));
        QVERIFY(model.data(cell, Qt::BackgroundRole).isValid());
        QVERIFY(!model.data(model.index(0, column(field)), Qt::BackgroundRole).isValid());
        QCOMPARE(tab.refusalList()->count(), 1);
        QCOMPARE(tab.refusalList()->item(0)->text(), message);

        // Choosing the entry selects the cell.
        tab.view()->setCurrentIndex(model.index(0, 0));
        tab.refusalList()->setCurrentRow(0);
        QCOMPARE(tab.view()->currentIndex(), cell);

        QVERIFY(model.setData(cell, fixed));
        QVERIFY(model.refusals().isEmpty());
        QVERIFY(!model.data(cell, Qt::BackgroundRole).isValid());
        QVERIFY(model.data(cell, Qt::ToolTipRole).toString().isEmpty());
        QCOMPARE(tab.refusalList()->count(), 0);
        QVERIFY(fleet::readPlan(model.toCsv(), fleet::PlanFormat::Csv).error.isEmpty());
    }

    void planFileRoundTrips_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("openAs");
        QTest::addColumn<QString>("saveAs");

        // As a Portuguese Excel saves it: cp1252, ';', CR LF, TRUE in Portuguese, blanks.
        const QByteArray excel = "serialNumber;ipAddress;dhcp;serverHost;autoDisconnectTime\r\n"
                                 "2051; 10.1.2.3 ;VERDADEIRO;esta\xe7\xe3o\x80.br;45\r\n"
                                 "2052;10.1.2.4;;;\r\n"
                                 ";10.1.2.9;falso;;12\r\n";
        QTest::newRow("Excel cp1252 to CSV") << excel << "excel.csv"
                                             << "saved.csv";
        QTest::newRow("Excel cp1252 to JSON") << excel << "excel.csv"
                                              << "saved.json";
        QTest::newRow("JSON to CSV")
            << QByteArray(R"([{"serialNumber": 3001, "localPort": 4301, "watchdog": true},
                             {"ipAddress": "172.16.0.9", "serverHost": "ç.duva.com.br"}])")
            << "plan.json"
            << "saved.csv";
    }
    void planFileRoundTrips()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, openAs);
        QFETCH(QString, saveAs);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        frota::ModulesModel found;
        frota::PlanTab tab(&found);
        QString error;
        QVERIFY2(tab.openFile(write(dir, openAs, bytes), &error), qPrintable(error));
        const fleet::Plan original = fleet::readPlan(bytes, fleet::planFormatOf(openAs));
        QVERIFY(original.error.isEmpty());
        QCOMPARE(tab.model()->rowCount(), original.rows.size());
        QVERIFY(tab.model()->refusals().isEmpty());

        QVERIFY2(tab.saveFile(dir.filePath(saveAs), &error), qPrintable(error));
        QFile saved(dir.filePath(saveAs));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const fleet::Plan back = fleet::readPlan(saved.readAll(), fleet::planFormatOf(saveAs));
        QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
        QCOMPARE(summary(back), summary(original));
        if (bytes.contains("\xe7\xe3o\x80"))
            QVERIFY(summary(back)[0].contains(QString::fromUtf8("serverHost=estação€.br")));
    }

    void refusedPlanIsNotOpened()
    {
        QTemporaryDir dir;
        frota::ModulesModel found;
        frota::PlanTab tab(&found);
        tab.model()->setPlan(twoModules());
        QString error;
        QVERIFY(!tab.openFile(write(dir, "bad.csv", "serialNumber,localPort\n7,99999\n"), &error));
        QVERIFY2(error.contains("row 2, column localPort: '99999'"), qPrintable(error));
        QCOMPARE(tab.model()->rowCount(), 2); // the plan being edited stays
        QVERIFY(!tab.openFile(dir.filePath("missing.csv"), &error));
        QVERIFY(!error.isEmpty());
    }

    void planStartsFromModulesFound()
    {
        frota::ModulesModel found;
        const QList<fleet::ModuleReply> modules = {
            {moduleRecord(ip("10.3.0.11"), 5011, 1), QStringLiteral("10.3.0.11"), 1},
            {moduleRecord(ip("10.3.0.12"), 5012, 2), QStringLiteral("10.3.0.12"), 1},
            {moduleRecord(ip("10.3.0.13"), 5013, 3), QStringLiteral("10.3.0.13"), 2},
        };
        for (const fleet::ModuleReply& m : modules)
            found.append(m);
        frota::PlanTab tab(&found);
        tab.startFromModules();
        const frota::PlanModel& model = *tab.model();
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(model.refusals().isEmpty());
        for (int row = 0; row < 3; ++row) {
            for (const QString& name : frota::PlanModel::columnNames())
                QCOMPARE(model.index(row, column(name)).data().toString(),
                         findRecordField(name)->text(modules[row].record));
        }
        const fleet::Plan plan = fleet::readPlan(model.toCsv(), fleet::PlanFormat::Csv);
        QVERIFY2(plan.error.isEmpty(), qPrintable(plan.error));
        QCOMPARE(plan.rows[2].serialNumber, 5013);
        QVERIFY(summary(plan)[1].contains("serverHost=host-2.duva.com.br"));
    }

    void everyControlHasAnAccessibleName()
    {
        frota::ModulesModel found;
        frota::PlanTab tab(&found);
        tab.model()->setPlan(twoModules());
        tab.model()->setData(tab.model()->index(0, column("localPort")), "x");
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        for (QWidget* w : tab.findChildren<QWidget*>()) {
            if (w->focusPolicy() != Qt::NoFocus && w->isVisibleTo(&tab) &&
                (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                 qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w)))
                QVERIFY2(!w->accessibleName().isEmpty(), w->metaObject()->className());
        }
        // Without the window's means to send, Apply is off.
        QVERIFY(!tab.applyButton()->isEnabled());
    }
};

QTEST_MAIN(TestFrotaPlan)
#include "tst_frotaplan.moc"
