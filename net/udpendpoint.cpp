#include "net/udpendpoint.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QIODevice>
#include <QPointer>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace duva
{

namespace
{

// The system's look-up: first IPv4 address of the name, reported on the context's thread.
void systemResolve(const QString& name, QObject* context,
                   std::function<void(std::optional<quint32>)> done)
{
    QHostInfo::lookupHost(name, context, [done = std::move(done)](const QHostInfo& info) {
        if (info.error() == QHostInfo::NoError) {
            for (const QHostAddress& address : info.addresses()) {
                if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                    done(address.toIPv4Address());
                    return;
                }
            }
        }
        done(std::nullopt);
    });
}

void setIntOption(int socket, int level, int option, int value)
{
    ::setsockopt(socket, level, option, &value, sizeof value);
}

} // namespace

UdpEndpoint::UdpEndpoint(QObject* owner) : QObject(owner), m_resolver(systemResolve)
{
    m_ready = false;
    m_reportLevel = 1;
    reportStatus(8, QStringLiteral("Initializing Winsock"));
    // The socket layer needs no start-up here.
    createSocket();
    // A close returns at once instead of lingering over unsent data.
    linger noLinger{};
    noLinger.l_onoff = 0;
    ::setsockopt(m_socket, SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
    m_ready = true;
}

UdpEndpoint::~UdpEndpoint()
{
    closeSocket();
}

void UdpEndpoint::createSocket()
{
    m_socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    m_bound = false;
    if (m_socket == -1)
        checkSocketError(wouldBlock);
    // Searches and resets go to the subnet's broadcast address.
    setIntOption(m_socket, SOL_SOCKET, SO_BROADCAST, 1);
}

void UdpEndpoint::closeSocket()
{
    // The notifier must go before the handle it watches.
    m_notifier.reset();
    if (m_socket != -1)
        ::close(m_socket);
    m_socket = -1;
    m_bound = false;
}

void UdpEndpoint::setLocalPort(int port)
{
    closeSocket();
    createSocket();
    m_localPort = port;
    bindLocal();
}

quint16 UdpEndpoint::boundPort() const
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (m_socket == -1 ||
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

void UdpEndpoint::setHostResolver(HostResolver resolver)
{
    m_resolver = resolver ? std::move(resolver) : HostResolver(systemResolve);
}

void UdpEndpoint::bindLocal()
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<quint16>(m_localPort & 0xFFFF));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    // A second bind of a bound socket fails (EINVAL) and leaves it holding its port, so
    // only a success changes what isBound() says.
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0)
        m_bound = true;

    m_notifier.reset();
    if (m_socket == -1)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_socket, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        if (m_ready)
            receivePending();
    });
}

void UdpEndpoint::sendDatagram(QIODevice& stream)
{
    int attempts = 0;
    while (stream.size() == 0) {
        if (attempts > 0 || !m_onStreamInvalid)
            throw Exception(QStringLiteral("Invalid stream"));
        bool handled = false;
        m_onStreamInvalid(handled, stream);
        if (!handled)
            throw Exception(QStringLiteral("Invalid stream"));
        ++attempts;
    }
    // Never send a cut datagram.
    const qint64 size = stream.size();
    if (size > bufferSize)
        throw Exception(QStringLiteral("Invalid stream"));

    const quint32 destination = resolveRemote();
    if (destination == 0)
        throw UDPSockError(QStringLiteral("Null Remote Address"));
    reportStatus(2, QStringLiteral("Sending Data"));

    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<quint16>(m_remotePort & 0xFFFF));
    remote.sin_addr.s_addr = htonl(destination);

    char buffer[bufferSize];
    // A stream that cannot give all its bytes would send whatever the buffer held.
    if (!stream.seek(0) || stream.read(buffer, size) != size)
        throw Exception(QStringLiteral("Invalid stream"));
    ::sendto(m_socket, buffer, static_cast<size_t>(size), 0,
             reinterpret_cast<const sockaddr*>(&remote), sizeof remote);

    if (m_onDataSend)
        m_onDataSend(*this);
}

quint32 UdpEndpoint::resolveRemote()
{
    const QByteArray name = m_remoteHost.toLatin1();
    // inet_addr gives INADDR_NONE for 255.255.255.255 as well, so that text is looked up.
    const in_addr_t converted = ::inet_addr(name.constData());
    if (converted != INADDR_NONE) {
        m_destination = ntohl(converted);
        return m_destination;
    }

    // Each look-up has its own state: a handler running while we wait may start another.
    struct Lookup {
        bool done = false;
        std::optional<quint32> address;
    };
    const QString hostName = m_remoteHost;
    const QPointer<UdpEndpoint> self(this);
    int failures = 0;
    for (;;) {
        auto lookup = std::make_shared<Lookup>();
        m_resolver(hostName, this, [lookup](std::optional<quint32> address) {
            lookup->done = true;
            lookup->address = address;
        });
        while (!lookup->done) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            // A handler run meanwhile may have destroyed us.
            if (!self)
                throw UDPSockError(QStringLiteral("Host Lookup Canceled"));
        }
        if (lookup->address) {
            m_destination = *lookup->address;
            return m_destination;
        }
        if (failures >= 1)
            throw UDPSockError(QStringLiteral("Host Lookup Canceled"));
        failures = 1;
        bool handled = false;
        if (m_onInvalidHost)
            m_onInvalidHost(handled);
        if (!handled)
            throw UDPSockError(QStringLiteral("Host Lookup Canceled"));
    }
}

void UdpEndpoint::receivePending()
{
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    // A longer datagram is cut to the buffer.
    const ssize_t received = ::recvfrom(m_socket, m_receiveBuffer, bufferSize, 0,
                                        reinterpret_cast<sockaddr*>(&from), &fromLength);
    m_receivedLength = received < 0 ? -1 : static_cast<int>(received);
    if (!m_onDataReceived)
        return;
    QString fromIp;
    int port = 0;
    if (m_receivedLength >= 0) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&from.sin_addr.s_addr);
        fromIp = QString::asprintf("%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
        port = ntohs(from.sin_port);
    }
    m_onDataReceived(*this, m_receivedLength, fromIp, port);
}

int UdpEndpoint::copyReceived(char* destination, int capacity) const
{
    if (m_receivedLength > 0 && destination && capacity > 0)
        std::memcpy(destination, m_receiveBuffer,
                    static_cast<size_t>(std::min(m_receivedLength, capacity)));
    return m_receivedLength;
}

bool UdpEndpoint::hasPendingDatagram() const
{
    char byte;
    // A datagram of no bytes is one too: only "nothing to read" says no.
    return m_socket != -1 && ::recv(m_socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) >= 0;
}

void UdpEndpoint::reportStatus(quint8 level, const QString& text)
{
    if (static_cast<int>(level) > m_reportLevel)
        return;
    m_statusText = text;
    if (m_onStatus)
        m_onStatus(*this, m_statusText);
}

QString UdpEndpoint::checkSocketError(int toleratedCode)
{
    // Read before anything else can overwrite it (a status handler, for one).
    const int error = errno;
    reportStatus(16, QStringLiteral("Checking Error In Error Manager"));
    m_lastError = error;
    if ((error & toleratedCode) == toleratedCode)
        return QString();
    throw UDPSockError(errorText(error, QString()));
}

QString UdpEndpoint::errorText(int number, QString text)
{
    if (number != 0 && text.isEmpty())
        text = QStringLiteral("Unknown Error No. ") +
               QString::number(static_cast<quint16>(number & 0xFFFF));
    reportStatus(8, QStringLiteral("Looking Up Error Message") + text);
    return text;
}

} // namespace duva
