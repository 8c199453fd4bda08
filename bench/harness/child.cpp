#include "bench/harness/child.h"

#include <QDeadlineTimer>

namespace duva::bench
{

std::optional<QByteArray> startChild(QProcess& child, const QString& program,
                                     const QStringList& arguments, int timeoutMs)
{
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, arguments);
    const QDeadlineTimer deadline(timeoutMs);
    while (!child.canReadLine()) {
        if (deadline.hasExpired() || !child.waitForReadyRead(int(deadline.remainingTime()))) {
            child.kill();
            child.waitForFinished();
            return std::nullopt;
        }
    }
    return child.readLine();
}

void stopChild(QProcess& child)
{
    if (child.state() == QProcess::NotRunning)
        return;
    child.terminate();
    if (!child.waitForFinished(3000)) {
        child.kill();
        child.waitForFinished();
    }
}

} // namespace duva::bench
