#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace duva
{

// The computer's first IPv4 address as dotted text, or empty text when there is none.
// The first address that resolving the computer's own host name gives; when that is a
// loopback address (many Linux machines map their name to 127.0.x.x) and an interface that
// is up and not loopback has an IPv4 address, the first such address instead, preferring
// an interface that is also running (has a carrier) over one that is only up.
QString localAddressText();

// An IPv4 address of an interface that is up and not loopback.
struct InterfaceAddress {
    QString address;
    // Running: the link works (a cable is plugged in, something is attached).
    bool running = true;
};

// The choice above, given what the host name resolved to (empty when it did not) and the
// addresses of the interfaces that are up and not loopback, in the system's order.
QString chooseLocalAddress(const QString& resolved,
                           const QList<InterfaceAddress>& interfaceAddresses);

// The first three octets of a dotted address text: three dot-terminated fields of 1 to 3
// decimal digits. No value for any other text (empty, fewer than three dots, a longer or
// non-numeric field). The fourth octet is not looked at.
std::optional<std::array<int, 3>> addressPrefix(const QString& text);

} // namespace duva
