#include "frota/writestate.h"

#include <QCoreApplication>

namespace duva::frota
{

QString writeStateText(WriteState state)
{
    switch (state) {
    case WriteState::Waiting:
        return QCoreApplication::translate("WriteState", "waiting");
    case WriteState::Unchanged:
        return QCoreApplication::translate("WriteState", "no change");
    case WriteState::Written:
        return QCoreApplication::translate("WriteState", "written");
    case WriteState::Confirmed:
        return QCoreApplication::translate("WriteState", "confirmed");
    case WriteState::NotConfirmed:
        return QCoreApplication::translate("WriteState", "not confirmed");
    case WriteState::Skipped:
        break;
    }
    return QCoreApplication::translate("WriteState", "skipped");
}

QString rowHeaderText(int number, const WriteState* state)
{
    const QString text = QString::number(number);
    return state ? text + QStringLiteral(" · ") + writeStateText(*state) : text;
}

} // namespace duva::frota
