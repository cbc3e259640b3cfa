#include "platform/sql/PreparedStatement.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/SqlitePreparedStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// A statement through the Qt driver (ODBC): forward-only, numbers in full precision on SQL Server.
class QtPreparedStatement final : public PreparedStatement
{
public:
    QtPreparedStatement(Database &database, const QString &text)
        : m_query(database.sqlDatabase())
    {
        m_query.setForwardOnly(true);
        if (database.dialect() == SqlDialect::SqlServer)
            m_query.setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!m_query.prepare(text))
            throw EDatabaseError(Database::errorText(m_query.lastError()));
    }

    void query(const QVariantList &values, ResultRows &rows) override
    {
        run(values);
        rows.clear();
        const QSqlRecord record = m_query.record();
        const int n = record.count();
        for (int i = 0; i < n; ++i)
            rows.columns << record.fieldName(i);
        while (m_query.next())
            for (int i = 0; i < n; ++i)
                rows.cells.append(m_query.value(i));
        if (m_query.lastError().type() != QSqlError::NoError) {
            const QString text = Database::errorText(m_query.lastError());
            rows.clear();
            m_query.finish();
            throw EDatabaseError(text);
        }
        m_query.finish();
    }

    void execute(const QVariantList &values) override
    {
        run(values);
        m_query.finish();
    }

private:
    void run(const QVariantList &values)
    {
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values[i]);
        if (!m_query.exec())
            throw EDatabaseError(Database::errorText(m_query.lastError()));
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
