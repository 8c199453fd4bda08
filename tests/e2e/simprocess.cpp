#include "simprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>

namespace duva::test
{

bool SimProcess::available()
{
    return unavailableReason().isEmpty();
}

QString SimProcess::unavailableReason()
{
    if (qEnvironmentVariableIsEmpty("DUVA_NS_MODULES"))
        return QStringLiteral("DUVA_NS_MODULES is not set: run this test through testnet.sh");
    if (!QFileInfo(qEnvironmentVariable("DUVA_SIM")).isExecutable())
        return QStringLiteral("DUVA_SIM does not name the duva-sim program");
    return QString();
}

SimProcess::SimProcess(const QStringList& arguments, Place place, int readyTimeoutMs)
{
    if (place == TestNetwork && !available()) {
        m_error = unavailableReason();
        return;
    }
    // ip netns exec replaces itself by duva-sim, so the process signalled below is the
    // simulator itself.
    if (place == TestNetwork)
        m_process.start(QStringLiteral("ip"),
                        QStringList{"netns", "exec", qEnvironmentVariable("DUVA_NS_MODULES"),
                                    qEnvironmentVariable("DUVA_SIM")} +
                            arguments);
    else
        m_process.start(qEnvironmentVariable("DUVA_SIM"), arguments);
    const QDeadlineTimer deadline(readyTimeoutMs);
    while (!deadline.hasExpired()) {
        readAvailable();
        if (!m_lines.isEmpty() &&
            m_lines.first().startsWith(QLatin1String("duva-sim: listening"))) {
            m_ready = true;
            return;
        }
        if (m_process.state() == QProcess::NotRunning)
            break;
        m_process.waitForReadyRead(int(std::min<qint64>(50, deadline.remainingTime())));
    }
    m_error = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
    if (m_error.isEmpty()) {
        m_error = m_process.state() == QProcess::NotRunning
                      ? QStringLiteral("duva-sim ended with status %1").arg(m_process.exitCode())
                      : QStringLiteral("duva-sim did not get ready in time");
    }
}

SimProcess::~SimProcess()
{
    stop();
}

void SimProcess::readAvailable()
{
    m_partial += m_process.readAllStandardOutput();
    int end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_lines << QString::fromUtf8(m_partial.left(end));
        m_partial.remove(0, end + 1);
    }
}

QStringList SimProcess::logLines()
{
    readAvailable();
    return m_lines;
}

bool SimProcess::waitForLines(const QRegularExpression& pattern, int count, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        readAvailable();
        if (m_lines.filter(pattern).size() >= count)
            return true;
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return false;
        QCoreApplication::processEvents();
        m_process.waitForReadyRead(10);
    }
}

int SimProcess::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    readAvailable();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

} // namespace duva::test
