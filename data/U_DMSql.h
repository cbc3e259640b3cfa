#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The company data module's statements.
namespace UDMSql {
extern const Statement QConfig;
extern const Statement QchkPeriod;
extern const Statement QProgramSetup;
extern const Statement QUnitFraction;
// Whether the company database's Save_Tarvo_Consignment takes a request id: one row, 1 or 0.
extern const Statement QTakesRequestId;
QList<const Statement *> all();
} // namespace UDMSql
