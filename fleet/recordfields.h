#pragma once

#include "protocol/datagrams.h"
#include "protocol/recordfields.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QMap>
#include <QString>
#include <optional>

namespace duva::fleet
{

// The record's fields as the fleet library names them: the codec's one table, not a copy.
using FieldKind = duva::FieldKind;
using FieldDescription = duva::RecordField;
inline const QList<FieldDescription>& fieldDescriptions()
{
    return recordFields();
}

// A record as JSON: every field under its name, and "bytes", the 64 bytes in hex. The bytes
// are what is read back, so that a record is restored byte for byte, including bytes that
// the fields' forms cannot show (a flag's odd value, a text's padding).
QJsonObject recordToJson(const ModuleRecord& record);
// The record that recordToJson wrote; no value (error says why) when "bytes" is not 64 bytes
// in hex.
std::optional<ModuleRecord> recordFromJson(const QJsonValue& value, QString* error);

// The 65-byte write that gives a module exactly this record, byte for byte: the record's own
// bytes with the write opcode and the trailer, so that flag and text bytes that the fields'
// forms would tidy up are written as they are.
QByteArray writeRequestHolding(const ModuleRecord& record);

// The record that a module which answered with before shows once it took this write request:
// the request's 64 bytes, with the module's own opcode byte (a reply's, not the write's).
ModuleRecord recordAfterWrite(const QByteArray& request, const ModuleRecord& before);

// The record with these fields' bytes (by offset) in place of its own: a plan row's fields,
// every field that the row leaves out keeping the module's value.
ModuleRecord withFields(const ModuleRecord& record, const QMap<int, QByteArray>& fields);

} // namespace duva::fleet
