#include "protocol/datagrams.h"

#include "protocol/conversion.h"
#include "protocol/cp1252.h"
#include "protocol/exception.h"

namespace duva
{

namespace
{

quint8 low8(int n)
{
    return static_cast<quint8>(n & 0xFF);
}

// The first maxChars characters of text as code-page bytes. The error names the whole text,
// as the user typed it, even when the character at fault is one that would have been cut.
QByteArray encodeLeft(const QString& text, int maxChars)
{
    bool ok = false;
    QByteArray bytes = toCp1252(text.left(maxChars), &ok);
    if (!ok)
        throw EncodingError(encodingErrorText(text));
    return bytes;
}

} // namespace

QByteArray SearchRequest::build()
{
    QByteArray d(requestSize, '\0');
    d[offset::opcode] = static_cast<char>(searchOpcode);
    d[offset::trailer] = static_cast<char>(requestTrailer);
    return d;
}

QByteArray ResetDatagram::build()
{
    return QByteArray(requestSize, '\0');
}

RecordValues WriteRequest::values() const
{
    RecordValues v;
    // Every step reads its text in byte order, so the first bad field is the one reported.
    const auto octets = [](const std::array<QString, 4>& texts, std::array<quint8, 4>& out) {
        for (int i = 0; i < 4; ++i)
            out[i] = low8(strToInt(texts[i]));
    };
    octets(ipAddress, v.ipAddress);
    octets(subnetMask, v.subnetMask);
    octets(gateway, v.gateway);
    octets(dnsServer, v.dnsServer);

    // No range check: n / 256 truncates toward zero, so -1 gives 00 FF and 70000 gives 11 70.
    const auto port = [](const QString& text) {
        const int n = strToInt(text);
        return quint16(low8(n / 256) << 8 | low8(n));
    };
    v.localPort = port(localPort);
    v.serverPort = port(serverPort);

    v.dhcp = dhcp;
    v.watchdog = watchdog;
    v.clientMode = clientMode;
    v.autoDisconnect = autoDisconnect;
    v.autoDisconnectTime = low8(strToInt(autoDisconnectTime));
    v.firmwareVersion = encodeLeft(firmwareVersion, 3);
    for (int i = 0; i < 3; ++i)
        v.serialBytes[i] = low8(strToInt(serialBytes[i]));
    v.serverHost = encodeLeft(serverHost, serverHostSize);
    return v;
}

QByteArray WriteRequest::build() const
{
    return values().encode();
}

std::optional<ModuleRecord> ModuleRecord::fromBytes(const QByteArray& bytes)
{
    if (bytes.size() != recordSize)
        return std::nullopt;
    return ModuleRecord(bytes);
}

QString ModuleRecord::ipAddressText() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(ipAddress(0), ipAddress(1), ipAddress(2), ipAddress(3));
}

int ModuleRecord::localPort() const
{
    return byte(offset::localPort) * 256 + byte(offset::localPort + 1);
}

int ModuleRecord::serverPort() const
{
    return byte(offset::serverPort) * 256 + byte(offset::serverPort + 1);
}

bool ModuleRecord::dhcp() const
{
    return byte(offset::dhcp) == 1;
}

bool ModuleRecord::watchdog() const
{
    return byte(offset::watchdog) == 0x80;
}

std::optional<bool> ModuleRecord::clientMode() const
{
    switch (byte(offset::clientMode)) {
    case 1:
        return true;
    case 0:
        return false;
    default:
        return std::nullopt;
    }
}

bool ModuleRecord::autoDisconnect() const
{
    return byte(offset::autoDisconnect) == 1;
}

int ModuleRecord::autoDisconnectTime() const
{
    return byte(offset::autoDisconnectTime);
}

QString ModuleRecord::firmwareVersion() const
{
    QByteArray text = m_bytes.mid(offset::firmwareVersion, 3);
    const int nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    return fromCp1252(text);
}

std::array<int, 3> ModuleRecord::serialBytes() const
{
    return {byte(offset::serialBytes), byte(offset::serialBytes + 1),
            byte(offset::serialBytes + 2)};
}

int ModuleRecord::serialNumber() const
{
    const auto s = serialBytes();
    return s[0] * 65536 + s[1] * 256 + s[2];
}

QString ModuleRecord::serverHost() const
{
    QByteArray raw = m_bytes.mid(offset::serverHost, serverHostSize);
    raw.replace('\0', QByteArray());
    const QString text = fromCp1252(raw);
    int begin = 0;
    int end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

QStringList dumpBytes(const QByteArray& bytes)
{
    QStringList lines;
    lines.reserve(bytes.size());
    for (const char b : bytes)
        lines.append(QString::number(static_cast<quint8>(b)));
    return lines;
}

} // namespace duva
