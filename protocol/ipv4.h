#pragma once

#include <QByteArray>
#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <optional>

namespace duva
{

// An IPv4 address as the modules store it: four octets, most significant first. The one
// place that turns addresses into dotted text, numbers and record bytes and back.
class Ipv4Address
{
public:
    constexpr Ipv4Address() = default; // 0.0.0.0
    constexpr explicit Ipv4Address(quint32 hostOrder) : m_value(hostOrder) {}
    constexpr Ipv4Address(quint8 a, quint8 b, quint8 c, quint8 d)
        : m_value(quint32(a) << 24 | quint32(b) << 16 | quint32(c) << 8 | d)
    {
    }

    // Exactly four decimal numbers from 0 to 255 of one to three ASCII digits each, joined
    // by dots; nothing else (no spaces, signs, hex or shortened forms). Leading zeros are
    // still decimal.
    static std::optional<Ipv4Address> parse(QStringView text);
    // The four bytes from at on (the caller makes sure they are there).
    static Ipv4Address fromBytes(const QByteArray& bytes, int at = 0);

    constexpr quint32 toUInt32() const { return m_value; }
    constexpr quint8 octet(int i) const { return quint8(m_value >> (24 - 8 * i)); }
    QByteArray toBytes() const;
    QString toString() const; // dotted, without leading zeros

    friend constexpr bool operator==(Ipv4Address a, Ipv4Address b)
    {
        return a.m_value == b.m_value;
    }
    friend constexpr bool operator!=(Ipv4Address a, Ipv4Address b)
    {
        return a.m_value != b.m_value;
    }
    friend constexpr bool operator<(Ipv4Address a, Ipv4Address b) { return a.m_value < b.m_value; }

private:
    quint32 m_value = 0;
};

inline size_t qHash(Ipv4Address a, size_t seed = 0) noexcept
{
    return ::qHash(a.toUInt32(), seed);
}

} // namespace duva
