// 100 replies at once: how soon the window lists and draws them, against plain Qt.

#include "bench/benchmarks.h"
#include "bench/harness/eventloop.h"
#include "bench/loopback.h"
#include "bench/windows.h"

#include <QEvent>
#include <QListWidget>

#include <unistd.h>

#include <cstdio>
#include <optional>

namespace duva::bench
{

namespace
{

struct ReplyRun {
    double listed = 0;   // last datagram sent to the 100th line listed
    double drawn = 0;    // ... and the list drawn with it
    double firstTen = 0; // mean time per reply, replies 2 to 11
    double lastTen = 0;  // mean time per reply, replies 91 to 100
    bool ok = false;
};

// Notes the time of every paint of a widget.
struct PaintWatch : QObject {
    std::vector<Clock::time_point> times;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            times.push_back(Clock::now());
        return false;
    }
    // The first paint after t.
    std::optional<Clock::time_point> after(Clock::time_point t) const
    {
        for (const Clock::time_point p : times)
            if (p >= t)
                return p;
        return std::nullopt;
    }
};

// Sends 100 replies at once to port and runs the event loop until list holds 100 lines and
// has been drawn with them.
ReplyRun replyRun(QListWidget* list, quint16 port)
{
    ReplyRun run;
    std::vector<Clock::time_point> lines;
    lines.reserve(100);
    const auto c = QObject::connect(list->model(), &QAbstractItemModel::rowsInserted,
                                    [&] { lines.push_back(Clock::now()); });
    PaintWatch paints;
    list->viewport()->installEventFilter(&paints);
    const int sender = udpSocket(0, false);
    for (int k = 1; k <= 100; ++k)
        sendTo(sender, reply(k), port);
    const Clock::time_point lastSent = Clock::now();
    const bool listed = spinUntil([&] { return list->count() >= 100; }, 20000);
    // The first repaint after the 100th line.
    const bool drawn =
        listed && spinUntil([&] { return lines.size() >= 100 && paints.after(lines[99]); }, 2000);
    list->viewport()->removeEventFilter(&paints);
    QObject::disconnect(c);
    ::close(sender);
    if (!listed || lines.size() < 100)
        return run;
    if (!drawn) {
        std::fprintf(stderr, "duva-bench: the list was not drawn after its 100th line\n");
        return run;
    }
    run.listed = msBetween(lastSent, lines.back());
    run.drawn = msBetween(lastSent, *paints.after(lines[99]));
    run.firstTen = msBetween(lines[0], lines[10]) / 10;
    run.lastTen = msBetween(lines[89], lines[99]) / 10;
    run.ok = true;
    return run;
}

} // namespace

void benchReplies(Table& table, const Options& options)
{
    std::vector<double> appListed, appDrawn, appFirst, appLast, bareListed, bareDrawn;
    auto window = makeWindow();
    BareReceiver bare;
    const quint16 port = window->Udp1->boundPort();
    for (int i = 0; i < options.runs; ++i) {
        window->Label11Click();
        runFor(20);
        const ReplyRun a = replyRun(window->ListBox3, port);
        window->Timer2->setEnabled(false);
        if (a.ok) {
            appListed.push_back(a.listed);
            appDrawn.push_back(a.drawn);
            appFirst.push_back(a.firstTen);
            appLast.push_back(a.lastTen);
        }
        bare.clear();
        runFor(20);
        const ReplyRun b = replyRun(bare.list, bare.socket.localPort());
        if (b.ok) {
            bareListed.push_back(b.listed);
            bareDrawn.push_back(b.drawn);
        }
    }
    const std::string bareName = "bare QUdpSocket+QListWidget";
    Row listed{"100 replies: last sent -> 100 listed (ms)",
               bareName,
               stats(bareListed),
               stats(appListed),
               "<= 50",
               {},
               2};
    listed.met = listed.measured.valid && listed.measured.median <= 50;
    Row drawn{"100 replies: last sent -> listed and drawn (ms)",
              bareName,
              stats(bareDrawn),
              stats(appDrawn),
              "<= 50",
              {},
              2};
    drawn.met = drawn.measured.valid && drawn.measured.median <= 50;
    const Stats first = stats(appFirst), last = stats(appLast);
    Row flat{"per reply, replies 91-100 vs 2-11 (ms)",
             "replies 2-11",
             first,
             last,
             "flat (ratio ~1)",
             {},
             3};
    flat.met = first.valid && last.valid && last.median <= 2 * first.median + 0.05;
    table.add(listed);
    table.add(drawn);
    table.add(flat);
}

} // namespace duva::bench
