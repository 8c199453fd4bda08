#include "protocol/datagrams.h"

#include "protocol/conversion.h"
#include "protocol/cp1252.h"
#include "protocol/exception.h"
#include "protocol/recordfields.h"

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
    v.firmwareVersion =
        encodeLeft(firmwareVersion, int(recordFieldAt(offset::firmwareVersion).high));
    for (int i = 0; i < 3; ++i)
        v.serialBytes[i] = low8(strToInt(serialBytes[i]));
    v.serverHost = encodeLeft(serverHost, int(recordFieldAt(offset::serverHost).high));
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
    return recordFieldAt(offset::ipAddress).text(*this);
}

// Each field is read as the record's table describes it.
int ModuleRecord::localPort() const
{
    return int(recordFieldAt(offset::localPort).value(*this));
}

int ModuleRecord::serverPort() const
{
    return int(recordFieldAt(offset::serverPort).value(*this));
}

bool ModuleRecord::dhcp() const
{
    return recordFieldAt(offset::dhcp).value(*this) != 0;
}

bool ModuleRecord::watchdog() const
{
    return recordFieldAt(offset::watchdog).value(*this) != 0;
}

std::optional<bool> ModuleRecord::clientMode() const
{
    switch (recordFieldAt(offset::clientMode).value(*this)) {
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
    return recordFieldAt(offset::autoDisconnect).value(*this) != 0;
}

int ModuleRecord::autoDisconnectTime() const
{
    return int(recordFieldAt(offset::autoDisconnectTime).value(*this));
}

QString ModuleRecord::firmwareVersion() const
{
    QByteArray text =
        m_bytes.mid(offset::firmwareVersion, recordFieldAt(offset::firmwareVersion).size);
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
    return int(recordFieldAt(offset::serialBytes).value(*this));
}

QString ModuleRecord::serverHost() const
{
    QByteArray raw = m_bytes.mid(offset::serverHost, recordFieldAt(offset::serverHost).size);
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
