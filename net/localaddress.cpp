#include "net/localaddress.h"

#include "net/socketlayer.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>

namespace duva
{

namespace
{

// First IPv4 address of the computer's own host name; empty when it has none. Not through
// QHostInfo: it asks for every kind of address configured here, and a computer with only
// loopback and an IPv6 address would then get no IPv4 address at all, not even loopback's.
QString resolvedHostAddress()
{
    const QString name = QHostInfo::localHostName();
    if (name.isEmpty())
        return QString();
    const QList<quint32> addresses = sockets::ipv4AddressesOf(name);
    return addresses.isEmpty() ? QString() : QHostAddress(addresses.first()).toString();
}

QList<InterfaceAddress> interfaceAddresses()
{
    QList<InterfaceAddress> addresses;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                addresses.append(
                    {entry.ip().toString(), (flags & QNetworkInterface::IsRunning) != 0});
        }
    }
    return addresses;
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QString localAddressText()
{
    return chooseLocalAddress(resolvedHostAddress(), interfaceAddresses());
}

QString chooseLocalAddress(const QString& resolved,
                           const QList<InterfaceAddress>& interfaceAddresses)
{
    if (!resolved.isEmpty() && !resolved.startsWith(QLatin1String("127.")))
        return resolved;
    // An interface that is up without a carrier (a cable not plugged in, a container bridge
    // with nothing attached) must not win over the one the modules are reached through.
    for (const InterfaceAddress& candidate : interfaceAddresses)
        if (candidate.running)
            return candidate.address;
    if (!interfaceAddresses.isEmpty())
        return interfaceAddresses.first().address;
    return resolved;
}

std::optional<std::array<int, 3>> addressPrefix(const QString& text)
{
    std::array<int, 3> octets{};
    int position = 0;
    for (int& octet : octets) {
        int digits = 0;
        int value = 0;
        while (position < text.size() && isAsciiDigit(text.at(position))) {
            if (++digits > 3)
                return std::nullopt;
            value = value * 10 + (text.at(position).unicode() - '0');
            ++position;
        }
        if (digits == 0 || position >= text.size() || text.at(position) != QLatin1Char('.'))
            return std::nullopt;
        ++position;
        octet = value;
    }
    return octets;
}

} // namespace duva
