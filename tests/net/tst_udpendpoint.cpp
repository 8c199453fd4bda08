// The endpoint against real sockets, on loopback only, with ephemeral ports wherever the
// port itself is not what is tested. Name look-ups go through fake resolvers.

#include "net/udpendpoint.h"
#include "testsupport.h"

#include <QBuffer>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <cerrno>

using namespace duva;

namespace
{

// The platform's own numbers for a port in use and a network that cannot be reached (Windows
// Sockets: WSAEADDRINUSE, WSAENETUNREACH).
#ifdef Q_OS_WIN
constexpr int addressInUse = 10048;
constexpr int networkUnreachable = 10051;
#else
constexpr int addressInUse = EADDRINUSE;
constexpr int networkUnreachable = ENETUNREACH;
#endif
const QString addressInUseText = QStringLiteral("Unknown Error No. %1").arg(addressInUse);
constexpr int wouldBlock = UdpEndpoint::wouldBlock;

const quint32 loopback = 0x7F000001;
using Answers = QList<std::optional<quint32>>;

using Peer = duva::test::RawUdpSocket;

// Answers look-ups from a script, asynchronously so that the endpoint must pump events.
// A missing answer is a failed look-up.
struct FakeResolver {
    QList<std::optional<quint32>> answers;
    QStringList names;

    UdpEndpoint::HostResolver function()
    {
        return [this](const QString& name, QObject* context,
                      std::function<void(std::optional<quint32>)> done) {
            const std::optional<quint32> answer =
                names.size() < answers.size() ? answers.at(names.size()) : std::nullopt;
            names << name;
            QTimer::singleShot(0, context, [done, answer] { done(answer); });
        };
    }
};

struct Raised {
    bool thrown = false;
    bool sockError = false;
    QString message;
};

template <typename F> Raised capture(F&& operation)
{
    try {
        operation();
    } catch (const UDPSockError& e) {
        return {true, true, e.message()};
    } catch (const Exception& e) {
        return {true, false, e.message()};
    }
    return {};
}

// What the window does: write the bytes into a fresh stream, leaving it positioned at the end.
Raised send(UdpEndpoint& endpoint, const QByteArray& payload)
{
    QByteArray storage;
    QBuffer stream(&storage);
    stream.open(QIODevice::ReadWrite);
    stream.write(payload);
    return capture([&] { endpoint.sendDatagram(stream); });
}

QByteArray pattern(int size)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>(i * 7 + 3);
    return data;
}

} // namespace

Q_DECLARE_METATYPE(Answers)

class UdpEndpointTest : public QObject
{
    Q_OBJECT
private slots:
    void sendsToDestination_data()
    {
        QTest::addColumn<int>("listenPort"); // 0: ephemeral
        QTest::addColumn<int>("portOffset"); // added to the listening port for RemotePort

        QTest::newRow("ephemeral") << 0 << 0;
        QTest::newRow("module port 1461 (0x05 0xB5)") << 1461 << 0;
        QTest::newRow("70000 is 4464 on the wire") << 4464 << 65536;
        QTest::newRow("only the low 16 bits") << 0 << 3 * 65536;
    }

    void sendsToDestination()
    {
        QFETCH(int, listenPort);
        QFETCH(int, portOffset);
        Peer peer("127.0.0.1", quint16(listenPort));
        if (!peer.isBound())
            QSKIP("port in use here");

        UdpEndpoint endpoint;
        endpoint.setLocalPort(0);
        FakeResolver resolver;
        endpoint.setHostResolver(resolver.function());
        int sent = 0;
        endpoint.setOnDataSend([&](UdpEndpoint& sender) {
            QCOMPARE(&sender, &endpoint);
            ++sent;
        });
        endpoint.setRemoteHost("127.0.0.1");
        endpoint.setRemotePort(peer.port() + portOffset);

        // A dotted address needs no look-up, so nothing else may run during the send.
        bool eventRan = false;
        QObject context;
        QTimer::singleShot(0, &context, [&] { eventRan = true; });
        const QByteArray payload = pattern(65);
        QVERIFY(!send(endpoint, payload).thrown);
        QVERIFY(!eventRan);
        QCOMPARE(sent, 1);
        QVERIFY(resolver.names.isEmpty());

        quint16 fromPort = 0;
        QCOMPARE(peer.next(2000, &fromPort), payload);
        QCOMPARE(fromPort, endpoint.boundPort());
    }

    void streamRules_data()
    {
        QTest::addColumn<QByteArray>("initial");
        QTest::addColumn<bool>("withHandler");
        QTest::addColumn<QByteArray>("fill");
        QTest::addColumn<bool>("setHandled");
        QTest::addColumn<bool>("expectSent");

        const QByteArray none;
        QTest::newRow("empty, no handler") << none << false << none << false << false;
        QTest::newRow("handler fills and handles") << none << true << pattern(65) << true << true;
        QTest::newRow("handled but still empty") << none << true << none << true << false;
        QTest::newRow("filled but not handled") << none << true << pattern(65) << false << false;
        QTest::newRow("largest stream") << pattern(2048) << true << none << true << true;
        // Never a cut datagram.
        QTest::newRow("one byte too many") << pattern(2049) << true << none << true << false;
    }

    void streamRules()
    {
        QFETCH(QByteArray, initial);
        QFETCH(bool, withHandler);
        QFETCH(QByteArray, fill);
        QFETCH(bool, setHandled);
        QFETCH(bool, expectSent);

        Peer peer;
        UdpEndpoint endpoint;
        endpoint.setRemoteHost("127.0.0.1");
        endpoint.setRemotePort(peer.port());
        int calls = 0;
        if (withHandler) {
            endpoint.setOnStreamInvalid([&](bool& handled, QIODevice& stream) {
                QVERIFY(!handled);
                ++calls;
                stream.write(fill);
                handled = setHandled;
            });
        }

        const Raised r = send(endpoint, initial);
        QCOMPARE(calls, withHandler && initial.isEmpty() ? 1 : 0);
        if (expectSent) {
            QVERIFY(!r.thrown);
            QCOMPARE(peer.next(), initial + fill);
        } else {
            QVERIFY(r.thrown);
            QVERIFY(!r.sockError); // the base exception, not the endpoint's own
            QCOMPARE(r.message, QStringLiteral("Invalid stream"));
            QCOMPARE(peer.next(100), std::nullopt);
        }
    }

    void hostLookup_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<int>("handler"); // 0 none, 1 leaves handled false, 2 sets it
        QTest::addColumn<int>("lookups");
        QTest::addColumn<QString>("error"); // empty: sent

        const Answers fail{std::nullopt, std::nullopt};
        const QString canceled = "Host Lookup Canceled";
        const QString null = "Null Remote Address";
        QTest::newRow("fails, no handler") << "nowhere.example" << fail << 0 << 1 << canceled;
        QTest::newRow("fails, not handled") << "nowhere.example" << fail << 1 << 1 << canceled;
        QTest::newRow("fails twice, handled") << "nowhere.example" << fail << 2 << 2 << canceled;
        QTest::newRow("retry succeeds")
            << "flaky.example" << Answers{std::nullopt, loopback} << 2 << 2 << QString();
        QTest::newRow("resolves") << "module.example" << Answers{loopback} << 0 << 1 << QString();
        QTest::newRow("all-ones text is looked up")
            << "255.255.255.255" << Answers{loopback} << 0 << 1 << QString();
        QTest::newRow("octet above 255") << "300.168.0.255" << fail << 0 << 1 << canceled;
        QTest::newRow("null address") << "0.0.0.0" << fail << 0 << 0 << null;
        QTest::newRow("resolves to null") << "zero.example" << Answers{0u} << 0 << 1 << null;
    }

    void hostLookup()
    {
        QFETCH(QString, host);
        QFETCH(Answers, answers);
        QFETCH(int, handler);
        QFETCH(int, lookups);
        QFETCH(QString, error);

        Peer peer;
        UdpEndpoint endpoint;
        FakeResolver resolver;
        resolver.answers = answers;
        endpoint.setHostResolver(resolver.function());
        endpoint.setRemoteHost(host);
        endpoint.setRemotePort(peer.port());
        int handlerCalls = 0;
        if (handler != 0) {
            endpoint.setOnInvalidHost([&](bool& handled) {
                ++handlerCalls;
                // A new destination counts only from the next send on.
                endpoint.setRemoteHost("other.example");
                handled = handler == 2;
            });
        }
        int sent = 0;
        endpoint.setOnDataSend([&](UdpEndpoint&) { ++sent; });

        const Raised r = send(endpoint, pattern(65));
        QCOMPARE(resolver.names, QStringList(QList<QString>(lookups, host)));
        QCOMPARE(handlerCalls, handler != 0 && lookups > 0 && !answers.value(0) ? 1 : 0);
        QCOMPARE(sent, error.isEmpty() ? 1 : 0);
        if (error.isEmpty()) {
            QVERIFY(!r.thrown);
            QCOMPARE(peer.next(), pattern(65));
        } else {
            QVERIFY(r.thrown && r.sockError);
            QCOMPARE(r.message, error);
            QCOMPARE(peer.next(100), std::nullopt);
        }
    }

    void destroyedWhileLookingUp()
    {
        QObject owner;
        QPointer<UdpEndpoint> endpoint = new UdpEndpoint(&owner);
        // A look-up that never answers; meanwhile another handler destroys the endpoint.
        endpoint->setHostResolver([](const QString&, QObject*, auto) {});
        endpoint->setRemoteHost("slow.example");
        QTimer::singleShot(0, &owner, [&] { delete endpoint.data(); });

        const Raised r = send(*endpoint, pattern(65));
        QVERIFY(endpoint.isNull());
        QVERIFY(r.thrown && r.sockError);
        QCOMPARE(r.message, QStringLiteral("Host Lookup Canceled"));
    }

    void receives_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("expectedLength");

        QTest::newRow("module record") << 64 << 64 << 64;
        QTest::newRow("one byte") << 1 << 64 << 1;
        QTest::newRow("empty datagram") << 0 << 64 << 0;
        QTest::newRow("longer than capacity") << 100 << 64 << 100;
        QTest::newRow("full buffer") << 2048 << 4096 << 2048;
        QTest::newRow("cut to the buffer") << 3000 << 4096 << 2048;
    }

    void receives()
    {
        QFETCH(int, size);
        QFETCH(int, capacity);
        QFETCH(int, expectedLength);

        UdpEndpoint endpoint;
        endpoint.setLocalPort(0);
        Peer peer;
        const QByteArray payload = pattern(size);
        const char guard = '\xEE';
        QByteArray copied(capacity + 16, guard);
        int calls = 0;
        int copyResult = -2;
        endpoint.setOnDataReceived(
            [&](UdpEndpoint& sender, int numberBytes, const QString& fromIp, int port) {
                ++calls;
                QCOMPARE(&sender, &endpoint);
                QCOMPARE(numberBytes, expectedLength);
                QCOMPARE(fromIp, QStringLiteral("127.0.0.1"));
                QCOMPARE(port, int(peer.port()));
                copyResult = sender.copyReceived(copied.data(), capacity);
            });

        peer.send(payload, "127.0.0.1", endpoint.boundPort());
        QTRY_COMPARE(calls, 1);
        QCOMPARE(copyResult, expectedLength);
        const int copiedBytes = qMin(expectedLength, capacity);
        QCOMPARE(copied.left(copiedBytes), payload.left(copiedBytes));
        QCOMPARE(copied.mid(copiedBytes), QByteArray(capacity + 16 - copiedBytes, guard));
    }

    void aWaitingDatagramIsPending_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("one byte") << 1;
        QTest::newRow("longer than the look") << 3000;
    }

    void aWaitingDatagramIsPending()
    {
        QFETCH(int, size);
        UdpEndpoint endpoint;
        endpoint.setLocalPort(0);
        QVERIFY(!endpoint.hasPendingDatagram());
        Peer peer;
        QVERIFY(peer.send(pattern(size), "127.0.0.1", endpoint.boundPort()));
        // Loopback queues it at once; no event is processed here, so nothing takes it.
        QVERIFY(endpoint.hasPendingDatagram());
        QVERIFY(endpoint.hasPendingDatagram()); // looking leaves it waiting
    }

    void datagramsPerNotification_data()
    {
        QTest::addColumn<int>("burstBuffer"); // readBursts(); 0: the window's endpoint
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("firstNotification"); // datagrams it reports; -1: some, not all
        QTest::addColumn<bool>("dropsCounted");

        QTest::newRow("the window's: one each") << 0 << 3 << 1 << false;
        QTest::newRow("a burst, read whole") << (4 << 20) << 200 << 200 << true;
        // The smallest buffer the system grants holds a few; it counts the rest.
        QTest::newRow("a burst into a tiny buffer") << 1 << 200 << -1 << true;
    }

    void datagramsPerNotification()
    {
        QFETCH(int, burstBuffer);
        QFETCH(int, sent);
        QFETCH(int, firstNotification);
        QFETCH(bool, dropsCounted);

        // Windows Sockets count no drops, and size small buffers their own way.
        const bool onLinux = QSysInfo::kernelType() == QLatin1String("linux");
        if (firstNotification < 0 && !onLinux)
            QSKIP("the system's smallest receive buffer and its drops are Linux's");
        UdpEndpoint endpoint;
        endpoint.setLocalPort(0);
        if (burstBuffer)
            QVERIFY(endpoint.readBursts(burstBuffer) > 0);
        Peer peer;
        QList<QByteArray> received;
        endpoint.setOnDataReceived([&](UdpEndpoint& sender, int numberBytes, const QString&, int) {
            QByteArray data(64, '\0');
            QCOMPARE(sender.copyReceived(data.data(), 64), numberBytes);
            received << data.left(numberBytes);
        });

        // All of them wait on the socket before the event loop first looks at it.
        QList<QByteArray> datagrams;
        for (int i = 0; i < sent; ++i) {
            datagrams << pattern(10 + i % 50).right(10);
            datagrams.last()[0] = char(i);
            peer.send(datagrams.last(), "127.0.0.1", endpoint.boundPort());
        }
        QCoreApplication::processEvents();
        if (firstNotification >= 0) {
            // Windows posts a new notification after each read, and one turn of the event
            // loop may deliver several of them; each still reads one datagram.
            if (onLinux || firstNotification == sent)
                QCOMPARE(received.size(), firstNotification);
            QTRY_COMPARE(received.size(), sent);
            QCOMPARE(received, datagrams);
        } else {
            QVERIFY(!received.isEmpty());
            QCOMPARE(received, datagrams.mid(0, received.size()));
        }
        QCOMPARE(endpoint.droppedDatagrams().has_value(), dropsCounted && onLinux);
        if (!endpoint.droppedDatagrams())
            return;
        // The system tells with the next datagram what it dropped before.
        peer.send("last", "127.0.0.1", endpoint.boundPort());
        QTRY_COMPARE(received.last(), QByteArray("last"));
        QCOMPARE(*endpoint.droppedDatagrams(), qint64(sent - (received.size() - 1)));
    }

    void copyReceivedWithoutHandler()
    {
        UdpEndpoint endpoint;
        endpoint.setLocalPort(0);
        QByteArray destination(64, '\xEE');
        QCOMPARE(endpoint.copyReceived(destination.data(), 64), 0);
        QCOMPARE(destination, QByteArray(64, '\xEE'));

        // Taken from the socket all the same, and kept until the next one.
        Peer peer;
        peer.send(pattern(64), "127.0.0.1", endpoint.boundPort());
        QTRY_COMPARE(endpoint.copyReceived(destination.data(), 64), 64);
        QCOMPARE(destination, pattern(64));
    }

    void failedReceive()
    {
#ifdef Q_OS_WIN
        QSKIP("Linux's extended socket errors make a receive fail; on Windows see the next test");
#else
        UdpEndpoint endpoint;
        endpoint.setLocalPort(0);
        // With extended errors on, a "port unreachable" from loopback makes the next receive
        // fail while the socket reports itself readable.
        const int on = 1;
        QCOMPARE(::setsockopt(endpoint.socketDescriptor(), IPPROTO_IP, IP_RECVERR, &on, sizeof on),
                 0);
        quint16 closedPort = 0;
        {
            Peer gone;
            closedPort = gone.port();
        }
        QList<int> lengths;
        QStringList sources;
        QList<int> ports;
        endpoint.setOnDataReceived([&](UdpEndpoint& sender, int numberBytes, const QString& fromIp,
                                       int port) {
            lengths << numberBytes;
            sources << fromIp;
            ports << port;
            QByteArray destination(64, '\xEE');
            QCOMPARE(sender.copyReceived(destination.data(), 64), numberBytes);
            QCOMPARE(destination, QByteArray(64, '\xEE'));
            // Drain the error queue so that the socket stops reporting itself readable.
            char data[512];
            char control[512];
            iovec io{data, sizeof data};
            msghdr message{};
            message.msg_iov = &io;
            message.msg_iovlen = 1;
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            while (::recvmsg(sender.socketDescriptor(), &message, MSG_ERRQUEUE | MSG_DONTWAIT) >=
                   0) {
            }
        });
        endpoint.setRemoteHost("127.0.0.1");
        endpoint.setRemotePort(closedPort);
        QVERIFY(!send(endpoint, pattern(65)).thrown);

        QTRY_VERIFY(!lengths.isEmpty());
        QCOMPARE(lengths.first(), -1);
        QCOMPARE(sources.first(), QString());
        QCOMPARE(ports.first(), 0);
#endif
    }

    // Windows reports a "port unreachable" answer to a datagram sent as a failed receive
    // (WSAECONNRESET) unless told not to: the window would see one for every computer that
    // answers a search that way.
    void anUnreachablePortGivesNoReceive()
    {
        UdpEndpoint endpoint;
        endpoint.setLocalPort(0);
        quint16 closedPort = 0;
        {
            Peer gone;
            closedPort = gone.port();
        }
        int calls = 0;
        endpoint.setOnDataReceived([&](UdpEndpoint&, int, const QString&, int) { ++calls; });
        endpoint.setRemoteHost("127.0.0.1");
        endpoint.setRemotePort(closedPort);
        QVERIFY(!send(endpoint, pattern(65)).thrown);
        QTest::qWait(200);
        // (Without extended errors, Linux tells an unconnected socket nothing either.)
        QCOMPARE(calls, 0);

        // And the endpoint still hears a real datagram afterwards.
        Peer peer;
        peer.send(pattern(64), "127.0.0.1", endpoint.boundPort());
        QTRY_COMPARE(calls, 1);
    }

    void reportLevels_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("expected");

        const QString sending = "Sending Data";
        const QString checking = "Checking Error In Error Manager";
        const QString lookingUp = "Looking Up Error Message" + addressInUseText;
        QTest::newRow("1: silent") << 1 << QStringList();
        QTest::newRow("2: sends") << 2 << QStringList{sending};
        QTest::newRow("8: error texts") << 8 << QStringList{sending, lookingUp};
        QTest::newRow("16: everything")
            << 16 << QStringList{sending, checking, lookingUp, checking};
    }

    void reportLevels()
    {
        QFETCH(int, level);
        QFETCH(QStringList, expected);

        Peer peer;
        UdpEndpoint endpoint;
        QCOMPARE(endpoint.reportLevel(), 1);
        QCOMPARE(endpoint.statusText(), QString()); // "Initializing Winsock" never passes
        QStringList statuses;
        endpoint.setOnStatus([&](UdpEndpoint& sender, const QString& status) {
            QCOMPARE(&sender, &endpoint);
            QCOMPARE(sender.statusText(), status);
            statuses << status;
        });
        endpoint.setReportLevel(level);
        endpoint.setRemoteHost("127.0.0.1");
        endpoint.setRemotePort(peer.port());

        QVERIFY(!send(endpoint, pattern(65)).thrown);
        sockets::setLastError(addressInUse);
        QVERIFY(capture([&] { endpoint.checkSocketError(wouldBlock); }).thrown);
        sockets::setLastError(wouldBlock);
        QCOMPARE(endpoint.checkSocketError(wouldBlock), QString());

        QCOMPARE(statuses, expected);
        QCOMPARE(endpoint.statusText(), expected.isEmpty() ? QString() : expected.last());
    }

    void checkSocketError_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("raises");
        QTest::addColumn<QString>("message");

        // The tolerated code is a bit mask: every number holding its bits passes (on Linux
        // 11, 15 and 75 pass, 10 and 101 raise; on Windows 10035, 10039 and 10099 pass, 10034
        // and 10051 raise). Neither platform's "would block" holds the bits 4 and 64, so
        // those rows add one.
        static_assert((wouldBlock & 4) == 0 && (wouldBlock & 64) == 0);
        const QString unknown = QStringLiteral("Unknown Error No. %1");
        QTest::newRow("would block") << wouldBlock << false << QString();
        QTest::newRow("holds its bits and 4") << (wouldBlock | 4) << false << QString();
        QTest::newRow("holds its bits and 64") << (wouldBlock | 64) << false << QString();
        QTest::newRow("lacks one") << (wouldBlock & ~1) << true << unknown.arg(wouldBlock & ~1);
        QTest::newRow("network unreachable")
            << networkUnreachable << true << unknown.arg(networkUnreachable);
        QTest::newRow("address in use") << addressInUse << true << addressInUseText;
        QTest::newRow("taken as 16 bits") << 65536 + addressInUse << true << addressInUseText;
        QTest::newRow("no error still raises, empty") << 0 << true << QString();
    }

    void checkSocketError()
    {
        QFETCH(int, error);
        QFETCH(bool, raises);
        QFETCH(QString, message);

        UdpEndpoint endpoint;
        endpoint.setReportLevel(16);
        // A status handler that disturbs the error number must not change what is checked.
        endpoint.setOnStatus(
            [](UdpEndpoint&, const QString&) { sockets::setLastError(wouldBlock); });
        sockets::setLastError(error);
        QString text = "unset";
        const Raised r = capture([&] { text = endpoint.checkSocketError(wouldBlock); });
        QCOMPARE(endpoint.lastError(), error);
        QCOMPARE(r.thrown, raises);
        if (raises) {
            QVERIFY(r.sockError);
            QCOMPARE(r.message, message);
        } else {
            QCOMPARE(text, QString());
        }
    }

    void portInUse()
    {
        UdpEndpoint fresh;
        QVERIFY(!fresh.isBound());

        UdpEndpoint first;
        first.setLocalPort(0);
        QVERIFY(first.isBound());
        const quint16 port = first.boundPort();
        QVERIFY(port != 0);

        UdpEndpoint second;
        second.setLocalPort(port);
        QCOMPARE(second.localPort(), int(port));
        QVERIFY(!second.isBound());
        QVERIFY(first.isBound());

        // Binding again fails on the bound socket but it keeps its port, and still hears once.
        first.bindLocal();
        QVERIFY(first.isBound());
        QCOMPARE(first.boundPort(), port);
        int calls = 0;
        first.setOnDataReceived([&](UdpEndpoint&, int, const QString&, int) { ++calls; });
        Peer peer;
        peer.send(pattern(64), "127.0.0.1", port);
        QTRY_COMPARE(calls, 1);
        QTest::qWait(50);
        QCOMPARE(calls, 1);

        // A new LocalPort gives the old port back.
        first.setLocalPort(0);
        QVERIFY(first.isBound());
        QVERIFY(first.boundPort() != port);
        second.setLocalPort(port);
        QVERIFY(second.isBound());

        // A program that holds a port on one address alone holds it too: the replies sent to
        // that address would reach it. (Windows shares such a port with a bind to every
        // address unless that bind asks for it exclusively.)
        const Peer onOneAddress("127.0.0.1");
        UdpEndpoint third;
        third.setLocalPort(onOneAddress.port());
        QVERIFY(!third.isBound());
    }
};

QTEST_GUILESS_MAIN(UdpEndpointTest)
#include "tst_udpendpoint.moc"
