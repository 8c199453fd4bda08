#pragma once

#include <functional>
#include <memory>

namespace duva
{

// A window timer with the rules the search schedule depends on: setting the interval or the
// enabled state to the value it already has changes nothing (the countdown goes on); changing
// either restarts the countdown from that moment, provided the timer is enabled. An enabled
// timer fires every interval until it is disabled.
class WindowTimer
{
public:
    virtual ~WindowTimer() = default;

    int interval() const { return m_interval; }
    bool isEnabled() const { return m_enabled; }
    void setInterval(int ms);
    void setEnabled(bool enabled);

    // Runs on every expiry.
    std::function<void()> onTimer;

protected:
    WindowTimer(int interval, bool enabled) : m_interval(interval), m_enabled(enabled) {}
    // (Re)start the countdown with interval(), or stop it.
    virtual void restart() = 0;
    virtual void stop() = 0;
    void fire()
    {
        if (onTimer)
            onTimer();
    }

private:
    int m_interval;
    bool m_enabled;
};

// Makes the window's timers: given the design interval and enabled state.
using TimerFactory = std::function<std::unique_ptr<WindowTimer>(int interval, bool enabled)>;

// Timers on Qt's event loop.
TimerFactory qtTimerFactory();

} // namespace duva
