#pragma once

#include "platform/sql/Statement.h"

#include <QList>

// The barcode search dialog's statement.
namespace SearchBarCodeSql {
extern const platform::Statement QSearch;
constexpr int FilterLine = 31; // replaced by the filter that leaves out blocked products
constexpr int OrderLine = 32;  // replaced by the sort order
// The text of the filter line: barcode units of products that are not blocked.
extern const QString FilterText;
// The text of the order line for each sort order.
enum SortOrder { ByBarCode, ByCode, ByThaiName };
QString orderText(SortOrder order);
QList<const platform::Statement *> all();
} // namespace SearchBarCodeSql
