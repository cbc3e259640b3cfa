#pragma once

#include "platform/sql/SqlDialect.h"

#include <QStringList>

namespace platform {

// One named statement of the program: the T-SQL text as SQL Server runs it and, where the
// embedded engine cannot run that text, an SQLite text that returns the same rows with the same
// parameters. Entries live in a *Sql.cpp beside the component that runs them.
struct Statement {
    const char *name;
    QStringList tsql;
    QStringList sqlite; // empty: the T-SQL text runs on SQLite as it is

    const QStringList &lines(SqlDialect dialect) const
    {
        return dialect == SqlDialect::Sqlite && !sqlite.isEmpty() ? sqlite : tsql;
    }
};

} // namespace platform
