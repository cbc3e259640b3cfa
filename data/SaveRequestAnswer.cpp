#include "data/SaveRequestAnswer.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Query.h"

using namespace platform;

SaveRequestAnswer SaveRequestAnswer::read(const Query &query)
{
    const int outcome = query.fieldIndex(QStringLiteral("RequestOutcome"));
    const int line = query.fieldIndex(QStringLiteral("ConsignmentId"));
    if (outcome < 0 || line < 0 || query.recordCount() != 1)
        throw EDatabaseError(QStringLiteral("Save_Tarvo_Consignment did not answer for its request id"));
    const QString text = query.value(0, outcome).toString();
    if (text != QLatin1String("Stored") && text != QLatin1String("AlreadyStored"))
        throw EDatabaseError(QStringLiteral("Save_Tarvo_Consignment answered '%1' for its request id").arg(text));
    return {text == QLatin1String("AlreadyStored"), query.value(0, line).toLongLong()};
}

const QString &SaveRequestAnswer::lostKeptWithId()
{
    static const QString words =
        QStringLiteral("The answer to the save was lost; the line is kept to be sent again with the same request id");
    return words;
}

const QString &SaveRequestAnswer::lostWithoutId()
{
    static const QString words = QStringLiteral("The answer to the save was lost; the line may or may not be stored");
    return words;
}
