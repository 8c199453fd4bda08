#pragma once

#include "fleet/plan.h"
#include "fleet/search.h"

#include <QList>
#include <QStringList>

namespace duva::fleet
{

// For apply --skip-missing: the rows whose module answered, and a line for each row whose
// module did not ("row 3: no module with serial number 4242 answered").
QList<PlanRow> rowsThatAnswered(const QList<PlanRow>& rows, const QList<FoundModule>& found,
                                QStringList& missing);

} // namespace duva::fleet
