// Floods: 1,000 and 10,000 replies as fast as one thread can send them, against plain Qt;
// meanwhile another thread measures how long an event posted to the window's thread waits.

#include "bench/benchmarks.h"
#include "bench/harness/eventloop.h"
#include "bench/harness/proc.h"
#include "bench/loopback.h"
#include "bench/windows.h"

#include <QCoreApplication>
#include <QEvent>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace duva::bench
{

namespace
{

class Probe : public QObject
{
public:
    static constexpr QEvent::Type kind = QEvent::Type(QEvent::User + 9);
    struct Event : QEvent {
        explicit Event(Clock::time_point posted) : QEvent(kind), posted(posted) {}
        Clock::time_point posted;
    };
    std::vector<double> waits;
    std::function<void()> onEvent;
    bool event(QEvent* e) override
    {
        if (e->type() != kind)
            return QObject::event(e);
        waits.push_back(msBetween(static_cast<Event*>(e)->posted, Clock::now()));
        if (onEvent)
            onEvent();
        return true;
    }
};

struct FloodRun {
    double drain = 0;
    double drops = 0;
    double waitMedian = 0;
    double waitWorst = 0;
    bool ok = false;
};

// Sends count replies as fast as one thread can to port while another thread posts an event
// to the window's thread every millisecond; runs until the receiver's socket (fd) is empty.
FloodRun floodRun(int fd, quint16 port, int count)
{
    FloodRun run;
    Probe probe;
    std::atomic<bool> sent{false}, stop{false};
    bool drained = false;
    Clock::time_point start, drainedAt;
    probe.onEvent = [&] {
        if (sent && !drained && pendingBytes(fd) == 0) {
            drained = true;
            drainedAt = Clock::now();
        }
    };
    const long dropsBefore = udpCounter("RcvbufErrors");
    std::thread poster([&] {
        while (!stop) {
            QCoreApplication::postEvent(&probe, new Probe::Event(Clock::now()));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::thread sender([&] {
        const int out = udpSocket(0, false);
        start = Clock::now();
        for (int k = 0; k < count; ++k)
            sendTo(out, reply(k % 60000), port);
        ::close(out);
        sent = true;
    });
    const bool ok = spinUntil([&] { return drained; }, 60000);
    stop = true;
    sender.join();
    poster.join();
    QCoreApplication::sendPostedEvents(&probe);
    if (!ok)
        return run;
    run.drain = msBetween(start, drainedAt);
    run.drops = double(udpCounter("RcvbufErrors") - dropsBefore);
    const Stats w = stats(probe.waits);
    run.waitMedian = w.median;
    run.waitWorst = w.max;
    run.ok = true;
    return run;
}

} // namespace

void benchFloods(Table& table, const Options& options)
{
    auto window = makeWindow();
    BareReceiver bare;
    for (int count : {1000, 10000}) {
        std::vector<double> v[2][4];
        for (int i = 0; i < options.runs; ++i) {
            window->Label11Click();
            runFor(20);
            const FloodRun a =
                floodRun(window->Udp1->socketDescriptor(), window->Udp1->boundPort(), count);
            window->Timer2->setEnabled(false);
            bare.clear();
            runFor(20);
            const FloodRun b =
                floodRun(int(bare.socket.socketDescriptor()), bare.socket.localPort(), count);
            int m = 0;
            for (const FloodRun* f : {&b, &a}) {
                if (f->ok) {
                    v[m][0].push_back(f->drain);
                    v[m][1].push_back(f->drops);
                    v[m][2].push_back(f->waitMedian);
                    v[m][3].push_back(f->waitWorst);
                }
                ++m;
            }
        }
        const std::string n = "flood " + std::to_string(count) + ": ";
        const std::string base = "bare QUdpSocket+QListWidget";
        table.add({n + "time to drain (ms)", base, stats(v[0][0]), stats(v[1][0]), "", {}, 1});
        table.add({n + "kernel drops", base, stats(v[0][1]), stats(v[1][1]), "", {}, 0});
        table.add({n + "posted event wait, median (ms)",
                   base,
                   stats(v[0][2]),
                   stats(v[1][2]),
                   "",
                   {},
                   3});
        table.add(
            {n + "posted event wait, worst (ms)", base, stats(v[0][3]), stats(v[1][3]), "", {}, 3});
    }
}

} // namespace duva::bench
