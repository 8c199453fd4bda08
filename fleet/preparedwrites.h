#pragma once

#include "fleet/orderedwrites.h"
#include "fleet/outcome.h"
#include "fleet/plan.h"
#include "fleet/resolve.h"
#include "fleet/search.h"
#include "fleet/writerecord.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <optional>

namespace duva::fleet
{

// What a plan or a rollback comes to once the modules have answered: the writes in their safe
// order, or why nothing may be sent. duvactl and the fleet window both send from here.
struct PreparedWrites {
    std::optional<Refusal> refusal; // nothing may be sent, and why (one problem a line)
    QList<PlannedWrite> writes;
    fleet::WriteOrder order;
    QStringList missing;                  // a line for each row whose module did not answer
    QList<fleet::RecordEntry> notWritten; // their record entries, without time and context
    QHash<QString, int> rowNumbers;       // where -> the plan's row or the record's entry (from 1)
};

// A plan's rows against the modules found: with skipMissing, the rows whose module did not
// answer are left out (and listed); the values checked, the plan resolved and ordered,
// through the temporary addresses via where modules swap addresses.
PreparedWrites preparePlan(const QList<PlanRow>& planRows, const QList<FoundModule>& found,
                           bool skipMissing, const ValueChecks& checks,
                           const QList<Ipv4Address>& via);

// A record's confirmed writes undone against the modules found. A module that did not answer
// refuses the rollback unless skipMissing is given and something else is written.
PreparedWrites prepareRollback(const QList<fleet::RecordEntry>& entries,
                               const QList<FoundModule>& found,
                               const QList<Ipv4Address>& ownAddresses, bool skipMissing,
                               const QList<Ipv4Address>& via);

// Keeps one run's writes in a record of writes: each module's entry on disk before its first
// write goes out, so that a crash while it settles leaves it there, then replaced by its
// outcome. Its before() and final() are OrderedWrites' callbacks.
class RecordedWrites
{
public:
    RecordedWrites(fleet::WriteRecordFile& file, const QList<PlannedWrite>& writes,
                   fleet::RecordContext context, QHash<QString, int> rowNumbers);

    // The entries of modules that are not written (notWritten, and the writes that change
    // nothing), kept before the first write goes. False when the file could not be written.
    bool keepUnwritten(QList<fleet::RecordEntry> notWritten);
    bool before(int write, const WriteResult& result);
    // interrupted: the run was stopped before this write's outcome was known.
    bool final(int write, const WriteResult& result, bool interrupted);
    bool failed() const { return m_failed; }

    // The record's entry for a write, before its outcome is known.
    fleet::RecordEntry entryFor(const PlannedWrite& w) const;

private:
    fleet::WriteRecordFile& m_file;
    const QList<PlannedWrite>& m_writes;
    fleet::RecordContext m_context;
    QHash<QString, int> m_rowNumbers;
    QHash<int, int> m_entryOf; // write -> its entry in the file, kept from before its first write
    bool m_failed = false;
};

// Why a write is not confirmed, in English (JSON, the record) and in the user's language.
struct Why {
    QString english;
    QString shown;
};
// cutShort: what ended the run before the write's outcome was known (interrupted), if so.
Why whyNotConfirmed(const WriteResult& r, const Why& cutShort = {});

} // namespace duva::fleet
