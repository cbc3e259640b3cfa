#pragma once

#include <QStringList>

// The names of the result columns of a T-SQL SELECT, read from its (first) select list: the
// alias of each item, or the column name of a plain column reference. Empty for "*" and for
// statements that are not a SELECT.
QStringList selectListNames(const QString &sql);
