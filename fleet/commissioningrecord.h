#pragma once

#include "fleet/commissioning.h"
#include "fleet/writerecord.h"

#include <QDateTime>
#include <QHash>
#include <QList>

namespace duva::fleet
{

// Keeps a commissioning's record of writes: a module's entry is on disk, not confirmed yet,
// before its write goes out, and its outcome (confirmed, not confirmed) then takes that
// entry's place; a later write to the same module is an entry of its own. Every other event
// that names a module (one no row is for, one refused) adds an entry.
class CommissioningRecord
{
public:
    CommissioningRecord(WriteRecordFile& file, QList<CommissionRow> rows, RecordContext context);

    // False when the entry could not be written: the file's error() says why.
    bool keep(const CommissionEvent& event, const QDateTime& time);
    // The write under way when the run was stopped, kept as not confirmed so that a later run
    // confirms it (or sends it again) instead of giving its row to another module.
    bool keepInterrupted(const CommissionEvent& outstanding, const QDateTime& time);

private:
    bool keepAttempt(int serial, const RecordEntry& entry);

    WriteRecordFile& m_file;
    QList<CommissionRow> m_rows;
    RecordContext m_context;
    QHash<int, int> m_open; // serial number -> the entry of its write still open
};

} // namespace duva::fleet
