#pragma once

#include <QString>

namespace platform {
class Query;
}

// What a save with a request id answered (ConsignmentRequestSql::SaveLineWithRequestId): the line
// was stored now, or it was stored before under the same id and nothing changed.
struct SaveRequestAnswer {
    bool alreadyStored = false;
    qint64 line = 0; // the stored line's Tarvo_Consignment.Id

    // Reads the open query's row. Raises EDatabaseError when there is no such answer: a procedure
    // that took the id must say what it did with it.
    static SaveRequestAnswer read(const platform::Query &query);

    // How a save whose answer stayed lost is reported: the exception's message begins with one
    // of these, and the message table explains each to the clerk. With a request id the line is
    // kept and sent again with the same id; without one, sending it again may store it twice.
    static const QString &lostKeptWithId();
    static const QString &lostWithoutId();
};
