// Timer2's waits: the searches after a write, against their nominal 6000 and 3000 ms.

#include "bench/benchmarks.h"
#include "bench/harness/eventloop.h"
#include "bench/loopback.h"
#include "bench/windows.h"
#include "protocol/datagrams.h"

#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace duva::bench
{

namespace
{

} // namespace

// Windows side by side, started apart: each searches, takes one reply, has it chosen, writes,
// and then, nobody answering, searches again after 6000 ms and once more after 3000 ms.
void benchTimer2(Table& table, const Options& options)
{
    const int receiver = udpSocket(modulePort, true);
    const int sender = udpSocket(0, false);
    std::vector<std::unique_ptr<TForm1>> windows;
    for (int i = 0; i < options.runs; ++i)
        windows.push_back(makeWindow());
    drain(receiver);

    for (int i = 0; i < options.runs; ++i) {
        TForm1* w = windows[size_t(i)].get();
        QTimer::singleShot(i * 400, Qt::PreciseTimer, w, [w, sender] {
            w->Label11Click();
            QByteArray r = reply(0);
            r[0] = 127;
            r[3] = 1; // 127.0.0.1: the write goes to the bench's receiver
            sendTo(sender, r, w->Udp1->boundPort());
        });
        QObject::connect(w->ListBox3->model(), &QAbstractItemModel::rowsInserted, w, [w] {
            QTimer::singleShot(0, w, [w] {
                w->ListBox3->setCurrentRow(0);
                w->ListBox3Click();
                w->Button13Click();
            });
        });
    }
    runFor((options.runs - 1) * 400 + 11000);
    std::vector<double> six, three;
    const std::vector<Arrival> all = drain(receiver);
    for (const auto& w : windows) {
        const quint16 port = w->Udp1->boundPort();
        std::vector<Arrival> own;
        for (const Arrival& a : all)
            if (a.fromPort == port)
                own.push_back(a);
        std::sort(own.begin(), own.end(),
                  [](const Arrival& x, const Arrival& y) { return x.ns < y.ns; });
        const auto write = std::find_if(own.begin(), own.end(), [](const Arrival& a) {
            return a.bytes.size() == requestSize && quint8(a.bytes[offset::opcode]) == writeOpcode;
        });
        if (write == own.end() || own.end() - write < 3) {
            std::fprintf(stderr, "duva-bench: a window did not write and search twice\n");
            continue;
        }
        six.push_back((write[1].ns - write[0].ns) / 1e6);
        three.push_back((write[2].ns - write[1].ns) / 1e6);
    }
    for (auto& w : windows)
        w->Timer2->setEnabled(false);
    ::close(receiver);
    ::close(sender);

    for (auto [nominal, values] :
         {std::pair<int, std::vector<double>*>{3000, &three}, {6000, &six}}) {
        Row r{"Timer2 " + std::to_string(nominal) + " ms wait (ms)",
              "nominal",
              constant(nominal),
              stats(*values),
              "within +-1 %",
              {},
              1};
        r.met = r.measured.valid && r.measured.min >= nominal * 0.99 &&
                r.measured.max <= nominal * 1.01;
        table.add(r);
    }
}

} // namespace duva::bench
