#include "net/socketlayer.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace duva::sockets
{

namespace
{

int fd(Handle socket)
{
    return static_cast<int>(socket);
}

sockaddr_in socketAddress(quint32 address, quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(address);
    return a;
}

} // namespace

// The socket layer needs no start-up here.
int startLayer()
{
    return 0;
}

void stopLayer() {}

int lastError()
{
    return errno;
}

void setLastError(int error)
{
    errno = error;
}

Handle openDatagramSocket()
{
    return ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

void closeSocket(Handle socket)
{
    ::close(fd(socket));
}

void setNoLinger(Handle socket)
{
    linger noLinger{};
    noLinger.l_onoff = 0;
    ::setsockopt(fd(socket), SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
}

void setBroadcast(Handle socket)
{
    const int on = 1;
    ::setsockopt(fd(socket), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
}

bool bindAnyAddress(Handle socket, quint16 port)
{
    const sockaddr_in local = socketAddress(INADDR_ANY, port);
    return ::bind(fd(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

quint16 boundPort(Handle socket)
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (socket == invalidHandle ||
        ::getsockname(fd(socket), reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

void sendTo(Handle socket, const char* data, int size, quint32 address, quint16 port)
{
    const sockaddr_in remote = socketAddress(address, port);
    ::sendto(fd(socket), data, static_cast<size_t>(size), 0,
             reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
}

int receiveFrom(Handle socket, char* buffer, int capacity, quint32& fromAddress, quint16& fromPort)
{
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    // A longer datagram is cut to the buffer.
    const ssize_t received = ::recvfrom(fd(socket), buffer, static_cast<size_t>(capacity), 0,
                                        reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received < 0)
        return -1;
    fromAddress = ntohl(from.sin_addr.s_addr);
    fromPort = ntohs(from.sin_port);
    return static_cast<int>(received);
}

bool hasWaitingDatagram(Handle socket)
{
    char byte;
    // A datagram of no bytes is one too: only "nothing to read" says no.
    return socket != invalidHandle && ::recv(fd(socket), &byte, 1, MSG_PEEK | MSG_DONTWAIT) >= 0;
}

QList<quint32> ipv4AddressesOf(const QString& name)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM; // one entry for each address
    addrinfo* list = nullptr;
    QList<quint32> found;
    if (::getaddrinfo(name.toUtf8().constData(), nullptr, &hints, &list) != 0)
        return found;
    for (const addrinfo* a = list; a; a = a->ai_next) {
        if (a->ai_family == AF_INET)
            found << ntohl(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
    }
    ::freeaddrinfo(list);
    return found;
}

quint32 dottedAddress(const char* text)
{
    return ntohl(::inet_addr(text));
}

} // namespace duva::sockets
