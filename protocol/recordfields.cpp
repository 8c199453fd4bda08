#include "protocol/recordfields.h"

#include "protocol/datagrams.h"

namespace duva
{

namespace
{

RecordField describe(const char* name, int offset, int size, FieldKind kind, qint64 high = 0,
                     bool exact = false, quint8 on = 0)
{
    return {QString::fromLatin1(name), offset, size, kind, high, exact, on};
}

RecordField flag(const char* name, int offset, quint8 on)
{
    return describe(name, offset, 1, FieldKind::Flag, 0, false, on);
}

} // namespace

const QList<RecordField>& recordFields()
{
    static const QList<RecordField> table = {
        describe("ipAddress", offset::ipAddress, 4, FieldKind::Address),
        describe("subnetMask", offset::subnetMask, 4, FieldKind::Address),
        describe("gateway", offset::gateway, 4, FieldKind::Address),
        describe("dnsServer", offset::dnsServer, 4, FieldKind::Address),
        describe("localPort", offset::localPort, 2, FieldKind::Number, 65535),
        describe("serverPort", offset::serverPort, 2, FieldKind::Number, 65535),
        flag("dhcp", offset::dhcp, 1),
        flag("watchdog", offset::watchdog, 0x80),
        describe("clientMode", offset::clientMode, 1, FieldKind::Mode),
        flag("autoDisconnect", offset::autoDisconnect, 1),
        describe("autoDisconnectTime", offset::autoDisconnectTime, 1, FieldKind::Number, 255),
        describe("firmwareVersion", offset::firmwareVersion, 3, FieldKind::Text, 3, true),
        describe("serialNumber", offset::serialBytes, 3, FieldKind::Number, 0xFFFFFF),
        describe("serverHost", offset::serverHost, serverHostSize, FieldKind::Text, serverHostSize),
    };
    return table;
}

const RecordField* findRecordField(const QString& name)
{
    for (const RecordField& f : recordFields()) {
        if (f.name == name)
            return &f;
    }
    return nullptr;
}

const RecordField& recordFieldAt(int offset)
{
    for (const RecordField& f : recordFields()) {
        if (f.offset == offset)
            return f;
    }
    Q_UNREACHABLE();
}

quint32 RecordField::value(const ModuleRecord& record) const
{
    if (kind == FieldKind::Flag)
        return record.byte(offset) == on ? 1 : 0;
    quint32 v = 0;
    for (int i = 0; i < size; ++i)
        v = v << 8 | record.byte(offset + i);
    return v;
}

Ipv4Address RecordField::address(const ModuleRecord& record) const
{
    return Ipv4Address::fromBytes(record.bytes(), offset);
}

QByteArray RecordField::bytes(quint32 value) const
{
    if (kind == FieldKind::Flag)
        return QByteArray(1, char(value ? on : 0));
    QByteArray b(size, '\0');
    for (int i = size - 1; i >= 0; --i, value >>= 8)
        b[i] = char(value & 0xFF);
    return b;
}

QString RecordField::text(const ModuleRecord& record) const
{
    switch (kind) {
    case FieldKind::Address:
        return address(record).toString();
    case FieldKind::Number:
        return QString::number(value(record));
    case FieldKind::Flag:
        return value(record) ? QStringLiteral("true") : QStringLiteral("false");
    case FieldKind::Mode:
        switch (value(record)) {
        case 1:
            return QStringLiteral("client");
        case 0:
            return QStringLiteral("server");
        default:
            return QString(); // neither: the byte holds something else
        }
    case FieldKind::Text:
        // The record's own readers hold each text's trimming.
        return offset == offset::firmwareVersion ? record.firmwareVersion() : record.serverHost();
    }
    return QString();
}

QJsonValue RecordField::json(const ModuleRecord& record) const
{
    switch (kind) {
    case FieldKind::Number:
        return QJsonValue(qint64(value(record)));
    case FieldKind::Flag:
        return QJsonValue(value(record) != 0);
    case FieldKind::Mode: {
        const QString t = text(record);
        return t.isEmpty() ? QJsonValue() : QJsonValue(t);
    }
    default:
        return QJsonValue(text(record));
    }
}

} // namespace duva
