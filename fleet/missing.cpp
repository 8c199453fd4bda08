#include "fleet/missing.h"

#include "protocol/confirmation.h"

#include <QCoreApplication>

namespace duva::fleet
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Missing)
};
} // namespace

QList<PlanRow> rowsThatAnswered(const QList<PlanRow>& rows, const QList<FoundModule>& found,
                                QStringList& missing)
{
    QList<PlanRow> answered;
    for (const PlanRow& row : rows) {
        const bool present = std::any_of(found.begin(), found.end(),
                                         [&](const FoundModule& m) { return row.picks(m.record); });
        if (present)
            answered << row;
        else
            missing << (row.serialNumber ? Texts::tr("%1: no module with serial number %2 answered")
                                               .arg(row.where)
                                               .arg(*row.serialNumber)
                                         : Texts::tr("%1: no module with address %2 answered")
                                               .arg(row.where, row.addressText()));
    }
    return answered;
}

} // namespace duva::fleet
