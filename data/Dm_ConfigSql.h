#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The configuration data module's statements.
namespace DmConfigSql {
extern const platform::Statement QCompanyConfig;
extern const platform::Statement QCompany;
extern const platform::Statement QSoftware;
extern const platform::Statement QUser;
extern const platform::Statement QError;
extern const platform::Statement SQLUpdateMenuVersion; // the after-connect script, statement 1
extern const platform::Statement SQLUpdateMenuFill;    // the after-connect script, statement 2
extern const platform::Statement MenuVersionColumn;    // embedded engine: does Menu have Version?
extern const platform::Statement AddMenuVersion;       // embedded engine: add it
QList<const platform::Statement *> all();
} // namespace DmConfigSql
