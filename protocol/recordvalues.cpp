#include "protocol/recordvalues.h"

#include "protocol/datagrams.h"
#include "protocol/ipv4.h"
#include "protocol/recordfields.h"

namespace duva
{

QByteArray RecordValues::encode() const
{
    QByteArray d(requestSize, '\0');
    // Each field's bytes as the record's table lays them out.
    const auto put = [&d](int at, quint32 value) {
        const QByteArray bytes = recordFieldAt(at).bytes(value);
        d.replace(at, bytes.size(), bytes);
    };
    const auto octets = [](const std::array<quint8, 4>& a) {
        return Ipv4Address(a[0], a[1], a[2], a[3]).toUInt32();
    };
    put(offset::ipAddress, octets(ipAddress));
    put(offset::subnetMask, octets(subnetMask));
    put(offset::gateway, octets(gateway));
    put(offset::dnsServer, octets(dnsServer));
    put(offset::localPort, localPort);
    put(offset::serverPort, serverPort);
    put(offset::dhcp, dhcp);
    put(offset::watchdog, watchdog);
    d[offset::opcode] = char(writeOpcode);
    put(offset::clientMode, clientMode ? 1 : 0);
    put(offset::autoDisconnect, autoDisconnect);
    put(offset::autoDisconnectTime, autoDisconnectTime);

    const RecordField& versionField = recordFieldAt(offset::firmwareVersion);
    const QByteArray version = firmwareVersion.left(versionField.size);
    d.replace(offset::firmwareVersion, version.size(), version);
    put(offset::serialBytes, quint32(serialNumber()));

    const RecordField& hostField = recordFieldAt(offset::serverHost);
    QByteArray host = serverHost.left(hostField.size);
    host.append(hostField.size - host.size(), ' ');
    d.replace(offset::serverHost, hostField.size, host);

    d[offset::trailer] = char(requestTrailer);
    return d;
}

void RecordValues::setField(const RecordField& field, const QByteArray& bytes)
{
    // The texts keep their bytes as given, which encode() cuts and pads as it always does.
    if (field.offset == offset::firmwareVersion) {
        firmwareVersion = bytes;
        return;
    }
    if (field.offset == offset::serverHost) {
        serverHost = bytes;
        return;
    }
    QByteArray record = encode().left(recordSize);
    record.replace(field.offset, field.size, bytes.left(field.size));
    *this = fromRecord(*ModuleRecord::fromBytes(record));
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
    v.firmwareVersion =
        record.bytes().mid(offset::firmwareVersion, recordFieldAt(offset::firmwareVersion).size);
    for (int i = 0; i < 3; ++i)
        v.serialBytes[i] = record.byte(offset::serialBytes + i);
    v.serverHost = record.bytes().mid(offset::serverHost, recordFieldAt(offset::serverHost).size);
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
