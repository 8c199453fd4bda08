#include "app/messagepresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <algorithm>

namespace duva
{

namespace
{

// Texts end their lines with carriage returns, as the modules' home system does; Qt breaks
// lines only at line feeds.
QString displayText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void showBox(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, displayText(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace

void QtMessagePresenter::information(QWidget* owner, const QString& text)
{
    showBox(owner, QMessageBox::Information, QStringLiteral("Informação"), text);
}

void QtMessagePresenter::error(QWidget* owner, const QString& caption, const QString& text)
{
    showBox(owner, QMessageBox::Critical, caption, text);
}

void QtMessagePresenter::beep()
{
    QApplication::beep();
}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString applicationTitle(const QString& programFileName)
{
    QString name = programFileName;
    const qsizetype separator =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    name = name.mid(separator + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

} // namespace duva
