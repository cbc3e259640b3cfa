#pragma once

namespace platform {

// The two database engines the program runs on. The dialect decides which text of a statement
// entry is sent and how procedures are called.
enum class SqlDialect {
    SqlServer, // Microsoft SQL Server over ODBC
    Sqlite,    // the embedded engine (demo, tests)
};

} // namespace platform
