#pragma once

#include "platform/sql/PreparedStatement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// A statement on the embedded engine's own interface. Values come back as the Qt driver gives
// them (whole numbers as 64-bit integers, reals as doubles, text as strings, NULL as a null
// string, blobs as byte arrays), so callers see no difference between the two paths.
class SqlitePreparedStatement final : public PreparedStatement
{
public:
    SqlitePreparedStatement(sqlite3 *handle, const QString &text);
    ~SqlitePreparedStatement() override;
    SqlitePreparedStatement(const SqlitePreparedStatement &) = delete;
    SqlitePreparedStatement &operator=(const SqlitePreparedStatement &) = delete;

    void query(const QVariantList &values, ResultRows &rows) override;
    void execute(const QVariantList &values) override;

private:
    void bind(const QVariantList &values);
    [[noreturn]] void fail();

    sqlite3 *m_handle;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace platform
