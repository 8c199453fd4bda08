// duva-soak: the real window, offscreen, against a fleet of simulated modules for minutes on
// end, with a flood of hostile datagrams in the middle. It runs in the configurator's side of
// the test network that scripts/soak.sh makes; the flood is this same program started in the
// modules' side ("duva-soak flood ...").
//
// Prints replies lost, writes not confirmed, how long the window took to answer during the
// flood, and its resident memory at start, middle and end. Exits non-zero on a lost reply, a
// write not confirmed or resident memory growing by more than 10 %.

#include "bench/harness/eventloop.h"
#include "bench/harness/proc.h"
#include "window/windowfixture.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace duva;
using namespace duva::test;
using duva::bench::runFor;
using duva::bench::runUntil;

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
    return {duva::bench::udpCounter("InDatagrams"), duva::bench::udpCounter("RcvbufErrors")};
}

double cpuSeconds()
{
    return duva::bench::cpuMs() / 1000;
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
    runUntil([&f] { return f.Panel1->isEnabled(); }, 3000);
    QElapsedTimer t;
    t.start();
    QTest::mouseClick(f.Label11, Qt::LeftButton);
    const QSet<QString> fleet(m_fleet.begin(), m_fleet.end());
    runUntil([&] { return listed().contains(fleet); }, 3000);
    const qint64 answered = t.elapsed();
    runFor(50);
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
    if (!runUntil([&] { return listed().contains(module); }, 10000))
        return fail("no answer after the write");
    runFor(50);
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
    runUntil(
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
    const long rssStart = duva::bench::residentKb();
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
    const long rssMiddle = duva::bench::residentKb();
    std::printf("RSS at middle (after the flood): %ld kB\n", rssMiddle);
    std::fflush(stdout);
    cycles(2 * half);
    const long rssEnd = duva::bench::residentKb();

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

// A whole number from low to high, or an error naming the option.
QString readNumber(const QCommandLineParser& parser, const QString& name, int low, int high,
                   int& value)
{
    if (!parser.isSet(name))
        return {};
    bool ok = false;
    const int n = parser.value(name).toInt(&ok);
    if (!ok || n < low || n > high)
        return QStringLiteral("--%1: '%2' is not a number from %3 to %4")
            .arg(name, parser.value(name))
            .arg(low)
            .arg(high);
    value = n;
    return {};
}

QString readAddress(const QCommandLineParser& parser, const QString& name, QString& value)
{
    if (!parser.isSet(name))
        return {};
    const QString text = parser.value(name);
    if (QHostAddress(text).protocol() != QAbstractSocket::IPv4Protocol)
        return QStringLiteral("--%1: '%2' is not an address like 10.77.0.10").arg(name, text);
    value = text;
    return {};
}

void addNumber(QCommandLineParser& parser, const char* name, const char* help)
{
    parser.addOption({QLatin1String(name), QLatin1String(help), QStringLiteral("N")});
}

// Parses arguments (without the program's name); the first error, empty when none.
QString parse(QCommandLineParser& parser, const QStringList& arguments)
{
    parser.addHelpOption();
    if (!parser.parse(QStringList{QStringLiteral("duva-soak")} + arguments))
        return parser.errorText();
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
    return {};
}

QString helpText(const QCommandLineParser& parser)
{
    // Without an application object the parser cannot know the program's name.
    return parser.helpText().replace(QLatin1String("<executable_name>"),
                                     QLatin1String("duva-soak"));
}

int usage(const QString& error)
{
    std::fprintf(stderr,
                 "duva-soak: %s\n"
                 "usage: duva-soak [--minutes N] [--fleet N] [--first-ip A.B.C.D]\n"
                 "                 [--searches-per-write N] [--flood-rate N] [--flood-seconds N]\n"
                 "       duva-soak flood [--to A.B.C.D] [--port N] [--rate N] [--seconds N]\n",
                 qPrintable(error));
    return 2;
}

int floodMain(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Floods a port with datagrams of every size class and hostile records."));
    parser.addOption({QStringLiteral("to"), QStringLiteral("destination (default 10.77.0.1)"),
                      QStringLiteral("A.B.C.D")});
    addNumber(parser, "port", "destination port, 1 to 65535 (default 5001)");
    addNumber(parser, "rate", "datagrams per second, 1 to 1000000 (default 10000)");
    addNumber(parser, "seconds", "how long, 1 to 3600 (default 10)");
    QString error = parse(parser, arguments);
    if (error.isEmpty() && parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(helpText(parser)));
        return 0;
    }
    FloodOptions o;
    for (const QString& e : {error, readAddress(parser, QStringLiteral("to"), o.to),
                             readNumber(parser, QStringLiteral("port"), 1, 65535, o.port),
                             readNumber(parser, QStringLiteral("rate"), 1, 1000000, o.rate),
                             readNumber(parser, QStringLiteral("seconds"), 1, 3600, o.seconds)}) {
        if (!e.isEmpty())
            return usage(e);
    }
    return flood(o);
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    if (!args.isEmpty() && args.first() == QLatin1String("flood"))
        return floodMain(args.mid(1));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The window against simulated modules for minutes, with a flood; run it "
                       "through scripts/soak.sh."));
    addNumber(parser, "minutes", "length of the run, 0 to 1440 (default 3)");
    addNumber(parser, "fleet", "modules simulated, 1 to 100 (default 20)");
    parser.addOption({QStringLiteral("first-ip"),
                      QStringLiteral("the first module's address (default 10.77.0.10)"),
                      QStringLiteral("A.B.C.D")});
    addNumber(parser, "searches-per-write", "searches between writes, 1 to 10000 (default 10)");
    addNumber(parser, "flood-rate",
              "the flood's datagrams per second, 1 to 1000000 "
              "(default 10000)");
    addNumber(parser, "flood-seconds", "the flood's length, 1 to 3600 (default 10)");
    const QString error = parse(parser, args);
    if (error.isEmpty() && parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(helpText(parser)));
        return 0;
    }
    SoakOptions o;
    for (const QString& e :
         {error, readNumber(parser, QStringLiteral("minutes"), 0, 24 * 60, o.minutes),
          readNumber(parser, QStringLiteral("fleet"), 1, 100, o.fleet),
          readAddress(parser, QStringLiteral("first-ip"), o.firstIp),
          readNumber(parser, QStringLiteral("searches-per-write"), 1, 10000, o.searchesPerWrite),
          readNumber(parser, QStringLiteral("flood-rate"), 1, 1000000, o.flood.rate),
          readNumber(parser, QStringLiteral("flood-seconds"), 1, 3600, o.flood.seconds)}) {
        if (!e.isEmpty())
            return usage(e);
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
