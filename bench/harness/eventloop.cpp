#include "bench/harness/eventloop.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace duva::bench
{

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool runUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return true;
    // A loop of processEvents() would never sleep: it would take a processor from the
    // program under measure and from the others on the machine.
    QEventLoop loop;
    const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(2);
    loop.exec();
    return done();
}

} // namespace duva::bench
