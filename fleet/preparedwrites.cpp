#include "fleet/preparedwrites.h"

#include "fleet/missing.h"
#include "fleet/recordfields.h"
#include "fleet/rollbackwrites.h"

#include <QCoreApplication>
#include <QDateTime>
#include <algorithm>

namespace duva::fleet
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts): duvactl's own context.
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Duvactl)
};

// Orders the writes; a refusal when they cannot be ordered.
void order(PreparedWrites& p, const QList<FoundModule>& found, const QList<Ipv4Address>& via)
{
    const PlannedOrder order = planOrder(p.writes, found, via);
    if (!order.error.isEmpty())
        p.refusal = Refusal{Outcome::AddressCollision, order.error};
    p.order = order.order;
}

} // namespace

PreparedWrites preparePlan(const QList<PlanRow>& planRows, const QList<FoundModule>& found,
                           bool skipMissing, const ValueChecks& checks,
                           const QList<Ipv4Address>& via)
{
    PreparedWrites p;
    const QList<PlanRow> rows =
        skipMissing ? rowsThatAnswered(planRows, found, p.missing) : planRows;
    if (rows.isEmpty()) {
        p.refusal = Refusal{Outcome::NotFound, p.missing.join(QLatin1Char('\n'))};
        return p;
    }
    const Resolution resolution = resolvePlan(rows, found, checks);
    if (resolution.status != Outcome::Ok) {
        p.refusal = Refusal{resolution.status, resolution.error};
        return p;
    }
    p.writes = resolution.writes;
    order(p, found, via);
    if (p.refusal)
        return p;
    for (int i = 0; i < planRows.size(); ++i) {
        const PlanRow& row = planRows[i];
        p.rowNumbers.insert(row.where, i + 1);
        const bool answered = std::any_of(
            rows.begin(), rows.end(), [&row](const PlanRow& r) { return r.where == row.where; });
        if (answered)
            continue;
        fleet::RecordEntry e;
        e.planRow = i + 1;
        e.serialNumber = row.serialNumber.value_or(0);
        e.reason = QStringLiteral("no module answered");
        p.notWritten << e;
    }
    return p;
}

PreparedWrites prepareRollback(const QList<fleet::RecordEntry>& entries,
                               const QList<FoundModule>& found,
                               const QList<Ipv4Address>& ownAddresses, bool skipMissing,
                               const QList<Ipv4Address>& via)
{
    PreparedWrites p;
    const RollbackWrites rollback = resolveRollback(entries, found, ownAddresses);
    if (rollback.refusal) {
        p.refusal = rollback.refusal;
        return p;
    }
    const bool writes = std::any_of(rollback.writes.begin(), rollback.writes.end(),
                                    [](const PlannedWrite& w) { return !w.request.isEmpty(); });
    if (!rollback.missing.isEmpty() && (!skipMissing || !writes)) {
        p.refusal = Refusal{Outcome::NotFound, rollback.missing.join(QLatin1Char('\n'))};
        return p;
    }
    p.writes = rollback.writes;
    p.missing = rollback.missing;
    p.notWritten = rollback.notWritten;
    p.rowNumbers = rollback.entryNumbers;
    order(p, found, via);
    return p;
}

RecordedWrites::RecordedWrites(fleet::WriteRecordFile& file, const QList<PlannedWrite>& writes,
                               fleet::RecordContext context, QHash<QString, int> rowNumbers)
    : m_file(file), m_writes(writes), m_context(std::move(context)),
      m_rowNumbers(std::move(rowNumbers))
{
}

fleet::RecordEntry RecordedWrites::entryFor(const PlannedWrite& w) const
{
    fleet::RecordEntry e;
    e.time = QDateTime::currentDateTime();
    e.context = m_context;
    e.planRow = m_rowNumbers.value(w.row.where, 0);
    e.serialNumber = w.serialNumber;
    e.before = w.module.record;
    if (!w.request.isEmpty())
        e.after = fleet::recordAfterWrite(w.request, w.module.record);
    return e;
}

bool RecordedWrites::keepUnwritten(QList<fleet::RecordEntry> notWritten)
{
    for (fleet::RecordEntry& e : notWritten) {
        e.time = QDateTime::currentDateTime();
        e.context = m_context;
    }
    for (const PlannedWrite& w : m_writes) {
        if (!w.request.isEmpty())
            continue;
        fleet::RecordEntry e = entryFor(w);
        e.reason = QStringLiteral("no change");
        notWritten << e;
    }
    m_failed = !notWritten.isEmpty() && !m_file.append(notWritten);
    return !m_failed;
}

bool RecordedWrites::before(int write, const WriteResult& result)
{
    fleet::RecordEntry e = entryFor(m_writes[write]);
    e.status = fleet::EntryStatus::NotConfirmed;
    e.reason = QStringLiteral("written; no confirmation yet");
    e.writesSent = result.writesSent;
    m_failed = !m_file.append(e);
    if (!m_failed)
        m_entryOf.insert(write, m_file.entryCount() - 1);
    return !m_failed;
}

bool RecordedWrites::final(int write, const WriteResult& result, bool interrupted)
{
    fleet::RecordEntry e = entryFor(m_writes[write]);
    const Why stopped = interrupted ? Why{QStringLiteral("interrupted"), {}} : Why{};
    e.status = result.confirmed ? fleet::EntryStatus::Confirmed
               : result.sent    ? fleet::EntryStatus::NotConfirmed
               : interrupted    ? fleet::EntryStatus::Skipped
                                : fleet::EntryStatus::Refused;
    e.reason = result.confirmed ? QString() : whyNotConfirmed(result, stopped).english;
    e.writesSent = result.writesSent;
    m_failed =
        m_entryOf.contains(write) ? !m_file.replace(m_entryOf.value(write), e) : !m_file.append(e);
    return !m_failed;
}

Why whyNotConfirmed(const WriteResult& r, const Why& cutShort)
{
    const QString fields = r.differing.join(QStringLiteral(", "));
    if (!r.why.isEmpty())
        return {r.why, r.whyText};
    if (!cutShort.english.isEmpty())
        return cutShort;
    if (r.answered)
        return {QStringLiteral("it answers with other values of %1").arg(fields),
                Texts::tr("it answers with other values of %1").arg(fields)};
    return {QStringLiteral("it did not answer"), Texts::tr("it did not answer")};
}

} // namespace duva::fleet
