#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#ifndef Q_OS_WIN
#include <cerrno>
#endif

// The few socket calls the endpoint makes, over the platform's own sockets API: Windows
// Sockets on Windows, POSIX sockets elsewhere. Error numbers are the platform's own.
namespace duva::sockets
{

// A socket handle (a SOCKET on Windows, a file descriptor elsewhere).
using Handle = qintptr;
inline constexpr Handle invalidHandle = -1;

// The error of an operation that would block: the one socket error the endpoint tolerates.
#ifdef Q_OS_WIN
inline constexpr int wouldBlockError = 10035; // WSAEWOULDBLOCK
#else
inline constexpr int wouldBlockError = EWOULDBLOCK;
#endif

// Starts the socket layer for this process (WSAStartup); 0, or the error number. Every
// successful start is matched by one stopLayer().
int startLayer();
void stopLayer();

// The number of the last socket error (WSAGetLastError, errno), and setting it (tests).
int lastError();
void setLastError(int error);

// A new non-blocking IPv4 datagram socket, or invalidHandle with lastError() set.
Handle openDatagramSocket();
void closeSocket(Handle socket);
// A close returns at once instead of lingering over unsent data.
void setNoLinger(Handle socket);
void setBroadcast(Handle socket);

// Binds to port on every interface; false when that fails (the port is taken, the socket is
// bound already).
bool bindAnyAddress(Handle socket, quint16 port);
// The local port the socket holds; 0 when it holds none.
quint16 boundPort(Handle socket);

// Sends one datagram to address:port (host byte order); the result is not looked at.
void sendTo(Handle socket, const char* data, int size, quint32 address, quint16 port);
// Takes one waiting datagram, at most capacity bytes of it (a longer one is cut), with its
// sender; its length, or -1 when the receive failed. With drops given and countDrops() on,
// *drops is the system's count of datagrams this socket lost for want of room, as it stood
// when this datagram arrived; -1 where the system does not say.
int receiveFrom(Handle socket, char* buffer, int capacity, quint32& fromAddress, quint16& fromPort,
                qint64* drops = nullptr);
// Whether a datagram (an empty one too) is waiting.
bool hasWaitingDatagram(Handle socket);

// Asks for a receive buffer of bytes and returns the size granted, comparable to bytes. Linux
// caps the request at net.core.rmem_max unless the process may override that (root).
int enlargeReceiveBuffer(Handle socket, int bytes);
// Asks the system to report, with each datagram, how many it dropped on this socket because
// the receive buffer was full; false where it cannot (Windows).
bool countDrops(Handle socket);
// The IPv4 addresses (host byte order) that name resolves to, in the resolver's order; empty
// when it resolves to none. Only IPv4 is asked for, and whatever addresses this computer has:
// a look-up restricted to the kinds of address configured here (AI_ADDRCONFIG) finds none for
// a computer with only loopback and an IPv6 address.
QList<quint32> ipv4AddressesOf(const QString& name);

// Dotted-decimal text to an address in host byte order, as inet_addr reads it; 0xFFFFFFFF
// (INADDR_NONE) for text that is not an address, and for 255.255.255.255 itself.
quint32 dottedAddress(const char* text);

} // namespace duva::sockets
