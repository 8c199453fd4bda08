#include "fleet/recordfields.h"

namespace duva::fleet
{

namespace
{

const QString bytesKey = QStringLiteral("bytes");

QString dotted(const ModuleRecord& r, int at)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(r.byte(at))
        .arg(r.byte(at + 1))
        .arg(r.byte(at + 2))
        .arg(r.byte(at + 3));
}

FieldDescription describe(const char* name, int offset, int size, FieldKind kind, qint64 high = 0,
                          bool exact = false)
{
    return {QString::fromLatin1(name), offset, size, kind, high, exact};
}

// The record's own readers hold each field's encoding (byte order, flag values, text
// trimming); here they are only looked up by offset.
qint64 numberAt(const ModuleRecord& r, int at)
{
    switch (at) {
    case offset::localPort:
        return r.localPort();
    case offset::serverPort:
        return r.serverPort();
    case offset::autoDisconnectTime:
        return r.autoDisconnectTime();
    default:
        return r.serialNumber();
    }
}

bool flagAt(const ModuleRecord& r, int at)
{
    switch (at) {
    case offset::dhcp:
        return r.dhcp();
    case offset::watchdog:
        return r.watchdog();
    default:
        return r.autoDisconnect();
    }
}

} // namespace

const QList<FieldDescription>& fieldDescriptions()
{
    static const QList<FieldDescription> table = {
        describe("ipAddress", offset::ipAddress, 4, FieldKind::Address),
        describe("subnetMask", offset::subnetMask, 4, FieldKind::Address),
        describe("gateway", offset::gateway, 4, FieldKind::Address),
        describe("dnsServer", offset::dnsServer, 4, FieldKind::Address),
        describe("localPort", offset::localPort, 2, FieldKind::Number, 65535),
        describe("serverPort", offset::serverPort, 2, FieldKind::Number, 65535),
        describe("dhcp", offset::dhcp, 1, FieldKind::Flag),
        describe("watchdog", offset::watchdog, 1, FieldKind::Flag),
        describe("clientMode", offset::clientMode, 1, FieldKind::Mode),
        describe("autoDisconnect", offset::autoDisconnect, 1, FieldKind::Flag),
        describe("autoDisconnectTime", offset::autoDisconnectTime, 1, FieldKind::Number, 255),
        describe("firmwareVersion", offset::firmwareVersion, 3, FieldKind::Text, 3, true),
        describe("serialNumber", offset::serialBytes, 3, FieldKind::Number, 0xFFFFFF),
        describe("serverHost", offset::serverHost, serverHostSize, FieldKind::Text, serverHostSize),
    };
    return table;
}

QString FieldDescription::text(const ModuleRecord& record) const
{
    switch (kind) {
    case FieldKind::Address:
        return dotted(record, offset);
    case FieldKind::Number:
        return QString::number(numberAt(record, offset));
    case FieldKind::Flag:
        return flagAt(record, offset) ? QStringLiteral("true") : QStringLiteral("false");
    case FieldKind::Mode: {
        const auto mode = record.clientMode();
        return !mode ? QString() : *mode ? QStringLiteral("client") : QStringLiteral("server");
    }
    case FieldKind::Text:
        return offset == offset::firmwareVersion ? record.firmwareVersion() : record.serverHost();
    }
    return QString();
}

QJsonValue FieldDescription::json(const ModuleRecord& record) const
{
    switch (kind) {
    case FieldKind::Number:
        return QJsonValue(numberAt(record, offset));
    case FieldKind::Flag:
        return QJsonValue(flagAt(record, offset));
    case FieldKind::Mode: {
        const QString t = text(record);
        return t.isEmpty() ? QJsonValue() : QJsonValue(t);
    }
    default:
        return QJsonValue(text(record));
    }
}

QJsonObject recordToJson(const ModuleRecord& record)
{
    QJsonObject object;
    for (const FieldDescription& f : fieldDescriptions())
        object.insert(f.name, f.json(record));
    object.insert(bytesKey, QString::fromLatin1(record.bytes().toHex()));
    return object;
}

std::optional<ModuleRecord> recordFromJson(const QJsonValue& value, QString* error)
{
    const QString hex = value.toObject().value(bytesKey).toString();
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    // fromHex skips what is not a hex digit: the round trip shows whether the text was clean.
    const auto record = ModuleRecord::fromBytes(bytes);
    if (!record || QString::fromLatin1(bytes.toHex()) != hex.toLower()) {
        if (error)
            *error = QStringLiteral("a record's \"bytes\" is not 64 bytes in hex");
        return std::nullopt;
    }
    return record;
}

QByteArray writeRequestHolding(const ModuleRecord& record)
{
    QByteArray request = record.bytes();
    request[offset::opcode] = char(writeOpcode);
    request.append(char(requestTrailer));
    return request;
}

ModuleRecord withFields(const ModuleRecord& record, const QMap<int, QByteArray>& fields)
{
    QByteArray bytes = record.bytes();
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        bytes.replace(it.key(), int(it.value().size()), it.value());
    bytes.truncate(recordSize); // a field's bytes never reach past the record
    return *ModuleRecord::fromBytes(bytes);
}

} // namespace duva::fleet
