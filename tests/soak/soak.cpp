// duva-soak: the real window, offscreen, against a fleet of simulated modules for minutes on
// end, with a flood of hostile datagrams in the middle. It runs in the configurator's side of
// the test network that scripts/soak.sh makes; the flood is this same program started in the
// modules' side ("duva-soak flood ...").
//
// Prints replies lost, writes not confirmed, how long the window took to answer during the
// flood, and its resident memory at start, middle and end. Exits non-zero on a lost reply, a
// write not confirmed or resident memory growing by more than 10 %.

#include "window/windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

using namespace duva;
using namespace duva::test;

namespace
{

// ---- The flood ----

struct FloodOptions {
    QString to = QStringLiteral("10.77.0.1");
    int port = 5001;
    int rate = 10000;
    int seconds = 10;
};

// Datagrams of every size class, and 64-byte records of random bytes, in turn, at `rate` per
// second for `seconds`. Never more than rate * seconds datagrams, never longer than seconds + 5.
int flood(const FloodOptions& o)
{
    const int sizes[] = {0, 1, 63, 65, 2048, 2049, 65507, recordSize};
    constexpr int classes = sizeof sizes / sizeof sizes[0];
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(quint16(o.port));
    if (s < 0 || ::inet_pton(AF_INET, o.to.toLatin1().constData(), &to.sin_addr) != 1) {
        std::fprintf(stderr, "flood: no socket or bad address %s\n", qPrintable(o.to));
        return 2;
    }
    std::vector<char> payload(65507);
    QRandomGenerator random(1461);
    for (char& c : payload)
        c = char(random.bounded(256));

    const long long total = (long long)o.rate * o.seconds;
    long long sent = 0;
    long long failed = 0;
    long long perClass[classes] = {};
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const auto elapsedNs = [&start] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return (now.tv_sec - start.tv_sec) * 1000000000LL + (now.tv_nsec - start.tv_nsec);
    };
    std::printf("flood: started\n");
    std::fflush(stdout);
    const long long limitNs = (o.seconds + 5) * 1000000000LL;
    for (long long i = 0; i < total && elapsedNs() < limitNs; ++i) {
        // Datagram i is due at i / rate seconds.
        const long long due = i * 1000000000LL / o.rate;
        const long long wait = due - elapsedNs();
        if (wait > 0) {
            const timespec pause{time_t(wait / 1000000000LL), long(wait % 1000000000LL)};
            nanosleep(&pause, nullptr);
        }
        const int k = int(i % classes);
        if (sizes[k] == recordSize) {
            // A hostile record: random bytes, but never an address of the fleet's network.
            for (int b = 0; b < recordSize; ++b)
                payload[size_t(b)] = char(random.bounded(256));
            payload[0] = char(200 + random.bounded(50));
        }
        if (::sendto(s, payload.data(), size_t(sizes[k]), 0, reinterpret_cast<sockaddr*>(&to),
                     sizeof to) == sizes[k]) {
            ++sent;
            ++perClass[k];
        } else {
            ++failed;
        }
    }
    const double seconds = elapsedNs() / 1e9;
    std::printf("flood: sent %lld datagrams in %.1f s (%.0f per second), %lld failed sends;", sent,
                seconds, sent / seconds, failed);
    for (int k = 0; k < classes; ++k)
        std::printf(" %d bytes: %lld%s", sizes[k], perClass[k], k + 1 < classes ? "," : "\n");
    ::close(s);
    return 0;
}

// ---- The window ----

struct SoakOptions {
    int minutes = 3;
    int fleet = 20;
    QString firstIp = QStringLiteral("10.77.0.10");
    int searchesPerWrite = 10;
    FloodOptions flood;
};

// The kernel's UDP counters of this network namespace: datagrams delivered to sockets and
// datagrams dropped because a socket's receive buffer was full.
struct UdpCounters {
    long long in = 0;
    long long bufferFull = 0;
};

UdpCounters udpCounters()
{
    std::ifstream snmp("/proc/net/snmp");
    std::string line;
    std::vector<std::string> names;
    UdpCounters c;
    while (std::getline(snmp, line)) {
        if (line.rfind("Udp: ", 0) != 0)
            continue;
        std::istringstream fields(line.substr(5));
        std::vector<std::string> words{std::istream_iterator<std::string>(fields), {}};
        if (names.empty()) {
            names = words;
            continue;
        }
        for (size_t i = 0; i < words.size() && i < names.size(); ++i) {
            if (names[i] == "InDatagrams")
                c.in = std::stoll(words[i]);
            else if (names[i] == "RcvbufErrors")
                c.bufferFull = std::stoll(words[i]);
        }
        break;
    }
    return c;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKb()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Runs the event loop, as the program's own does, until done() or timeoutMs; returns done().
// (QTest::qWait would sleep between rounds and leave datagrams waiting meanwhile.)
template <typename F> bool pumpUntil(F done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QElapsedTimer t;
    t.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || t.elapsed() >= timeoutMs)
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    return done();
}

// Runs the event loop for ms.
void pump(int ms)
{
    pumpUntil([] { return false; }, ms);
}

class Soak
{
public:
    explicit Soak(const SoakOptions& o) : m_o(o)
    {
        const quint32 first = QHostAddress(o.firstIp).toIPv4Address();
        for (int i = 0; i < o.fleet; ++i)
            m_fleet << QHostAddress(first + quint32(i)).toString();
        FormDeps deps = FormDeps::system(QStringLiteral("duva-configurador"));
        deps.presenter = m_presenter;
        m_form = std::make_unique<TForm1>(std::move(deps));
        m_form->show();
        m_form->activateWindow();
        if (!QTest::qWaitForWindowActive(m_form.get()))
            std::fprintf(stderr, "duva-soak: the window did not become active\n");
    }

    int run();

private:
    QSet<QString> listed() const
    {
        const QStringList texts = lines(m_form->ListBox3);
        return {texts.begin(), texts.end()};
    }

    // One search through a click on "Procurar módulos na rede": waits until every module is
    // listed (or 3 s, when the window would search again), and a little longer for stragglers.
    // Returns the time the window took to list them all.
    qint64 search();
    // One write: a module chosen from the list, its local port retyped, "GRAVAR" clicked; then
    // the window's own search six seconds later must show the module with the new port.
    void write();
    void flood();

    SoakOptions m_o;
    QStringList m_fleet;
    std::shared_ptr<RecordingPresenter> m_presenter = std::make_shared<RecordingPresenter>();
    std::unique_ptr<TForm1> m_form;
    int m_searches = 0;
    int m_repliesLost = 0;
    int m_writes = 0;
    int m_writesNotConfirmed = 0;
    int m_floodSearches = 0;
    qint64 m_floodAnswerMaxMs = 0;
    qint64 m_floodLoopLagMaxMs = 0;
    QString m_floodReport;
    long long m_floodDelivered = 0;
    long long m_floodBufferFull = 0;
    double m_floodCpuPercent = 0;
};

qint64 Soak::search()
{
    TForm1& f = *m_form;
    // After a click the button stays locked for a second.
    pumpUntil([&f] { return f.Panel1->isEnabled(); }, 3000);
    QElapsedTimer t;
    t.start();
    QTest::mouseClick(f.Label11, Qt::LeftButton);
    const QSet<QString> fleet(m_fleet.begin(), m_fleet.end());
    pumpUntil([&] { return listed().contains(fleet); }, 3000);
    const qint64 answered = t.elapsed();
    pump(50);
    ++m_searches;
    const QSet<QString> missing = fleet - listed();
    if (!missing.isEmpty()) {
        m_repliesLost += int(missing.size());
        QStringList names(missing.begin(), missing.end());
        std::sort(names.begin(), names.end());
        std::fprintf(stderr, "search %d: no reply from %s\n", m_searches,
                     qPrintable(names.join(", ")));
    }
    return answered;
}

void Soak::write()
{
    TForm1& f = *m_form;
    search();
    const QString module = m_fleet.at(m_writes % m_fleet.size());
    const int port = 2000 + (m_writes * 37) % 60000;
    ++m_writes;
    const auto fail = [&](const char* why) {
        ++m_writesNotConfirmed;
        std::fprintf(stderr, "write %d to %s: %s\n", m_writes, qPrintable(module), why);
    };
    const int line = lines(f.ListBox3).indexOf(module);
    if (line < 0)
        return fail("not listed");
    chooseLine(f, line);
    if (f.selectedModuleIp() != module)
        return fail("could not be chosen");
    // Focus moves between fields only in the active window.
    f.activateWindow();
    if (!QTest::qWaitForWindowActive(&f))
        return fail("the window is not active");
    retype(f.Edit11, QString::number(port));
    m_presenter->clear();
    QTest::mouseClick(f.Button13, Qt::LeftButton);
    if (!m_presenter->informations.isEmpty() || !m_presenter->errors.empty())
        return fail("the window refused it");
    // The window searches again six seconds after the write.
    if (!pumpUntil([&] { return listed().contains(module); }, 10000))
        return fail("no answer after the write");
    pump(50);
    chooseLine(f, lines(f.ListBox3).indexOf(module));
    if (f.Edit11->text() != QString::number(port))
        return fail("the module answers with its old port");
}

void Soak::flood()
{
    QProcess sender;
    sender.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sender.start(QStringLiteral("ip"), {"netns", "exec", qEnvironmentVariable("DUVA_NS_MODULES"),
                                        QCoreApplication::applicationFilePath(), "flood", "--to",
                                        QStringLiteral("%1").arg(QStringLiteral("10.77.0.1")),
                                        "--rate", QString::number(m_o.flood.rate), "--seconds",
                                        QString::number(m_o.flood.seconds)});
    QByteArray output;
    pumpUntil(
        [&] {
            output += sender.readAllStandardOutput();
            return output.contains("started") || sender.state() == QProcess::NotRunning;
        },
        5000);

    // How late a 10 ms timer fires tells how long the window's event loop was kept busy.
    QElapsedTimer lag;
    lag.start();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        m_floodLoopLagMaxMs = std::max(m_floodLoopLagMaxMs, lag.restart() - 10);
    });
    probe.start(10);

    const UdpCounters before = udpCounters();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer running;
    running.start();
    while (sender.state() != QProcess::NotRunning &&
           running.elapsed() < (m_o.flood.seconds + 10) * 1000LL) {
        m_floodAnswerMaxMs = std::max(m_floodAnswerMaxMs, search());
        ++m_floodSearches;
        output += sender.readAllStandardOutput();
    }
    probe.stop();
    if (sender.state() != QProcess::NotRunning) {
        sender.kill();
        sender.waitForFinished(3000);
    }
    output += sender.readAllStandardOutput();
    const UdpCounters after = udpCounters();
    m_floodCpuPercent = 100.0 * (cpuSeconds() - cpuBefore) / (running.elapsed() / 1000.0);
    m_floodDelivered = after.in - before.in;
    m_floodBufferFull = after.bufferFull - before.bufferFull;
    const int at = output.indexOf("flood: sent");
    m_floodReport = at < 0 ? QStringLiteral("flood: the sender did not report")
                           : QString::fromLatin1(output.mid(at)).trimmed();
}

int Soak::run()
{
    QElapsedTimer total;
    total.start();
    const qint64 half = m_o.minutes * 30000LL;
    // Warm up: the first search and write make what every later one reuses.
    search();
    write();
    const long rssStart = residentKb();
    std::printf("RSS at start: %ld kB\n", rssStart);
    std::fflush(stdout);

    const auto cycles = [&](qint64 until) {
        // Bounded in count as well as time: a cycle takes at least a second.
        for (int i = 0; i < m_o.minutes * 120 && total.elapsed() < until; ++i) {
            if ((i + 1) % (m_o.searchesPerWrite + 1) == 0)
                write();
            else
                search();
        }
    };
    cycles(half);
    const int searchesBeforeFlood = m_searches;
    flood();
    const long rssMiddle = residentKb();
    std::printf("RSS at middle (after the flood): %ld kB\n", rssMiddle);
    std::fflush(stdout);
    cycles(2 * half);
    const long rssEnd = residentKb();

    const double growth = 100.0 * double(rssEnd - rssStart) / double(rssStart);
    std::printf("%s\n", qPrintable(m_floodReport));
    std::printf("during the flood: %d searches, every module listed within %lld ms at most; "
                "the event loop at most %lld ms late\n",
                m_floodSearches, m_floodAnswerMaxMs, m_floodLoopLagMaxMs);
    std::printf("during the flood the window took in %lld datagrams; %lld were dropped for a "
                "full receive buffer; the window used %.0f %% of a CPU\n",
                m_floodDelivered, m_floodBufferFull, m_floodCpuPercent);
    std::printf("searches: %d (%d before the flood), fleet of %d\n", m_searches,
                searchesBeforeFlood, int(m_fleet.size()));
    std::printf("replies lost: %d\n", m_repliesLost);
    std::printf("writes: %d, not confirmed: %d\n", m_writes, m_writesNotConfirmed);
    std::printf("RSS start %ld kB, middle %ld kB, end %ld kB (%+.1f %%)\n", rssStart, rssMiddle,
                rssEnd, growth);
    std::printf("time: %.0f s\n", total.elapsed() / 1000.0);
    const bool floodSent = m_floodReport.startsWith(QLatin1String("flood: sent"));
    const bool ok = m_repliesLost == 0 && m_writesNotConfirmed == 0 && growth <= 10.0 && floodSent;
    std::printf("%s\n", ok ? "soak passed" : "soak FAILED");
    return ok ? 0 : 1;
}

bool intOption(const QStringList& args, int& i, int& value, int low, int high)
{
    bool ok = false;
    value = i + 1 < args.size() ? args.at(++i).toInt(&ok) : 0;
    return ok && value >= low && value <= high;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: duva-soak [--minutes N] [--fleet N] [--first-ip A.B.C.D]\n"
                 "                 [--searches-per-write N] [--flood-rate N] [--flood-seconds N]\n"
                 "       duva-soak flood [--to A.B.C.D] [--port N] [--rate N] [--seconds N]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    if (!args.isEmpty() && args.first() == QLatin1String("flood")) {
        FloodOptions o;
        for (int i = 1; i < args.size(); ++i) {
            const QString& a = args.at(i);
            bool ok = true;
            if (a == "--to" && i + 1 < args.size())
                o.to = args.at(++i);
            else if (a == "--port")
                ok = intOption(args, i, o.port, 1, 65535);
            else if (a == "--rate")
                ok = intOption(args, i, o.rate, 1, 1000000);
            else if (a == "--seconds")
                ok = intOption(args, i, o.seconds, 1, 3600);
            else
                ok = false;
            if (!ok)
                return usage();
        }
        return flood(o);
    }

    SoakOptions o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        bool ok = true;
        if (a == "--minutes")
            ok = intOption(args, i, o.minutes, 0, 24 * 60);
        else if (a == "--fleet")
            ok = intOption(args, i, o.fleet, 1, 100);
        else if (a == "--first-ip" && i + 1 < args.size())
            o.firstIp = args.at(++i);
        else if (a == "--searches-per-write")
            ok = intOption(args, i, o.searchesPerWrite, 1, 10000);
        else if (a == "--flood-rate")
            ok = intOption(args, i, o.flood.rate, 1, 1000000);
        else if (a == "--flood-seconds")
            ok = intOption(args, i, o.flood.seconds, 1, 3600);
        else
            ok = false;
        if (!ok)
            return usage();
    }
    if (qEnvironmentVariableIsEmpty("DUVA_NS_MODULES")) {
        std::fprintf(stderr, "duva-soak: run it through scripts/soak.sh (DUVA_NS_MODULES)\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Soak soak(o);
    return soak.run();
}
