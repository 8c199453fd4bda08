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

// The line shown chosen is always the one whose record the window loaded: only a left press
// on a line moves the choice, Ctrl never takes it away, and any other press (another button,
// below the last line) leaves it where it is.
void TListBox::mousePressEvent(QMouseEvent* event)
{
    m_leftPressOnLine =
        event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid();
    if (!m_leftPressOnLine) {
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

QItemSelectionModel::SelectionFlags TListBox::selectionCommand(const QModelIndex& index,
                                                               const QEvent* event) const
{
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (command.testFlag(QItemSelectionModel::Deselect))
        return QItemSelectionModel::NoUpdate;
    return command;
}

void TListBox::mouseReleaseEvent(QMouseEvent* event)
{
    const QListWidgetItem* reached = currentItem();
    if (event->button() == Qt::LeftButton && m_leftPressOnLine && reached &&
        !indexAt(event->position().toPoint()).isValid()) {
        // Released off the lines: the release counts on the line the press was dragged to.
        const QPointF onLine = QRectF(visualItemRect(reached)).center();
        QMouseEvent release(event->type(), onLine, viewport()->mapToGlobal(onLine), event->button(),
                            event->buttons(), event->modifiers());
        QListWidget::mouseReleaseEvent(&release);
    } else {
        QListWidget::mouseReleaseEvent(event);
    }
    // A click on a line chooses it, even the line already chosen, and so does a press on a
    // line dragged to another, wherever the button comes up.
    if (event->button() == Qt::LeftButton && m_leftPressOnLine && onClick)
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
