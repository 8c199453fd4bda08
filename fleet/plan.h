#pragma once

#include "protocol/datagrams.h"
#include "protocol/ipv4.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace duva::fleet
{

// One change that a plan row or a `set` argument asks for; its value has been checked.
struct Change {
    QString field;
    QString value;
    // A plan's cell of digits that its field refuses, but that may be the module's current
    // value with leading zeros a spreadsheet dropped: the message that refuses it otherwise.
    QString refusal = QString();
    bool fromPlan = false; // a plan's cell, which a spreadsheet may have stripped of zeros
};

// One module of a plan: picked by its serial number or, without one, by its current address,
// with the fields to change.
struct PlanRow {
    QString where; // "row 3" (a CSV file's row, the header being row 1) or "entry 2" (JSON),
                   // in the user's language
    std::optional<int> serialNumber;
    std::optional<Ipv4Address> ipAddress; // picks the module when it has no serial number
    QList<Change> changes;
    QString fieldWord = QStringLiteral("column"); // how messages name a field: "column", "field"
    // where, for JSON output, alike in every language; empty: where
    QString whereInEnglish = QString();

    QString whereForScripts() const { return whereInEnglish.isEmpty() ? where : whereInEnglish; }
    // Whether this row names the module that shows record: by serial number, or else by its
    // address as a number, so that 10.77.0.010 in a cell names the module at 10.77.0.10.
    bool picks(const ModuleRecord& record) const;
    // The address that picks the module, as messages show it; empty with a serial number.
    QString addressText() const { return ipAddress ? ipAddress->toString() : QString(); }
};

struct Plan {
    QList<PlanRow> rows;
    QString error; // everything wrong, one a line, naming row, column and value; empty when valid
};

enum class PlanFormat { Csv, Json };

// A plan in a search's own output format: a CSV file whose header names the columns, or a
// JSON array of objects. An empty cell (an empty text or null) changes nothing; the columns `from`
// and `replies` are ignored. Every value is checked as `set` checks it, and two rows may not name
// the same module. A CSV file may come from a spreadsheet: UTF-8 or cp1252, ',' ';' or tab
// between cells (the header line tells), blanks around cells; a cell of digits whose leading
// zeros a spreadsheet dropped is left to the module's current value (Change::refusal).
Plan readPlan(const QByteArray& bytes, PlanFormat format);

// "row 3": a CSV plan's row as messages name it (the header being row 1).
QString planRowName(int fileRow);
// The message readPlan gives for that cell's value (where as planRowName gives it), or empty
// when the cell is taken or empty.
QString planCellRefusal(const QString& where, const QString& column, const QString& value);

// The format a file's name says: .json is JSON, anything else CSV.
PlanFormat planFormatOf(const QString& fileName);

// A `set` argument FIELD=VALUE, checked: the change, or the message saying what is wrong.
struct ParsedChange {
    std::optional<Change> change;
    QString error;
};
ParsedChange parseAssignment(const QString& argument);

} // namespace duva::fleet
