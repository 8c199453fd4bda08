#include "frota/actionbutton.h"

#include <QAction>
#include <QToolButton>

namespace duva::frota
{

QToolButton* buttonFor(QAction* action, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAccessibleName(action->text().remove(QLatin1Char('&')));
    return button;
}

} // namespace duva::frota
