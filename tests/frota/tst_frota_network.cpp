// The fleet window against duva-sim in the test network, offscreen: a search fills the
// table while the window's event loop keeps running, asks again when nobody answered, marks
// modules that share an address, and a second program on the reply port is told which port
// is taken.

#include "fleet/replyendpoint.h"
#include "frota/mainwindow.h"
#include "frota/modulesmodel.h"
#include "frota/modulestab.h"
#include "frota/searchsetup.h"
#include "simprocess.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
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

    Window()
    {
        frota::WindowParts parts;
        parts.adapters = runningIPv4Interfaces();
        parts.session = search.session.get();
        parts.unavailableText = search.unavailableText;
        if (search.session)
            search.session->setTiming(quick);
        window = std::make_unique<frota::MainWindow>(parts);
        window->show();
    }
    frota::ModulesTab& tab() const { return *window->modulesTab(); }
};

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

    void aSecondProgramIsToldWhichPortIsTaken()
    {
        Window first;
        QVERIFY2(first.search.session, qPrintable(first.search.unavailableText));
        Window second;
        QVERIFY(!second.search.session);
        const QString text = second.tab().statusLabel()->text();
        QVERIFY2(text.contains("5001") && text.contains("duvactl"), qPrintable(text));
        QVERIFY(!second.tab().tabActions().first()->isEnabled());
    }
};

QTEST_MAIN(TestFrotaNetwork)
#include "tst_frota_network.moc"
