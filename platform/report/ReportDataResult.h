#pragma once

#include <QList>
#include <QStringList>
#include <QVariant>

namespace platform {

// The rows a dataset query returned: column names in result order and one value list per row.
struct ReportDataResult {
    QStringList columns;
    QList<QVariantList> rows;
};

} // namespace platform
