#include "net/socketlayer.h"

#include <arpa/inet.h>
#include <cstring>
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

int receiveFrom(Handle socket, char* buffer, int capacity, quint32& fromAddress, quint16& fromPort,
                qint64* drops)
{
    sockaddr_in from{};
    iovec data{buffer, static_cast<size_t>(capacity)};
    char control[CMSG_SPACE(sizeof(quint32))] = {};
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = drops ? control : nullptr;
    message.msg_controllen = drops ? sizeof control : 0;
    // A longer datagram is cut to the buffer.
    const ssize_t received = ::recvmsg(fd(socket), &message, 0);
    if (received < 0)
        return -1;
    fromAddress = ntohl(from.sin_addr.s_addr);
    fromPort = ntohs(from.sin_port);
    if (drops) {
        // The count comes only once it is not zero.
        *drops = 0;
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL) {
                quint32 count = 0;
                std::memcpy(&count, CMSG_DATA(c), sizeof count);
                *drops = count;
            }
        }
    }
    return static_cast<int>(received);
}

bool hasWaitingDatagram(Handle socket)
{
    char byte;
    // A datagram of no bytes is one too: only "nothing to read" says no.
    return socket != invalidHandle && ::recv(fd(socket), &byte, 1, MSG_PEEK | MSG_DONTWAIT) >= 0;
}

int enlargeReceiveBuffer(Handle socket, int bytes)
{
    // SO_RCVBUFFORCE passes net.core.rmem_max where the process may (root); SO_RCVBUF is
    // capped at it.
    if (::setsockopt(fd(socket), SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
        ::setsockopt(fd(socket), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    int booked = 0;
    socklen_t length = sizeof booked;
    if (::getsockopt(fd(socket), SOL_SOCKET, SO_RCVBUF, &booked, &length) != 0)
        return 0;
    // Linux books twice what it grants, the other half for its own bookkeeping.
    return booked / 2;
}

bool countDrops(Handle socket)
{
    const int on = 1;
    return ::setsockopt(fd(socket), SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on) == 0;
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
