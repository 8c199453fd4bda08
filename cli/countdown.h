#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QTextStream>
#include <QTimer>

namespace duva::cli
{

// A line on standard error that counts a wait down ("settling: 5 s"), rewritten in place
// while the event loop runs and wiped when the object goes. Disabled (no terminal, or
// --json), it writes nothing.
class Countdown
{
public:
    Countdown(QTextStream& err, bool enabled, const QString& what, int ms);
    ~Countdown();
    Countdown(const Countdown&) = delete;
    Countdown& operator=(const Countdown&) = delete;

private:
    void show();

    QTextStream& m_err;
    QString m_what;
    QDeadlineTimer m_end;
    QTimer m_tick;
    int m_shown = -1; // seconds on the line now
    int m_width = 0;
};

} // namespace duva::cli
