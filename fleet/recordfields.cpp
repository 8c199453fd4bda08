#include "fleet/recordfields.h"

namespace duva::fleet
{

namespace
{

const QString bytesKey = QStringLiteral("bytes");

} // namespace

QJsonObject recordToJson(const ModuleRecord& record)
{
    QJsonObject object;
    for (const RecordField& f : recordFields())
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

ModuleRecord recordAfterWrite(const QByteArray& request, const ModuleRecord& before)
{
    QByteArray after = request.left(recordSize);
    after[offset::opcode] = char(before.byte(offset::opcode));
    return *ModuleRecord::fromBytes(after);
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
