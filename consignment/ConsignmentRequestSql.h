#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The save of one line with its request id, for a company database whose Save_Tarvo_Consignment
// takes one (RequestIdSupport says whether it does; otherwise the pages' eleven-value texts run).
namespace ConsignmentRequestSql {
// The eleven values of either entry page and :RequestId. Opened as a query: one row, RequestOutcome
// "Stored" or "AlreadyStored" and ConsignmentId (SaveRequestAnswer reads it).
extern const platform::Statement SaveLineWithRequestId;
QList<const platform::Statement *> all();
} // namespace ConsignmentRequestSql
