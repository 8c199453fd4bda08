#pragma once

#include "fleet/commissioning.h"
#include "protocol/ipv4.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace duva::frota
{

// A plan read for commissioning: one row per module to come, each row's fields as bytes, and
// where each row is in the file, as duvactl commission reads it.
struct CommissioningPlan {
    QList<fleet::CommissionRow> rows;
    QStringList where; // "row 3", by row index
    QString error;     // everything wrong, one a line; empty when the plan may be used
};

// Reads the plan (CSV, or JSON by its suffix) and checks each row's own values against the
// computer's addresses, before any module answers.
CommissioningPlan readCommissioningPlan(const QString& path,
                                        const QList<Ipv4Address>& ownAddresses);

// Why writing `after` to the module that answered as `before` would cut it off; empty when it
// may be written.
QString commissioningRefusal(const ModuleRecord& before, const ModuleRecord& after,
                             const QList<Ipv4Address>& ownAddresses);

} // namespace duva::frota
