// duva-sim in the test network, seen from the configurator's side: broadcast searches,
// writes to a module's own address, resets on port 69 and broken answers.

#include "net/udpendpoint.h"
#include "protocol/datagrams.h"
#include "simprocess.h"
#include "testsupport.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QSet>
#include <QtTest>
#include <functional>

using namespace duva;
using duva::test::SimProcess;

namespace
{

using Socket = duva::test::RawUdpSocket;
using Received = Socket::Datagram;

// The configurator's side of the exchange: a socket on port 5001 that may broadcast.
Socket configuratorSocket()
{
    return Socket("0.0.0.0", 5001, true);
}

// Broadcasts a search and returns what arrives until `count` answers have, and a little
// longer so that surplus answers show.
QList<Received> search(const Socket& socket, int count)
{
    if (!socket.send(SearchRequest::build(), "10.77.0.255", modulePort))
        return {};
    return socket.receive(count, 3000, 200);
}

QString addressOf(const QByteArray& record)
{
    const auto parsed = ModuleRecord::fromBytes(record);
    return parsed ? parsed->ipAddressText() : QString();
}

// A write that gives a module the record it answered with, changed by `change`.
QByteArray writeFrom(QByteArray record, const std::function<void(QByteArray&)>& change)
{
    change(record);
    record[offset::opcode] = char(writeOpcode);
    return record + char(requestTrailer);
}

} // namespace

class TestSimNetwork : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { DUVA_REQUIRE_TEST_NETWORK(); }

    void everyModuleAnswersABroadcastSearch_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("3 modules") << 3;
        QTest::newRow("100 modules at once") << 100;
    }

    void everyModuleAnswersABroadcastSearch()
    {
        QFETCH(int, count);
        SimProcess sim({"--count", QString::number(count)});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const Socket socket = configuratorSocket();
        QVERIFY(socket.isBound());

        const QList<Received> answers = search(socket, count);
        QCOMPARE(answers.size(), count);
        QSet<QString> addresses;
        for (const Received& answer : answers) {
            QCOMPARE(answer.bytes.size(), recordSize);
            // Each module answers from its own address, which its record holds.
            QCOMPARE(answer.from, addressOf(answer.bytes));
            addresses << answer.from;
        }
        QCOMPARE(addresses.size(), count);
        QVERIFY(addresses.contains("10.77.0.10"));
        QVERIFY(addresses.contains(QString("10.77.0.%1").arg(9 + count)));
        // The simulator saw the broadcast as such.
        QVERIFY(sim.waitForLines(QRegularExpression(" recv from 10\\.77\\.0\\.1:5001 to "
                                                    "10\\.77\\.0\\.255:1461 len 65: ")));
    }

    void writeChangesWhatTheAddressedModuleAnswers()
    {
        SimProcess sim({"--count", "3"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const Socket socket = configuratorSocket();
        const QList<Received> before = search(socket, 3);
        QCOMPARE(before.size(), 3);

        const auto moveTo = [&](char lastOctet) {
            return writeFrom(before[1].bytes, [&](QByteArray& r) {
                r[3] = lastOctet;
                r[offset::clientMode] = 0;
                r.replace(offset::serverHost, 13, "novo.servidor");
            });
        };
        QVERIFY(socket.send(moveTo(char(200)), qPrintable(before[1].from), modulePort));
        QVERIFY(sim.waitForLines(QRegularExpression("note write: module 2 ")));

        QList<Received> after = search(socket, 3);
        QCOMPARE(after.size(), 3);
        QStringList addresses;
        for (const Received& r : after)
            addresses << addressOf(r.bytes);
        QCOMPARE(addresses, (QStringList{"10.77.0.10", "10.77.0.200", "10.77.0.12"}));
        const auto changed = ModuleRecord::fromBytes(after[1].bytes).value();
        QCOMPARE(changed.serverHost(), QString("novo.servidor"));
        QCOMPARE(changed.clientMode(), std::optional<bool>(false));
        QCOMPARE(after[1].from, QString("10.77.0.200"));
        QCOMPARE(after[0].bytes, before[0].bytes);

        // It is now reached at its new address only.
        QVERIFY(socket.send(moveTo(char(200)), qPrintable(before[1].from), modulePort));
        QVERIFY(sim.waitForLines(QRegularExpression("ignored: write to 10\\.77\\.0\\.11,")));
        QVERIFY(socket.send(moveTo(11), "10.77.0.200", modulePort));
        QVERIFY(
            sim.waitForLines(QRegularExpression("note write: module 2 \\(10\\.77\\.0\\.200\\)")));
    }

    void resetOnPort69RestoresEveryModule()
    {
        SimProcess sim({"--count", "2"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const Socket socket = configuratorSocket();
        const QList<Received> before = search(socket, 2);
        QCOMPARE(before.size(), 2);
        QVERIFY(socket.send(writeFrom(before[0].bytes, [](QByteArray& r) { r[3] = 99; }),
                            "10.77.0.10", modulePort));
        QVERIFY(sim.waitForLines(QRegularExpression("note write: ")));

        QVERIFY(socket.send(ResetDatagram::build(), "10.77.0.255", resetPort));
        QVERIFY(sim.waitForLines(QRegularExpression("note reset: ")));
        const QList<Received> after = search(socket, 2);
        QCOMPARE(after.size(), 2);
        QCOMPARE(after[0].bytes, before[0].bytes);
    }

    void wrongLengthAnswersKeepTheirLength_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("63") << 63;
        QTest::newRow("65") << 65;
        QTest::newRow("0") << 0;
    }

    void wrongLengthAnswersKeepTheirLength()
    {
        QFETCH(int, length);
        SimProcess sim(
            {"--count", "2", "--wrong-length", QString::number(length), "--answer-twice"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        const Socket socket = configuratorSocket();
        const QList<Received> answers = search(socket, 4);
        QCOMPARE(answers.size(), 4);
        for (const Received& answer : answers)
            QCOMPARE(answer.bytes.size(), length);
    }

    // The configurator's own endpoint, driven by its event loop, takes in a whole fleet's
    // answers, one notification each.
    void endpointReceivesEveryAnswer()
    {
        SimProcess sim({"--count", "50", "--jitter-ms", "20"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
        UdpEndpoint endpoint;
        endpoint.setHostResolver(
            [](const QString&, QObject*, std::function<void(std::optional<quint32>)> done) {
                done(std::nullopt); // dotted addresses only: no name server is asked
            });
        endpoint.setLocalPort(5001);
        QVERIFY(endpoint.isBound());
        QSet<QString> addresses;
        int wrong = 0;
        endpoint.setOnDataReceived([&](UdpEndpoint& sender, int, const QString&, int) {
            char buffer[UdpEndpoint::bufferSize];
            const int n = sender.copyReceived(buffer, sizeof buffer);
            if (n == recordSize)
                addresses << addressOf(QByteArray(buffer, n));
            else
                ++wrong;
        });
        endpoint.setRemoteHost("10.77.0.255");
        endpoint.setRemotePort(modulePort);
        QByteArray request = SearchRequest::build();
        QBuffer stream(&request);
        stream.open(QIODevice::ReadOnly);
        endpoint.sendDatagram(stream);
        QTRY_COMPARE_WITH_TIMEOUT(addresses.size(), 50, 5000);
        QCOMPARE(wrong, 0);
    }
};

QTEST_GUILESS_MAIN(TestSimNetwork)
#include "tst_sim_network.moc"
