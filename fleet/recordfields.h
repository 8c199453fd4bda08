#pragma once

#include "protocol/datagrams.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace duva::fleet
{

// What a field holds, which sets how it is shown and which values it takes.
enum class FieldKind {
    Address, // four octets, dotted
    Number,  // a whole number from 0 to high
    Flag,    // on only at its exact value, as the window reads it
    Mode,    // client (1) or server (0); any other byte is neither
    Text,    // code-page text of at most high characters (exactly high when exact)
};

// One field of the 64-byte record: where it lies, what it holds, and its text and JSON forms.
// The opcode byte is not part of a module's configuration and is not a field.
struct FieldDescription {
    QString name;
    int offset = 0;
    int size = 0;
    FieldKind kind = FieldKind::Number;
    qint64 high = 0;    // Number: the largest value; Text: the most characters
    bool exact = false; // Text: exactly high characters

    // As a table or a CSV cell shows it; a Mode byte that is neither gives an empty text.
    QString text(const ModuleRecord& record) const;
    // A number or a boolean where the field is one; null for a Mode byte that is neither.
    QJsonValue json(const ModuleRecord& record) const;
};

// Every field, in the record's byte order.
const QList<FieldDescription>& fieldDescriptions();

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

// The record with these fields' bytes (by offset) in place of its own: a plan row's fields,
// every field that the row leaves out keeping the module's value.
ModuleRecord withFields(const ModuleRecord& record, const QMap<int, QByteArray>& fields);

} // namespace duva::fleet
