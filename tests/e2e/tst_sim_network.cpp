// duva-sim in the test network, seen from the configurator's side: broadcast searches,
// writes to a module's own address, resets on port 69 and broken answers.

#include "net/udpendpoint.h"
#include "protocol/datagrams.h"
#include "simprocess.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QSet>
#include <QtTest>
#include <functional>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace duva;
using duva::test::SimProcess;

namespace
{

struct Received {
    QByteArray bytes;
    QString from;
};

// The configurator's side of the exchange: a socket on port 5001 that may broadcast.
class ConfiguratorSocket
{
public:
    ConfiguratorSocket() : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        const int on = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(5001);
        m_bound = ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~ConfiguratorSocket() { ::close(m_fd); }
    ConfiguratorSocket(const ConfiguratorSocket&) = delete;
    ConfiguratorSocket& operator=(const ConfiguratorSocket&) = delete;

    bool isBound() const { return m_bound; }

    bool send(const QByteArray& bytes, const char* address, int port)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        ::inet_pton(AF_INET, address, &a.sin_addr);
        a.sin_port = htons(quint16(port));
        return ::sendto(m_fd, bytes.constData(), size_t(bytes.size()), 0,
                        reinterpret_cast<sockaddr*>(&a), sizeof a) == bytes.size();
    }

    // What arrives until `expected` datagrams have, or until timeoutMs, and then for
    // graceMs more so that surplus datagrams are seen too.
    QList<Received> receive(int expected, int timeoutMs = 3000, int graceMs = 200)
    {
        QList<Received> received;
        QElapsedTimer clock;
        clock.start();
        qint64 end = timeoutMs;
        while (clock.elapsed() < end) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, int(end - clock.elapsed())) <= 0)
                continue;
            char buffer[5000];
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t n = ::recvfrom(m_fd, buffer, sizeof buffer, 0,
                                         reinterpret_cast<sockaddr*>(&from), &length);
            if (n < 0)
                continue;
            char text[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
            received << Received{QByteArray(buffer, int(n)), QString::fromLatin1(text)};
            if (received.size() == expected)
                end = std::min<qint64>(end, clock.elapsed() + graceMs);
        }
        return received;
    }

private:
    int m_fd;
    bool m_bound = false;
};

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
    void initTestCase();
    void everyModuleAnswersABroadcastSearch_data();
    void everyModuleAnswersABroadcastSearch();
    void writeChangesWhatTheAddressedModuleAnswers();
    void resetOnPort69RestoresEveryModule();
    void wrongLengthAnswersKeepTheirLength_data();
    void wrongLengthAnswersKeepTheirLength();
    void endpointReceivesEveryAnswer();
};

void TestSimNetwork::initTestCase()
{
    DUVA_REQUIRE_TEST_NETWORK();
}

void TestSimNetwork::everyModuleAnswersABroadcastSearch_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("3 modules") << 3;
    QTest::newRow("100 modules at once") << 100;
}

void TestSimNetwork::everyModuleAnswersABroadcastSearch()
{
    QFETCH(int, count);
    SimProcess sim({"--count", QString::number(count)});
    QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
    ConfiguratorSocket socket;
    QVERIFY(socket.isBound());

    QVERIFY(socket.send(SearchRequest::build(), "10.77.0.255", modulePort));
    const QList<Received> answers = socket.receive(count);
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

void TestSimNetwork::writeChangesWhatTheAddressedModuleAnswers()
{
    SimProcess sim({"--count", "3"});
    QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
    ConfiguratorSocket socket;
    QVERIFY(socket.send(SearchRequest::build(), "10.77.0.255", modulePort));
    const QList<Received> before = socket.receive(3);
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

    QVERIFY(socket.send(SearchRequest::build(), "10.77.0.255", modulePort));
    QList<Received> after = socket.receive(3);
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
    QVERIFY(sim.waitForLines(QRegularExpression("note write: module 2 \\(10\\.77\\.0\\.200\\)")));
}

void TestSimNetwork::resetOnPort69RestoresEveryModule()
{
    SimProcess sim({"--count", "2"});
    QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
    ConfiguratorSocket socket;
    QVERIFY(socket.send(SearchRequest::build(), "10.77.0.255", modulePort));
    const QList<Received> before = socket.receive(2);
    QCOMPARE(before.size(), 2);
    QVERIFY(socket.send(writeFrom(before[0].bytes, [](QByteArray& r) { r[3] = 99; }), "10.77.0.10",
                        modulePort));
    QVERIFY(sim.waitForLines(QRegularExpression("note write: ")));

    QVERIFY(socket.send(ResetDatagram::build(), "10.77.0.255", resetPort));
    QVERIFY(sim.waitForLines(QRegularExpression("note reset: ")));
    QVERIFY(socket.send(SearchRequest::build(), "10.77.0.255", modulePort));
    const QList<Received> after = socket.receive(2);
    QCOMPARE(after.size(), 2);
    QCOMPARE(after[0].bytes, before[0].bytes);
}

void TestSimNetwork::wrongLengthAnswersKeepTheirLength_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("63") << 63;
    QTest::newRow("65") << 65;
    QTest::newRow("0") << 0;
}

void TestSimNetwork::wrongLengthAnswersKeepTheirLength()
{
    QFETCH(int, length);
    SimProcess sim({"--count", "2", "--wrong-length", QString::number(length), "--answer-twice"});
    QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));
    ConfiguratorSocket socket;
    QVERIFY(socket.send(SearchRequest::build(), "10.77.0.255", modulePort));
    const QList<Received> answers = socket.receive(4);
    QCOMPARE(answers.size(), 4);
    for (const Received& answer : answers)
        QCOMPARE(answer.bytes.size(), length);
}

// The configurator's own endpoint, driven by its event loop, takes in a whole fleet's
// answers, one notification each.
void TestSimNetwork::endpointReceivesEveryAnswer()
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

QTEST_GUILESS_MAIN(TestSimNetwork)
#include "tst_sim_network.moc"
