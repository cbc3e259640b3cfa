#pragma once

#include <QStringList>
#include <QVariantList>
#include <QVector>
#include <memory>

namespace platform {

class Database;

// The rows a statement returned: column names and the values row after row in one block.
struct ResultRows {
    QStringList columns;
    QVector<QVariant> cells; // row r, column c at r * columns.size() + c
    int rowCount() const { return columns.isEmpty() ? 0 : int(cells.size() / columns.size()); }
    void clear()
    {
        columns.clear();
        cells.clear();
    }
};

// One statement text with "?" markers, prepared once on a connection and run again with new
// values. Errors raise EDatabaseError with the engine's own message; the statement can be run
// again afterwards.
class PreparedStatement
{
public:
    virtual ~PreparedStatement() = default;
    // Every row, then the engine's locks are let go. A batch of several statements answers with
    // its last result set that has columns; every result is read and the first error raised.
    virtual void query(const QVariantList &values, ResultRows &rows) = 0;
    virtual void execute(const QVariantList &values) = 0; // a statement without rows

    // The embedded engine's statements run on its own interface (no per-row copies through the
    // driver layer); other connections go through the Qt driver.
    static std::unique_ptr<PreparedStatement> prepare(Database &database, const QString &text);
};

} // namespace platform
