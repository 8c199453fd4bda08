// duva-bench: measures the window where its speed shows (replies listed, broadcast series,
// Timer2's waits, start-up, idle, floods of datagrams) next to a baseline measured in the same
// run: plain Qt doing the same work, a bare window with the same controls, the 1 ms floor or
// the nominal interval. All traffic stays on loopback; scripts/bench.sh runs it inside a
// private network namespace.

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
        QStringLiteral("one part alone: replies, series, startup, floods or timer2"),
        QStringLiteral("PART"));
    parser.addOptions({runs, only});
    parser.process(app);

    Options options;
    options.runs = std::max(5, parser.value(runs).toInt());
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
    table.print();
    return 0;
}
