// The search's rounds and the count of dropped replies, against simulated fleets answering on
// loopback (run isolated: the fleet holds the modules' port on 127.0.0.1).

#include "fleet/search.h"
#include "net/udpendpoint.h"
#include "protocol/confirmation.h"
#include "tools/sim/fleet.h"
#include "tools/sim/options.h"

#include <QUdpSocket>
#include <QtTest>

using namespace duva;
using namespace duva::fleet;

namespace
{

// duva-sim's fleet behind a socket on 127.0.0.1:1461, answering every request at once.
class LoopbackFleet
{
public:
    LoopbackFleet(int count, int ignoreFirstSearchPercent)
    {
        sim::Config config;
        config.count = count;
        config.faults.ignoreFirstSearchPercent = ignoreFirstSearchPercent;
        m_fleet = std::make_unique<sim::Fleet>(sim::initialRecords(config), config.faults);
        m_bound = m_socket.bind(QHostAddress::LocalHost, modulePort);
        QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] {
            while (m_socket.hasPendingDatagrams()) {
                QHostAddress from;
                quint16 port = 0;
                QByteArray datagram(int(m_socket.pendingDatagramSize()), '\0');
                m_socket.readDatagram(datagram.data(), datagram.size(), &from, &port);
                ++requests;
                const sim::Outcome outcome =
                    m_fleet->handle(datagram, sim::Channel::Search, 0xFFFFFFFF);
                for (const sim::Answer& a : outcome.answers)
                    m_socket.writeDatagram(a.bytes, from, port);
            }
        });
    }
    bool isBound() const { return m_bound; }
    int requests = 0;

private:
    std::unique_ptr<sim::Fleet> m_fleet;
    QUdpSocket m_socket;
    bool m_bound = false;
};

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT
private slots:
    void roundsAndDrops_data()
    {
        QTest::addColumn<int>("modules"); // 0: none answers
        QTest::addColumn<int>("ignoreFirst");
        QTest::addColumn<int>("wantedSerial"); // -1: none
        QTest::addColumn<bool>("untilWanted");
        QTest::addColumn<int>("receiveBuffer"); // 0: the window's endpoint
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("listed"); // -1: some, not all

        QTest::newRow("all at the first request: the second finds nothing new")
            << 5 << 0 << -1 << false << 0 << 2 << 5;
        QTest::newRow("half at the first: asked until a round brings nothing new")
            << 6 << 50 << -1 << false << 0 << 3 << 6;
        QTest::newRow("nobody: three requests") << 0 << 0 << -1 << false << 0 << 3 << 0;
        QTest::newRow("a wanted module that never answers: three requests")
            << 3 << 0 << 9999 << false << 0 << 3 << 3;
        QTest::newRow("until the wanted one answered: no further request")
            << 4 << 0 << 1034 << true << 0 << 1 << 4;
        QTest::newRow("until it answered, past three requests")
            << 4 << 100 << 9999 << true << 0 << -1 << 4;
        QTest::newRow("a burst into a tiny buffer: the drops are counted")
            << 200 << 0 << -1 << false << 1 << -1 << -1;
    }

    void roundsAndDrops()
    {
        QFETCH(int, modules);
        QFETCH(int, ignoreFirst);
        QFETCH(int, wantedSerial);
        QFETCH(bool, untilWanted);
        QFETCH(int, receiveBuffer);
        QFETCH(int, requests);
        QFETCH(int, listed);
        std::unique_ptr<LoopbackFleet> fleet;
        if (modules > 0) {
            fleet = std::make_unique<LoopbackFleet>(modules, ignoreFirst);
            QVERIFY(fleet->isBound());
        }
        UdpEndpoint endpoint;
        endpoint.setLocalPort(0);
        if (receiveBuffer)
            endpoint.readBursts(receiveBuffer);
        Search search(endpoint, SearchTargets{{Ipv4Address(127, 0, 0, 1)}, {}},
                      SearchTiming{60, 600, 3});
        Search::Wanted wanted;
        if (wantedSerial >= 0)
            wanted = [wantedSerial](const QList<FoundModule>& found) {
                return std::any_of(found.begin(), found.end(), [&](const FoundModule& m) {
                    return moduleIdentity(m.record) == wantedSerial;
                });
            };

        const QList<FoundModule> found = search.run(wanted, untilWanted);
        if (listed >= 0)
            QCOMPARE(found.size(), listed);
        if (requests >= 0) {
            QCOMPARE(search.requests(), requests);
        } else if (untilWanted) {
            // Requests go on until the total wait ends.
            QVERIFY2(search.requests() > 3, qPrintable(QString::number(search.requests())));
        }
        if (fleet)
            QCOMPARE(fleet->requests, search.requests());
        if (!receiveBuffer) {
            QCOMPARE(search.dropped().has_value(), false);
        } else if (QSysInfo::kernelType() == QLatin1String("linux")) {
            QVERIFY(found.size() < modules);
            QVERIFY(search.dropped().value_or(0) > 0);
            QVERIFY(search.dropped().value_or(0) <= qint64(modules) * search.requests());
        }
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_fleetsearch.moc"
