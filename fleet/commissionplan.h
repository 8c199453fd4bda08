#pragma once

#include "fleet/commissioning.h"
#include "protocol/ipv4.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace duva::fleet
{

// A plan read for commissioning: one row per module to come, each row's fields as bytes, and
// where each row is in the file. Each front end words why a plan cannot be used its own way.
struct CommissionPlan {
    enum class Unusable { No, CannotRead, Malformed, NoModule };
    Unusable unusable = Unusable::No;
    QString reason; // the file's error (CannotRead) or the plan's (Malformed)
    QList<fleet::CommissionRow> rows;
    QStringList where;        // "row 3", by row index
    QStringList cellRefusals; // cells whose value cannot be taken, one a line
    // The rows' own values checked against the computer's addresses, before any module
    // answers; each module's are checked again with its record when it does.
    QStringList valueRefusals;
};

// Reads the plan (CSV, or JSON by its suffix) and checks each row's own values.
CommissionPlan readCommissionPlan(const QString& path, const QList<Ipv4Address>& ownAddresses);

// Why writing `after` to the module that answered as `before` would cut it off; empty when it
// may be written. Without checkValues only what no module can work with is refused.
QString commissionRefusal(const ModuleRecord& before, const ModuleRecord& after,
                          const QList<Ipv4Address>& ownAddresses, bool checkValues = true);

} // namespace duva::fleet
