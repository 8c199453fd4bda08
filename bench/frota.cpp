// The fleet window (duva-frota) where its speed shows, offscreen:
// - 1,000 modules found: from the last of 1,000 replies (sent in one burst on loopback to the
//   window's own search) to all 1,000 rows shown in its Modules table (model, sorting proxy,
//   duplicate marks, view painted), beside a bare QTableView over a QStandardItemModel fed
//   the same replies by a plain QUdpSocket; each run in a fresh process of its own, which
//   also reports its peak resident memory (VmHWM) with those rows shown;
// - the event-loop delay while the fleet's ordered writes (fleet::OrderedWrites, which waits in
//   nested event loops) shift 100 simulated modules in the test network, with the window's
//   plan table shown: the lateness of a 10 ms timer, beside the same timer with the loop idle.

#include "bench/benchmarks.h"
#include "bench/harness/child.h"
#include "bench/harness/eventloop.h"
#include "bench/harness/proc.h"
#include "bench/loopback.h"
#include "fleet/orderedwrites.h"
#include "fleet/plan.h"
#include "fleet/recordfields.h"
#include "fleet/replyendpoint.h"
#include "fleet/resolve.h"
#include "fleet/search.h"
#include "frota/mainwindow.h"
#include "frota/modulestab.h"
#include "frota/plantab.h"
#include "frota/searchsetup.h"
#include "protocol/datagrams.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace duva::bench
{

namespace
{

constexpr int found = 1000;
// Ten pairs of modules share an address, so that the duplicate marks have work to do.
constexpr int sharing = 10;
constexpr int timerMs = 10;
constexpr int shifted = 100;
constexpr int firstSerial = 1031; // duva-sim's first serial number
constexpr int settleMs = 6000;

// Reply k: address 10.1.x.y (the last ten repeat earlier ones), serial number 300000 + k.
QByteArray replyRecord(int k)
{
    const int place = k >= found - sharing ? k - found / 2 : k;
    QByteArray r = reply(place);
    r[1] = 1;
    const int serial = 300000 + k;
    r[offset::serialBytes] = char(serial >> 16);
    r[offset::serialBytes + 1] = char(serial >> 8);
    r[offset::serialBytes + 2] = char(serial);
    return r;
}

// Sends the 1,000 replies from fd to the port the request came from, once it has come.
// Returns when the last one went; false when no request came.
bool answerBurst(int fd)
{
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 5000) != 1)
        return false;
    sockaddr_in from{};
    socklen_t length = sizeof from;
    char request[128];
    if (::recvfrom(fd, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&from), &length) < 0)
        return false;
    for (int k = 0; k < found; ++k) {
        const QByteArray r = replyRecord(k);
        ::sendto(fd, r.constData(), size_t(r.size()), 0, reinterpret_cast<sockaddr*>(&from),
                 length);
    }
    return true;
}

// Notes when a view's viewport is painted with every row in its model.
struct ShownAll : QObject {
    const QAbstractItemModel* model = nullptr;
    bool shown = false;
    Clock::time_point at;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && !shown && model->rowCount() == found) {
            shown = true;
            at = Clock::now();
        }
        return false;
    }
};

// The fleet window as the program makes it, its search over an endpoint on a port of the
// system's choosing, asking 127.0.0.1, where the burst answers.
double fleetWindowRun(int feeder)
{
    frota::SearchSetup search = frota::openSearch(0);
    if (!search.session)
        return -1;
    frota::WindowParts parts;
    parts.session = search.session.get();
    parts.endpoint = search.endpoint.get();
    frota::MainWindow window(parts);
    window.show();
    runFor(100);
    QTableView* view = window.modulesTab()->findChild<QTableView*>();
    ShownAll shown;
    shown.model = window.modulesTab()->proxy();
    view->viewport()->installEventFilter(&shown);
    if (!search.session->start({Ipv4Address(127, 0, 0, 1)}) || !answerBurst(feeder))
        return -1;
    const Clock::time_point last = Clock::now();
    if (!runUntil([&shown] { return shown.shown; }, 30000))
        return -1;
    search.session->cancel();
    return msBetween(last, shown.at);
}

// Plain Qt: a QUdpSocket whose readyRead puts each reply's fields, as text, in a row of a
// QStandardItemModel under a bare QTableView.
double bareTableRun(int feeder)
{
    QStandardItemModel model;
    QStringList names;
    for (const fleet::FieldDescription& f : fleet::fieldDescriptions())
        names << f.name;
    model.setHorizontalHeaderLabels(names << QStringLiteral("from") << QStringLiteral("replies"));
    QTableView view;
    view.setModel(&model);
    view.resize(1100, 600);
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    // Room for the burst, as the window's endpoint asks (root may exceed the system limit).
    const int big = 4 << 20;
    const int fd = int(socket.socketDescriptor());
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &big, sizeof big) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram d = socket.receiveDatagram();
            const std::optional<ModuleRecord> record = ModuleRecord::fromBytes(d.data());
            if (!record)
                continue;
            QList<QStandardItem*> row;
            for (const fleet::FieldDescription& f : fleet::fieldDescriptions())
                row << new QStandardItem(f.text(*record));
            row << new QStandardItem(d.senderAddress().toString())
                << new QStandardItem(QStringLiteral("1"));
            model.appendRow(row);
        }
    });
    view.show();
    runFor(100);
    ShownAll shown;
    shown.model = &model;
    view.viewport()->installEventFilter(&shown);
    sendTo(feeder, SearchRequest::build(), socket.localPort()); // stands for its request
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(socket.localPort());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int k = 0; k < found; ++k) {
        const QByteArray r = replyRecord(k);
        ::sendto(feeder, r.constData(), size_t(r.size()), 0, reinterpret_cast<sockaddr*>(&to),
                 sizeof to);
    }
    const Clock::time_point last = Clock::now();
    if (!runUntil([&shown] { return shown.shown; }, 30000))
        return -1;
    return msBetween(last, shown.at);
}

// The shift plan of bench/fleet.cpp: every module onto the next one's address; after `run`
// earlier shifts, module k is at 10.77.0.(10 + k + run).
QByteArray shiftPlan(int run)
{
    QByteArray plan = "serialNumber,ipAddress\n";
    for (int k = 0; k < shifted; ++k)
        plan += QByteArray::number(firstSerial + k) + ",10.77.0." +
                QByteArray::number(10 + k + run + 1) + '\n';
    return plan;
}

// How late each tick of a 10 ms timer comes while it runs, in ms.
class Lateness : public QObject
{
public:
    Lateness()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(timerMs);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_late.push_back(std::max<qint64>(0, now - m_due) / 1e6);
            m_due = now + timerMs * 1000000LL;
        });
    }
    void start()
    {
        m_clock.start();
        m_due = timerMs * 1000000LL;
        m_timer.start();
    }
    std::vector<double> stop()
    {
        m_timer.stop();
        return std::move(m_late);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_due = 0;
    std::vector<double> m_late;
};

double percentile99(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[size_t(0.99 * double(values.size() - 1))];
}

// duva-sim's 100 modules in the modules' namespace, as bench/fleet.cpp starts them.
class SimulatedModules
{
public:
    explicit SimulatedModules(const Options& options)
    {
        m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_sim.start(QStringLiteral("ip"),
                    {"netns", "exec", options.modulesNamespace, options.sim, "--count",
                     QString::number(shifted), "--first-ip", "10.77.0.10", "--server", "--quiet"});
        m_listening = m_sim.waitForReadyRead(10000) && m_sim.readLine().contains("listening");
    }
    ~SimulatedModules() { stopChild(m_sim); }
    bool listening() const { return m_listening; }

private:
    QProcess m_sim;
    bool m_listening = false;
};

// One shift of the 100 modules by fleet::OrderedWrites, as duvactl apply sends it, in this
// process's event loop; the writes' outcome: how many were confirmed.
int shiftOnce(UdpEndpoint& endpoint, int run)
{
    fleet::Search search(endpoint, {{Ipv4Address(10, 77, 0, 255)}, {}}, fleet::SearchTiming{});
    const QList<fleet::FoundModule> modules = search.run();
    const fleet::Plan plan = fleet::readPlan(shiftPlan(run), fleet::PlanFormat::Csv);
    const fleet::Resolution resolution = fleet::resolvePlan(plan.rows, modules);
    if (resolution.status != fleet::Outcome::Ok)
        return 0;
    const fleet::PlannedOrder order = fleet::planOrder(resolution.writes, modules, {});
    if (!order.error.isEmpty())
        return 0;
    QString errors;
    QTextStream err(&errors);
    const bool interrupted = false;
    fleet::OrderedWrites writes(endpoint, search, settleMs, false, nullptr, err, interrupted);
    int confirmed = 0;
    for (const fleet::WriteResult& r : writes.run(resolution.writes, order.order))
        confirmed += r.confirmed ? 1 : 0;
    return confirmed;
}

void benchApplyDelay(Table& table, const Options& options)
{
    if (options.sim.isEmpty() || options.modulesNamespace.isEmpty()) {
        table.note("fleet window's apply row skipped: it needs duva-sim in the test network "
                   "(scripts/bench.sh as root)");
        return;
    }
    const SimulatedModules sim(options);
    std::unique_ptr<UdpEndpoint> endpoint = fleet::openReplyEndpoint(fleet::replyPort);
    if (!sim.listening() || !endpoint->isBound()) {
        table.note("fleet window's apply row skipped: duva-sim did not start or port 5001 is "
                   "taken");
        return;
    }
    QTemporaryDir dir;
    const QString planPath = dir.filePath(QStringLiteral("shift.csv"));
    QFile planFile(planPath);
    if (!planFile.open(QIODevice::WriteOnly) || planFile.write(shiftPlan(0)) < 0)
        return;
    planFile.close();
    frota::MainWindow window(frota::WindowParts{});
    QString error;
    window.planTab()->openFile(planPath, &error);
    window.tabs()->setCurrentWidget(window.planTab());
    window.show();
    runFor(200);

    std::vector<double> idleMax, idleP99, applyMax, applyP99;
    int failed = 0;
    for (int run = 0; run < options.runs; ++run) {
        Lateness idle;
        idle.start();
        runFor(2000);
        const std::vector<double> quiet = idle.stop();
        idleMax.push_back(*std::max_element(quiet.begin(), quiet.end()));
        idleP99.push_back(percentile99(quiet));

        Lateness busy;
        busy.start();
        const int confirmed = shiftOnce(*endpoint, run);
        const std::vector<double> during = busy.stop();
        if (confirmed != shifted || during.empty()) {
            std::fprintf(stderr, "duva-bench: the window's shift %d confirmed %d of %d\n", run,
                         confirmed, shifted);
            ++failed;
            continue;
        }
        applyMax.push_back(*std::max_element(during.begin(), during.end()));
        applyP99.push_back(percentile99(during));
    }
    Row largest{"fleet window, 100-module shift by OrderedWrites: 10 ms timer, largest delay (ms)",
                "the loop idle",
                stats(idleMax),
                stats(applyMax),
                "< 100",
                {},
                1};
    largest.met = largest.measured.valid && failed == 0 && largest.measured.median < 100;
    table.add(largest);
    Row p99{"fleet window, 100-module shift by OrderedWrites: 10 ms timer, 99th percentile (ms)",
            "the loop idle",
            stats(idleP99),
            stats(applyP99),
            "< 20",
            {},
            1};
    p99.met = p99.measured.valid && failed == 0 && p99.measured.median < 20;
    table.add(p99);
}

} // namespace

// In the child: one run of the 1,000 rows in the fleet window ("window") or the bare table
// ("bare"); prints the time from the last reply to all rows shown, and the peak resident
// memory then.
int frotaChild(int argc, char** argv, const QString& mode)
{
    QApplication app(argc, argv);
    const int feeder = udpSocket(modulePort, false);
    const double ms =
        mode == QLatin1String("window") ? fleetWindowRun(feeder) : bareTableRun(feeder);
    ::close(feeder);
    if (ms < 0)
        return 1;
    std::printf("%.3f %ld\n", ms, peakResidentKb());
    std::fflush(stdout);
    return 0;
}

void benchFrota(Table& table, const Options& options)
{
    std::vector<double> ms[2], peak[2];
    const char* modes[2] = {"bare", "window"};
    for (int i = 0; i < options.runs; ++i) {
        for (int m = 0; m < 2; ++m) {
            QProcess child;
            const std::optional<QByteArray> line =
                startChild(child, QCoreApplication::applicationFilePath(),
                           {QStringLiteral("--frota-child"), QLatin1String(modes[m])}, 60000);
            double t = 0;
            long kb = 0;
            if (line && std::sscanf(line->constData(), "%lf %ld", &t, &kb) == 2) {
                ms[m].push_back(t);
                peak[m].push_back(kb / 1024.0);
            } else {
                std::fprintf(stderr, "duva-bench: the %s table did not show 1,000 rows\n",
                             modes[m]);
            }
            stopChild(child);
        }
    }
    table.add({"fleet window, 1,000 modules found: last reply to all rows shown (ms)",
               "bare QTableView",
               stats(ms[0]),
               stats(ms[1]),
               "",
               {},
               1});
    table.add({"fleet window, 1,000 modules shown: peak memory VmHWM (MB)",
               "bare QTableView",
               stats(peak[0]),
               stats(peak[1]),
               "",
               {},
               1});
    benchApplyDelay(table, options);
}

} // namespace duva::bench
