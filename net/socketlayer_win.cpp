#include "net/socketlayer.h"

#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h, which it needs.
#include <mswsock.h>

namespace duva::sockets
{

namespace
{

SOCKET native(Handle socket)
{
    return static_cast<SOCKET>(socket);
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

// SIO_UDP_CONNRESET below is a Windows Sockets 2 request, so version 2.2 is asked for.
int startLayer()
{
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data);
}

void stopLayer()
{
    ::WSACleanup();
}

int lastError()
{
    return ::WSAGetLastError();
}

void setLastError(int error)
{
    ::WSASetLastError(error);
}

Handle openDatagramSocket()
{
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET)
        return invalidHandle;
    // Not inherited by programs this one starts.
    ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    // Otherwise a "port unreachable" that comes back for a datagram we sent (to a computer
    // where nothing listens on the module port) makes the next receive fail with
    // WSAECONNRESET, and the window would see a failed receive for each such answer.
    BOOL report = FALSE;
    DWORD returned = 0;
    ::WSAIoctl(s, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr,
               nullptr);
    return static_cast<Handle>(s);
}

void closeSocket(Handle socket)
{
    ::closesocket(native(socket));
}

void setNoLinger(Handle socket)
{
    linger noLinger{};
    noLinger.l_onoff = 0;
    ::setsockopt(native(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&noLinger),
                 sizeof noLinger);
}

void setBroadcast(Handle socket)
{
    const BOOL on = TRUE;
    ::setsockopt(native(socket), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                 sizeof on);
}

bool bindAnyAddress(Handle socket, quint16 port)
{
    // Without it Windows lets this wildcard bind share a port that another program holds on
    // one address, and that program gets the replies sent to that address: the port must
    // count as taken. Set before the bind, as it must be.
    const BOOL exclusive = TRUE;
    ::setsockopt(native(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                 reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
    const sockaddr_in local = socketAddress(INADDR_ANY, port);
    return ::bind(native(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

quint16 boundPort(Handle socket)
{
    sockaddr_in local{};
    int length = sizeof local;
    if (socket == invalidHandle ||
        ::getsockname(native(socket), reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

void sendTo(Handle socket, const char* data, int size, quint32 address, quint16 port)
{
    const sockaddr_in remote = socketAddress(address, port);
    ::sendto(native(socket), data, size, 0, reinterpret_cast<const sockaddr*>(&remote),
             sizeof remote);
}

int receiveFrom(Handle socket, char* buffer, int capacity, quint32& fromAddress, quint16& fromPort,
                qint64* drops)
{
    // Windows Sockets keep no count of what they drop.
    if (drops)
        *drops = -1;
    sockaddr_in from{};
    int fromLength = sizeof from;
    int received = ::recvfrom(native(socket), buffer, capacity, 0,
                              reinterpret_cast<sockaddr*>(&from), &fromLength);
    // Windows fills the buffer with the start of a longer datagram but reports an error; it is
    // taken as cut to the buffer, as elsewhere.
    if (received < 0 && ::WSAGetLastError() == WSAEMSGSIZE)
        received = capacity;
    if (received < 0)
        return -1;
    fromAddress = ntohl(from.sin_addr.s_addr);
    fromPort = ntohs(from.sin_port);
    return received;
}

bool hasWaitingDatagram(Handle socket)
{
    if (socket == invalidHandle)
        return false;
    char byte;
    // A longer datagram than the one byte asked for is reported as too long: it is waiting.
    return ::recv(native(socket), &byte, 1, MSG_PEEK) >= 0 || ::WSAGetLastError() == WSAEMSGSIZE;
}

int enlargeReceiveBuffer(Handle socket, int bytes)
{
    ::setsockopt(native(socket), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes),
                 sizeof bytes);
    int granted = 0;
    int length = sizeof granted;
    if (::getsockopt(native(socket), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&granted),
                     &length) != 0)
        return 0;
    return granted;
}

bool countDrops(Handle)
{
    return false;
}

QList<quint32> ipv4AddressesOf(const QString& name)
{
    QList<quint32> found;
    // Each successful start is matched by one stop, whoever else holds the layer.
    if (startLayer() != 0)
        return found;
    ADDRINFOW hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM; // one entry for each address
    ADDRINFOW* list = nullptr;
    if (::GetAddrInfoW(reinterpret_cast<const wchar_t*>(name.utf16()), nullptr, &hints, &list) ==
        0) {
        for (const ADDRINFOW* a = list; a; a = a->ai_next) {
            if (a->ai_family == AF_INET)
                found << ntohl(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
        }
        ::FreeAddrInfoW(list);
    }
    stopLayer();
    return found;
}

quint32 dottedAddress(const char* text)
{
    return ntohl(::inet_addr(text));
}

} // namespace duva::sockets
