#include "net/localaddress.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace duva
{

namespace
{

QString dotted(const in_addr& address)
{
    char text[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &address, text, sizeof text))
        return QString();
    return QString::fromLatin1(text);
}

// First IPv4 address of the computer's own host name; empty when it has none.
QString resolvedHostAddress()
{
    char name[101] = {};
    if (::gethostname(name, sizeof name) != 0)
        return QString();
    name[sizeof name - 1] = '\0'; // a cut name need not be terminated

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &found) != 0 || !found)
        return QString();
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, ::freeaddrinfo);
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr)
            return dotted(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr);
    }
    return QString();
}

QList<InterfaceAddress> interfaceAddresses()
{
    QList<InterfaceAddress> addresses;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return addresses;
    const std::unique_ptr<ifaddrs, decltype(&::freeifaddrs)> owner(list, ::freeifaddrs);
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        if (!(entry->ifa_flags & IFF_UP) || (entry->ifa_flags & IFF_LOOPBACK))
            continue;
        const QString text =
            dotted(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr);
        if (!text.isEmpty())
            addresses.append({text, (entry->ifa_flags & IFF_RUNNING) != 0});
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
