#include "platform/sql/ServerErrors.h"

#include <QList>

namespace platform {

// The character goes by its number: the message itself is written to the error log on a server
// with the same code page.
ETextNotSendable::ETextNotSendable(const QString &parameter, const QString &character)
    : EDatabaseError(QStringLiteral("The text of parameter '%1' holds the character U+%2, which the server's code page "
                                    "874 cannot hold; nothing was sent.")
                         .arg(parameter, QString::number(character.toUcs4().value(0), 16).toUpper().rightJustified(4, u'0')))
    , m_parameter(parameter)
    , m_character(character)
{}

ECancelledByUser::ECancelledByUser(const QString &driverMessage)
    : EDatabaseError(QStringLiteral("%1: %2").arg(words(), driverMessage))
{}

const QString &ECancelledByUser::words()
{
    static const QString text = QStringLiteral("Cancelled at the user's request while waiting for the server");
    return text;
}

} // namespace platform
