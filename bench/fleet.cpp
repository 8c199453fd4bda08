// duvactl over a simulated fleet of 100 modules in the test network: a search until the full
// list, against its floor (the quiet period after the last reply plus the time that reply
// took to arrive), and the apply of a 100-module plan until all are confirmed, against one
// module at a time with the window's 6 s wait after each write, and the apply of a plan that
// shifts the 100 modules each onto the next one's address.

#include "bench/benchmarks.h"
#include "bench/harness/child.h"
#include "bench/harness/proc.h"
#include "bench/loopback.h"
#include "protocol/datagrams.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
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

constexpr int fleetSize = 100;
constexpr int firstSerial = 1031; // duva-sim's first serial number
constexpr int quietMs = 500;      // duvactl's quiet period, given explicitly
constexpr int settleMs = 6000;    // the window's wait after a write, duvactl's default
const char* const firstModuleIp = "10.77.0.10";
constexpr quint32 fleetBroadcast = 0x0A4D00FF; // 10.77.0.255, the test network's

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { ::close(m_fd); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// duva-sim playing the fleet in the modules' namespace. Its log of every datagram goes to a
// file, so that it never waits for a reader while duvactl runs.
class SimulatedFleet
{
public:
    SimulatedFleet(const Options& options, const QString& log)
    {
        m_sim.setStandardOutputFile(log);
        m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_sim.start(QStringLiteral("ip"),
                    {QStringLiteral("netns"), QStringLiteral("exec"), options.modulesNamespace,
                     options.sim, QStringLiteral("--count"), QString::number(fleetSize),
                     QStringLiteral("--first-ip"), QLatin1String(firstModuleIp),
                     QStringLiteral("--server")});
        QFile file(log);
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && m_sim.state() != QProcess::NotRunning) {
            if (file.open(QIODevice::ReadOnly) && file.readAll().contains("listening")) {
                m_listening = true;
                break;
            }
            file.close();
            QThread::msleep(20);
        }
    }
    ~SimulatedFleet() { stopChild(m_sim); }
    bool listening() const { return m_listening; }

private:
    QProcess m_sim;
    bool m_listening = false;
};

// The floor's own part: one search broadcast to the fleet, and the time from sending it to
// the arrival of the last of the fleet's replies (kernel times); nothing if some stay away.
std::optional<double> lastReplyMs()
{
    const Fd fd(udpSocket(0, true));
    const int one = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(modulePort);
    to.sin_addr.s_addr = htonl(fleetBroadcast);
    const QByteArray request = SearchRequest::build();
    const qint64 sent = realtimeNs();
    if (::sendto(fd.get(), request.constData(), size_t(request.size()), 0,
                 reinterpret_cast<sockaddr*>(&to), sizeof to) != request.size())
        return std::nullopt;
    int replies = 0;
    qint64 last = 0;
    const QDeadlineTimer deadline(3000);
    while (replies < fleetSize && !deadline.hasExpired()) {
        pollfd p{fd.get(), POLLIN, 0};
        ::poll(&p, 1, int(deadline.remainingTime()));
        for (const Arrival& a : drain(fd.get())) {
            if (a.bytes.size() == recordSize) {
                ++replies;
                last = std::max(last, a.ns);
            }
        }
    }
    if (replies < fleetSize)
        return std::nullopt;
    return (last - sent) / 1e6;
}

struct Run {
    double ms = 0;
    int exitCode = -1; // -1: did not finish
    QByteArray output;
};

// duvactl with arguments, timed from its start to its end.
Run duvactl(const Options& options, const QStringList& arguments, int timeoutMs)
{
    QProcess p;
    Run run;
    const Clock::time_point start = Clock::now();
    p.start(options.duvactl, arguments);
    const bool finished = p.waitForFinished(timeoutMs);
    run.ms = msBetween(start, Clock::now());
    run.output = p.readAllStandardOutput();
    if (!finished) {
        p.kill();
        p.waitForFinished();
    } else if (p.exitStatus() == QProcess::NormalExit) {
        run.exitCode = p.exitCode();
    }
    if (run.exitCode != 0) {
        std::fprintf(stderr, "duva-bench: duvactl %s: %s\n%s", qPrintable(arguments.join(' ')),
                     run.exitCode < 0 ? "did not finish" : "failed",
                     p.readAllStandardError().constData());
    }
    return run;
}

// Lines of a CSV listing after its header.
int modulesListed(const QByteArray& csv)
{
    int lines = 0;
    for (const QByteArray& line : csv.split('\n'))
        if (!line.trimmed().isEmpty())
            ++lines;
    return std::max(0, lines - 1);
}

// A plan that gives every module of the fleet, by serial number, a new local port.
bool writePlan(const QString& path, int localPort)
{
    QFile plan(path);
    if (!plan.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    plan.write("serialNumber,localPort\n");
    for (int k = 0; k < fleetSize; ++k)
        plan.write(QByteArray::number(firstSerial + k) + ',' + QByteArray::number(localPort) +
                   '\n');
    return plan.flush();
}

// A plan that moves every module, by serial number, onto the address of the next one, and the
// last onto the free address after the fleet: after `run` earlier shifts, module k is at
// 10.77.0.(10 + k + run).
bool writeShiftPlan(const QString& path, int run)
{
    QFile plan(path);
    if (!plan.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    plan.write("serialNumber,ipAddress\n");
    for (int k = 0; k < fleetSize; ++k)
        plan.write(QByteArray::number(firstSerial + k) + ",10.77.0." +
                   QByteArray::number(10 + k + run + 1) + '\n');
    return plan.flush();
}

// Why the fleet rows cannot run here; empty when they can.
QString missing(const Options& options)
{
    if (options.duvactl.isEmpty() || !QFileInfo(options.duvactl).isExecutable())
        return QStringLiteral("there is no duvactl (%1)")
            .arg(options.duvactl.isEmpty() ? QStringLiteral("not built in this tree")
                                           : options.duvactl);
    if (options.sim.isEmpty() || options.modulesNamespace.isEmpty())
        return QStringLiteral("they need duva-sim in the test network (--sim, --modules-netns; "
                              "scripts/bench.sh makes it when run as root)");
    return {};
}

} // namespace

void benchFleet(Table& table, const Options& options)
{
    const QString why = missing(options);
    if (!why.isEmpty()) {
        const std::string note = "duvactl rows skipped: " + why.toStdString();
        std::fprintf(stderr, "duva-bench: %s\n", note.c_str());
        table.note(note);
        return;
    }
    QTemporaryDir dir;
    const auto fleet = std::make_unique<SimulatedFleet>(options, dir.filePath("sim.log"));
    if (!fleet->listening()) {
        table.note("duvactl rows skipped: duva-sim did not start");
        return;
    }

    std::vector<double> floor, search;
    const QStringList searchArguments = {QStringLiteral("search"), QStringLiteral("--csv"),
                                         QStringLiteral("--quiet-ms"), QString::number(quietMs)};
    for (int i = 0; i < options.runs; ++i) {
        if (const std::optional<double> last = lastReplyMs())
            floor.push_back(quietMs + *last);
        else
            std::fprintf(stderr, "duva-bench: the floor's search missed some of the fleet\n");
        QThread::msleep(100);
        const Run run = duvactl(options, searchArguments, 10000);
        if (run.exitCode == 0 && modulesListed(run.output) == fleetSize)
            search.push_back(run.ms);
        else if (run.exitCode == 0)
            std::fprintf(stderr, "duva-bench: duvactl search listed %d of %d modules\n",
                         modulesListed(run.output), fleetSize);
        QThread::msleep(100);
    }
    table.add({"duvactl search, 100 modules: full list (ms)",
               "quiet 500 + last reply",
               stats(floor),
               stats(search),
               "",
               {},
               1});

    std::vector<double> apply;
    int failed = 0;
    const QString plan = dir.filePath(QStringLiteral("plan.csv"));
    for (int i = 0; i < options.runs; ++i) {
        // A new port each run, so that every run changes every module.
        if (!writePlan(plan, 6000 + i)) {
            ++failed;
            continue;
        }
        const Run run = duvactl(options, {QStringLiteral("apply"), plan}, 60000);
        if (run.exitCode == 0)
            apply.push_back(run.ms);
        else
            ++failed;
    }
    Row row{"duvactl apply, 100 modules: all confirmed (ms)",
            "one at a time, 100 x 6 s",
            constant(fleetSize * settleMs),
            stats(apply),
            "< 10000",
            {},
            0};
    row.met = row.measured.valid && failed == 0 && row.measured.median < 10000;
    table.add(row);

    // The same apply keeping a record: each module's entry goes to disk (the whole file
    // rewritten and synced) before its write, and again with its outcome.
    std::vector<double> recorded;
    int recordFailed = 0;
    for (int i = 0; i < options.runs; ++i) {
        const QString record = dir.filePath(QStringLiteral("record-%1.json").arg(i));
        const Run run =
            writePlan(plan, 6100 + i)
                ? duvactl(options,
                          {QStringLiteral("apply"), plan, QStringLiteral("--record"), record},
                          60000)
                : Run{};
        if (run.exitCode == 0)
            recorded.push_back(run.ms);
        else
            ++recordFailed;
    }
    Row recordRow{"duvactl apply, 100 modules, --record: all confirmed (ms)",
                  "the same without --record",
                  stats(apply),
                  stats(recorded),
                  "< 10000",
                  {},
                  0};
    recordRow.met =
        recordRow.measured.valid && recordFailed == 0 && recordRow.measured.median < 10000;
    table.add(recordRow);

    // The same fleet shifted: every write goes to an address that another module is given,
    // so the order matters; still one burst, each module confirmed as soon as it shows its
    // write.
    std::vector<double> shift;
    int shiftFailed = 0;
    for (int i = 0; i < options.runs; ++i) {
        const Run run = writeShiftPlan(plan, i)
                            ? duvactl(options, {QStringLiteral("apply"), plan}, 60000)
                            : Run{};
        if (run.exitCode == 0)
            shift.push_back(run.ms);
        else
            ++shiftFailed;
    }
    Row shiftRow{"duvactl apply, 100 shifted: all confirmed (ms)",
                 "one settle period",
                 constant(settleMs),
                 stats(shift),
                 "< 10000",
                 {},
                 0};
    shiftRow.met = shiftRow.measured.valid && shiftFailed == 0 && shiftRow.measured.median < 10000;
    table.add(shiftRow);
}

} // namespace duva::bench
