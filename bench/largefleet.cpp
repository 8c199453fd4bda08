// duvactl's search of 1,000 modules on a /16 answering in one burst: four simulators of 250
// modules each share the search port in the modules' namespace. Every run should list all
// 1,000; its time stands beside the floor of the same run: two requests (the second finds
// nothing new, which ends the search), each the quiet period after the last of 1,000 replies.

#include "bench/benchmarks.h"
#include "bench/harness/child.h"
#include "bench/harness/proc.h"
#include "bench/loopback.h"
#include "protocol/datagrams.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace duva::bench
{

namespace
{

constexpr int fleets = 4;
constexpr int perFleet = 250;
constexpr int fleetSize = fleets * perFleet;
constexpr int quietMs = 500; // duvactl's default, given explicitly
constexpr int runs = 10;
constexpr quint32 sixteenBroadcast = 0x0A4DFFFF; // 10.77.255.255

bool ip(const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral("ip"), arguments);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The test network as a /16 while it lives: this side 10.77.0.1/16, and the modules' side
// taking the /16's broadcasts.
class SixteenBitNetwork
{
public:
    explicit SixteenBitNetwork(const QString& modules) : m_modules(modules)
    {
        m_made =
            ip({"addr", "del", "10.77.0.1/24", "dev", "veth-cfg"}) &&
            ip({"addr", "add", "10.77.0.1/16", "brd", "+", "dev", "veth-cfg"}) &&
            ip({"-n", m_modules, "addr", "add", "10.77.0.3/16", "brd", "+", "dev", "veth-mod"});
    }
    ~SixteenBitNetwork()
    {
        ip({"-n", m_modules, "addr", "del", "10.77.0.3/16", "dev", "veth-mod"});
        ip({"addr", "del", "10.77.0.1/16", "dev", "veth-cfg"});
        ip({"addr", "add", "10.77.0.1/24", "brd", "+", "dev", "veth-cfg"});
    }
    SixteenBitNetwork(const SixteenBitNetwork&) = delete;
    SixteenBitNetwork& operator=(const SixteenBitNetwork&) = delete;
    bool isMade() const { return m_made; }

private:
    QString m_modules;
    bool m_made = false;
};

// One simulator of 250 modules, 10.77.(k+1).1 on, logging only its first line.
class Fleet
{
public:
    Fleet(const Options& options, int k)
    {
        m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_sim.start(QStringLiteral("ip"), {"netns", "exec", options.modulesNamespace, options.sim,
                                           "--count", QString::number(perFleet), "--first-ip",
                                           QStringLiteral("10.77.%1.1").arg(k + 1), "--serial",
                                           QString::number(100000 + k * perFleet), "--server",
                                           "--share-port", "--quiet"});
        m_listening = m_sim.waitForReadyRead(10000) && m_sim.readLine().contains("listening");
    }
    ~Fleet() { stopChild(m_sim); }
    bool listening() const { return m_listening; }

private:
    QProcess m_sim;
    bool m_listening = false;
};

// One search broadcast to the /16 from a plain socket with room for every reply: the time
// from sending it to the arrival of the last of the fleet's replies (kernel times), and how
// many came.
std::pair<std::optional<double>, int> lastReply()
{
    const int fd = udpSocket(0, true);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(modulePort);
    to.sin_addr.s_addr = htonl(sixteenBroadcast);
    const QByteArray request = SearchRequest::build();
    const qint64 sent = realtimeNs();
    ::sendto(fd, request.constData(), size_t(request.size()), 0, reinterpret_cast<sockaddr*>(&to),
             sizeof to);
    int replies = 0;
    qint64 last = 0;
    const QDeadlineTimer deadline(3000);
    while (replies < fleetSize && !deadline.hasExpired()) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, int(deadline.remainingTime()));
        for (const Arrival& a : drain(fd)) {
            if (a.bytes.size() == recordSize) {
                ++replies;
                last = std::max(last, a.ns);
            }
        }
    }
    ::close(fd);
    if (replies < fleetSize)
        return {std::nullopt, replies};
    return {(last - sent) / 1e6, replies};
}

} // namespace

void benchLargeFleet(Table& table, const Options& options)
{
    if (options.duvactl.isEmpty() || options.sim.isEmpty() || options.modulesNamespace.isEmpty()) {
        table.note("1,000-module search skipped: it needs duvactl and duva-sim in the test "
                   "network (scripts/bench.sh as root)");
        return;
    }
    const SixteenBitNetwork network(options.modulesNamespace);
    std::vector<std::unique_ptr<Fleet>> sims;
    for (int k = 0; k < fleets && network.isMade(); ++k)
        sims.push_back(std::make_unique<Fleet>(options, k));
    if (!network.isMade() ||
        !std::all_of(sims.begin(), sims.end(), [](const auto& s) { return s->listening(); })) {
        table.note("1,000-module search skipped: the /16 test network or its simulators did "
                   "not start");
        return;
    }

    std::vector<double> floor, wall, listed;
    for (int i = 0; i < runs; ++i) {
        const auto [last, replies] = lastReply();
        if (last)
            floor.push_back(2 * (quietMs + *last));
        else
            std::fprintf(stderr, "duva-bench: the floor's plain reader got %d of %d replies\n",
                         replies, fleetSize);
        QThread::msleep(100);
        QProcess p;
        const Clock::time_point start = Clock::now();
        p.start(options.duvactl, {"search", "--json", "--quiet-ms", QString::number(quietMs)});
        const bool finished = p.waitForFinished(30000);
        const double ms = msBetween(start, Clock::now());
        if (!finished) {
            p.kill();
            p.waitForFinished();
        }
        const int count = int(QJsonDocument::fromJson(p.readAllStandardOutput()).array().size());
        const QByteArray err = p.readAllStandardError();
        std::fprintf(stderr,
                     "duva-bench: duvactl search run %d: %d of %d listed, %.0f ms, exit %d%s%s",
                     i + 1, count, fleetSize, ms, finished ? p.exitCode() : -1,
                     err.isEmpty() ? "" : "\n", err.constData());
        std::fprintf(stderr, "\n");
        listed.push_back(count);
        if (finished && p.exitCode() == 0)
            wall.push_back(ms);
        QThread::msleep(100);
    }
    table.add({"duvactl search, 1000 modules on a /16: wall time (ms)",
               "2 x (quiet 500 + last reply)",
               stats(floor),
               stats(wall),
               "",
               {},
               0});
    Row count{
        "... modules listed, each of 10 runs", "", {}, stats(listed), "1000 every run", {}, 0};
    count.met = count.measured.valid && count.measured.min == fleetSize;
    table.add(count);
}

} // namespace duva::bench
