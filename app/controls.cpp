#include "app/controls.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QValidator>

namespace duva
{

void TLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClick)
        onClick();
}

// The button's own reaction to a left click happens in the base class's release handling;
// the base ignores every other button, and an ignored press would go on to the parent, which
// would then receive the release. Accepting both keeps every press and release here.
template <class Button> void TMouseButton<Button>::mousePressEvent(QMouseEvent* event)
{
    if (onMouseDown)
        onMouseDown();
    Button::mousePressEvent(event);
    event->accept();
}

template <class Button> void TMouseButton<Button>::mouseReleaseEvent(QMouseEvent* event)
{
    Button::mouseReleaseEvent(event);
    if (onMouseUp)
        onMouseUp();
    event->accept();
}

template class TMouseButton<QCheckBox>;
template class TMouseButton<QRadioButton>;

TRadioButton::TRadioButton(const QString& text, QWidget* parent)
    : TMouseButton<QRadioButton>(text, parent)
{
    // The pair is kept exclusive by hand so that the program can also leave both unchecked.
    setAutoExclusive(false);
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked && m_sibling)
            m_sibling->setChecked(false);
    });
}

namespace
{

// Refuses a typed text that grows beyond the limit. The program's own texts do not pass
// through here (setText), and a text that is already longer may still be shortened.
class TypedLengthValidator : public QValidator
{
public:
    TypedLengthValidator(int limit, QLineEdit* edit)
        : QValidator(edit), m_limit(limit), m_lastLength(edit->text().size())
    {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { m_lastLength = text.size(); });
    }

    State validate(QString& input, int&) const override
    {
        if (input.size() > m_limit && input.size() > m_lastLength)
            return Invalid;
        return Acceptable;
    }

private:
    int m_limit;
    qsizetype m_lastLength;
};

} // namespace

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

void TEdit::setTypedLimit(int characters)
{
    setValidator(new TypedLengthValidator(characters, this));
}

void TEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Only a move to another control of the window counts, not the window losing the focus.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    if (onExit)
        onExit();
}

void TEdit::keyPressEvent(QKeyEvent* event)
{
    if (onKeyDown && onKeyDown(event->key())) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    if (onDblClick)
        onDblClick();
}

void TListBox::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    // A click on a line chooses it, even the line already chosen; a click below the last
    // line chooses nothing.
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid() &&
        onClick)
        onClick();
}

void TListBox::keyPressEvent(QKeyEvent* event)
{
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && onClick)
        onClick();
}

} // namespace duva
