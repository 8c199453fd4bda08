#include "app/windowtimer.h"

#include <QTimer>

namespace duva
{

void WindowTimer::setInterval(int ms)
{
    if (ms == m_interval)
        return;
    m_interval = ms;
    if (m_enabled)
        restart();
}

void WindowTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (m_enabled)
        restart();
    else
        stop();
}

namespace
{

// QTimer restarts on every setInterval() and start(), even with an unchanged value; the rules
// above are kept by WindowTimer, which calls it only on a real change.
class QtWindowTimer : public WindowTimer
{
public:
    QtWindowTimer(int interval, bool enabled) : WindowTimer(interval, enabled)
    {
        // Qt's default coarse timers may fire up to 5 % early or late; the search's retries and
        // the wait after a write are meant to the millisecond.
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { fire(); });
        if (enabled)
            restart();
    }

protected:
    void restart() override { m_timer.start(interval()); }
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
};

} // namespace

TimerFactory qtTimerFactory()
{
    return [](int interval, bool enabled) -> std::unique_ptr<WindowTimer> {
        return std::make_unique<QtWindowTimer>(interval, enabled);
    };
}

} // namespace duva
