#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <optional>

namespace duva::bench
{

// Starts program with its standard error passed through, and waits at most timeoutMs for
// the first line of its standard output. That line; nothing when the child ended or said
// nothing in time, in which case it has been killed.
std::optional<QByteArray> startChild(QProcess& child, const QString& program,
                                     const QStringList& arguments, int timeoutMs);

// Ends a child started above: asks it first, then kills it.
void stopChild(QProcess& child);

} // namespace duva::bench
