#pragma once

#include "protocol/datagrams.h"
#include "protocol/ipv4.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

namespace duva
{
class UdpEndpoint;
}

namespace duva::fleet
{

// Where a search broadcasts: single broadcast addresses, and /16 networks a.b whose 256 /24
// broadcasts a.b.0.255 ... a.b.255.255 go out as one paced series.
struct SearchTargets {
    QList<Ipv4Address> broadcasts;
    QList<std::pair<int, int>> series;
    QStringList describe() const; // for messages: "10.77.0.255", "10.77.0.255 ... 10.77.255.255"
};

struct SearchTiming {
    int quietMs = 500;  // a request's round ends this long after the last reply...
    int totalMs = 3000; // ...or this long after its request, the window's own wait
    int attempts = 3;   // requests in all, at most, as the window sends when nobody answers
};

// One module as a search found it: its record, the address its reply came from, and the
// most replies it sent to one request (a module that answers twice is listed once).
struct FoundModule {
    ModuleRecord record;
    Ipv4Address from;
    int replies = 1;
};

// Searches through an endpoint bound to the reply port. Replies are 64-byte records; anything
// else is not a reply and is dropped.
class Search
{
public:
    Search(UdpEndpoint& endpoint, SearchTargets targets, SearchTiming timing);

    // Sends the request once and collects replies until the quiet period or the total wait
    // ends, or `enough` says so after a reply. Throws what the endpoint's send throws.
    // totalMs >= 0 replaces the timing's total wait.
    QList<FoundModule> once(const std::function<bool(const QList<FoundModule>&)>& enough = {},
                            int totalMs = -1);
    // Whether every module that the caller needs has answered.
    using Wanted = std::function<bool(const QList<FoundModule>&)>;
    // once(), again while nobody answered, while a round still brought new modules, or while
    // wanted says a module is missing, up to the timing's attempts; the rounds' modules
    // together. With untilWanted, rounds go on while wanted says no and the total wait since
    // the first request lasts, however many that takes, each at most a share of the total
    // wait (total / attempts).
    QList<FoundModule> run(const Wanted& wanted = {}, bool untilWanted = false);
    // Requests the last run() sent.
    int requests() const { return m_requests; }
    // Replies this computer dropped during the last run() because its receive buffer was
    // full; no value where the system does not say.
    std::optional<qint64> dropped() const { return m_dropped; }

    // Lets the event loop run for ms without collecting: replies to an earlier request that
    // arrive meanwhile are dropped.
    void pause(int ms);

    const SearchTargets& targets() const { return m_targets; }
    const SearchTiming& timing() const { return m_timing; }

private:
    void send();
    void take(const QByteArray& bytes, Ipv4Address from);
    // Lets the system report what it dropped up to now (it tells with the next datagram).
    void catchUpOnDrops();

    UdpEndpoint& m_endpoint;
    SearchTargets m_targets;
    SearchTiming m_timing;
    bool m_collecting = false;
    QList<FoundModule> m_found;
    std::function<void()> m_onReply;
    int m_requests = 0;
    std::optional<qint64> m_dropped;
};

// The address a module's record carries.
Ipv4Address addressOf(const ModuleRecord& record);

// Sorted by address, then serial number, so that output does not depend on reply order.
void sortByAddress(QList<FoundModule>& modules);

} // namespace duva::fleet
