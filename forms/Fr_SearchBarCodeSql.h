#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The barcode search dialog's statement.
namespace SearchBarCodeSql {
extern const Statement QSearch;
constexpr int FilterLine = 31; // replaced by the filter that leaves out blocked products
constexpr int OrderLine = 32;  // replaced by the sort order
QList<const Statement *> all();
} // namespace SearchBarCodeSql
