#include "fleet/commissioningrecord.h"

#include <utility>

namespace duva::fleet
{

CommissioningRecord::CommissioningRecord(WriteRecordFile& file, QList<CommissionRow> rows,
                                         RecordContext context)
    : m_file(file), m_rows(std::move(rows)), m_context(std::move(context))
{
}

bool CommissioningRecord::keepAttempt(int serial, const RecordEntry& entry)
{
    if (m_open.contains(serial))
        return m_file.replace(m_open.value(serial), entry);
    if (!m_file.append(entry))
        return false;
    m_open.insert(serial, m_file.entryCount() - 1);
    return true;
}

bool CommissioningRecord::keep(const CommissionEvent& event, const QDateTime& time)
{
    const std::optional<RecordEntry> entry = commissionEntry(event, m_rows, m_context, time);
    if (!entry)
        return true;
    using Kind = CommissionEvent::Kind;
    const bool attempt = event.kind == Kind::Written || event.kind == Kind::Confirmed ||
                         event.kind == Kind::NotConfirmed;
    const bool kept = attempt ? keepAttempt(event.serialNumber, *entry) : m_file.append(*entry);
    // The attempt's outcome is its entry's last word.
    if (event.kind != Kind::Written)
        m_open.remove(event.serialNumber);
    return kept;
}

bool CommissioningRecord::keepInterrupted(const CommissionEvent& outstanding, const QDateTime& time)
{
    std::optional<RecordEntry> entry = commissionEntry(outstanding, m_rows, m_context, time);
    if (!entry)
        return true;
    entry->reason = QStringLiteral("interrupted before its confirmation");
    const bool kept = keepAttempt(outstanding.serialNumber, *entry);
    m_open.remove(outstanding.serialNumber);
    return kept;
}

} // namespace duva::fleet
