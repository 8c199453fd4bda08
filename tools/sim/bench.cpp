#include "tools/sim/bench.h"

#include "protocol/datagrams.h"

namespace duva::sim
{

namespace
{

QString moduleName(const Fleet& fleet, int module)
{
    const auto record = ModuleRecord::fromBytes(fleet.record(module));
    return QStringLiteral("module %1 (serial %2)")
        .arg(module + 1)
        .arg(record ? record->serialNumber() : -1);
}

} // namespace

Bench::Bench(Fleet& fleet, BenchConfig config) : m_fleet(fleet), m_config(config) {}

QStringList Bench::start(qint64 nowMs)
{
    QStringList notes;
    m_address = Fleet::addressOf(m_fleet.record(0));
    m_waiting.clear();
    m_atAddress.clear();
    m_plugged = 0;
    m_nextPlugMs.reset();
    m_leave.reset();
    for (int i = 0; i < m_fleet.size(); ++i) {
        m_fleet.setConnected(i, false);
        m_waiting.push_back(i);
    }
    plugNext(nowMs, notes);
    return notes;
}

void Bench::plug(int module, QStringList& notes)
{
    m_fleet.setConnected(module, true);
    m_atAddress.insert(module);
    notes << QStringLiteral("bench: %1 plugged in at %2")
                 .arg(moduleName(m_fleet, module), addressText(m_address));
}

void Bench::plugNext(qint64 nowMs, QStringList& notes)
{
    if (m_waiting.empty())
        return;
    plug(m_waiting.front(), notes);
    m_waiting.pop_front();
    if (++m_plugged == m_config.pairAt && !m_waiting.empty()) {
        const int second = m_waiting.front();
        m_waiting.pop_front();
        plug(second, notes);
        m_leave = std::pair{second, nowMs + m_config.pairLeaveMs};
    }
}

void Bench::scheduleNext(qint64 nowMs)
{
    if (m_atAddress.empty() && !m_waiting.empty() && !m_nextPlugMs)
        m_nextPlugMs = nowMs + m_config.gapMs;
}

QStringList Bench::advance(qint64 nowMs)
{
    QStringList notes;
    if (m_leave && nowMs >= m_leave->second) {
        const int module = m_leave->first;
        m_leave.reset();
        // Only while it is still a fresh module at the address: one that took a write stays.
        if (m_atAddress.erase(module) > 0) {
            m_fleet.setConnected(module, false);
            m_waiting.push_front(module);
            notes << QStringLiteral("bench: %1 unplugged").arg(moduleName(m_fleet, module));
            scheduleNext(nowMs);
        }
    }
    if (m_nextPlugMs && nowMs >= *m_nextPlugMs) {
        m_nextPlugMs.reset();
        plugNext(nowMs, notes);
    }
    return notes;
}

Outcome Bench::handle(const QByteArray& datagram, Channel channel, quint32 destination,
                      qint64 nowMs)
{
    const QStringList before = advance(nowMs);
    Outcome outcome = m_fleet.handle(datagram, channel, destination);
    if (outcome.kind == Outcome::Kind::Reset) {
        outcome.notes << start(nowMs);
    } else if (outcome.kind == Outcome::Kind::Write) {
        for (auto it = m_atAddress.begin(); it != m_atAddress.end();) {
            if (Fleet::addressOf(m_fleet.record(*it)) == m_address) {
                ++it;
                continue;
            }
            outcome.notes << QStringLiteral("bench: %1 moved to %2")
                                 .arg(moduleName(m_fleet, *it),
                                      addressText(Fleet::addressOf(m_fleet.record(*it))));
            it = m_atAddress.erase(it);
        }
        scheduleNext(nowMs);
    }
    outcome.notes = before + outcome.notes;
    return outcome;
}

std::optional<qint64> Bench::nextChangeMs() const
{
    std::optional<qint64> at = m_nextPlugMs;
    if (m_leave)
        at = std::min(at.value_or(m_leave->second), m_leave->second);
    return at;
}

} // namespace duva::sim
