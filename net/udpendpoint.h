#pragma once

#include "net/socketlayer.h"
#include "protocol/exception.h"
#include "protocol/ipv4.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QIODevice;
class QSocketNotifier;

namespace duva
{

// Failures of the endpoint: "Null Remote Address", "Host Lookup Canceled",
// "Unknown Error No. <n>".
class UDPSockError : public Exception
{
public:
    using Exception::Exception;
};

// The program's one UDP endpoint: an IPv4 datagram socket bound to a local port. It sends a
// stream's bytes as one datagram to RemoteHost:RemotePort and reports every datagram that
// arrives through OnDataReceived, one per notification (every one waiting, after
// readBursts()), on the thread that owns it.
class UdpEndpoint : public QObject
{
    Q_OBJECT
public:
    using TOnReceive =
        std::function<void(UdpEndpoint& sender, int numberBytes, const QString& fromIp, int port)>;
    using TNotify = std::function<void(UdpEndpoint& sender)>;
    using TOnStatus = std::function<void(UdpEndpoint& sender, const QString& status)>;
    using THandlerEvent = std::function<void(bool& handled)>;
    using TStreamInvalid = std::function<void(bool& handled, QIODevice& stream)>;

    // Resolves a host name without blocking: calls done, later and on this thread, with the
    // first IPv4 address (host byte order) or no value when the name does not resolve.
    using HostResolver = std::function<void(const QString& name, QObject* context,
                                            std::function<void(std::optional<quint32>)> done)>;

    static constexpr int bufferSize = 2048;
    // The one socket error the endpoint tolerates: an operation that would block (the
    // platform's number: 10035 on Windows).
    static constexpr int wouldBlock = sockets::wouldBlockError;

    // Throws UDPSockError when the socket cannot be made.
    explicit UdpEndpoint(QObject* owner = nullptr);
    ~UdpEndpoint() override;

    QString remoteHost() const { return m_remoteHost; }
    void setRemoteHost(const QString& host) { m_remoteHost = host; }
    // Held as its dotted text: a send to it goes exactly as to the same text.
    void setRemoteHost(Ipv4Address address) { m_remoteHost = address.toString(); }
    int remotePort() const { return m_remotePort; }
    void setRemotePort(int port) { m_remotePort = port; }
    int localPort() const { return m_localPort; }
    // Replaces the socket with a fresh one bound to port; datagrams waiting on the old one
    // are lost. Throws UDPSockError when the socket cannot be made.
    void setLocalPort(int port);
    int reportLevel() const { return m_reportLevel; }
    void setReportLevel(int level) { m_reportLevel = level; }

    QString statusText() const { return m_statusText; }
    int lastError() const { return m_lastError; }
    // Whether the socket holds its local port. False when binding failed, for example because
    // another program holds the port: then no reply can reach this endpoint.
    bool isBound() const { return m_bound; }
    // The local port the socket actually holds (0 when it holds none); with LocalPort 0 the
    // system picks one.
    quint16 boundPort() const;
    // The socket handle, -1 when there is none.
    sockets::Handle socketDescriptor() const { return m_socket; }

    void setOnDataReceived(TOnReceive handler) { m_onDataReceived = std::move(handler); }
    void setOnDataSend(TNotify handler) { m_onDataSend = std::move(handler); }
    void setOnStatus(TOnStatus handler) { m_onStatus = std::move(handler); }
    void setOnInvalidHost(THandlerEvent handler) { m_onInvalidHost = std::move(handler); }
    void setOnStreamInvalid(TStreamInvalid handler) { m_onStreamInvalid = std::move(handler); }
    // Replaces the system's name look-up (tests use their own, so that nothing reaches a
    // name server). An empty resolver restores the system's.
    void setHostResolver(HostResolver resolver);

    // Sends the whole stream (1 to 2048 bytes) as one datagram; rewinds it first. Throws
    // Exception("Invalid stream"), UDPSockError("Null Remote Address") or
    // UDPSockError("Host Lookup Canceled"). A failed send is silent.
    void sendDatagram(QIODevice& stream);

    // Copies the last received datagram into destination, never more than capacity bytes,
    // and returns its length (-1 after a failed receive, 0 before any receive).
    int copyReceived(char* destination, int capacity) const;

    // Whether another datagram is already waiting to be reported.
    bool hasPendingDatagram() const;

    // For a reader of bursts of replies (a fleet search), not the window: asks the system for
    // a receive buffer of bufferBytes, reports every datagram waiting at each notification,
    // and counts what the system drops. Holds for later sockets too (setLocalPort). Returns
    // the receive buffer granted.
    int readBursts(int bufferBytes);
    int receiveBufferGranted() const { return m_bufferGranted; }
    // Datagrams the system dropped on this socket because its receive buffer was full, as far
    // as it has told (with the datagrams that came after). No value where it keeps no count,
    // or without readBursts().
    std::optional<qint64> droppedDatagrams() const;

    // Binds the socket to LocalPort on every interface and asks for read notifications.
    // Its failures are not raised (see isBound()).
    void bindLocal();

    // Reads the last socket error (WSAGetLastError, errno) and raises UDPSockError with ErrorText
    // unless every bit of toleratedCode is set in it. Returns the (empty) text when tolerated.
    QString checkSocketError(int toleratedCode);

private:
    // The socket layer, started for as long as the endpoint lives (also when its
    // construction fails half-way).
    class Layer
    {
    public:
        Layer() = default;
        ~Layer();
        Layer(const Layer&) = delete;
        Layer& operator=(const Layer&) = delete;
        // 0, or the error number of the failed start.
        int start();

    private:
        bool m_started = false;
    };

    void raiseUnlessTolerated(int error, int toleratedCode);
    void createSocket();
    void closeSocket();
    quint32 resolveRemote();
    void receivePending();
    // Reports one datagram; false when none was taken. With onlyWaiting, finding none waiting
    // is no failed receive.
    bool receiveOne(bool onlyWaiting);
    void reportStatus(quint8 level, const QString& text);
    QString errorText(int number, QString text);

    Layer m_layer;
    sockets::Handle m_socket = sockets::invalidHandle;
    std::unique_ptr<QSocketNotifier> m_notifier;
    char m_receiveBuffer[bufferSize] = {};
    int m_receivedLength = 0;
    QString m_remoteHost;
    int m_remotePort = 0;
    int m_localPort = 0;
    quint32 m_destination = 0; // host byte order
    int m_reportLevel = 1;
    QString m_statusText;
    bool m_ready = false;
    bool m_bound = false;
    int m_lastError = 0;
    int m_burstBuffer = 0; // asked by readBursts(); 0: one datagram per notification
    int m_bufferGranted = 0;
    bool m_dropsCounted = false;
    qint64 m_drops = 0;
    TOnReceive m_onDataReceived;
    TNotify m_onDataSend;
    TOnStatus m_onStatus;
    THandlerEvent m_onInvalidHost;
    TStreamInvalid m_onStreamInvalid;
    HostResolver m_resolver;
};

} // namespace duva
