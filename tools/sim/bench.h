#pragma once

#include "tools/sim/fleet.h"

#include <QStringList>
#include <deque>
#include <optional>
#include <set>

namespace duva::sim
{

struct BenchConfig {
    bool enabled = false;
    int gapMs = 1000;       // from a module's move off the shared address to the next plugged in
    int pairAt = 0;         // the pairAt-th module plugged in comes with the next one (0: never)
    int pairLeaveMs = 3000; // ...which is unplugged this long after, to come back later
};

// A technician's bench for commissioning: modules fresh from the factory, all at one address,
// plugged in one at a time. The next module is plugged in gapMs after the one before took a
// write that moved it off that address; a module that moved stays connected at its new
// address, as it would on the site's switch. Once (pairAt), two are plugged in together and
// the second is unplugged pairLeaveMs later; it comes back as the next module. Time is given
// in ms by the caller, so that tests need no clock.
class Bench
{
public:
    Bench(Fleet& fleet, BenchConfig config);

    // Unplugs every module but the first. One note a change, for the log.
    QStringList start(qint64 nowMs);
    // Plugs in and unplugs what is due by now.
    QStringList advance(qint64 nowMs);
    // The fleet's handling of a datagram, with what is due before it and what the outcome
    // sets going: a write that moved a module off the address, or a reset, which starts the
    // bench again.
    Outcome handle(const QByteArray& datagram, Channel channel, quint32 destination, qint64 nowMs);
    // When advance() has something to do next; no value when nothing is due.
    std::optional<qint64> nextChangeMs() const;

private:
    void plugNext(qint64 nowMs, QStringList& notes);
    void plug(int module, QStringList& notes);
    void scheduleNext(qint64 nowMs);

    Fleet& m_fleet;
    BenchConfig m_config;
    quint32 m_address = 0;
    std::deque<int> m_waiting; // modules not plugged in yet, in the order they come
    std::set<int> m_atAddress; // plugged in and still at the shared address
    int m_plugged = 0;         // modules plugged in so far (a pair counts one)
    std::optional<qint64> m_nextPlugMs;
    std::optional<std::pair<int, qint64>> m_leave; // module, when
};

} // namespace duva::sim
