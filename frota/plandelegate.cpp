#include "frota/plandelegate.h"

#include "fleet/fields.h"
#include "fleet/plan.h"
#include "frota/planmodel.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace duva::frota
{

namespace
{

// What the field takes, shown in an empty editor.
QString hintFor(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Address:
        return QCoreApplication::translate("PlanDelegate", "address, as 10.0.0.21");
    case FieldKind::Number:
        return QCoreApplication::translate("PlanDelegate", "whole number");
    case FieldKind::Flag:
        return QCoreApplication::translate("PlanDelegate", "1 or 0");
    case FieldKind::Mode:
        return QCoreApplication::translate("PlanDelegate", "client or server");
    case FieldKind::Text:
        return QCoreApplication::translate("PlanDelegate", "text");
    }
    return QString();
}

} // namespace

QWidget* PlanDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    const QString name = PlanModel::columnNames().value(index.column());
    const fleet::Field* field = fleet::findField(name);
    editor->setAccessibleName(name);
    if (!field)
        return editor;
    editor->setPlaceholderText(hintFor(field->kind));
    const QString where = fleet::planRowName(index.row() + 2);
    auto check = [editor, where, name](const QString& text) {
        const QString message = fleet::planCellRefusal(where, name, text.trimmed());
        editor->setToolTip(message);
        editor->setAccessibleDescription(message);
        editor->setStyleSheet(message.isEmpty() ? QString()
                                                : QStringLiteral("background: #ffc8c8"));
    };
    connect(editor, &QLineEdit::textChanged, editor, check);
    return editor;
}

} // namespace duva::frota
