#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace platform {

// Base of every error the program raises on purpose. Each carries the message text that the
// application-wide handler logs, translates and shows.
class Exception : public std::exception
{
public:
    explicit Exception(const QString &message);
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The message of the exception being handled. Call only inside a catch block: Exception gives
// its message(), std::exception its what(), anything else a fixed text.
QString currentExceptionMessage();

// A database refused a statement or a connection; the text is the server's own.
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
};

// Text that does not convert to a number or a date, in the platform's wording.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// A file could be opened but not read or written.
class EInOutError : public Exception
{
public:
    using Exception::Exception;
};

} // namespace platform
