#pragma once

#include <QString>

class QWidget;

namespace duva
{

// Everything the window tells the user outside its own controls. The window calls it; tests
// put in one that records instead of opening modal boxes.
class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    // Modal box captioned "Informação", information icon, one OK button.
    virtual void information(QWidget* owner, const QString& text) = 0;
    // The standard error box: modal, stop icon, one OK button, captioned with the application's
    // title. text is shown as given (see errorBoxText()).
    virtual void error(QWidget* owner, const QString& caption, const QString& text) = 0;
    // The system's information sound.
    virtual void beep() = 0;
};

// Real message boxes; texts are shown as plain text, never as markup.
class QtMessagePresenter : public MessagePresenter
{
public:
    void information(QWidget* owner, const QString& text) override;
    void error(QWidget* owner, const QString& caption, const QString& text) override;
    void beep() override;
};

// The error box's text for an exception's message: a full stop is appended when the last
// character sorts after ".".
QString errorBoxText(const QString& message);

// The application's title, the caption of the error box: the program file's name up to its
// first ".", every character after the first in lower case.
QString applicationTitle(const QString& programFileName);

} // namespace duva
