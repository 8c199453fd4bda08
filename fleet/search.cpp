#include "fleet/search.h"

#include "net/broadcastseries.h"
#include "net/interfaces.h"
#include "net/udpendpoint.h"
#include "protocol/confirmation.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace duva::fleet
{

QStringList SearchTargets::describe() const
{
    QStringList out;
    for (const Ipv4Address b : broadcasts)
        out << b.toString();
    for (const auto& [a, b] : series)
        out << QStringLiteral("%1 ... %2")
                   .arg(broadcastAddress(a, b, 0), broadcastAddress(a, b, 255));
    return out;
}

Search::Search(UdpEndpoint& endpoint, SearchTargets targets, SearchTiming timing)
    : m_endpoint(endpoint), m_targets(std::move(targets)), m_timing(timing)
{
    m_endpoint.setOnDataReceived([this](UdpEndpoint& sender, int, const QString& fromIp, int) {
        char buffer[UdpEndpoint::bufferSize];
        const int n = sender.copyReceived(buffer, sizeof buffer);
        // The endpoint speaks IPv4 only: its sender is always a dotted address.
        const auto from = Ipv4Address::parse(fromIp);
        if (n == recordSize && m_collecting && from)
            take(QByteArray(buffer, n), *from);
    });
}

void Search::send()
{
    const QByteArray request = SearchRequest::build();
    sendToEach(m_endpoint, m_targets.broadcasts, modulePort, request);
    for (const auto& [a, b] : m_targets.series)
        sendToEveryNetworkOfPrefix(m_endpoint, a, b, modulePort, request);
}

void Search::take(const QByteArray& bytes, Ipv4Address from)
{
    const ModuleRecord record = *ModuleRecord::fromBytes(bytes);
    // The same module answering again (to a repeated request, or twice to one) is counted,
    // not listed again.
    for (FoundModule& m : m_found) {
        if (m.record.bytes() == record.bytes() && m.from == from) {
            ++m.replies;
            if (m_onReply)
                m_onReply();
            return;
        }
    }
    m_found.append({record, from, 1});
    if (m_onReply)
        m_onReply();
}

QList<FoundModule> Search::once(const std::function<bool(const QList<FoundModule>&)>& enough,
                                int totalMs)
{
    m_found.clear();
    m_collecting = true;
    QEventLoop loop;
    QTimer total;
    total.setSingleShot(true);
    total.setTimerType(Qt::PreciseTimer);
    QTimer quiet;
    quiet.setSingleShot(true);
    quiet.setTimerType(Qt::PreciseTimer);
    QObject::connect(&total, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    bool done = false;
    m_onReply = [&] {
        if (enough && enough(m_found)) {
            done = true;
            loop.quit();
        } else {
            quiet.start(m_timing.quietMs);
        }
    };
    try {
        send();
    } catch (...) {
        m_collecting = false;
        m_onReply = nullptr;
        throw;
    }
    total.start(totalMs >= 0 ? totalMs : m_timing.totalMs);
    // Replies that came in during a long series are taken now.
    QCoreApplication::processEvents();
    if (!done)
        loop.exec();
    m_collecting = false;
    m_onReply = nullptr;
    return m_found;
}

QList<FoundModule> Search::run(const Wanted& wanted, bool untilWanted)
{
    const std::optional<qint64> droppedBefore = m_endpoint.droppedDatagrams();
    QDeadlineTimer deadline(m_timing.totalMs, Qt::PreciseTimer);
    QList<FoundModule> all;
    m_requests = 0;
    for (;;) {
        const qsizetype before = all.size();
        // Until wanted, a request that nobody answers leaves room for the next ones.
        const int wait = untilWanted
                             ? int(std::min<qint64>(deadline.remainingTime(),
                                                    std::max(m_timing.quietMs,
                                                             m_timing.totalMs / m_timing.attempts)))
                             : -1;
        for (const FoundModule& m : once({}, wait)) {
            const auto same = std::find_if(all.begin(), all.end(), [&m](const FoundModule& a) {
                return a.from == m.from && a.record.bytes() == m.record.bytes();
            });
            if (same == all.end())
                all.append(m);
            else
                same->replies = std::max(same->replies, m.replies);
        }
        ++m_requests;
        const bool satisfied = !wanted || wanted(all);
        if (untilWanted) {
            if (satisfied || deadline.hasExpired())
                break;
            continue;
        }
        const bool grew = all.size() > before;
        if (m_requests >= m_timing.attempts || (!all.isEmpty() && !grew && satisfied))
            break;
    }
    catchUpOnDrops();
    const std::optional<qint64> droppedAfter = m_endpoint.droppedDatagrams();
    m_dropped.reset();
    if (droppedBefore && droppedAfter)
        m_dropped = *droppedAfter - *droppedBefore;
    return all;
}

void Search::catchUpOnDrops()
{
    if (!m_endpoint.droppedDatagrams())
        return;
    // A byte to ourselves, on loopback: it carries the count as it stands now. Not being a
    // record, it is no reply.
    m_endpoint.setRemoteHost(QStringLiteral("127.0.0.1"));
    m_endpoint.setRemotePort(m_endpoint.boundPort());
    QBuffer stream;
    stream.setData(QByteArray(1, '\0'));
    stream.open(QIODevice::ReadOnly);
    m_endpoint.sendDatagram(stream);
    for (int i = 0; i < 10 && m_endpoint.hasPendingDatagram(); ++i)
        QCoreApplication::processEvents();
}

void Search::pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

Ipv4Address addressOf(const ModuleRecord& record)
{
    return Ipv4Address::fromBytes(record.bytes(), offset::ipAddress);
}

void sortByAddress(QList<FoundModule>& modules)
{
    const auto key = [](const FoundModule& m) {
        return std::make_pair(addressOf(m.record), moduleIdentity(m.record));
    };
    std::stable_sort(modules.begin(), modules.end(),
                     [&](const FoundModule& x, const FoundModule& y) { return key(x) < key(y); });
}

} // namespace duva::fleet
