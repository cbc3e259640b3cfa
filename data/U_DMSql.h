#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The company data module's statements.
namespace UDMSql {
extern const Statement QConfig;
extern const Statement QchkPeriod;
extern const Statement QProgramSetup;
extern const Statement QUnitFraction;
QList<const Statement *> all();
} // namespace UDMSql
