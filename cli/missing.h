#pragma once

#include "cli/plan.h"
#include "cli/search.h"

#include <QList>
#include <QStringList>

namespace duva::cli
{

// For apply --skip-missing: the rows whose module answered, and a line for each row whose
// module did not ("row 3: no module with serial number 4242 answered").
QList<PlanRow> rowsThatAnswered(const QList<PlanRow>& rows, const QList<FoundModule>& found,
                                QStringList& missing);

} // namespace duva::cli
