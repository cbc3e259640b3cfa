#pragma once

#include "platform/core/Exceptions.h"

namespace platform {

// A statement that changes data was sent, but its answer never came: the connection broke or the
// wait for the server ended first. The server may or may not have carried it out, so it must not
// simply be sent again; a caller that can tell (a save with its request id) asks or resends.
// The message is the driver's own words, as for any database error.
class EOutcomeUnknown : public EDatabaseError
{
public:
    using EDatabaseError::EDatabaseError;
};

// A text parameter holds a character that the server's code page cannot hold; nothing was sent.
class ETextNotSendable : public EDatabaseError
{
public:
    ETextNotSendable(const QString &parameter, const QString &character);
    const QString &parameter() const { return m_parameter; } // the parameter's name, without ":" or "@"
    const QString &character() const { return m_character; } // the first character it cannot hold

private:
    QString m_parameter;
    QString m_character;
};

// The user cancelled a statement that waited for the server (Esc). The message is words() and
// the driver's own.
class ECancelledByUser : public EDatabaseError
{
public:
    explicit ECancelledByUser(const QString &driverMessage);
    static const QString &words();
};

} // namespace platform
