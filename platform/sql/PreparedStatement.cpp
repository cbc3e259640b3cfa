#include "platform/sql/PreparedStatement.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/OdbcStatement.h"
#include "platform/sql/SqlitePreparedStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace platform {

namespace {

// A statement through the Qt driver (ODBC). On SQL Server it is forward-only (a scrollable query
// would be a server cursor), reads numbers as doubles (the schema has no decimal column, and the
// driver's text of a high-precision float overflows Qt's buffer), has the statement time-out,
// and reads every result the server sends, raising the first error among them.
class QtPreparedStatement final : public PreparedStatement
{
public:
    QtPreparedStatement(Database &database, const QString &text)
        : m_query(database.sqlDatabase())
    {
        m_query.setForwardOnly(true);
        const bool sqlServer = database.dialect() == SqlDialect::SqlServer;
        if (sqlServer)
            m_query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        if (!m_query.prepare(text))
            throw EDatabaseError(Database::errorText(m_query.lastError()));
        if (sqlServer)
            OdbcStatement::setQueryTimeout(m_query, database.settings().queryTimeoutSeconds);
    }

    void query(const QVariantList &values, ResultRows &rows) override
    {
        run(values);
        rows.clear();
        do {
            if (m_query.isSelect())
                readRows(rows);
            raiseIfFailed(rows);
        } while (m_query.nextResult());
        raiseIfFailed(rows);
        m_query.finish();
    }

    void execute(const QVariantList &values) override
    {
        ResultRows none;
        query(values, none);
    }

private:
    void run(const QVariantList &values)
    {
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values[i]);
        if (!m_query.exec())
            throw EDatabaseError(Database::errorText(m_query.lastError()));
    }

    // The rows of the current result set; a later result set with columns replaces them.
    void readRows(ResultRows &rows)
    {
        rows.clear();
        const QSqlRecord record = m_query.record();
        const int n = record.count();
        for (int i = 0; i < n; ++i)
            rows.columns << record.fieldName(i);
        while (m_query.next())
            for (int i = 0; i < n; ++i)
                rows.cells.append(m_query.value(i));
    }

    // Raises the error that ended the rows or the results, if one did.
    void raiseIfFailed(ResultRows &rows)
    {
        if (m_query.lastError().type() == QSqlError::NoError)
            return;
        const QString text = Database::errorText(m_query.lastError());
        rows.clear();
        m_query.finish();
        throw EDatabaseError(text);
    }

    QSqlQuery m_query;
};

} // namespace

std::unique_ptr<PreparedStatement> PreparedStatement::prepare(Database &database, const QString &text)
{
    if (sqlite3 *handle = database.sqliteHandle())
        return std::make_unique<SqlitePreparedStatement>(handle, text);
    return std::make_unique<QtPreparedStatement>(database, text);
}

} // namespace platform
