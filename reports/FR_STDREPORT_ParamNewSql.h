#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The report parameter form's statement.
namespace StdReportSql {
extern const platform::Statement QLanguage;
QList<const platform::Statement *> all();
} // namespace StdReportSql
