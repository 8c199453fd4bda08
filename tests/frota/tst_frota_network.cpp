// The fleet window against duva-sim in the test network, offscreen: a search fills the
// table while the window's event loop keeps running, asks again when nobody answered, marks
// modules that share an address, and a second program on the reply port is told which port
// is taken. The Commissioning tab commissions a bench of modules plugged in one at a time,
// and goes on from its record after the window was closed.

#include "fleet/replyendpoint.h"
#include "frota/commissioningmodel.h"
#include "frota/commissioningtab.h"
#include "frota/mainwindow.h"
#include "frota/modulesmodel.h"
#include "frota/modulestab.h"
#include "frota/searchsetup.h"
#include "simprocess.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTimer>
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
        window->show();
        // On screen before anything is clicked, as a technician finds it: its first paint
        // (slow under Wine) is no part of what the tests time.
        exposed = QTest::qWaitForWindowExposed(window.get());
    }
    frota::ModulesTab& tab() const { return *window->modulesTab(); }
    frota::CommissioningTab& commissioning() const { return *window->commissioningTab(); }
};

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
