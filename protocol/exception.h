#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace duva
{

// The base of every failure the program reports: a message text and nothing else.
// A handler that meets one ends there, and the window shows the text in its error box.
class Exception : public std::exception
{
public:
    explicit Exception(QString message);
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A text that should have been an integer and is not:
// "'<text>' is not a valid integer value".
class ConversionError : public Exception
{
public:
    using Exception::Exception;
};

// A text holding a character that has no byte in the modules' code page.
class EncodingError : public Exception
{
public:
    using Exception::Exception;
};

} // namespace duva
