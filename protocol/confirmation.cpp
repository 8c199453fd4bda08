#include "protocol/confirmation.h"

namespace duva
{

const QList<RecordField>& recordFields()
{
    static const QList<RecordField> fields = {
        {"ipAddress", offset::ipAddress, 4},
        {"subnetMask", offset::subnetMask, 4},
        {"gateway", offset::gateway, 4},
        {"dnsServer", offset::dnsServer, 4},
        {"localPort", offset::localPort, 2},
        {"serverPort", offset::serverPort, 2},
        {"dhcp", offset::dhcp, 1},
        {"watchdog", offset::watchdog, 1},
        {"clientMode", offset::clientMode, 1},
        {"autoDisconnect", offset::autoDisconnect, 1},
        {"autoDisconnectTime", offset::autoDisconnectTime, 1},
        {"firmwareVersion", offset::firmwareVersion, 3},
        {"serialNumber", offset::serialBytes, 3},
        {"serverHost", offset::serverHost, serverHostSize},
    };
    return fields;
}

QStringList fieldsDifferingFromWrite(const ModuleRecord& reply, const QByteArray& writeRequest)
{
    QStringList differing;
    for (const RecordField& f : recordFields()) {
        if (writeRequest.size() < f.offset + f.size ||
            reply.bytes().mid(f.offset, f.size) != writeRequest.mid(f.offset, f.size))
            differing << QString::fromLatin1(f.name);
    }
    return differing;
}

} // namespace duva
