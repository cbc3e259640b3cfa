#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The configuration data module's statements.
namespace DmConfigSql {
extern const Statement QCompanyConfig;
extern const Statement QCompany;
extern const Statement QSoftware;
extern const Statement QUser;
extern const Statement QError;
extern const Statement SQLUpdateMenuVersion; // the after-connect script, statement 1
extern const Statement SQLUpdateMenuFill;    // the after-connect script, statement 2
extern const Statement MenuVersionColumn;    // embedded engine: does Menu have Version?
extern const Statement AddMenuVersion;       // embedded engine: add it
QList<const Statement *> all();
} // namespace DmConfigSql
