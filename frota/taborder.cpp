#include "frota/taborder.h"

#include <QLayout>
#include <QList>
#include <QWidget>

namespace duva::frota
{

namespace
{

// A form layout gives its rows in order, each label before its field.
void collect(const QLayout* layout, QList<QWidget*>& out)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QWidget* widget = item->widget())
            out << widget;
        else if (QLayout* inner = item->layout())
            collect(inner, out);
    }
}

} // namespace

void tabInLayoutOrder(QWidget* page)
{
    if (!page->layout())
        return;
    QList<QWidget*> widgets;
    collect(page->layout(), widgets);
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (!(widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy())
            continue; // labels, the progress shown
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace duva::frota
