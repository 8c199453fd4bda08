#pragma once

// Module records for the fleet library's tests: every field distinct from the defaults and
// from the other records made here.

#include "protocol/datagrams.h"
#include "protocol/recordvalues.h"

#include <QString>

namespace duva::test
{

inline std::array<quint8, 4> octets(quint32 a)
{
    return {quint8(a >> 24), quint8(a >> 16), quint8(a >> 8), quint8(a)};
}

inline quint32 ip(const char* dotted)
{
    quint32 a = 0;
    for (const QString& part : QString::fromLatin1(dotted).split(QLatin1Char('.')))
        a = a << 8 | part.toUInt();
    return a;
}

// A module at address with serial, every other field set from n.
inline ModuleRecord moduleRecord(quint32 address, int serial, int n = 1)
{
    RecordValues v;
    v.ipAddress = octets(address);
    v.subnetMask = octets(0xFFFFFF00u << (n % 4));
    v.gateway = octets((address & 0xFFFFFF00u) | quint32(n % 200 + 1));
    v.dnsServer = octets(0x08080000u + quint32(n));
    v.localPort = quint16(4000 + n);
    v.serverPort = quint16(6000 + n);
    v.dhcp = n % 2 == 0;
    v.watchdog = n % 3 != 0;
    v.clientMode = n % 2 == 1;
    v.autoDisconnect = n % 5 != 0;
    v.autoDisconnectTime = quint8(20 + n);
    v.firmwareVersion = QByteArray::number(100 + n % 900);
    v.setSerialNumber(serial);
    v.serverHost = QStringLiteral("host-%1.duva.com.br").arg(n).toLatin1();
    QByteArray bytes = v.encode().left(recordSize);
    bytes[offset::opcode] = 0;
    return *ModuleRecord::fromBytes(bytes);
}

} // namespace duva::test
