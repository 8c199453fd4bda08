#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <functional>

class QMenu;

// The window's controls, with the events the window's handlers are bound to.

namespace duva
{

// A label that reacts to a click of the left mouse button.
class TLabel : public QLabel
{
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

    // Sets the caption; an auto-sized label then takes the size its text needs. (It hides
    // QLabel::setText, which is not virtual: the window sets captions through TLabel.)
    void setText(const QString& text);
    void setAutoSize(bool autoSize);
    // Lets the label take the keyboard focus by Tab (a click still leaves the focus where it
    // is), shows a focus frame while it has it, and takes Space or Enter as a click. Screen
    // readers are told it is a button, whose Press action is a click.
    void setKeyboardOperable();
    bool isKeyboardOperable() const { return m_keyboardOperable; }
    // What a click of the left mouse button does, for the keyboard and for screen readers;
    // nothing while the label is disabled.
    void click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool m_autoSize = false;
    bool m_keyboardOperable = false;
    bool m_focusLostToDisabling = false;
};

// A check box or radio button that reports presses and releases of any mouse button, in the
// order the field interlocks rely on: the press reaction, then the control's own change of
// state (left button released over it), then the release reaction, which sees the new state.
template <class Button> class TMouseButton : public Button
{
public:
    using Button::Button;
    std::function<void()> onMouseDown;
    std::function<void()> onMouseUp;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

using TCheckBox = TMouseButton<QCheckBox>;

// A radio button that a click always checks, and that the program can uncheck together with
// its sibling (a search leaves both unchecked). Checking one unchecks its sibling. Screen
// readers are told it is a radio button, although Qt's own exclusivity is off.
class TRadioButton : public TMouseButton<QRadioButton>
{
public:
    explicit TRadioButton(const QString& text, QWidget* parent = nullptr);
    void setSibling(TRadioButton* sibling) { m_sibling = sibling; }

protected:
    void nextCheckState() override { setChecked(true); }

private:
    TRadioButton* m_sibling = nullptr;
};

// An edit with a limit on what the user may type (the program may put in longer texts),
// and the events the window uses: focus leaving it for another control of the window, key
// presses (a handler that returns true has taken the key), and double-clicks.
class TEdit : public QLineEdit
{
public:
    explicit TEdit(QWidget* parent = nullptr);
    // Typed or pasted text beyond the limit is cut off, as in a field of that many characters.
    void setTypedLimit(int characters);
    // Whether the text is being changed by the user (typing, pasting, dropping) rather than
    // by the program.
    bool takesUserInput() const { return m_userInput; }
    // Makes the Paste of a context menu of this edit (Qt's own, bound to paste()) paste as the
    // user's input, cut to the limit. Whether Qt bound it by name or by pointer, every binding
    // of that action to this edit is undone first.
    void takeMenuPaste(QMenu* menu);
    std::function<void()> onExit;
    std::function<bool(int key)> onKeyDown;
    std::function<void()> onDblClick;

protected:
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_userInput = false;
};

// A list box that reports a choice of line, by the mouse or by the keyboard.
class TListBox : public QListWidget
{
public:
    using QListWidget::QListWidget;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    bool m_leftPressOnLine = false;
};

} // namespace duva
