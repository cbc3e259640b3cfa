#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The consignment screen's statements.
namespace ConsignmentSql {
extern const Statement QBranch;
extern const Statement QUserKeyIn;
extern const Statement QProduct; // also the statement of QChkBarcode
extern const Statement QRPProdDay;
extern const Statement QRPOnhand;
extern const Statement SaveConsignment; // QSave's text on the consignment page
extern const Statement SaveAdjustment;  // QSave's text on the adjustment page
// With the offline mode on: the request ids of a customer's lines stored between two dates, by
// which the views leave out a journal line the company database already holds.
extern const Statement QStoredRequests;
QList<const Statement *> all();
} // namespace ConsignmentSql
