#pragma once

#include "protocol/datagrams.h"
#include "protocol/recordfields.h"
#include "protocol/recordvalues.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <optional>

namespace duva::fleet
{

// A field of the record (recordFields() describes it) as duvactl takes it, under the
// record's field name. Values are checked strictly: nothing is cut, wrapped or guessed.
struct Field : RecordField {
    // Checks value and stores it; returns why it is refused ("is not ..."), empty when taken.
    QString store(const QString& value, RecordValues& values) const;
};

// Every field, in the record's byte order.
const QList<Field>& fields();
const Field* findField(const QString& name);
// "ipAddress, subnetMask, ...", for messages.
QString fieldNames();

// Columns that search prints beside the record's fields: where the reply came from and how
// many replies the module sent. A plan may carry them (a search's output does); they are
// not fields and are not written.
extern const QString fromColumn;
extern const QString repliesColumn;

// "'<value>' is not ...": the message of a value that field refuses, or empty when it is
// taken.
QString checkValue(const Field& field, const QString& value);

// Ipv4Address::parse as a number, for the callers that still keep addresses as numbers.
std::optional<quint32> parseAddress(const QString& text);
// A whole decimal number within [low, high] (digits only, no sign, no blanks).
std::optional<qint64> parseWhole(const QString& text, qint64 low, qint64 high);

QString hexRows(const QByteArray& bytes); // sixteen bytes to a row, upper-case hex

} // namespace duva::fleet
