#include "platform/sql/OdbcStatement.h"

#include "platform/core/Exceptions.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlResult>
#include <QStringList>
#include <QVariant>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

namespace {

SQLHANDLE handleOf(const QVariant &handle)
{
    if (!handle.isValid() || handle.metaType().sizeOf() != int(sizeof(SQLHANDLE)))
        return nullptr;
    return *static_cast<const SQLHANDLE *>(handle.constData());
}

// The driver's messages for a handle, joined as Qt's driver joins them.
QString diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    QStringList texts;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[SQL_SQLSTATE_SIZE + 1];
        SQLWCHAR text[SQL_MAX_MESSAGE_LENGTH];
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN r = SQLGetDiagRecW(type, handle, record, state, &native, text, SQL_MAX_MESSAGE_LENGTH, &length);
        if (!SQL_SUCCEEDED(r))
            break;
        texts << QString::fromUtf16(reinterpret_cast<const char16_t *>(text),
                                    qMin<qsizetype>(length, SQL_MAX_MESSAGE_LENGTH - 1));
    }
    return texts.join(u' ');
}

[[noreturn]] void raise(SQLSMALLINT type, SQLHANDLE handle, const QString &what)
{
    const QString text = diagnostics(type, handle);
    throw EDatabaseError(text.isEmpty() ? what : text);
}

void setTimeout(SQLHSTMT statement, int seconds)
{
    const SQLRETURN r =
        SQLSetStmtAttr(statement, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(seconds)), SQL_IS_UINTEGER);
    if (!SQL_SUCCEEDED(r))
        raise(SQL_HANDLE_STMT, statement, QStringLiteral("The driver refused the statement time-out."));
}

class StatementHandle
{
public:
    explicit StatementHandle(SQLHDBC connection)
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &m_handle))) {
            m_handle = SQL_NULL_HSTMT;
            raise(SQL_HANDLE_DBC, connection, QStringLiteral("No statement could be started on the connection."));
        }
    }
    ~StatementHandle() { SQLFreeHandle(SQL_HANDLE_STMT, m_handle); }
    StatementHandle(const StatementHandle &) = delete;
    StatementHandle &operator=(const StatementHandle &) = delete;
    SQLHSTMT get() const { return m_handle; }

private:
    SQLHSTMT m_handle = SQL_NULL_HSTMT;
};

} // namespace

namespace OdbcStatement {

void setQueryTimeout(const QSqlQuery &query, int seconds)
{
    const SQLHANDLE statement = query.result() ? handleOf(query.result()->handle()) : nullptr;
    if (!statement)
        throw EDatabaseError(QStringLiteral("The query has no ODBC statement to set the time-out on."));
    setTimeout(statement, seconds);
}

void executeBatch(const QSqlDatabase &db, const QString &text, int timeoutSeconds)
{
    const SQLHANDLE connection = db.driver() ? handleOf(db.driver()->handle()) : nullptr;
    if (!connection)
        throw EDatabaseError(QStringLiteral("The ODBC connection is not open."));
    StatementHandle statement(connection);
    setTimeout(statement.get(), timeoutSeconds);
    SQLRETURN r =
        SQLExecDirectW(statement.get(), static_cast<SQLWCHAR *>(const_cast<void *>(static_cast<const void *>(text.utf16()))),
                       SQLINTEGER(text.size()));
    while (r != SQL_NO_DATA) {
        if (!SQL_SUCCEEDED(r))
            raise(SQL_HANDLE_STMT, statement.get(), QStringLiteral("The driver failed the statement without a message."));
        r = SQLMoreResults(statement.get()); // also passes over rows nobody asked for
    }
}

} // namespace OdbcStatement
