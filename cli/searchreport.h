#pragma once

#include "fleet/plan.h"
#include "fleet/search.h"
#include "net/interfaces.h"

#include <QStringList>

namespace duva::cli
{

// What duvactl says about a search beside its list, on standard error.

// One warning for each address and each serial number that more than one module answered
// with, and for each record that came more than once in answer to one request.
QStringList duplicateWarnings(const QList<fleet::FoundModule>& modules);

// Replies the system dropped, and what to do about it.
QString dropWarning(qint64 dropped, int receiveBuffer);

// "N of M expected modules answered".
QString expectedText(int answered, int expected);

// No module answered: where the search went, and what to check.
QString nothingAnsweredText(const fleet::SearchTargets& targets,
                            const QList<NetworkInterface>& interfaces);

// Whether every module that the rows name (by serial number, or else by address) answered.
fleet::Search::Wanted everyModuleOf(const QList<fleet::PlanRow>& rows);

} // namespace duva::cli
