#pragma once

#include <QStyledItemDelegate>

namespace duva::frota
{

// Edits a plan cell in a line edit that checks what is typed by the field's kind (address,
// number, flag, text): a value the field refuses turns the editor red, with the command
// line's message as its tooltip. It is still taken, so that the table marks and lists it.
class PlanDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

} // namespace duva::frota
