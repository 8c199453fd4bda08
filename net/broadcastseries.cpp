#include "net/broadcastseries.h"

#include "net/udpendpoint.h"

#include <QBuffer>

namespace duva
{

QString broadcastAddress(int a, int b, int c)
{
    return QStringLiteral("%1.%2.%3.255").arg(a).arg(b).arg(c);
}

void sendToEach(UdpEndpoint& endpoint, const QList<Ipv4Address>& addresses, quint16 port,
                const QByteArray& datagram)
{
    for (const Ipv4Address address : addresses) {
        endpoint.setRemotePort(port);
        endpoint.setRemoteHost(address);
        QBuffer stream;
        stream.setData(datagram);
        stream.open(QIODevice::ReadOnly);
        endpoint.sendDatagram(stream);
    }
}

void sendToEveryNetworkOfPrefix(UdpEndpoint& endpoint, int a, int b, int port,
                                const QByteArray& datagram)
{
    const PreciseWaits precise;
    for (int n = 0; n <= 255; ++n) {
        endpoint.setRemotePort(port);
        endpoint.setRemoteHost(broadcastAddress(a, b, n));
        QBuffer stream;
        stream.setData(datagram);
        stream.open(QIODevice::ReadOnly);
        endpoint.sendDatagram(stream);
        // Counted from the end of this send.
        waitUntil(std::chrono::steady_clock::now() + seriesPause);
    }
}

} // namespace duva
