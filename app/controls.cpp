#include "app/controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QValidator>
#include <algorithm>

namespace duva
{

namespace
{

// What screen readers are told about a keyboard-operable label: a button named by its
// caption, whose Press action clicks it.
class CommandLabelFace : public QAccessibleWidget
{
public:
    explicit CommandLabelFace(TLabel* label) : QAccessibleWidget(label, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return label()->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            label()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    TLabel* label() const { return static_cast<TLabel*>(widget()); }
};

// What screen readers are told about a mode button: a radio button, checked or not, whose
// action checks it as a click does (Qt's own description follows its exclusivity, which is
// off, and would call it a check box that the action unchecks).
class ModeButtonFace : public QAccessibleWidget
{
public:
    explicit ModeButtonFace(TRadioButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return button()->text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(toggleAction());
        return names;
    }
    void doAction(const QString& action) override
    {
        if (action == toggleAction() || action == pressAction()) {
            if (widget()->isEnabled())
                button()->click();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* controlFace(const QString&, QObject* object)
{
    if (auto* mode = dynamic_cast<TRadioButton*>(object))
        return new ModeButtonFace(mode);
    if (auto* label = dynamic_cast<TLabel*>(object); label && label->isKeyboardOperable())
        return new CommandLabelFace(label);
    return nullptr;
}

// Gives control its own description for screen readers. Qt describes a control as soon as it
// is asked about it, and a running screen reader asks while the control is still being built,
// when it is not yet one of ours: such a description is dropped.
template <class Face> void describeAs(QWidget* control)
{
    static const bool installed = (QAccessible::installFactory(&controlFace), true);
    Q_UNUSED(installed);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    if (face && !dynamic_cast<Face*>(face))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(face));
}

} // namespace

void TLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClick)
        onClick();
}

void TLabel::click()
{
    if (isEnabled() && onClick)
        onClick();
}

void TLabel::setText(const QString& text)
{
    QLabel::setText(text);
    if (m_autoSize)
        resize(sizeHint());
}

void TLabel::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (m_autoSize)
        resize(sizeHint());
}

void TLabel::setKeyboardOperable()
{
    setFocusPolicy(Qt::TabFocus);
    m_keyboardOperable = true;
    describeAs<CommandLabelFace>(this);
}

void TLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool operates = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!operates || !(focusPolicy() & Qt::TabFocus)) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    // A held key does not repeat the action.
    if (!event->isAutoRepeat())
        click();
}

void TLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    // The label takes the focus only from the keyboard, so the frame always shows.
    frame.state |= QStyle::State_KeyboardFocusChange;
    frame.backgroundColor = palette().color(backgroundRole());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

void TLabel::focusInEvent(QFocusEvent* event)
{
    m_focusLostToDisabling = false;
    QLabel::focusInEvent(event);
}

void TLabel::focusOutEvent(QFocusEvent* event)
{
    m_focusLostToDisabling = !isEnabled();
    QLabel::focusOutEvent(event);
}

// A label whose action disables it for a while (the search rests for a second) takes the
// focus back when it is enabled again, unless the user has put the focus elsewhere meanwhile;
// otherwise the keyboard would be left with no control at all.
void TLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() != QEvent::EnabledChange || !isEnabled() || !m_focusLostToDisabling)
        return;
    m_focusLostToDisabling = false;
    if (!window()->focusWidget())
        setFocus(Qt::OtherFocusReason);
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
    describeAs<ModeButtonFace>(this);
}

namespace
{

// Keeps what the user types or pastes within the limit: the inserted text is cut to what
// still fits. The program's own texts are kept whole, and a text that is already longer may
// still be shortened by the user but not lengthened.
class TypedLengthValidator : public QValidator
{
public:
    TypedLengthValidator(int limit, TEdit* edit)
        : QValidator(edit), m_edit(edit), m_limit(limit), m_lastText(edit->text())
    {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { m_lastText = text; });
    }

    State validate(QString& input, int& position) const override
    {
        // The program's text is acceptable as it is: were it not, the edit would take it as
        // invalid input, and would then keep the user's next keys even beyond the limit.
        const qsizetype longest = std::max<qsizetype>(m_limit, m_lastText.size());
        if (input.size() <= longest || !m_edit->takesUserInput())
            return Acceptable;
        // An insertion leaves the cursor right after the inserted text: what follows it is the
        // old text's end, which stays; the inserted text is cut from its own end.
        const qsizetype after = input.size() - position;
        const qsizetype keep = std::max<qsizetype>(0, longest - after);
        const QString cut = input.left(std::min<qsizetype>(position, keep)) + input.mid(position);
        // Nothing of it fits (a key typed into a full field): refused, the text stays as it was.
        if (cut == m_lastText)
            return Invalid;
        input = cut;
        position = int(std::min<qsizetype>(position, keep));
        return Acceptable;
    }

private:
    TEdit* m_edit;
    int m_limit;
    QString m_lastText;
};

} // namespace

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

void TEdit::setTypedLimit(int characters)
{
    setValidator(new TypedLengthValidator(characters, this));
}

bool TEdit::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::Drop:
    case QEvent::MouseButtonRelease: // a middle click pastes the selection
    {
        const QScopedValueRollback<bool> userInput(m_userInput, true);
        return QLineEdit::event(event);
    }
    default:
        return QLineEdit::event(event);
    }
}

// The menu does not wait for a choice: its "Paste" runs after this event, and is marked as the
// user's there, so that it is cut to the limit as every other paste.
void TEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    takeMenuPaste(menu);
    menu->popup(event->globalPos());
}

void TEdit::takeMenuPaste(QMenu* menu)
{
    // Qt names the action "edit-paste" in newer versions; before, only its text tells it.
    const QString pasteText = QLineEdit::tr("&Paste");
    for (QAction* action : menu->actions()) {
        if (action->objectName() != QLatin1String("edit-paste") &&
            action->text().section(QLatin1Char('\t'), 0, 0) != pasteText)
            continue;
        // By the signal's pointer and this receiver, with no slot named: that undoes a binding
        // made by names (Qt 6.4) as well as one made by pointers (later versions), where a
        // disconnect naming the slot either way matches only a binding made the same way.
        disconnect(action, &QAction::triggered, this, nullptr);
        connect(action, &QAction::triggered, this, [this] {
            const QScopedValueRollback<bool> userInput(m_userInput, true);
            paste();
        });
    }
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
    const QList<QListWidgetItem*> selected = selectedItems();
    const QListWidgetItem* before = selected.isEmpty() ? nullptr : selected.first();
    const int key = event->key();
    const bool arrow =
        key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
    const bool highlights = arrow || key == Qt::Key_Home || key == Qt::Key_End ||
                            key == Qt::Key_PageUp || key == Qt::Key_PageDown ||
                            key == Qt::Key_Space || key == Qt::Key_Select;
    if (highlights && !before && count() > 0) {
        // Nothing is chosen yet. Tab into the list marks its first line without choosing it;
        // the first arrow key chooses the marked line instead of moving past it.
        if (!currentItem())
            setCurrentRow(0, QItemSelectionModel::NoUpdate);
        if (arrow) {
            setCurrentItem(currentItem(), QItemSelectionModel::ClearAndSelect);
            event->accept();
        } else {
            QListWidget::keyPressEvent(event);
        }
    } else {
        QListWidget::keyPressEvent(event);
    }
    // A key that stays on the marked line (Home on the first line, Down on the last) leaves it
    // highlighted, as it would in a list whose line had been chosen.
    if (highlights && currentItem() && !currentItem()->isSelected())
        setCurrentItem(currentItem(), QItemSelectionModel::ClearAndSelect);

    // Whatever key highlights another line chooses it; a key that leaves the chosen line as it
    // was does not load it again, so that edits not yet written stay.
    const QList<QListWidgetItem*> after = selectedItems();
    if (!after.isEmpty() && after.first() != before && onClick)
        onClick();
}

} // namespace duva
