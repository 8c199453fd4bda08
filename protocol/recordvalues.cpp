#include "protocol/recordvalues.h"

#include "protocol/datagrams.h"

namespace duva
{

QByteArray RecordValues::encode() const
{
    QByteArray d(requestSize, '\0');
    const auto put = [&d](int at, quint8 value) { d[at] = static_cast<char>(value); };
    for (int i = 0; i < 4; ++i) {
        put(offset::ipAddress + i, ipAddress[i]);
        put(offset::subnetMask + i, subnetMask[i]);
        put(offset::gateway + i, gateway[i]);
        put(offset::dnsServer + i, dnsServer[i]);
    }
    put(offset::localPort, quint8(localPort >> 8));
    put(offset::localPort + 1, quint8(localPort & 0xFF));
    put(offset::serverPort, quint8(serverPort >> 8));
    put(offset::serverPort + 1, quint8(serverPort & 0xFF));
    put(offset::dhcp, dhcp ? 1 : 0);
    put(offset::watchdog, watchdog ? 0x80 : 0);
    put(offset::opcode, writeOpcode);
    put(offset::clientMode, clientMode ? 1 : 0);
    put(offset::autoDisconnect, autoDisconnect ? 1 : 0);
    put(offset::autoDisconnectTime, autoDisconnectTime);

    const QByteArray version = firmwareVersion.left(3);
    d.replace(offset::firmwareVersion, version.size(), version);
    for (int i = 0; i < 3; ++i)
        put(offset::serialBytes + i, serialBytes[i]);

    QByteArray host = serverHost.left(serverHostSize);
    host.append(serverHostSize - host.size(), ' ');
    d.replace(offset::serverHost, serverHostSize, host);

    put(offset::trailer, requestTrailer);
    return d;
}

RecordValues RecordValues::fromRecord(const ModuleRecord& record)
{
    RecordValues v;
    for (int i = 0; i < 4; ++i) {
        v.ipAddress[i] = record.byte(offset::ipAddress + i);
        v.subnetMask[i] = record.byte(offset::subnetMask + i);
        v.gateway[i] = record.byte(offset::gateway + i);
        v.dnsServer[i] = record.byte(offset::dnsServer + i);
    }
    v.localPort = quint16(record.localPort());
    v.serverPort = quint16(record.serverPort());
    v.dhcp = record.dhcp();
    v.watchdog = record.watchdog();
    v.clientMode = record.clientMode().value_or(false);
    v.autoDisconnect = record.autoDisconnect();
    v.autoDisconnectTime = quint8(record.autoDisconnectTime());
    // The raw bytes, so that a field the change leaves alone is written back byte for byte.
    v.firmwareVersion = record.bytes().mid(offset::firmwareVersion, 3);
    for (int i = 0; i < 3; ++i)
        v.serialBytes[i] = record.byte(offset::serialBytes + i);
    v.serverHost = record.bytes().mid(offset::serverHost, serverHostSize);
    return v;
}

int RecordValues::serialNumber() const
{
    return serialBytes[0] * 65536 + serialBytes[1] * 256 + serialBytes[2];
}

void RecordValues::setSerialNumber(int serial)
{
    serialBytes = {quint8((serial >> 16) & 0xFF), quint8((serial >> 8) & 0xFF),
                   quint8(serial & 0xFF)};
}

} // namespace duva
