#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The report parameter form's statement.
namespace StdReportSql {
extern const Statement QLanguage;
QList<const Statement *> all();
} // namespace StdReportSql
