// The endpoint's receive path on loopback: a datagram of 0 to 4096 bytes arrives and is
// reported once, with its sender, cut to the endpoint's buffer; copyReceived then fills a
// buffer of every capacity with exactly what fits and never writes past it.
// Runs only on loopback, and belongs inside a private network namespace.

#include "fuzzcheck.h"
#include "net/udpendpoint.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace
{

constexpr size_t maxDatagram = 4096;

struct Rig {
    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<duva::UdpEndpoint> endpoint;
    int sender = -1;
    quint16 senderPort = 0;
    int reports = 0;
    int reportedLength = -2;
    QString reportedIp;
    int reportedPort = 0;
};

sockaddr_in loopback(quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

Rig& rig()
{
    static Rig r = [] {
        Rig made;
        static int argc = 1;
        static char name[] = "fuzz_endpoint";
        static char* argv[] = {name, nullptr};
        made.app = std::make_unique<QCoreApplication>(argc, argv);
        made.endpoint = std::make_unique<duva::UdpEndpoint>();
        made.endpoint->setLocalPort(0);
        FUZZ_CHECK(made.endpoint->isBound(), "endpoint not bound");
        made.sender = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const sockaddr_in from = loopback(0);
        FUZZ_CHECK(::bind(made.sender, reinterpret_cast<const sockaddr*>(&from), sizeof from) == 0,
                   "sender not bound (is lo up?)");
        sockaddr_in bound{};
        socklen_t length = sizeof bound;
        ::getsockname(made.sender, reinterpret_cast<sockaddr*>(&bound), &length);
        made.senderPort = ntohs(bound.sin_port);
        return made;
    }();
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Rig& r = rig();
    r.endpoint->setOnDataReceived(
        [&r](duva::UdpEndpoint&, int numberBytes, const QString& fromIp, int port) {
            ++r.reports;
            r.reportedLength = numberBytes;
            r.reportedIp = fromIp;
            r.reportedPort = port;
        });
    r.reports = 0;

    const size_t length = std::min(size, maxDatagram);
    const sockaddr_in to = loopback(r.endpoint->boundPort());
    const ssize_t sent =
        ::sendto(r.sender, data, length, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    FUZZ_CHECK(sent == ssize_t(length), QStringLiteral("sendto: %1").arg(sent));

    // Loopback delivers at once; the limit only keeps a lost notification from hanging.
    QElapsedTimer waited;
    waited.start();
    while (r.reports == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    QCoreApplication::processEvents(); // nothing else may be reported
    FUZZ_CHECK(r.reports == 1, QStringLiteral("%1 reports").arg(r.reports));

    const int expected = int(std::min<size_t>(length, duva::UdpEndpoint::bufferSize));
    FUZZ_CHECK(r.reportedLength == expected,
               QStringLiteral("%1 of %2 bytes").arg(r.reportedLength).arg(length));
    FUZZ_CHECK(r.reportedIp == QLatin1String("127.0.0.1") && r.reportedPort == r.senderPort,
               QStringLiteral("%1:%2").arg(r.reportedIp).arg(r.reportedPort));

    // A heap buffer of exactly each capacity, so that AddressSanitizer sees a write past it.
    for (int capacity = 0; capacity <= duva::UdpEndpoint::bufferSize + 1; ++capacity) {
        std::unique_ptr<char[]> buffer(new char[size_t(capacity)]);
        FUZZ_CHECK(r.endpoint->copyReceived(buffer.get(), capacity) == expected, "");
        const int copied = std::min(capacity, expected);
        FUZZ_CHECK(
            std::equal(buffer.get(), buffer.get() + copied, reinterpret_cast<const char*>(data)),
            QStringLiteral("capacity %1").arg(capacity));
    }
    FUZZ_CHECK(r.endpoint->copyReceived(nullptr, 100) == expected, "");
    char one = 'k';
    FUZZ_CHECK(r.endpoint->copyReceived(&one, -1) == expected && one == 'k', "");
    return 0;
}
