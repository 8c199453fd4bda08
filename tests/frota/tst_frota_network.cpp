// The fleet window against duva-sim in the test network, offscreen: a search fills the
// table while the window's event loop keeps running, asks again when nobody answered, marks
// modules that share an address, and a second program on the reply port is told which port
// is taken. The Commissioning tab commissions a bench of modules plugged in one at a time,
// and goes on from its record after the window was closed. The Plan tab applies a plan in a
// safe order, each row showing its write's state, each module kept in the Record tab's
// record; Cancel stops before the next write; the Record tab undoes it after a confirmation.

#include "fleet/replyendpoint.h"
#include "frota/commissioningmodel.h"
#include "frota/commissioningtab.h"
#include "frota/mainwindow.h"
#include "frota/modulesmodel.h"
#include "frota/modulestab.h"
#include "frota/planmodel.h"
#include "frota/plantab.h"
#include "frota/recordmodel.h"
#include "frota/recordtab.h"
#include "frota/searchsetup.h"
#include "frota/writeprogress.h"
#include "frota/writerun.h"
#include "protocol/datagrams.h"
#include "simprocess.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace duva;
using duva::test::SimProcess;

namespace
{

// Short waits keep the test quick; the rounds work as with the defaults.
const fleet::SessionTiming quick{300, 1500, 3};

// The window with a search over the reply port, as the program starts it.
struct Window {
    frota::SearchSetup search = frota::openSearch(fleet::replyPort);
    std::unique_ptr<frota::MainWindow> window;
    bool exposed = false;

    Window()
    {
        frota::WindowParts parts;
        parts.adapters = runningIPv4Interfaces();
        parts.session = search.session.get();
        parts.endpoint = search.session ? search.endpoint.get() : nullptr;
        parts.unavailableText = search.unavailableText;
        if (search.session)
            search.session->setTiming(quick);
        window = std::make_unique<frota::MainWindow>(parts);
        window->writeRun()->setTiming({{300, 1500, 3}, 3000});
        window->show();
        // On screen before anything is clicked, as a technician finds it: its first paint
        // (slow under Wine) is no part of what the tests time.
        exposed = QTest::qWaitForWindowExposed(window.get());
    }
    frota::ModulesTab& tab() const { return *window->modulesTab(); }
    frota::CommissioningTab& commissioning() const { return *window->commissioningTab(); }
    frota::PlanTab& plan() const { return *window->planTab(); }
    frota::RecordTab& record() const { return *window->recordTab(); }

    // The Modules tab's search, to its end: each module's 64 bytes, "serial ip serverPort".
    QStringList searchModules(QList<QByteArray>* records = nullptr) const
    {
        QSignalSpy finished(search.session.get(), &fleet::SearchSession::finished);
        tab().tabActions().first()->trigger();
        if (!finished.wait(10000))
            return {"search did not end"};
        QStringList out;
        QList<fleet::ModuleReply> modules = tab().model()->modules();
        std::sort(modules.begin(), modules.end(), [](const auto& a, const auto& b) {
            return a.record.serialNumber() < b.record.serialNumber();
        });
        for (const fleet::ModuleReply& m : modules) {
            out << QString("%1 %2 %3")
                       .arg(m.record.serialNumber())
                       .arg(m.record.ipAddressText())
                       .arg(m.record.serverPort());
            if (records)
                *records << m.record.bytes();
        }
        return out;
    }
};

// Every field of the fleet differs from every other, so that bytes in the wrong place show.
const QStringList fleetOptions{
    "--gateway", "10.77.0.3",          "--dns", "10.77.0.4",     "--local-port",
    "5003",      "--server-port",      "6004",  "--server",      "--auto-disconnect-time",
    "17",        "--firmware-version", "1A2",   "--server-host", "h.duva"};

// The writes the simulator received, in order: "10.77.0.12>10.77.0.13 1033 7003", where each
// went, and the address, serial number and server port its 65 bytes carried.
QStringList writesReceived(SimProcess& sim)
{
    static const QRegularExpression line(" to (\\S+):1461 len 65: (.*)$");
    QStringList writes;
    for (const QString& l : sim.linesContaining(" recv from ")) {
        const QRegularExpressionMatch m = line.match(l);
        const QByteArray bytes = QByteArray::fromHex(m.captured(2).toLatin1());
        if (!m.hasMatch() || quint8(bytes.at(offset::opcode)) != writeOpcode)
            continue;
        const auto record = ModuleRecord::fromBytes(bytes.left(recordSize));
        writes << QString("%1>%2 %3 %4")
                      .arg(m.captured(1), record->ipAddressText())
                      .arg(record->serialNumber())
                      .arg(record->serverPort());
    }
    return writes;
}

// The row headers of a table: "2 · confirmed".
QStringList rowHeaders(const QAbstractItemModel& model)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.headerData(row, Qt::Vertical).toString();
    return out;
}

// The button that shows an action in a tab.
QToolButton* buttonOf(QWidget& tab, QAction* action)
{
    for (QToolButton* b : tab.findChildren<QToolButton*>())
        if (b->defaultAction() == action)
            return b;
    return nullptr;
}

int planColumn(const QString& name)
{
    return int(frota::PlanModel::columnNames().indexOf(name));
}

// Three rows, each with distinct values in every column.
QString commissioningPlan(const QTemporaryDir& dir)
{
    const QString csv = "ipAddress,gateway,serverPort\n"
                        "10.77.0.61,10.77.0.1,7001\n"
                        "10.77.0.62,10.77.0.3,7002\n"
                        "10.77.0.63,10.77.0.4,7003\n";
    const QString path = dir.filePath("bench.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv.toUtf8()) != csv.size())
        return QString();
    return path;
}

QStringList recordStatuses(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    const QJsonArray entries =
        QJsonDocument::fromJson(file.readAll()).object().value("entries").toArray();
    for (const QJsonValue& e : entries)
        out << e.toObject().value("serialNumber").toVariant().toString() + " " +
                   e.toObject().value("status").toString();
    return out;
}

QStringList column(const frota::ModulesTab& tab, const QString& name)
{
    const int c = int(frota::ModulesModel::columnNames().indexOf(name));
    QStringList out;
    for (int row = 0; row < tab.proxy()->rowCount(); ++row)
        out << tab.proxy()->index(row, c).data().toString();
    return out;
}

} // namespace

class TestFrotaNetwork : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { DUVA_REQUIRE_TEST_NETWORK(); }

    void searchFillsTheTable_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<int>("adapter"); // in the list: 0 every adapter, 1 the first one
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QString>("replies");
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("marked");

        const QStringList three{"10.77.0.10", "10.77.0.11", "10.77.0.12"};
        QTest::newRow("every adapter")
            << QStringList{"--count", "3"} << 0 << three << "1" << 2 << 0;
        QTest::newRow("one adapter, each module answering twice")
            << QStringList{"--count", "3", "--answer-twice"} << 1 << three << "2" << 2 << 0;
        QTest::newRow("nobody answers the first request")
            << QStringList{"--count", "3", "--ignore-first-search", "100"} << 0 << three << "1" << 3
            << 0;
        QTest::newRow("one address for every module")
            << QStringList{"--count", "3", "--same-ip"} << 0
            << QStringList{"10.77.0.10", "10.77.0.10", "10.77.0.10"} << "1" << 2 << 3;
    }
    void searchFillsTheTable()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(int, adapter);
        QFETCH(QStringList, addresses);
        QFETCH(QString, replies);
        QFETCH(int, requests);
        QFETCH(int, marked);
        SimProcess sim(simOptions);
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        Window w;
        QVERIFY2(w.search.session, qPrintable(w.search.unavailableText));
        QVERIFY(w.exposed);
        QVERIFY(w.tab().adapterBox()->count() >= 2);
        w.tab().adapterBox()->setCurrentIndex(adapter);

        // The window stays responsive: a 10 ms timer keeps ticking through the search.
        QTimer tick;
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QObject::connect(&tick, &QTimer::timeout,
                         [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        QSignalSpy finished(w.search.session.get(), &fleet::SearchSession::finished);
        sinceTick.start();
        tick.start(10);
        w.tab().tabActions().first()->trigger(); // Search
        QVERIFY(w.search.session->isRunning());
        QVERIFY(!w.tab().tabActions().first()->isEnabled());
        QVERIFY(finished.wait(10000));
        tick.stop();
        QVERIFY2(longestGap < 250, qPrintable(QString("event loop stalled %1 ms").arg(longestGap)));

        QCOMPARE(column(w.tab(), "ipAddress"), addresses);
        QCOMPARE(column(w.tab(), "replies"), QStringList(addresses.size(), replies));
        QCOMPARE(column(w.tab(), "from"), addresses);
        QCOMPARE(w.search.session->requests(), requests);
        QCOMPARE(w.tab().model()->markedCount(), marked);
        QVERIFY(w.tab().tabActions().first()->isEnabled());
        QVERIFY2(w.tab().statusLabel()->text().contains("Modules found: 3."),
                 qPrintable(w.tab().statusLabel()->text()));
    }

    // Through the tab as a technician works it: the address typed, the plan chosen (the record
    // beside it), Start; each module beeps and joins the list, the record holds each one
    // confirmed. Stopped after the first one and the window closed, a new window started on
    // the same plan goes on from the record.
    void commissionsModulesPluggedInOneAtATime_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QString>("stopAt");   // the status after which the first window stops
        QTest::addColumn<QStringList>("kept"); // the first window's record
        QTest::addColumn<QString>("expectedStatus");
        QTest::addColumn<QStringList>("record");

        const QStringList bench{"--count", "3",         "--bench",   "--bench-gap-ms",
                                "300",     "--gateway", "10.77.0.9", "--server-port",
                                "6003"};
        const QStringList three{"1031 confirmed", "1032 confirmed", "1033 confirmed"};
        QTest::newRow("one at a time")
            << bench << "" << QStringList{} << "Writing 1032 → 10.77.0.62" << three;
        QTest::newRow("two plugged in together")
            << bench + QStringList{"--bench-pair", "1", "--bench-pair-leave-ms", "2500"} << ""
            << QStringList{} << "Two modules answer at 10.77.0.10: leave only one connected"
            << three;
        QTest::newRow("stopped while waiting, closed and started again")
            << bench << "Confirmed" << QStringList{"1031 confirmed"} << "Writing 1033 → 10.77.0.63"
            << three;
        // The write under way is kept: the next window confirms it without writing again.
        QTest::newRow("stopped with a write out, closed and started again")
            << bench << "Writing 1032 → 10.77.0.62"
            << QStringList{"1031 confirmed", "1032 not confirmed"} << "Writing 1033 → 10.77.0.63"
            << QStringList{"1031 confirmed", "1032 not confirmed", "1032 confirmed",
                           "1033 confirmed"};
    }
    void commissionsModulesPluggedInOneAtATime()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QString, stopAt);
        QFETCH(QStringList, kept);
        QFETCH(QString, expectedStatus);
        QFETCH(QStringList, record);
        SimProcess sim(simOptions);
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        const QString plan = commissioningPlan(dir);
        QStringList statuses;
        int beeps = 0;
        int listed = 0;

        // Runs one window until its tab stops; true when every row got done.
        auto run = [&](const QString& stopEarly) {
            Window w;
            frota::CommissioningTab& tab = w.commissioning();
            fleet::CommissionTiming timing;
            timing.settleMs = 3000;
            tab.setTiming(timing, 300, 1500);
            tab.setBeep([&] { ++beeps; });
            QObject::connect(&tab, &frota::CommissioningTab::statusChanged, [&](const QString& s) {
                statuses << s;
                // As a click on Stop comes: from the event loop.
                if (s == stopEarly)
                    QTimer::singleShot(0, &tab, &frota::CommissioningTab::stop);
            });
            tab.addressEdit()->setText("10.77.0.10");
            tab.planEdit()->setText(plan);
            if (tab.recordEdit()->text() !=
                QDir::toNativeSeparators(dir.filePath("bench-record.json")))
                return false;
            QSignalSpy running(&tab, &frota::CommissioningTab::runningChanged);
            QTest::mouseClick(tab.startButton(), Qt::LeftButton);
            if (!tab.isRunning() || tab.statusLabel()->text() != "Connect the next module")
                return false;
            if (!QTest::qWaitFor([&] { return !tab.isRunning(); }, 30000))
                return false;
            listed += tab.model()->rowCount();
            return tab.statusLabel()->text() == "Every module is done";
        };
        if (!stopAt.isEmpty()) {
            QVERIFY(!run(stopAt));
            QCOMPARE(recordStatuses(dir.filePath("bench-record.json")), kept);
        }
        QVERIFY2(run(QString()), qPrintable(statuses.join('\n')));
        QVERIFY2(statuses.contains(expectedStatus), qPrintable(statuses.join('\n')));
        QCOMPARE(statuses.count("Confirmed"), 3);
        QCOMPARE(beeps, 3);
        QCOMPARE(listed, 3);
        QCOMPARE(recordStatuses(dir.filePath("bench-record.json")), record);
        // Each module was written once, even across the two windows.
        int writes = 0;
        for (const QString& l : sim.linesContaining(" recv from ").filter(" len 65: ")) {
            const QByteArray bytes = QByteArray::fromHex(l.section(": ", -1).toLatin1());
            writes += quint8(bytes.at(offset::opcode)) == writeOpcode;
        }
        QCOMPARE(writes, 3);

        // The report a technician hands over: the record opened in the Record tab and exported
        // as CSV and as PDF, each naming every module at its new address.
        Window report;
        frota::RecordTab& tab = report.record();
        QString error;
        QVERIFY2(tab.openRecord(dir.filePath("bench-record.json"), &error), qPrintable(error));
        tab.siteEdit()->setText(QString::fromUtf8("Subestação Norte"));
        tab.operatorEdit()->setText("Ana Souza");
        QVERIFY2(tab.exportCsv(dir.filePath("report.csv"), &error), qPrintable(error));
        QVERIFY2(tab.exportPdf(dir.filePath("report.pdf"), &error), qPrintable(error));
        QFile csv(dir.filePath("report.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray csvBytes = csv.readAll();
        QFile pdf(dir.filePath("report.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        // The PDF's text where poppler-utils can read it back (not under Wine).
        QByteArray pdfText;
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (!pdftotext.isEmpty()) {
            QProcess p;
            p.start(pdftotext, {"-layout", pdf.fileName(), "-"});
            QVERIFY(p.waitForFinished(20000));
            pdfText = p.readAllStandardOutput();
            QVERIFY2(pdfText.contains("Subestação Norte"), pdfText.constData());
            QVERIFY2(pdfText.contains("Ana Souza"), pdfText.constData());
        }
        for (const char* address : {"10.77.0.61", "10.77.0.62", "10.77.0.63"}) {
            QVERIFY2(csvBytes.contains(address), csvBytes.constData());
            QVERIFY2(pdftotext.isEmpty() || pdfText.contains(address), pdfText.constData());
        }
    }

    // A plan opened from its file, a cell mistyped in the table (refused: Apply sends nothing)
    // and put right, then Apply: each write reaches the module it was meant for, in a safe
    // order, each row shows its write's state, and the record the Record tab shows keeps
    // every module.
    void appliesAPlanEditedInTheTable_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("plan"); // serialNumber,ipAddress,serverPort
        QTest::addColumn<QString>("via");
        QTest::addColumn<bool>("skipMissing");
        QTest::addColumn<QString>("message");    // the start of the tab's status
        QTest::addColumn<QStringList>("writes"); // as writesReceived() shows them
        QTest::addColumn<QStringList>("states"); // the plan's row headers
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QStringList>("after"); // the modules a search finds then

        QTest::newRow("a shift of 3, each onto the next one's address")
            << 3
            << QByteArray("serialNumber,ipAddress,serverPort\n1031,10.77.0.11,7001\n"
                          "1032,10.77.0.12,7002\n1033,10.77.0.13,7003\n")
            << "" << false << "Writes confirmed: 3."
            << QStringList{"10.77.0.12>10.77.0.13 1033 7003", "10.77.0.11>10.77.0.12 1032 7002",
                           "10.77.0.10>10.77.0.11 1031 7001"}
            << QStringList{"2 · confirmed", "3 · confirmed", "4 · confirmed"}
            << QStringList{"1033 confirmed", "1032 confirmed", "1031 confirmed"}
            << QStringList{"1031 10.77.0.11 7001", "1032 10.77.0.12 7002", "1033 10.77.0.13 7003"};
        const QByteArray swap("serialNumber,ipAddress,serverPort\n1031,10.77.0.11,7001\n"
                              "1032,10.77.0.10,7002\n1033,,6004\n");
        QTest::newRow("a swap through the temporary address, one module unchanged")
            << 3 << swap << "10.77.0.200" << false << "Writes confirmed: 2."
            << QStringList{"10.77.0.10>10.77.0.200 1031 7001", "10.77.0.11>10.77.0.10 1032 7002",
                           "10.77.0.200>10.77.0.11 1031 7001"}
            << QStringList{"2 · confirmed", "3 · confirmed", "4 · no change"}
            << QStringList{"1033 skipped", "1031 confirmed", "1032 confirmed"}
            << QStringList{"1031 10.77.0.11 7001", "1032 10.77.0.10 7002", "1033 10.77.0.12 6004"};
        QTest::newRow("a swap without a temporary address is refused")
            << 3 << swap << "" << false
            << "the modules with serial numbers 1031, 1032 (row 2, row 3) move onto one "
               "another's addresses in a cycle"
            << QStringList{} << QStringList{"2", "3", "4"} << QStringList{}
            << QStringList{"1031 10.77.0.10 6004", "1032 10.77.0.11 6004", "1033 10.77.0.12 6004"};
        QTest::newRow("a module that does not answer is skipped")
            << 2
            << QByteArray("serialNumber,ipAddress,serverPort\n1031,,7001\n4242,,7003\n"
                          "1032,10.77.0.60,7002\n")
            << "" << true << "row 3: no module with serial number 4242 answered\nThese rows"
            << QStringList{"10.77.0.10>10.77.0.10 1031 7001", "10.77.0.11>10.77.0.60 1032 7002"}
            << QStringList{"2 · confirmed", "3 · skipped", "4 · confirmed"}
            << QStringList{"4242 skipped", "1031 confirmed", "1032 confirmed"}
            << QStringList{"1031 10.77.0.10 7001", "1032 10.77.0.60 7002"};
    }
    void appliesAPlanEditedInTheTable()
    {
        QFETCH(int, count);
        QFETCH(QByteArray, plan);
        QFETCH(QString, via);
        QFETCH(bool, skipMissing);
        QFETCH(QString, message);
        QFETCH(QStringList, writes);
        QFETCH(QStringList, states);
        QFETCH(QStringList, record);
        QFETCH(QStringList, after);
        SimProcess sim(fleetOptions + QStringList{"--count", QString::number(count)});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        const QString planPath = dir.filePath("plan.csv");
        QVERIFY(duva::test::writeFile(planPath, plan));
        const QString recordPath = dir.filePath("record.json");
        Window w;
        QVERIFY2(w.search.session, qPrintable(w.search.unavailableText));
        w.record().setNewRecordChooser([&] { return recordPath; });
        frota::PlanTab& tab = w.plan();
        QString error;
        QVERIFY2(tab.openFile(planPath, &error), qPrintable(error));

        // A port mistyped: refused at once, and Apply sends nothing.
        const QModelIndex port = tab.model()->index(0, planColumn("serverPort"));
        QVERIFY(tab.model()->setData(port, "70001"));
        QCOMPARE(tab.model()->refusals().size(), 1);
        QTest::mouseClick(tab.applyButton(), Qt::LeftButton);
        QVERIFY2(tab.statusLabel()->text().startsWith("Cells that would be refused: 1."),
                 qPrintable(tab.statusLabel()->text()));
        QVERIFY(tab.model()->setData(port, "7001"));
        QVERIFY(tab.model()->refusals().isEmpty());

        tab.viaEdit()->setText(via);
        tab.skipMissingBox()->setChecked(skipMissing);
        // The window stays responsive, and nothing else that sends can start meanwhile.
        QTimer tick;
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        bool othersOff = true;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, sinceTick.restart());
            othersOff = othersOff && !w.tab().tabActions().first()->isEnabled() &&
                        !w.commissioning().startButton()->isEnabled() &&
                        !w.record().undoAction()->isEnabled() && !tab.applyButton()->isEnabled();
        });
        sinceTick.start();
        tick.start(10);
        QTest::mouseClick(tab.applyButton(), Qt::LeftButton);
        tick.stop();
        QVERIFY2(longestGap < 250, qPrintable(QString("event loop stalled %1 ms").arg(longestGap)));
        QVERIFY(othersOff);
        QVERIFY(tab.applyButton()->isEnabled());
        QVERIFY2(tab.statusLabel()->text().contains(message),
                 qPrintable(tab.statusLabel()->text()));
        QTest::qWait(200);
        QTRY_COMPARE(writesReceived(sim), writes);
        QCOMPARE(rowHeaders(*tab.model()), states);
        QCOMPARE(recordStatuses(recordPath), record);
        if (!record.isEmpty())
            QCOMPARE(w.record().model()->rowCount(), record.size());
        // Every serial number survives, every other field as the fleet had it.
        QCOMPARE(w.searchModules(), after);
        for (int row = 0; row < w.tab().model()->rowCount(); ++row)
            QCOMPARE(w.tab().model()->modules()[row].record.serverHost(), QString("h.duva"));
    }

    // Cancel during a swap, as soon as its first write is out (1031 to the temporary address):
    // nothing more goes, not even the rest of that round (1032 onto 1031's address), the tab
    // says which writes went out, and the record keeps both modules.
    void cancelStopsBeforeTheNextWrite()
    {
        SimProcess sim(fleetOptions + QStringList{"--count", "2"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        const QString planPath = dir.filePath("swap.csv");
        QVERIFY(duva::test::writeFile(planPath, "serialNumber,ipAddress\n1031,10.77.0.11\n"
                                                "1032,10.77.0.10\n"));
        const QString recordPath = dir.filePath("record.csv");
        Window w;
        QVERIFY2(w.search.session, qPrintable(w.search.unavailableText));
        w.record().setNewRecordChooser([&] { return recordPath; });
        frota::PlanTab& tab = w.plan();
        QString error;
        QVERIFY2(tab.openFile(planPath, &error), qPrintable(error));
        tab.viaEdit()->setText("10.77.0.200");
        // As a click on Cancel comes: from the event loop, once the first write is out.
        QObject::connect(
            w.window->writeRun(), &frota::WriteRun::stateChanged, [&](int, frota::WriteState s) {
                if (s == frota::WriteState::Written)
                    QTimer::singleShot(0, tab.progress()->cancelButton(), &QPushButton::click);
            });
        QTest::mouseClick(tab.applyButton(), Qt::LeftButton);
        QTest::qWait(200);
        // The second write of the round is not sent: 1031 waits at the temporary address and
        // 1032 keeps its own.
        QTRY_COMPARE(writesReceived(sim), (QStringList{"10.77.0.10>10.77.0.200 1031 6004"}));
        QCOMPARE(tab.statusLabel()->text(),
                 QString("Cancelled: 1 of 2 writes went out (serial numbers 1031); not "
                         "confirmed: 1031."));
        QCOMPARE(rowHeaders(*tab.model()), (QStringList{"2 · not confirmed", "3 · skipped"}));
        QVERIFY(!tab.progress()->cancelButton()->isEnabled());
        QCOMPARE(w.record().model()->rowCount(), 2);
        QCOMPARE(w.record().model()->entries()[0].status, fleet::EntryStatus::NotConfirmed);
        QCOMPARE(w.record().model()->entries()[1].status, fleet::EntryStatus::Skipped);
    }

    // A plan applied, then "Undo" on the Record tab: the confirmation lists each change, and
    // once accepted every module holds its earlier record again, byte for byte. Declined, or
    // refused (the record would put two modules on one address), nothing is sent.
    void undoesARecord_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("breakRecord"); // 1031's earlier address made 1033's
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("confirmation"); // lines the question holds
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QStringList>("states"); // the record's row headers

        const QStringList changes{"1031, ipAddress: 10.77.0.20 → 10.77.0.10",
                                  "1031, serverPort: 7001 → 6004", "1032, serverPort: 7002 → 6004"};
        QTest::newRow("accepted") << true << false << "Writes confirmed: 2." << changes
                                  << QStringList{"1031 confirmed", "1032 confirmed",
                                                 "1031 confirmed", "1032 confirmed"}
                                  << QStringList{"1 · confirmed", "2 · confirmed", "3", "4"};
        QTest::newRow("declined") << false << false << "Nothing was written." << changes
                                  << QStringList{"1031 confirmed", "1032 confirmed"}
                                  << QStringList{"1", "2"};
        QTest::newRow("two modules on one address")
            << true << true << "" << QStringList{}
            << QStringList{"1031 confirmed", "1032 confirmed"} << QStringList{"1", "2"};
    }
    void undoesARecord()
    {
        QFETCH(bool, accept);
        QFETCH(bool, breakRecord);
        QFETCH(QString, message);
        QFETCH(QStringList, confirmation);
        QFETCH(QStringList, record);
        QFETCH(QStringList, states);
        SimProcess sim(fleetOptions + QStringList{"--count", "3"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        QTemporaryDir dir;
        const QString planPath = dir.filePath("plan.csv");
        QVERIFY(duva::test::writeFile(planPath, "serialNumber,ipAddress,serverPort\n"
                                                "1031,10.77.0.11,7001\n1032,,7002\n"));
        const QString recordPath = dir.filePath("record.json");
        Window w;
        QVERIFY2(w.search.session, qPrintable(w.search.unavailableText));
        QList<QByteArray> before;
        QCOMPARE(w.searchModules(&before).size(), 3);
        // 1031 moves first: .11 is free then.
        QVERIFY(duva::test::writeFile(planPath, "serialNumber,ipAddress,serverPort\n"
                                                "1031,10.77.0.20,7001\n1032,,7002\n"));
        w.record().setNewRecordChooser([&] { return recordPath; });
        QString error;
        QVERIFY2(w.plan().openFile(planPath, &error), qPrintable(error));
        QTest::mouseClick(w.plan().applyButton(), Qt::LeftButton);
        QVERIFY2(w.plan().statusLabel()->text() == "Writes confirmed: 2.",
                 qPrintable(w.plan().statusLabel()->text()));
        if (breakRecord) {
            // The record says 1031 was at .12, where 1033 answers.
            QList<fleet::RecordEntry> entries = fleet::readRecord(recordPath).entries;
            QByteArray bytes = entries[0].before->bytes();
            bytes[offset::ipAddress + 3] = char(12);
            entries[0].before = ModuleRecord::fromBytes(bytes);
            QVERIFY(duva::test::writeFile(recordPath,
                                          fleet::recordText(entries, fleet::RecordFormat::Json)));
            QVERIFY(w.record().openRecord(recordPath, &error));
        }
        // The apply's two writes, once the simulator's log has them (it comes through a pipe,
        // and later still through the launcher under Wine).
        QTRY_COMPARE(writesReceived(sim).size(), 2);
        const int writesBefore = 2;

        QString asked;
        w.record().setConfirm([&](const QString& text) {
            asked = text;
            return accept;
        });
        QTest::mouseClick(buttonOf(w.record(), w.record().undoAction()), Qt::LeftButton);
        const QString status = w.record().statusLabel()->text();
        if (breakRecord)
            QVERIFY2(status.contains("10.77.0.12") && status.endsWith("Nothing was written."),
                     qPrintable(status));
        else
            QVERIFY2(status.startsWith(message), qPrintable(status));
        for (const QString& line : confirmation)
            QVERIFY2(asked.split('\n').contains(line), qPrintable(asked));
        QTest::qWait(200);
        QCOMPARE(recordStatuses(recordPath), record);
        QCOMPARE(rowHeaders(*w.record().model()), states);
        if (!accept || breakRecord) {
            QCOMPARE(writesReceived(sim).size(), writesBefore);
            return;
        }
        QTRY_COMPARE(
            writesReceived(sim).mid(writesBefore),
            (QStringList{"10.77.0.20>10.77.0.10 1031 6004", "10.77.0.11>10.77.0.11 1032 6004"}));
        QList<QByteArray> now;
        QCOMPARE(w.searchModules(&now).size(), 3);
        QCOMPARE(now, before);
    }

    void aSecondProgramIsToldWhichPortIsTaken()
    {
        Window first;
        QVERIFY2(first.search.session, qPrintable(first.search.unavailableText));
        Window second;
        QVERIFY(!second.search.session);
        const QString text = second.tab().statusLabel()->text();
        QVERIFY2(text.contains("5001") && text.contains("duvactl"), qPrintable(text));
        QVERIFY(!second.tab().tabActions().first()->isEnabled());
        QVERIFY(!second.commissioning().startButton()->isEnabled());
        QVERIFY(second.commissioning().detailLabel()->text().contains("5001"));
    }
};

QTEST_MAIN(TestFrotaNetwork)
#include "tst_frota_network.moc"
