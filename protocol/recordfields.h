#pragma once

#include "protocol/ipv4.h"

#include <QJsonValue>
#include <QList>
#include <QString>

namespace duva
{

class ModuleRecord;

// What a field holds, which sets how it is read, shown and taken.
enum class FieldKind {
    Address, // four octets, dotted
    Number,  // a whole number from 0 to high, most significant byte first
    Flag,    // on only at its exact byte (on), as the window reads it
    Mode,    // client (1) or server (0); any other byte is neither
    Text,    // code-page text of at most high characters (exactly high when exact)
};

// One field of the 64-byte record: its name, where it lies, what it holds and its limits.
// The codec, duvactl's field parsing and plans, and every JSON and CSV writer read the
// record's fields from this one table. The opcode byte is not part of a module's
// configuration and is not a field.
struct RecordField {
    QString name;
    int offset = 0;
    int size = 0;
    FieldKind kind = FieldKind::Number;
    qint64 high = 0;    // Number: the largest value; Text: the most characters
    bool exact = false; // Text: exactly high characters
    quint8 on = 0;      // Flag: the byte that means on

    // The value of an Address, Number, Flag (1 or 0) or Mode field (its byte).
    quint32 value(const ModuleRecord& record) const;
    // An Address field's value.
    Ipv4Address address(const ModuleRecord& record) const;
    // The field's bytes that hold value (an Address, Number, Flag or Mode field's).
    QByteArray bytes(quint32 value) const;

    // As a table or a CSV cell shows it; a Mode byte that is neither gives an empty text.
    QString text(const ModuleRecord& record) const;
    // A number or a boolean where the field is one; null for a Mode byte that is neither.
    QJsonValue json(const ModuleRecord& record) const;
};

// Every field, in the record's byte order.
const QList<RecordField>& recordFields();
// The field of that name, or null.
const RecordField* findRecordField(const QString& name);
// The field that starts at offset (one of offset::...).
const RecordField& recordFieldAt(int offset);

} // namespace duva
