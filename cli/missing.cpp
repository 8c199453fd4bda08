#include "cli/missing.h"

#include "protocol/confirmation.h"

namespace duva::cli
{

QList<PlanRow> rowsThatAnswered(const QList<PlanRow>& rows, const QList<FoundModule>& found,
                                QStringList& missing)
{
    QList<PlanRow> answered;
    for (const PlanRow& row : rows) {
        const bool present = std::any_of(found.begin(), found.end(), [&](const FoundModule& m) {
            return row.serialNumber ? moduleIdentity(m.record) == *row.serialNumber
                                    : m.record.ipAddressText() == row.ipAddress;
        });
        if (present)
            answered << row;
        else
            missing << QStringLiteral("%1: no module with %2 answered")
                           .arg(row.where,
                                row.serialNumber
                                    ? QStringLiteral("serial number %1").arg(*row.serialNumber)
                                    : QStringLiteral("address %1").arg(row.ipAddress));
    }
    return answered;
}

} // namespace duva::cli
