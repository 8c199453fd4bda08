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
    // The launcher checks the program itself, which need not be one this system can run.
    if (!qEnvironmentVariableIsEmpty("DUVA_SIM_LAUNCHER"))
        return QString();
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
    if (place == TestNetwork && !qEnvironmentVariableIsEmpty("DUVA_SIM_LAUNCHER"))
        startThroughLauncher(arguments);
    else if (place == TestNetwork)
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
        if (!running())
            break;
        waitForOutput(int(std::min<qint64>(50, deadline.remainingTime())));
    }
    readAvailable();
    m_error = m_launcher ? m_errorLines.join('\n')
                         : QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
    if (m_error.isEmpty()) {
        m_error = !running() ? QStringLiteral("duva-sim ended with status %1")
                                   .arg(m_launcher ? m_launcherStatus : m_process.exitCode())
                             : QStringLiteral("duva-sim did not get ready in time");
    }
}

void SimProcess::startThroughLauncher(const QStringList& arguments)
{
    const QStringList place = qEnvironmentVariable("DUVA_SIM_LAUNCHER").split(':');
    m_launcher = std::make_unique<QTcpSocket>();
    m_launcher->connectToHost(place.value(0), place.value(1).toUShort());
    if (!m_launcher->waitForConnected(3000)) {
        m_launcherEnded = true;
        m_errorLines << QStringLiteral("no duva-sim-launcher at %1: %2")
                            .arg(place.join(':'), m_launcher->errorString());
        return;
    }
    m_launcher->write(arguments.join('\t').toUtf8() + '\n');
    m_launcher->flush();
}

bool SimProcess::running() const
{
    if (m_launcher)
        return !m_launcherEnded;
    return m_process.state() != QProcess::NotRunning;
}

void SimProcess::waitForOutput(int timeoutMs)
{
    if (!m_launcher)
        m_process.waitForReadyRead(timeoutMs);
    else if (m_launcher->state() == QAbstractSocket::ConnectedState)
        m_launcher->waitForReadyRead(timeoutMs);
}

SimProcess::~SimProcess()
{
    stop();
}

void SimProcess::readAvailable()
{
    m_partial += m_launcher ? m_launcher->readAll() : m_process.readAllStandardOutput();
    int end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_partial.left(end));
        m_partial.remove(0, end + 1);
        // The launcher marks each line with where it came from.
        if (!m_launcher)
            m_lines << line;
        else if (line.startsWith(QLatin1String("out ")))
            m_lines << line.mid(4);
        else if (line.startsWith(QLatin1String("err ")))
            m_errorLines << line.mid(4);
        else if (line.startsWith(QLatin1String("end "))) {
            m_launcherEnded = true;
            m_launcherStatus = line.mid(4).toInt();
        }
    }
    if (m_launcher && m_launcher->state() == QAbstractSocket::UnconnectedState &&
        !m_launcher->bytesAvailable())
        m_launcherEnded = true;
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
        if (deadline.hasExpired() || !running())
            return false;
        QCoreApplication::processEvents();
        waitForOutput(10);
    }
}

int SimProcess::stop()
{
    if (m_launcher) {
        if (!m_launcherEnded && m_launcher->state() == QAbstractSocket::ConnectedState) {
            m_launcher->write("stop\n");
            const QDeadlineTimer deadline(7000);
            while (!m_launcherEnded && !deadline.hasExpired()) {
                waitForOutput(50);
                readAvailable();
            }
        }
        readAvailable();
        return m_launcherStatus;
    }
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
