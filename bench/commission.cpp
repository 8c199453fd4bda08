// duvactl commissioning 20 fresh modules of duva-sim's bench in the test network, plugged in
// one at a time, each 1 s after the one before moved off the factory address: the time of
// each module from its first answer at the factory address to its confirmation at its new
// address (duvactl's own clock, from its --json events), against the floor of one settle
// period per module that a write followed by the window's wait gives; and the searches sent
// per minute while waiting for a module, counted on the simulator's side.

#include "bench/benchmarks.h"
#include "bench/harness/child.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cstdio>

namespace duva::bench
{

namespace
{

constexpr int benchSize = 20;
constexpr int gapMs = 1000;       // from a module's move to the next one plugged in
constexpr int settleMs = 6000;    // the window's wait after a write: today's floor
constexpr int waitingMs = 15000;  // the wait for a module that does not come
constexpr int commissionRuns = 2; // each gives 20 modules' times
const char* const factoryIp = "10.77.0.10";

// duva-sim's commissioning bench in the modules' namespace, its log in a file.
class Bench
{
public:
    Bench(const Options& options, const QString& logPath) : m_log(logPath)
    {
        m_sim.setStandardOutputFile(logPath);
        m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_sim.start(QStringLiteral("ip"),
                    {QStringLiteral("netns"), QStringLiteral("exec"), options.modulesNamespace,
                     options.sim, QStringLiteral("--count"), QString::number(benchSize),
                     QStringLiteral("--first-ip"), QLatin1String(factoryIp),
                     QStringLiteral("--bench"), QStringLiteral("--bench-gap-ms"),
                     QString::number(gapMs), QStringLiteral("--server")});
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && m_sim.state() != QProcess::NotRunning) {
            if (log().contains("listening")) {
                m_listening = true;
                break;
            }
            QThread::msleep(20);
        }
    }
    ~Bench() { stopChild(m_sim); }
    bool listening() const { return m_listening; }
    QByteArray log() const
    {
        QFile file(m_log);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Searches that reached the modules so far.
    int searches() const { return int(log().count("note search: ")); }

private:
    QString m_log;
    QProcess m_sim;
    bool m_listening = false;
};

// A plan giving n modules, in plan order, the addresses from 10.77.0.(first) on.
bool writePlan(const QString& path, int n, int first)
{
    QFile plan(path);
    if (!plan.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    plan.write("ipAddress\n");
    for (int k = 0; k < n; ++k)
        plan.write("10.77.0." + QByteArray::number(first + k) + '\n');
    return plan.flush();
}

// Each confirmed module's time in duvactl's --json events.
std::vector<double> confirmedTimes(const QByteArray& output)
{
    std::vector<double> times;
    for (const QByteArray& line : output.split('\n')) {
        const QJsonObject e = QJsonDocument::fromJson(line).object();
        if (e.value(QStringLiteral("event")).toString() == QLatin1String("confirmed"))
            times.push_back(e.value(QStringLiteral("ms")).toDouble());
    }
    return times;
}

} // namespace

void benchCommission(Table& table, const Options& options)
{
    if (options.duvactl.isEmpty() || options.sim.isEmpty() || options.modulesNamespace.isEmpty()) {
        table.note("commissioning rows skipped: they need duvactl and duva-sim in the test "
                   "network (scripts/bench.sh makes it when run as root)");
        return;
    }
    std::vector<double> perModule, perMinute;
    int failed = 0;
    for (int run = 0; run < commissionRuns; ++run) {
        QTemporaryDir dir;
        const Bench bench(options, dir.filePath(QStringLiteral("sim.log")));
        const QString plan = dir.filePath(QStringLiteral("plan.csv"));
        if (!bench.listening() || !writePlan(plan, benchSize, 100)) {
            ++failed;
            continue;
        }
        QProcess p;
        p.start(options.duvactl, {QStringLiteral("commission"), plan, QStringLiteral("--at"),
                                  QLatin1String(factoryIp), QStringLiteral("--json")});
        if (!p.waitForFinished(benchSize * 10000) || p.exitCode() != 0) {
            std::fprintf(stderr, "duva-bench: duvactl commission failed:\n%s",
                         p.readAllStandardError().constData());
            stopChild(p);
            ++failed;
            continue;
        }
        const std::vector<double> times = confirmedTimes(p.readAllStandardOutput());
        if (int(times.size()) != benchSize)
            ++failed;
        perModule.insert(perModule.end(), times.begin(), times.end());

        // Waiting: a module that does not come, while the 20 commissioned answer every search
        // from their new addresses.
        const QString idlePlan = dir.filePath(QStringLiteral("idle.csv"));
        writePlan(idlePlan, 1, 250);
        QProcess idle;
        const int before = bench.searches();
        idle.start(options.duvactl, {QStringLiteral("commission"), idlePlan, QStringLiteral("--at"),
                                     QStringLiteral("10.77.0.200"), QStringLiteral("--json")});
        idle.waitForStarted();
        const Clock::time_point start = Clock::now();
        QThread::msleep(waitingMs);
        ::kill(pid_t(idle.processId()), SIGINT);
        idle.waitForFinished(5000);
        const double ms = msBetween(start, Clock::now());
        QThread::msleep(200); // the last search's note
        perMinute.push_back((bench.searches() - before) * 60000.0 / ms);
    }

    Row module{"commission, 20 modules: first answer to confirmed (ms)",
               "one settle period",
               constant(settleMs),
               stats(perModule),
               "<= 2000",
               {},
               0};
    module.met = module.measured.valid && failed == 0 && module.measured.max <= 2000;
    table.add(module);
    Row waiting{"commission: searches per minute while waiting",
                "one a second",
                constant(60),
                stats(perMinute),
                "<= 60",
                {},
                1};
    waiting.met = waiting.measured.valid && waiting.measured.max <= 60;
    table.add(waiting);
}

} // namespace duva::bench
