#pragma once

// Plain sockets for the bench's own side of loopback traffic: no event loop of their own, and
// kernel receive times on every datagram.

#include <QByteArray>
#include <QtGlobal>
#include <vector>

namespace duva::bench
{

// A non-blocking UDP socket on port (0: any), with room for every datagram of a series;
// timestamps: each datagram carries its kernel receive time. Exits the bench when it cannot
// bind.
int udpSocket(quint16 port, bool timestamps);

void sendTo(int fd, const QByteArray& bytes, quint16 port); // to 127.0.0.1

struct Arrival {
    qint64 ns = 0; // kernel receive time
    quint16 fromPort = 0;
    QByteArray bytes;
};

// Every datagram waiting on fd.
std::vector<Arrival> drain(int fd);

int pendingBytes(int fd);

// A module's reply; k makes its address 10.0.x.y.
QByteArray reply(int k);

} // namespace duva::bench
