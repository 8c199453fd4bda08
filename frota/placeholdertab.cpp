#include "frota/placeholdertab.h"

#include <QLabel>
#include <QVBoxLayout>

namespace duva::frota
{

PlaceholderTab::PlaceholderTab(const QString& text, QWidget* parent) : QWidget(parent)
{
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setFocusPolicy(Qt::TabFocus); // reachable, so that a screen reader reads it
    label->setAccessibleName(text);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
}

} // namespace duva::frota
