#pragma once

// Helpers that tests of several parts share: plain files, write requests, and a plain UDP
// socket that shows exactly what goes over the wire.

#include "protocol/datagrams.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <optional>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace duva::test
{

inline QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A write request with every field filled in: to 192.168.0.132, mask 255.255.255.0, gateway
// .1, DNS .100, ports 5002, watchdog, client mode, auto-disconnect after 10, version "000",
// serial 0.4.7, server host 192.168.0.14.
inline WriteRequest exampleWriteRequest()
{
    WriteRequest w;
    w.ipAddress = {"192", "168", "0", "132"};
    w.subnetMask = {"255", "255", "255", "0"};
    w.gateway = {"192", "168", "0", "1"};
    w.dnsServer = {"192", "168", "0", "100"};
    w.localPort = w.serverPort = "5002";
    w.watchdog = w.clientMode = w.autoDisconnect = true;
    w.autoDisconnectTime = "10";
    w.firmwareVersion = "000";
    w.serialBytes = {"0", "4", "7"};
    w.serverHost = "192.168.0.14";
    return w;
}

// The example request's bytes, giving the module the address dottedIp.
inline QByteArray writeRequestTo(const QString& dottedIp)
{
    WriteRequest w = exampleWriteRequest();
    const QStringList octets = dottedIp.split('.');
    for (int i = 0; i < 4; ++i)
        w.ipAddress[size_t(i)] = octets.value(i);
    return w.build();
}

// A fresh temporary directory as the working directory, for as long as this object lives.
class ScopedWorkingDirectory
{
public:
    ScopedWorkingDirectory() : m_previous(QDir::currentPath())
    {
        m_entered = m_dir.isValid() && QDir::setCurrent(m_dir.path());
    }
    ~ScopedWorkingDirectory() { QDir::setCurrent(m_previous); }
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

    bool isValid() const { return m_entered; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QString m_previous;
    QTemporaryDir m_dir;
    bool m_entered = false;
};

#ifdef Q_OS_WIN
namespace raw
{
using Socket = SOCKET;
using Length = int;
inline void close(Socket s)
{
    ::closesocket(s);
    ::WSACleanup();
}
inline int poll(pollfd* fds, int count, int timeoutMs)
{
    return ::WSAPoll(fds, ULONG(count), timeoutMs);
}
// Windows Sockets must be started by each user.
inline Socket open()
{
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    return ::socket(AF_INET, SOCK_DGRAM, 0);
}
} // namespace raw
#else
namespace raw
{
using Socket = int;
using Length = socklen_t;
inline void close(Socket s)
{
    ::close(s);
}
inline int poll(pollfd* fds, int count, int timeoutMs)
{
    return ::poll(fds, nfds_t(count), timeoutMs);
}
inline Socket open()
{
    return ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
}
} // namespace raw
#endif

// A blocking IPv4 UDP socket on the sockets API itself, independent of the code under test.
class RawUdpSocket
{
public:
    struct Datagram {
        QByteArray bytes;
        QString from;
        quint16 fromPort = 0;
    };

    // Bound to address:port (port 0: one the system picks). A broadcasting socket may also
    // share its port.
    explicit RawUdpSocket(const char* address = "127.0.0.1", quint16 port = 0,
                          bool broadcast = false)
        : m_fd(raw::open())
    {
        const int on = 1;
        const auto* option = reinterpret_cast<const char*>(&on);
        if (broadcast) {
            ::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, option, sizeof on);
            ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, option, sizeof on);
        }
        sockaddr_in local = socketAddress(address, port);
        m_bound = ::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
        raw::Length length = sizeof local;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &length);
        m_port = ntohs(local.sin_port);
    }
    ~RawUdpSocket() { raw::close(m_fd); }
    RawUdpSocket(const RawUdpSocket&) = delete;
    RawUdpSocket& operator=(const RawUdpSocket&) = delete;

    bool isBound() const { return m_bound; }
    quint16 port() const { return m_port; }

    bool send(const QByteArray& bytes, const char* address, int port) const
    {
        const sockaddr_in to = socketAddress(address, quint16(port));
        return ::sendto(m_fd, bytes.constData(), int(bytes.size()), 0,
                        reinterpret_cast<const sockaddr*>(&to), sizeof to) == bytes.size();
    }

    // What arrives until `expected` datagrams have or timeoutMs has passed, and then for
    // graceMs more, so that surplus datagrams show too.
    QList<Datagram> receive(int expected, int timeoutMs = 2000, int graceMs = 0) const
    {
        QList<Datagram> received;
        QElapsedTimer clock;
        clock.start();
        qint64 end = timeoutMs;
        while (clock.elapsed() < end) {
            pollfd p{m_fd, POLLIN, 0};
            if (raw::poll(&p, 1, int(end - clock.elapsed())) <= 0)
                continue;
            QByteArray buffer(70000, '\0');
            sockaddr_in from{};
            raw::Length length = sizeof from;
            const auto n = ::recvfrom(m_fd, buffer.data(), int(buffer.size()), 0,
                                      reinterpret_cast<sockaddr*>(&from), &length);
            if (n < 0)
                continue;
            char text[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
            received << Datagram{buffer.left(int(n)), QString::fromLatin1(text),
                                 ntohs(from.sin_port)};
            if (received.size() == expected)
                end = std::min<qint64>(end, clock.elapsed() + graceMs);
        }
        return received;
    }

    // The bytes of the next datagram, or no value when none comes within timeoutMs.
    std::optional<QByteArray> next(int timeoutMs = 2000, quint16* fromPort = nullptr) const
    {
        const QList<Datagram> one = receive(1, timeoutMs);
        if (one.isEmpty())
            return std::nullopt;
        if (fromPort)
            *fromPort = one[0].fromPort;
        return one[0].bytes;
    }

private:
    static sockaddr_in socketAddress(const char* address, quint16 port)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        ::inet_pton(AF_INET, address, &a.sin_addr);
        return a;
    }

    raw::Socket m_fd;
    bool m_bound = false;
    quint16 m_port = 0;
};

} // namespace duva::test
