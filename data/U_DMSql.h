#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The company data module's statements.
namespace UDMSql {
extern const platform::Statement QConfig;
extern const platform::Statement QchkPeriod;
extern const platform::Statement QProgramSetup;
extern const platform::Statement QUnitFraction;
// Whether the company database's Save_Tarvo_Consignment takes a request id: one row, 1 or 0.
extern const platform::Statement QTakesRequestId;
QList<const platform::Statement *> all();
} // namespace UDMSql
