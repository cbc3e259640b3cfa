#pragma once

#include <QtGlobal>

class Query;

// What a save with a request id answered (ConsignmentRequestSql::SaveLineWithRequestId): the line
// was stored now, or it was stored before under the same id and nothing changed.
struct SaveRequestAnswer {
    bool alreadyStored = false;
    qint64 line = 0; // the stored line's Tarvo_Consignment.Id

    // Reads the open query's row. Raises EDatabaseError when there is no such answer: a procedure
    // that took the id must say what it did with it.
    static SaveRequestAnswer read(const Query &query);
};
