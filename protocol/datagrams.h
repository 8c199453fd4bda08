#pragma once

#include "protocol/recordvalues.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace duva
{

constexpr int recordSize = 64;  // a module's reply: the record alone
constexpr int requestSize = 65; // a request: the record's layout plus the trailer
constexpr quint8 requestTrailer = 0x2A;
constexpr quint8 searchOpcode = 0x05;
constexpr quint8 writeOpcode = 0x55;
constexpr int modulePort = 1461; // searches and writes
constexpr int resetPort = 69;    // reset datagrams
constexpr int serverHostSize = 32;

// Offsets of the record's fields.
namespace offset
{
constexpr int ipAddress = 0;
constexpr int subnetMask = 4;
constexpr int gateway = 8;
constexpr int dnsServer = 12;
constexpr int localPort = 16;
constexpr int serverPort = 18;
constexpr int dhcp = 20;
constexpr int watchdog = 21;
constexpr int opcode = 22;
constexpr int clientMode = 23;
constexpr int autoDisconnect = 24;
constexpr int autoDisconnectTime = 25;
constexpr int firmwareVersion = 26;
constexpr int serialBytes = 29;
constexpr int serverHost = 32;
constexpr int trailer = 64;
} // namespace offset

// Asks every module that hears it to answer with its record.
struct SearchRequest {
    static QByteArray build();
};

// Sent to UDP port 69: 65 zero bytes.
struct ResetDatagram {
    static QByteArray build();
};

// A new configuration for one module, from the window's texts and states as they stand.
struct WriteRequest {
    std::array<QString, 4> ipAddress;
    std::array<QString, 4> subnetMask;
    std::array<QString, 4> gateway;
    std::array<QString, 4> dnsServer;
    QString localPort;
    QString serverPort;
    bool dhcp = false;
    bool watchdog = false;
    bool clientMode = false;
    bool autoDisconnect = false;
    QString autoDisconnectTime;
    QString firmwareVersion;
    std::array<QString, 3> serialBytes;
    QString serverHost;

    // The texts as values. Texts are converted in the order of the record's bytes, so the
    // first bad field in that order is the one reported: ConversionError for a number,
    // EncodingError for a text with a character the modules cannot store. Numbers keep their
    // low 8 bits; no range is checked. Only the first three characters of the version and the
    // first 32 of the server host are kept.
    RecordValues values() const;
    // The 65 bytes: values(), encoded.
    QByteArray build() const;
};

// A module's 64-byte record, read field by field.
class ModuleRecord
{
public:
    // The record held in bytes; no value when bytes is not exactly 64 long.
    static std::optional<ModuleRecord> fromBytes(const QByteArray& bytes);

    const QByteArray& bytes() const { return m_bytes; }
    quint8 byte(int i) const { return static_cast<quint8>(m_bytes.at(i)); }

    // Octet i (0-3) of each address, as decimal text.
    QString ipAddress(int i) const { return QString::number(byte(offset::ipAddress + i)); }
    QString subnetMask(int i) const { return QString::number(byte(offset::subnetMask + i)); }
    QString gateway(int i) const { return QString::number(byte(offset::gateway + i)); }
    QString dnsServer(int i) const { return QString::number(byte(offset::dnsServer + i)); }
    // The module's address as dotted text, for example 192.168.0.20.
    QString ipAddressText() const;

    int localPort() const;
    int serverPort() const;
    bool dhcp() const;     // only the exact value 1
    bool watchdog() const; // only the exact value 0x80
    // true: client, false: server, no value: neither (any byte but 0 and 1).
    std::optional<bool> clientMode() const;
    bool autoDisconnect() const; // only the exact value 1
    int autoDisconnectTime() const;
    // The three version characters; a NUL byte ends the text.
    QString firmwareVersion() const;
    std::array<int, 3> serialBytes() const;
    int serialNumber() const;
    // Bytes 32-63 as text: NUL bytes add nothing, then characters 0-32 are trimmed from
    // both ends.
    QString serverHost() const;

private:
    explicit ModuleRecord(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    QByteArray m_bytes;
};

// Every byte as decimal text, one line each, in offset order.
QStringList dumpBytes(const QByteArray& bytes);

} // namespace duva
