#include "net/udpendpoint.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QIODevice>
#include <QPointer>
#include <QSocketNotifier>

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

} // namespace

UdpEndpoint::UdpEndpoint(QObject* owner) : QObject(owner), m_resolver(systemResolve)
{
    m_ready = false;
    m_reportLevel = 1;
    reportStatus(8, QStringLiteral("Initializing Winsock"));
    if (const int error = m_layer.start())
        raiseUnlessTolerated(error, wouldBlock);
    createSocket();
    sockets::setNoLinger(m_socket);
    m_ready = true;
}

UdpEndpoint::Layer::~Layer()
{
    if (m_started)
        sockets::stopLayer();
}

int UdpEndpoint::Layer::start()
{
    const int error = sockets::startLayer();
    m_started = error == 0;
    return error;
}

UdpEndpoint::~UdpEndpoint()
{
    closeSocket();
}

void UdpEndpoint::createSocket()
{
    m_socket = sockets::openDatagramSocket();
    m_bound = false;
    if (m_socket == sockets::invalidHandle)
        checkSocketError(wouldBlock);
    // Searches and resets go to the subnet's broadcast address.
    sockets::setBroadcast(m_socket);
    m_drops = 0;
    m_dropsCounted = false;
    if (m_burstBuffer > 0 && m_socket != sockets::invalidHandle) {
        m_bufferGranted = sockets::enlargeReceiveBuffer(m_socket, m_burstBuffer);
        m_dropsCounted = sockets::countDrops(m_socket);
    }
}

int UdpEndpoint::readBursts(int bufferBytes)
{
    m_burstBuffer = bufferBytes;
    if (m_socket != sockets::invalidHandle) {
        m_bufferGranted = sockets::enlargeReceiveBuffer(m_socket, m_burstBuffer);
        m_dropsCounted = sockets::countDrops(m_socket);
    }
    return m_bufferGranted;
}

std::optional<qint64> UdpEndpoint::droppedDatagrams() const
{
    if (!m_dropsCounted)
        return std::nullopt;
    return m_drops;
}

void UdpEndpoint::closeSocket()
{
    // The notifier must go before the handle it watches.
    m_notifier.reset();
    if (m_socket != sockets::invalidHandle)
        sockets::closeSocket(m_socket);
    m_socket = sockets::invalidHandle;
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
    return sockets::boundPort(m_socket);
}

void UdpEndpoint::setHostResolver(HostResolver resolver)
{
    m_resolver = resolver ? std::move(resolver) : HostResolver(systemResolve);
}

void UdpEndpoint::bindLocal()
{
    // A second bind of a bound socket fails (EINVAL, WSAEINVAL) and leaves it holding its
    // port, so only a success changes what isBound() says.
    if (sockets::bindAnyAddress(m_socket, static_cast<quint16>(m_localPort & 0xFFFF)))
        m_bound = true;

    m_notifier.reset();
    if (m_socket == sockets::invalidHandle)
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

    char buffer[bufferSize];
    // A stream that cannot give all its bytes would send whatever the buffer held.
    if (!stream.seek(0) || stream.read(buffer, size) != size)
        throw Exception(QStringLiteral("Invalid stream"));
    sockets::sendTo(m_socket, buffer, static_cast<int>(size), destination,
                    static_cast<quint16>(m_remotePort & 0xFFFF));

    if (m_onDataSend)
        m_onDataSend(*this);
}

quint32 UdpEndpoint::resolveRemote()
{
    const QByteArray name = m_remoteHost.toLatin1();
    // inet_addr gives INADDR_NONE for 255.255.255.255 as well, so that text is looked up.
    const quint32 converted = sockets::dottedAddress(name.constData());
    if (converted != 0xFFFFFFFFu) {
        m_destination = converted;
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
    if (!receiveOne(false) || m_burstBuffer <= 0)
        return;
    // A burst is taken whole, before the system's buffer fills up while the event loop
    // attends to other things. A handler may destroy the endpoint.
    const QPointer<UdpEndpoint> self(this);
    while (self && m_ready && m_socket != sockets::invalidHandle && receiveOne(true)) {
    }
}

bool UdpEndpoint::receiveOne(bool onlyWaiting)
{
    quint32 from = 0;
    quint16 fromPort = 0;
    qint64 drops = -1;
    // A longer datagram is cut to the buffer.
    const int length = sockets::receiveFrom(m_socket, m_receiveBuffer, bufferSize, from, fromPort,
                                            m_dropsCounted ? &drops : nullptr);
    if (length < 0 && onlyWaiting && sockets::lastError() == wouldBlock)
        return false;
    m_receivedLength = length;
    m_drops = std::max(m_drops, drops);
    if (!m_onDataReceived)
        return length >= 0;
    QString fromIp;
    int port = 0;
    if (m_receivedLength >= 0) {
        fromIp = QString::asprintf("%u.%u.%u.%u", from >> 24, (from >> 16) & 0xFF,
                                   (from >> 8) & 0xFF, from & 0xFF);
        port = fromPort;
    }
    m_onDataReceived(*this, m_receivedLength, fromIp, port);
    return length >= 0;
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
    return sockets::hasWaitingDatagram(m_socket);
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
    raiseUnlessTolerated(sockets::lastError(), toleratedCode);
    return QString();
}

void UdpEndpoint::raiseUnlessTolerated(int error, int toleratedCode)
{
    reportStatus(16, QStringLiteral("Checking Error In Error Manager"));
    m_lastError = error;
    if ((error & toleratedCode) == toleratedCode)
        return;
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
