#pragma once

#include "protocol/ipv4.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>

namespace duva
{

class UdpEndpoint;

// The broadcast address of the /24 network a.b.c, as the endpoint takes it: a.b.c.255.
QString broadcastAddress(int a, int b, int c);

// Waits on the monotonic clock until deadline, never returning before it.
void waitUntil(std::chrono::steady_clock::time_point deadline);

// While it lives, the system wakes a sleeping thread when asked rather than up to a timer
// tick later, so that 1 ms pauses last about 1 ms. Restores the system's setting at its end.
class PreciseWaits
{
public:
    PreciseWaits();
    ~PreciseWaits();
    PreciseWaits(const PreciseWaits&) = delete;
    PreciseWaits& operator=(const PreciseWaits&) = delete;

private:
    // The setting to restore (Linux: the timer slack; Windows: whether the period was set).
    long m_saved = 0;
};

// The gap a broadcast series keeps between two datagrams, from the end of one send to the
// start of the next.
constexpr std::chrono::milliseconds seriesPause{1};

// Sends datagram with endpoint to port at a.b.N.255 for N = 0 to 255, in that order, at least
// seriesPause apart. Leaves the endpoint's RemoteHost and RemotePort at the last datagram's.
// Throws what UdpEndpoint::sendDatagram throws; the series then ends there.
void sendToEveryNetworkOfPrefix(UdpEndpoint& endpoint, int a, int b, int port,
                                const QByteArray& datagram);

// Sends datagram with endpoint to port at each of addresses, in that order. Leaves the
// endpoint's RemoteHost and RemotePort at the last datagram's. Throws what
// UdpEndpoint::sendDatagram throws; the sends then end there.
void sendToEach(UdpEndpoint& endpoint, const QList<Ipv4Address>& addresses, quint16 port,
                const QByteArray& datagram);

} // namespace duva
