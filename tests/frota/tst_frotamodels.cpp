// The fleet window's models and exports, without a network: modules that share an address
// or a serial number marked with the reason, the filter and the sort by value, the CSV the
// table exports, the adapters a search goes through, and a record shown, exported and
// printed.

#include "fleet/commissionplan.h"
#include "fleet/records.h"
#include "fleet/writerecord.h"
#include "frota/adapters.h"
#include "frota/commissioningtab.h"
#include "frota/mainwindow.h"
#include "frota/modulesmodel.h"
#include "frota/modulestab.h"
#include "frota/planmodel.h"
#include "frota/plantab.h"
#include "frota/portmessage.h"
#include "frota/recordmodel.h"
#include "frota/recordtab.h"
#include "testsupport.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTranslator>
#include <QtTest>

using namespace duva;
using duva::test::ip;
using duva::test::moduleRecord;

namespace
{

// Modules given as "address/serial", each with every other field from its place in the list.
QList<fleet::ModuleReply> modules(const QStringList& texts)
{
    QList<fleet::ModuleReply> out;
    int n = 1;
    for (const QString& text : texts) {
        const QStringList parts = text.split(QLatin1Char('/'));
        out.append({moduleRecord(ip(qPrintable(parts[0])), parts[1].toInt(), n),
                    QStringLiteral("10.77.0.%1").arg(100 + n), 1});
        ++n;
    }
    return out;
}

void fill(frota::ModulesModel& model, const QList<fleet::ModuleReply>& list)
{
    for (const fleet::ModuleReply& m : list)
        model.append(m);
}

int column(const QString& name)
{
    return int(frota::ModulesModel::columnNames().indexOf(name));
}

// A record entry with distinct values: module serial, from before to after.
fleet::RecordEntry entry(int serial, const char* before, const char* after,
                         fleet::EntryStatus status, int writes, const QString& who)
{
    fleet::RecordEntry e;
    e.time = QDateTime(QDate(2026, 3, 4), QTime(9, serial % 60, 7), Qt::OffsetFromUTC, -3 * 3600);
    e.context = {who, QStringLiteral("bancada-%1").arg(serial), QStringLiteral("eth1"),
                 QStringLiteral("1.74"), QStringLiteral("commission")};
    e.planRow = serial % 7;
    e.serialNumber = serial;
    if (before)
        e.before = moduleRecord(ip(before), serial, serial % 11);
    if (after)
        e.after = moduleRecord(ip(after), serial, serial % 13);
    e.status = status;
    e.writesSent = writes;
    e.reason = status == fleet::EntryStatus::Confirmed ? QString()
                                                       : QStringLiteral("no reply %1").arg(serial);
    return e;
}

} // namespace

class TestFrotaModels : public QObject
{
    Q_OBJECT
private slots:
    void duplicatesAreMarkedWithTheirReason_data()
    {
        QTest::addColumn<QStringList>("specs");
        QTest::addColumn<QList<bool>>("marked");
        QTest::addColumn<QStringList>("tooltipHolds"); // per row, '|' between texts

        QTest::newRow("all distinct") << QStringList{"10.0.0.5/1043", "10.0.0.6/1044"}
                                      << QList<bool>{false, false} << QStringList{"", ""};
        QTest::newRow("one address")
            << QStringList{"192.168.0.10/201", "192.168.0.11/202", "192.168.0.10/203"}
            << QList<bool>{true, false, true}
            << QStringList{"address 192.168.0.10 is also held by serial number 203", "",
                           "serial number 201"};
        QTest::newRow("one serial number")
            << QStringList{"172.16.4.1/77", "172.16.4.2/77", "172.16.4.3/78"}
            << QList<bool>{true, true, false}
            << QStringList{"serial number 77 is also held by the module at 172.16.4.2",
                           "at 172.16.4.1", ""};
        QTest::newRow("both, three modules")
            << QStringList{"10.9.8.7/5", "10.9.8.7/5", "10.9.8.7/6"}
            << QList<bool>{true, true, true}
            << QStringList{"address 10.9.8.7 is also held by serial number 5, 6|"
                           "serial number 5 is also held by the module at 10.9.8.7",
                           "serial number 5, 6",
                           "address 10.9.8.7 is also held by serial number 5, 5"};
        // A box of fresh modules at one factory address: the tooltip names ten others.
        QStringList box;
        for (int i = 0; i < 13; ++i)
            box << QStringLiteral("192.168.0.10/%1").arg(4000 + i);
        QTest::newRow("thirteen at one address")
            << box << QList<bool>(13, true)
            << (QStringList{"4001, 4002, 4003, 4004, 4005, 4006, 4007, 4008, 4009, 4010, …"} +
                QStringList(12, "serial number 4000, 40"));
    }
    void duplicatesAreMarkedWithTheirReason()
    {
        QFETCH(QStringList, specs);
        QFETCH(QList<bool>, marked);
        QFETCH(QStringList, tooltipHolds);
        frota::ModulesModel model;
        fill(model, modules(specs));
        int count = 0;
        for (int row = 0; row < specs.size(); ++row) {
            const QModelIndex index = model.index(row, 3);
            QCOMPARE(index.data(frota::ModulesModel::MarkedRole).toBool(), marked[row]);
            QCOMPARE(index.data(Qt::BackgroundRole).isValid(), marked[row]);
            const QString tip = index.data(Qt::ToolTipRole).toString();
            QCOMPARE(tip.isEmpty(), !marked[row]);
            for (const QString& part : tooltipHolds[row].split('|', Qt::SkipEmptyParts))
                QVERIFY2(tip.contains(part), qPrintable(tip));
            count += marked[row];
        }
        QCOMPARE(model.markedCount(), count);
    }

    // A module that answers later with a known address marks the earlier one too.
    void aLaterDuplicateMarksTheEarlierRow()
    {
        frota::ModulesModel model;
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        const auto list = modules({"10.1.1.1/11", "10.1.1.1/12"});
        model.append(list[0]);
        QVERIFY(!model.index(0, 0).data(frota::ModulesModel::MarkedRole).toBool());
        model.append(list[1]);
        QVERIFY(model.index(0, 0).data(frota::ModulesModel::MarkedRole).toBool());
        QVERIFY(!changed.isEmpty());
        QCOMPARE(changed.last().at(0).value<QModelIndex>().row(), 1);
    }

    void filterAndSortShowTheRowsAsked_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("sortColumn");
        QTest::addColumn<QList<int>>("serials"); // as shown, top to bottom

        // Numbers and addresses sort by value: 10.0.0.9 before 10.0.0.10, 9 before 10.
        QTest::newRow("all, by address") << ""
                                         << "ipAddress" << QList<int>{9, 1000, 10, 300};
        QTest::newRow("all, by serial") << ""
                                        << "serialNumber" << QList<int>{9, 10, 300, 1000};
        QTest::newRow("address text") << "10.0.0.1"
                                      << "ipAddress" << QList<int>{1000, 10};
        QTest::newRow("server host, any case") << "HOST-3."
                                               << "ipAddress" << QList<int>{10};
        QTest::newRow("reply address") << "10.77.0.104"
                                       << "ipAddress" << QList<int>{300};
        QTest::newRow("nothing") << "absent"
                                 << "ipAddress" << QList<int>{};
    }
    void filterAndSortShowTheRowsAsked()
    {
        QFETCH(QString, filter);
        QFETCH(QString, sortColumn);
        QFETCH(QList<int>, serials);
        frota::ModulesTab tab({}, nullptr, QStringLiteral("off"));
        fill(*tab.model(),
             modules({"10.0.0.9/9", "10.0.0.10/1000", "10.0.0.100/10", "10.0.0.200/300"}));
        tab.filterEdit()->setText(filter);
        tab.view()->sortByColumn(column(sortColumn), Qt::AscendingOrder);
        QList<int> shown;
        for (int row = 0; row < tab.proxy()->rowCount(); ++row)
            shown << tab.proxy()->index(row, column("serialNumber")).data().toInt();
        QCOMPARE(shown, serials);
    }

    void csvExportHoldsTheRowsShown_data()
    {
        QTest::addColumn<frota::CsvFlavour>("flavour");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<char>("separator");
        QTest::addColumn<QStringList>("addresses");

        QTest::newRow("plain") << frota::CsvFlavour::Plain << "" << QByteArray("ipAddress,") << ','
                               << QStringList{"10.4.0.2", "10.4.0.30", "10.4.0.100"};
        QTest::newRow("excel") << frota::CsvFlavour::Excel << ""
                               << QByteArray("\xEF\xBB\xBFipAddress;") << ';'
                               << QStringList{"10.4.0.2", "10.4.0.30", "10.4.0.100"};
        QTest::newRow("filtered") << frota::CsvFlavour::Plain << "host-2." << QByteArray("ipA")
                                  << ',' << QStringList{"10.4.0.100"};
    }
    void csvExportHoldsTheRowsShown()
    {
        QFETCH(frota::CsvFlavour, flavour);
        QFETCH(QString, filter);
        QFETCH(QByteArray, start);
        QFETCH(char, separator);
        QFETCH(QStringList, addresses);
        frota::ModulesTab tab({}, nullptr, QStringLiteral("off"));
        fill(*tab.model(), modules({"10.4.0.30/31", "10.4.0.100/32", "10.4.0.2/33"}));
        tab.filterEdit()->setText(filter);
        QTemporaryDir dir;
        const QString path = dir.filePath("modulos.csv");
        QString error;
        QVERIFY2(tab.exportTo(path, flavour, &error), qPrintable(error));
        const QByteArray bytes = test::contentOf(path);
        QVERIFY2(bytes.startsWith(start), bytes.left(40).constData());
        QList<QByteArray> lines = bytes.trimmed().split('\n');
        QCOMPARE(lines.size(), addresses.size() + 1);
        QCOMPARE(lines[0].count(separator), frota::ModulesModel::columnNames().size() - 1);
        for (int i = 0; i < addresses.size(); ++i)
            QVERIFY2(lines[i + 1].startsWith(addresses[i].toLatin1() + separator),
                     lines[i + 1].constData());
        // "from" is the address the reply came from.
        QVERIFY(lines[1].contains(separator + QByteArray("10.77.0.10")));
    }

    void searchGoesThroughTheAdaptersChosen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("broadcasts");
        QTest::newRow("every adapter, each broadcast once")
            << "" << QStringList{"192.168.0.255", "10.77.255.255"};
        QTest::newRow("one") << "eth1" << QStringList{"10.77.255.255"};
        QTest::newRow("gone") << "wlan9" << QStringList{};
    }
    void searchGoesThroughTheAdaptersChosen()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, broadcasts);
        const QList<NetworkInterface> adapters{
            {"eth0", Ipv4Address(ip("192.168.0.7")), Ipv4Address(ip("192.168.0.255")), {}},
            {"eth0", Ipv4Address(ip("192.168.0.8")), Ipv4Address(ip("192.168.0.255")), {}},
            {"eth1", Ipv4Address(ip("10.77.0.1")), Ipv4Address(ip("10.77.255.255")), "Ethernet 2"}};
        QStringList shown;
        for (const Ipv4Address b : frota::searchBroadcasts(adapters, name))
            shown << b.toString();
        QCOMPARE(shown, broadcasts);
        QCOMPARE(frota::adapterLabel(adapters[2]), QStringLiteral("Ethernet 2 (10.77.0.1)"));
    }

    void aTakenPortSaysWhichAndWhatToClose()
    {
        frota::ModulesTab tab({}, nullptr, frota::portTakenText(5001));
        const QString text = tab.statusLabel()->text();
        QVERIFY2(text.contains("5001") && text.contains("Configurator") && text.contains("duvactl"),
                 qPrintable(text));
        QVERIFY(!tab.tabActions().first()->isEnabled()); // Search
    }

    // What a screen reader says for each control that Tab reaches, on every tab.
    void everyControlHasAName()
    {
        frota::MainWindow window(
            {{{"eth0", Ipv4Address(ip("10.1.2.3")), Ipv4Address(ip("10.1.2.255")), {}}},
             nullptr,
             "off"});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Frota DUVA"));
        QCOMPARE(window.tabs()->count(), 4);
        int named = 0;
        for (int t = 0; t < window.tabs()->count(); ++t) {
            window.tabs()->setCurrentIndex(t);
            for (QWidget* w : window.findChildren<QWidget*>()) {
                if (!w->isVisible() || !(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() ||
                    !w->isEnabled())
                    continue;
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                QVERIFY(a);
                QVERIFY2(
                    !a->text(QAccessible::Name).isEmpty(),
                    qPrintable(QString("%1 on tab %2").arg(w->metaObject()->className()).arg(t)));
                ++named;
            }
        }
        QVERIFY(named >= 12);
    }

    // On a Portuguese system: the window's own texts, the taken port's advice, and the
    // fleet's messages the window shows, which duvactl's translation carries.
    void thePortugueseTranslationIsUsed()
    {
        QTranslator fleetTexts;
        QVERIFY(fleetTexts.load(QStringLiteral(":/test/duvactl_pt_BR.qm")));
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/test/duva-frota_pt_BR.qm")));
        QCoreApplication::installTranslator(&fleetTexts);
        QCoreApplication::installTranslator(&translator);
        frota::MainWindow window({{}, nullptr, frota::portTakenText(5001)});
        frota::PlanModel& plan = *window.planTab()->model();
        plan.setPlan(
            fleet::readPlan("serialNumber,localPort\n1043,4101\n", fleet::PlanFormat::Csv));
        QVERIFY(plan.setData(plan.index(0, int(frota::PlanModel::columnNames().indexOf(
                                               QStringLiteral("localPort")))),
                             QStringLiteral("70000")));
        QCoreApplication::removeTranslator(&translator);
        QCoreApplication::removeTranslator(&fleetTexts);
        QCOMPARE(plan.refusals().size(), 1);
        QVERIFY2(plan.refusals().first().message.startsWith(
                     QStringLiteral("linha 2, coluna localPort: '70000'")),
                 qPrintable(plan.refusals().first().message));
        QStringList tabs;
        for (int t = 0; t < window.tabs()->count(); ++t)
            tabs << window.tabs()->tabText(t);
        QCOMPARE(tabs, (QStringList{"Módulos", "Plano", "Comissionamento", "Registro"}));
        QStringList modules;
        for (QAction* a : window.modulesTab()->tabActions())
            modules << a->text();
        QCOMPARE(modules.first(), QStringLiteral("&Procurar"));
        QCOMPARE(modules.at(1), QStringLiteral("Ca&ncelar"));
        QCOMPARE(window.commissioningTab()->startButton()->text(), QStringLiteral("&Iniciar"));
        const QString advice = window.modulesTab()->statusLabel()->text();
        QVERIFY2(advice.contains("porta UDP 5001") && advice.contains("Configurador") &&
                     advice.contains("duvactl"),
                 qPrintable(advice));
    }

    // A plan read for commissioning: its rows as the record names them, or everything that
    // stops it before anything is sent.
    void commissioningPlansAreReadAndChecked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("planRows");
        QTest::addColumn<QString>("error"); // a part of it; empty: none

        QTest::newRow("CSV") << "plan.csv"
                             << QByteArray("ipAddress;gateway;serverPort\n10.0.0.21;10.0.0.1;7001\n"
                                           "10.0.0.22;10.0.0.5;7002\n")
                             << QList<int>{2, 3} << "";
        QTest::newRow("JSON") << "plan.json"
                              << QByteArray(R"([{"ipAddress": "10.0.0.31", "serverPort": 7004}])")
                              << QList<int>{1} << "";
        QTest::newRow("the computer's own address")
            << "plan.csv" << QByteArray("ipAddress\n10.1.2.3\n") << QList<int>{} << "10.1.2.3";
        QTest::newRow("a refused cell")
            << "plan.csv" << QByteArray("ipAddress\n10.0.0.300\n") << QList<int>{} << "10.0.0.300";
        QTest::newRow("no module")
            << "plan.csv" << QByteArray("ipAddress\n") << QList<int>{} << "names no module";
        QTest::newRow("no file") << "" << QByteArray() << QList<int>{} << "cannot read";
    }
    void commissioningPlansAreReadAndChecked()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        QFETCH(QList<int>, planRows);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(name.isEmpty() ? "missing.csv" : name);
        if (!name.isEmpty())
            QVERIFY(test::writeFile(path, text));
        const fleet::CommissionPlan plan =
            fleet::readCommissionPlan(path, {Ipv4Address(ip("10.1.2.3"))});
        using Unusable = fleet::CommissionPlan::Unusable;
        const QString problem = plan.unusable == Unusable::NoModule     ? "names no module"
                                : plan.unusable == Unusable::CannotRead ? "cannot read"
                                                                        : plan.reason;
        const QString refusals = (plan.cellRefusals + plan.valueRefusals).join('\n');
        if (error.isEmpty()) {
            QVERIFY2(problem.isEmpty() && refusals.isEmpty(), qPrintable(problem + refusals));
        } else {
            QVERIFY2((problem + refusals).contains(error), qPrintable(problem + refusals));
            return;
        }
        QList<int> rows;
        for (const fleet::CommissionRow& r : plan.rows)
            rows << r.planRow;
        QCOMPARE(rows, planRows);
        QCOMPARE(plan.where.size(), planRows.size());
    }

    void recordEntriesShowAndExport()
    {
        const QList<fleet::RecordEntry> entries{
            entry(1043, "192.168.0.10", "10.0.0.21", fleet::EntryStatus::Confirmed, 1, "ana"),
            entry(2077, "192.168.0.10", "10.0.0.22", fleet::EntryStatus::NotConfirmed, 3, "ana"),
            entry(3011, nullptr, nullptr, fleet::EntryStatus::Skipped, 0, "bruno")};
        QTemporaryDir dir;
        const QString path = dir.filePath("registro.json");
        QVERIFY(test::writeFile(path, fleet::recordText(entries, fleet::RecordFormat::Json)));

        frota::RecordTab tab;
        QString error;
        QVERIFY2(tab.openRecord(path, &error), qPrintable(error));
        const frota::RecordModel& model = *tab.model();
        QCOMPARE(model.rowCount(), 3);
        using C = frota::RecordModel;
        const QList<QStringList> expected{
            {"ana", "1043", "192.168.0.10", "10.0.0.21", "confirmed", "1", ""},
            {"ana", "2077", "192.168.0.10", "10.0.0.22", "not confirmed", "3", "no reply 2077"},
            {"bruno", "3011", "", "", "skipped", "0", "no reply 3011"}};
        for (int row = 0; row < 3; ++row) {
            QStringList cells;
            for (const int c :
                 {C::Operator, C::Serial, C::Before, C::After, C::Status, C::WritesSent, C::Reason})
                cells << model.index(row, c).data().toString();
            QCOMPARE(cells, expected[row]);
        }
        QCOMPARE(tab.operatorEdit()->text(), QStringLiteral("bruno"));

        // CSV and JSON exports read back as the same entries.
        for (const char* name : {"copia.csv", "copia.json"}) {
            const QString copy = dir.filePath(name);
            QVERIFY(QByteArray(name).endsWith("csv") ? tab.exportCsv(copy, &error)
                                                     : tab.exportJson(copy, &error));
            const fleet::RecordContents back = fleet::readRecord(copy);
            QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
            QCOMPARE(back.entries.size(), 3);
            QCOMPARE(back.entries[1].writesSent, 3);
            QCOMPARE(back.entries[2].context.operatorName, QStringLiteral("bruno"));
            QCOMPARE(back.entries[0].after->bytes(), entries[0].after->bytes());
        }

        // A file that is not a record leaves the table as it was.
        const QString bad = dir.filePath("outro.json");
        QVERIFY(test::writeFile(bad, "{\"format\": \"something else\"}"));
        QVERIFY(!tab.openRecord(bad, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(model.rowCount(), 3);
    }

    void thePrintedReportIsAPdfWithTheSite()
    {
        QList<fleet::RecordEntry> entries;
        // Enough modules for a second page.
        for (int i = 0; i < 70; ++i)
            entries << entry(5000 + i, "192.168.0.10", qPrintable(QString("10.0.1.%1").arg(i + 1)),
                             fleet::EntryStatus::Confirmed, 1, "carla");
        QTemporaryDir dir;
        const QString records = dir.filePath("registro.csv");
        QVERIFY(test::writeFile(records, fleet::recordText(entries, fleet::RecordFormat::Csv)));
        frota::RecordTab tab;
        QString error;
        QVERIFY2(tab.openRecord(records, &error), qPrintable(error));
        tab.siteEdit()->setText(QStringLiteral("Subestação Jaraguá"));

        const QString pdf = dir.filePath("relatorio.pdf");
        QVERIFY2(tab.exportPdf(pdf, &error), qPrintable(error));
        QVERIFY(test::contentOf(pdf).startsWith("%PDF"));
        QVERIFY(!tab.exportPdf(dir.filePath("no/such/folder/r.pdf"), &error));
        QVERIFY(!error.isEmpty());

        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed: the text was not read back");
        QProcess p;
        p.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(p.waitForFinished(20000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        for (const char* part : {"Subestação Jaraguá", "carla", "5000", "10.0.1.70", "Page 2"})
            QVERIFY2(text.contains(QString::fromUtf8(part)), part);
    }
};

QTEST_MAIN(TestFrotaModels)
#include "tst_frotamodels.moc"
