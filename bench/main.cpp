// duva-bench: measures the window where its speed shows (replies listed, broadcast series,
// Timer2's waits, start-up, idle, floods of datagrams) next to a baseline measured in the same
// run: plain Qt doing the same work, a bare window with the same controls, the 1 ms floor or
// the nominal interval; and duvactl over a simulated fleet against its floor. The window's
// traffic stays on loopback, the fleet's inside the test network; scripts/bench.sh runs it
// inside private network namespaces.

#include "bench/benchmarks.h"
#include "bench/harness/messages.h"

#include <QApplication>
#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace duva::bench;

int main(int argc, char** argv)
{
    quietPlatformWarnings();
    if (argc == 3 && std::strcmp(argv[1], "--startup-child") == 0)
        return startupChild(argc, argv, QString::fromLatin1(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "--frota-child") == 0)
        return frotaChild(argc, argv, QString::fromLatin1(argv[2]));

    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Timings of the configurator against baselines; run it through "
                       "scripts/bench.sh."));
    parser.addHelpOption();
    const QCommandLineOption runs(QStringLiteral("runs"),
                                  QStringLiteral("runs of each measure, at least 5 (default 5)"),
                                  QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption only(
        QStringLiteral("only"),
        QStringLiteral(
            "one part alone: replies, series, startup, floods, timer2, fleet, search1000, "
            "commission or frota"),
        QStringLiteral("PART"));
    const QCommandLineOption duvactl(QStringLiteral("duvactl"),
                                     QStringLiteral("duvactl, for the fleet rows"),
                                     QStringLiteral("PATH"));
    const QCommandLineOption sim(QStringLiteral("sim"),
                                 QStringLiteral("duva-sim, for the fleet rows"),
                                 QStringLiteral("PATH"));
    const QCommandLineOption modules(
        QStringLiteral("modules-netns"),
        QStringLiteral("network namespace the simulated modules run in, for the fleet rows"),
        QStringLiteral("NAME"));
    parser.addOptions({runs, only, duvactl, sim, modules});
    parser.process(app);

    Options options;
    options.runs = std::max(5, parser.value(runs).toInt());
    options.duvactl = parser.value(duvactl);
    options.sim = parser.value(sim);
    options.modulesNamespace = parser.value(modules);
    const QString part = parser.value(only);
    const auto wanted = [&part](const char* name) {
        return part.isEmpty() || part == QLatin1String(name);
    };

    std::printf("duva-bench: %d runs of each; min, median and worst of the window against the "
                "baseline's min and median\n",
                options.runs);
    std::fflush(stdout);

    Table table;
    if (wanted("replies"))
        benchReplies(table, options);
    if (wanted("series"))
        benchSeries(table, options);
    if (wanted("startup"))
        benchStartup(table, options);
    if (wanted("floods"))
        benchFloods(table, options);
    if (wanted("timer2"))
        benchTimer2(table, options);
    if (wanted("fleet"))
        benchFleet(table, options);
    if (wanted("search1000"))
        benchLargeFleet(table, options);
    if (wanted("commission"))
        benchCommission(table, options);
    if (wanted("frota"))
        benchFrota(table, options);
    table.print();
    return 0;
}
