#include "fleet/commissioning.h"

#include "fleet/recordfields.h"
#include "protocol/confirmation.h"

#include <QCoreApplication>
#include <algorithm>

namespace duva::fleet
{

namespace
{

quint32 addressOf(const ModuleRecord& r)
{
    quint32 a = 0;
    for (int i = 0; i < 4; ++i)
        a = a << 8 | r.byte(offset::ipAddress + i);
    return a;
}

} // namespace

CommissioningEngine::CommissioningEngine(quint32 address, QList<CommissionRow> rows,
                                         CommissionTiming timing, CommissionSeams seams)
    : m_address(address), m_rows(std::move(rows)), m_timing(timing), m_seams(std::move(seams)),
      m_rowDone(m_rows.size(), false)
{
}

void CommissioningEngine::resume(int row, const QList<int>& serials)
{
    if (row >= 0 && row < m_rows.size())
        m_rowDone[row] = true;
    for (int serial : serials)
        m_commissioned.insert(serial);
}

void CommissioningEngine::resumeUnconfirmed(int row, const ModuleRecord& before,
                                            const QByteArray& request, int writesSent)
{
    if (row < 0 || row >= m_rows.size() || request.size() < recordSize)
        return;
    const auto written = ModuleRecord::fromBytes(request.left(recordSize));
    Attempt a{
        before.serialNumber(), written->serialNumber(), row, before, request, writesSent, 0, 0};
    m_unconfirmed.insert_or_assign(a.serial, a);
}

std::optional<CommissionEvent> CommissioningEngine::outstanding(qint64 nowMs) const
{
    if (!m_current)
        return std::nullopt;
    return attemptEvent(CommissionEvent::Kind::NotConfirmed, *m_current, nowMs);
}

int CommissioningEngine::rowsLeft() const
{
    return int(std::count(m_rowDone.begin(), m_rowDone.end(), false));
}

void CommissioningEngine::start(qint64 nowMs)
{
    m_started = true;
    finishIfDone(nowMs);
    if (!m_finished && !m_stopped)
        searchNow(nowMs);
}

std::optional<qint64> CommissioningEngine::wakeAt() const
{
    if (!m_started || m_finished || m_stopped)
        return std::nullopt;
    std::optional<qint64> at;
    if (!m_searching)
        at = nextSearchMs();
    if (m_current)
        at = std::min(at.value_or(m_current->deadlineMs), m_current->deadlineMs);
    return at;
}

qint64 CommissioningEngine::nextSearchMs() const
{
    // While a write is being confirmed, every half second from the write on; while waiting,
    // once a second at most.
    if (m_current) {
        const qint64 written = m_current->deadlineMs - m_timing.settleMs;
        return std::max(m_lastSearchMs, written) + m_timing.confirmSearchMs;
    }
    return m_lastSearchMs + m_timing.waitSearchMs;
}

void CommissioningEngine::searchNow(qint64 nowMs)
{
    m_searching = true;
    m_round.clear();
    m_roundFirstReply.clear();
    m_lastSearchMs = nowMs;
    if (m_seams.search)
        m_seams.search();
}

void CommissioningEngine::onTimer(qint64 nowMs)
{
    if (!m_started || m_finished || m_stopped)
        return;
    if (m_current && nowMs >= m_current->deadlineMs)
        settleExpired(nowMs);
    if (!m_finished && !m_stopped && !m_searching && nowMs >= nextSearchMs())
        searchNow(nowMs);
}

void CommissioningEngine::onReply(qint64 nowMs, const ModuleRecord& record)
{
    if (!m_started || m_finished || m_stopped)
        return;
    if (m_searching)
        m_round << record;
    const int serial = record.serialNumber();
    if (m_searching && !m_roundFirstReply.contains(serial))
        m_roundFirstReply.insert(serial, nowMs);
    // A reply that shows exactly what was written confirms it, whenever it comes: also a
    // module given up on after its settle period that took the write late.
    if (m_current && m_current->newSerial == serial && confirmsWrite(record, m_current->request)) {
        const Attempt done = *m_current;
        m_current.reset();
        confirm(nowMs, done);
        return;
    }
    for (auto it = m_unconfirmed.begin(); it != m_unconfirmed.end(); ++it) {
        if (it->second.newSerial == serial && confirmsWrite(record, it->second.request)) {
            const Attempt done = it->second;
            m_unconfirmed.erase(it);
            confirm(nowMs, done);
            return;
        }
    }
}

void CommissioningEngine::onSearchDone(qint64 nowMs)
{
    if (!m_started || m_finished || m_stopped || !m_searching)
        return;
    m_searching = false;
    m_lastRound = m_round;
    m_lastRoundFirstReply = m_roundFirstReply;
    if (!m_current)
        decide(nowMs);
}

CommissionEvent CommissioningEngine::attemptEvent(CommissionEvent::Kind kind,
                                                  const Attempt& attempt, qint64 nowMs)
{
    CommissionEvent e;
    e.kind = kind;
    e.serialNumber = attempt.serial;
    e.row = attempt.row;
    e.before = attempt.before;
    e.request = attempt.request;
    e.writesSent = attempt.writesSent;
    e.firstSeenMs = attempt.firstSeenMs;
    e.atMs = nowMs;
    return e;
}

void CommissioningEngine::confirm(qint64 nowMs, const Attempt& attempt)
{
    m_rowDone[attempt.row] = true;
    m_commissioned << attempt.serial << attempt.newSerial;
    const CommissionEvent e = attemptEvent(CommissionEvent::Kind::Confirmed, attempt, nowMs);
    if (tell(e))
        finishIfDone(nowMs);
}

void CommissioningEngine::decide(qint64 nowMs)
{
    // The modules at the address, each once (a module may answer twice).
    QMap<int, ModuleRecord> here;
    for (const ModuleRecord& r : std::as_const(m_lastRound)) {
        if (addressOf(r) == m_address)
            here.insert(r.serialNumber(), r);
    }
    if (here.size() != 1) {
        const QList<int> serials = here.size() > 1 ? here.keys() : QList<int>{};
        // A write to the address would reach every one of them: said once, then waited out.
        if (!serials.isEmpty() && serials != m_saidSeveral) {
            CommissionEvent e;
            e.kind = CommissionEvent::Kind::Several;
            e.serials = serials;
            e.atMs = nowMs;
            tell(e);
        }
        m_saidSeveral = serials;
        return;
    }
    m_saidSeveral.clear();
    const ModuleRecord module = here.first();
    const int serial = module.serialNumber();
    if (m_commissioned.contains(serial) || m_gaveUp.contains(serial))
        return;
    // A module's time counts from its first answer in the first search that found it alone.
    const qint64 firstSeen = m_firstSeen.value(serial, m_lastRoundFirstReply.value(serial, nowMs));
    m_firstSeen.insert(serial, firstSeen);

    if (const auto it = m_unconfirmed.find(serial); it != m_unconfirmed.end()) {
        // It keeps its row, and gets the same bytes again.
        const Attempt again = it->second;
        m_unconfirmed.erase(it);
        write(nowMs, again);
        return;
    }
    const auto row = rowFor(serial);
    if (!row) {
        if (!m_saidNoRow.contains(serial)) {
            m_saidNoRow.insert(serial);
            CommissionEvent e;
            e.kind = CommissionEvent::Kind::NoRow;
            e.serialNumber = serial;
            e.before = module;
            e.atMs = nowMs;
            tell(e);
        }
        return;
    }
    const ModuleRecord target = withFields(module, m_rows.at(*row).fields);
    QString why = m_seams.check ? m_seams.check(module, target) : QString();
    // Modules commissioned before stay connected at their new addresses: a row onto one of
    // them would leave two modules on one address.
    for (const ModuleRecord& r : std::as_const(m_lastRound)) {
        if (why.isEmpty() && addressOf(target) != m_address && r.serialNumber() != serial &&
            addressOf(r) == addressOf(target))
            why = QCoreApplication::translate("Commissioning",
                                              "%1 is the address of module %2, which answers "
                                              "there")
                      .arg(target.ipAddressText())
                      .arg(r.serialNumber());
    }
    if (!why.isEmpty()) {
        // Said once; the module stays as it is, and the row waits for another module.
        if (!m_saidRefused.contains(serial)) {
            m_saidRefused.insert(serial);
            CommissionEvent e;
            e.kind = CommissionEvent::Kind::Refused;
            e.serialNumber = serial;
            e.row = *row;
            e.before = module;
            e.reason = why;
            e.firstSeenMs = firstSeen;
            e.atMs = nowMs;
            tell(e);
        }
        return;
    }
    Attempt a{
        serial, target.serialNumber(), *row, module, writeRequestHolding(target), 0, firstSeen, 0};
    write(nowMs, a);
}

void CommissioningEngine::write(qint64 nowMs, Attempt attempt)
{
    ++attempt.writesSent;
    attempt.deadlineMs = nowMs + m_timing.settleMs;
    // Told before it goes, so that its entry is on disk before the module can take it: a
    // crash while it settles leaves the write in the record. Not kept: not sent.
    if (!tell(attemptEvent(CommissionEvent::Kind::Written, attempt, nowMs)))
        return;
    m_current = attempt;
    if (m_seams.sendWrite)
        m_seams.sendWrite(m_address, attempt.request);
}

void CommissioningEngine::settleExpired(qint64 nowMs)
{
    Attempt a = *m_current;
    // The same bytes again only where they reach this module alone: the last search found it
    // at the address, by itself, not yet showing the write.
    int here = 0;
    bool itself = false;
    QSet<int> seen;
    for (const ModuleRecord& r : std::as_const(m_lastRound)) {
        if (addressOf(r) != m_address || seen.contains(r.serialNumber()))
            continue;
        seen.insert(r.serialNumber());
        ++here;
        itself = itself || r.serialNumber() == a.serial;
    }
    if (here == 1 && itself && a.writesSent < m_timing.maxWrites) {
        m_current.reset();
        write(nowMs, a);
        return;
    }
    m_current.reset();
    const CommissionEvent e = attemptEvent(CommissionEvent::Kind::NotConfirmed, a, nowMs);
    if (!tell(e))
        return;
    if (a.writesSent >= m_timing.maxWrites)
        giveUp(nowMs, a);
    else
        m_unconfirmed.insert_or_assign(a.serial, a);
}

void CommissioningEngine::giveUp(qint64 nowMs, const Attempt& attempt)
{
    m_gaveUp.insert(attempt.serial);
    // A row for this module alone is done, unconfirmed; any other row goes to the next one.
    if (m_rows.at(attempt.row).serialNumber)
        m_rowDone[attempt.row] = true;
    CommissionEvent e;
    e.kind = CommissionEvent::Kind::GaveUp;
    e.serialNumber = attempt.serial;
    e.row = attempt.row;
    e.writesSent = attempt.writesSent;
    e.atMs = nowMs;
    if (tell(e))
        finishIfDone(nowMs);
}

std::optional<int> CommissioningEngine::rowFor(int serial) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (!m_rowDone.at(i) && m_rows.at(i).serialNumber == serial)
            return i;
    }
    QSet<int> held; // rows that a written, unconfirmed module keeps
    for (const auto& [s, a] : m_unconfirmed)
        held.insert(a.row);
    for (int i = 0; i < m_rows.size(); ++i) {
        if (!m_rowDone.at(i) && !m_rows.at(i).serialNumber && !held.contains(i))
            return i;
    }
    return std::nullopt;
}

bool CommissioningEngine::tell(CommissionEvent event)
{
    if (m_seams.event && !m_seams.event(event))
        m_stopped = true;
    return !m_stopped;
}

void CommissioningEngine::finishIfDone(qint64 nowMs)
{
    if (m_finished || m_current || rowsLeft() > 0)
        return;
    m_finished = true;
    CommissionEvent e;
    e.kind = CommissionEvent::Kind::Finished;
    e.atMs = nowMs;
    tell(e);
}

std::optional<RecordEntry> commissionEntry(const CommissionEvent& event,
                                           const QList<CommissionRow>& rows,
                                           const RecordContext& context, const QDateTime& time)
{
    using K = CommissionEvent::Kind;
    if (event.kind != K::Confirmed && event.kind != K::NotConfirmed && event.kind != K::NoRow &&
        event.kind != K::Refused && event.kind != K::Written)
        return std::nullopt;
    RecordEntry e;
    e.time = time;
    e.context = context;
    e.planRow = event.row >= 0 && event.row < rows.size() ? rows.at(event.row).planRow : 0;
    e.serialNumber = event.serialNumber;
    e.before = event.before;
    e.writesSent = event.writesSent;
    if (event.kind == K::NoRow) {
        e.status = EntryStatus::Skipped;
        e.reason = QStringLiteral("no row of the plan is left for this module");
        return e;
    }
    if (event.kind == K::Refused) {
        e.status = EntryStatus::Refused;
        e.reason = event.reason;
        return e;
    }
    e.after = event.before ? recordAfterWrite(event.request, *event.before)
                           : *ModuleRecord::fromBytes(event.request.left(recordSize));
    e.status = event.kind == K::Confirmed ? EntryStatus::Confirmed : EntryStatus::NotConfirmed;
    if (event.kind == K::NotConfirmed)
        e.reason = QStringLiteral("no reply showed the record written within the settle period");
    if (event.kind == K::Written)
        e.reason = QStringLiteral("written; no confirmation yet");
    return e;
}

std::map<int, QList<int>> confirmedRows(const QList<RecordEntry>& entries,
                                        const QList<CommissionRow>& rows)
{
    std::map<int, QList<int>> done;
    for (const RecordEntry& e : entries) {
        if (e.status != EntryStatus::Confirmed || e.context.command != QLatin1String("commission"))
            continue;
        for (int i = 0; i < rows.size(); ++i) {
            if (rows.at(i).planRow != e.planRow)
                continue;
            QList<int>& serials = done[i];
            serials << e.serialNumber;
            if (e.after)
                serials << e.after->serialNumber();
        }
    }
    return done;
}

std::map<int, RecordEntry> unconfirmedRows(const QList<RecordEntry>& entries,
                                           const QList<CommissionRow>& rows)
{
    const std::map<int, QList<int>> confirmed = confirmedRows(entries, rows);
    std::map<int, RecordEntry> last;
    for (const RecordEntry& e : entries) {
        if (e.context.command != QLatin1String("commission"))
            continue;
        for (int i = 0; i < rows.size(); ++i) {
            if (rows.at(i).planRow == e.planRow && !confirmed.count(i))
                last.insert_or_assign(i, e);
        }
    }
    std::map<int, RecordEntry> open;
    for (const auto& [row, e] : last) {
        if (e.status == EntryStatus::NotConfirmed && e.before && e.after)
            open.emplace(row, e);
    }
    return open;
}

} // namespace duva::fleet
