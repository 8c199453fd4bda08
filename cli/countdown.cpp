#include "cli/countdown.h"

namespace duva::cli
{

Countdown::Countdown(QTextStream& err, bool enabled, const QString& what, int ms)
    : m_err(err), m_what(what), m_end(ms)
{
    if (!enabled)
        return;
    m_tick.setInterval(200);
    QObject::connect(&m_tick, &QTimer::timeout, [this] { show(); });
    m_tick.start();
    show();
}

Countdown::~Countdown()
{
    if (m_width > 0) {
        m_err << '\r' << QString(m_width, QLatin1Char(' ')) << '\r';
        m_err.flush();
    }
}

void Countdown::show()
{
    const int seconds = int((m_end.remainingTime() + 999) / 1000);
    if (seconds == m_shown)
        return;
    m_shown = seconds;
    const QString line = QStringLiteral("%1: %2 s").arg(m_what).arg(seconds);
    m_err << '\r' << line.leftJustified(m_width);
    m_err.flush();
    m_width = std::max(m_width, int(line.size()));
}

} // namespace duva::cli
