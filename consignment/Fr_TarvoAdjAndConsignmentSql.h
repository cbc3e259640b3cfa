#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The consignment screen's statements.
namespace ConsignmentSql {
extern const platform::Statement QBranch;
extern const platform::Statement QUserKeyIn;
extern const platform::Statement QProduct; // also the statement of QChkBarcode
extern const platform::Statement QRPProdDay;
extern const platform::Statement QRPOnhand;
extern const platform::Statement SaveConsignment; // QSave's text on the consignment page
extern const platform::Statement SaveAdjustment;  // QSave's text on the adjustment page
// With the offline mode on: the request ids of a customer's lines stored between two dates, by
// which the views leave out a journal line the company database already holds.
extern const platform::Statement QStoredRequests;
QList<const platform::Statement *> all();
} // namespace ConsignmentSql
