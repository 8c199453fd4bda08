#include "protocol/ipv4.h"

#include <QList>

namespace duva
{

std::optional<Ipv4Address> Ipv4Address::parse(QStringView text)
{
    quint32 value = 0;
    int octets = 0;
    for (const QStringView part : text.split(QLatin1Char('.'))) {
        if (++octets > 4 || part.isEmpty() || part.size() > 3)
            return std::nullopt;
        uint octet = 0;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
            octet = octet * 10 + (c.unicode() - '0');
        }
        if (octet > 255)
            return std::nullopt;
        value = value << 8 | octet;
    }
    if (octets != 4)
        return std::nullopt;
    return Ipv4Address(value);
}

Ipv4Address Ipv4Address::fromBytes(const QByteArray& bytes, int at)
{
    return Ipv4Address(quint8(bytes.at(at)), quint8(bytes.at(at + 1)), quint8(bytes.at(at + 2)),
                       quint8(bytes.at(at + 3)));
}

QByteArray Ipv4Address::toBytes() const
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char(octet(i));
    return b;
}

QString Ipv4Address::toString() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(uint(octet(0)))
        .arg(uint(octet(1)))
        .arg(uint(octet(2)))
        .arg(uint(octet(3)));
}

} // namespace duva
