#pragma once

#include <QString>

namespace platform {

// A named query of the report. `sql` is the main text; `alternativeSql` an optional text for an
// embedded engine that cannot run the main one. Parameters are `:Name` taken from variables.
struct ReportDatasetDefinition {
    QString name;
    QString sql;
    QString alternativeSql;
    int line = 0;
};

} // namespace platform
