#include "platform/sql/OdbcStatement.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/NamedParams.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlResult>
#include <QStringList>
#include <QTime>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <iterator>
#include <type_traits>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

namespace platform {

namespace {

SQLHANDLE handleOf(const QVariant &handle)
{
    if (!handle.isValid() || handle.metaType().sizeOf() != int(sizeof(SQLHANDLE)))
        return nullptr;
    return *static_cast<const SQLHANDLE *>(handle.constData());
}

struct Diagnostic {
    QString state;
    int native = 0;
    QString text;
};

// The driver's messages for a handle, one record each.
QList<Diagnostic> diagnosticRecords(SQLSMALLINT type, SQLHANDLE handle)
{
    QList<Diagnostic> records;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[SQL_SQLSTATE_SIZE + 1];
        SQLWCHAR text[SQL_MAX_MESSAGE_LENGTH];
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN r = SQLGetDiagRecW(type, handle, record, state, &native, text, SQL_MAX_MESSAGE_LENGTH, &length);
        if (!SQL_SUCCEEDED(r))
            break;
        records.append(
            {QString::fromUtf16(reinterpret_cast<const char16_t *>(state), SQL_SQLSTATE_SIZE), int(native),
             QString::fromUtf16(reinterpret_cast<const char16_t *>(text), qMin<qsizetype>(length, SQL_MAX_MESSAGE_LENGTH - 1))});
    }
    return records;
}

// The driver's messages for a handle, joined as Qt's driver joins them.
QString diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    QStringList texts;
    for (const Diagnostic &d : diagnosticRecords(type, handle))
        texts << d.text;
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

void *connectionHandle(const QSqlDatabase &db)
{
    return db.driver() ? handleOf(db.driver()->handle()) : nullptr;
}

bool connectionDead(void *connection)
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (!connection)
        return true;
    const SQLRETURN r = SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return SQL_SUCCEEDED(r) && dead == SQL_CD_TRUE;
}

void executeBatch(const QSqlDatabase &db, const QString &text, int timeoutSeconds)
{
    const SQLHANDLE connection = connectionHandle(db);
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

namespace {

// FreeTDS's numbers for a link that failed, a wait that timed out and a text it could not put
// into the server's code page half-way through a request.
constexpr int linkFailures[] = {20003, 20004, 20006, 20008, 20009, 20017, 2402};

// The longest text declared as varchar(8000) (code page 874 has one byte per character).
constexpr int varcharLimit = 8000;

SQLWCHAR *wide(const QString &text)
{
    return static_cast<SQLWCHAR *>(const_cast<void *>(static_cast<const void *>(text.utf16())));
}

template <typename T>
QByteArray bytesOf(const T &value)
{
    return QByteArray(reinterpret_cast<const char *>(&value), sizeof value);
}

// The value of one column of the current row, as Qt's driver gives it with low-precision
// numbers: whole numbers as int or qlonglong, other numbers as double, dates and times as
// QDate, QTime and QDateTime, binary as QByteArray, the rest as text. NULL is a null value of
// the column's type. Returns false when the driver failed.
bool readCell(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT type, QVariant &out)
{
    SQLLEN indicator = 0;
    auto get = [&](SQLSMALLINT cType, void *target, SQLLEN size) {
        return SQLGetData(statement, column, cType, target, size, &indicator);
    };
    auto isNull = [&] { return indicator == SQL_NULL_DATA; };
    // A value of fixed size: read as C type cType into a V, given to the program as make(v).
    auto fixed = [&](SQLSMALLINT cType, auto v, auto make) {
        if (!SQL_SUCCEEDED(get(cType, &v, 0)))
            return false;
        out = isNull() ? QVariant(QMetaType::fromType<decltype(make(v))>()) : QVariant(make(v));
        return true;
    };
    // A value of any length, read piece by piece as C type cType; a cut-off piece fills the
    // buffer but for the terminator it ends with (terminator bytes).
    auto pieces = [&](SQLSMALLINT cType, SQLLEN terminator, const auto &value, auto append) {
        alignas(8) char chunk[8192];
        for (;;) {
            const SQLRETURN r = get(cType, chunk, sizeof chunk);
            if (r == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(r))
                return false;
            if (isNull()) {
                out = QVariant(QMetaType::fromType<std::decay_t<decltype(value)>>());
                return true;
            }
            const SQLLEN room = SQLLEN(sizeof chunk) - terminator;
            append(chunk, indicator == SQL_NO_TOTAL || indicator > room ? room : indicator);
            if (r == SQL_SUCCESS)
                break;
        }
        out = QVariant::fromValue(value);
        return true;
    };
    switch (type) {
    case SQL_BIT:
        return fixed(SQL_C_BIT, (unsigned char)0, [](unsigned char v) { return v != 0; });
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
        return fixed(SQL_C_SLONG, SQLINTEGER(0), [](SQLINTEGER v) { return int(v); });
    case SQL_BIGINT:
        return fixed(SQL_C_SBIGINT, SQLBIGINT(0), [](SQLBIGINT v) { return qlonglong(v); });
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return fixed(SQL_C_DOUBLE, SQLDOUBLE(0), [](SQLDOUBLE v) { return double(v); });
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return fixed(SQL_C_TYPE_DATE, SQL_DATE_STRUCT{}, [](const SQL_DATE_STRUCT &v) { return QDate(v.year, v.month, v.day); });
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return fixed(SQL_C_TYPE_TIME, SQL_TIME_STRUCT{},
                     [](const SQL_TIME_STRUCT &v) { return QTime(v.hour, v.minute, v.second); });
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return fixed(SQL_C_TYPE_TIMESTAMP, SQL_TIMESTAMP_STRUCT{}, [](const SQL_TIMESTAMP_STRUCT &v) {
            return QDateTime(QDate(v.year, v.month, v.day), QTime(v.hour, v.minute, v.second, int(v.fraction / 1000000)));
        });
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: {
        QByteArray value;
        return pieces(SQL_C_BINARY, 0, value, [&](const char *piece, SQLLEN bytes) { value.append(piece, qsizetype(bytes)); });
    }
    default: {
        QString value;
        return pieces(SQL_C_WCHAR, SQLLEN(sizeof(SQLWCHAR)), value, [&](const char *piece, SQLLEN bytes) {
            value.append(
                QString::fromUtf16(reinterpret_cast<const char16_t *>(piece), qsizetype(bytes) / qsizetype(sizeof(char16_t))));
        });
    }
    }
}

} // namespace

OdbcCall::OdbcCall(void *connection, const QString &text, const QVariantList &values, int timeoutSeconds)
    : m_connection(connection)
    , m_text(text)
    , m_values(values)
    , m_timeoutSeconds(timeoutSeconds)
{
    // The handle exists before run() starts, so that cancel() always has one to address.
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &m_statement))) {
        m_statement = nullptr;
        fail(SQL_HANDLE_DBC, m_connection, QStringLiteral("No statement could be started on the connection."));
    }
}

OdbcCall::~OdbcCall()
{
    release();
}

void OdbcCall::release()
{
    // The handle goes with the call, before anyone can close the connection it belongs to.
    QMutexLocker lock(&m_handleLock);
    if (m_statement)
        SQLFreeHandle(SQL_HANDLE_STMT, m_statement);
    m_statement = nullptr;
}

void OdbcCall::cancel()
{
    QMutexLocker lock(&m_handleLock);
    if (m_statement)
        SQLCancel(m_statement);
}

void OdbcCall::fail(short handleType, void *handle, const QString &fallback)
{
    const QList<Diagnostic> records = handle ? diagnosticRecords(handleType, handle) : QList<Diagnostic>();
    QStringList texts;
    for (const Diagnostic &d : records) {
        m_states << d.state;
        m_natives << d.native;
        texts << d.text;
    }
    if (m_message.isEmpty())
        m_message = texts.isEmpty() ? fallback : texts.join(u' ');
    m_dead = m_dead || OdbcStatement::connectionDead(m_connection);
}

// Qt's driver asks for ODBC 2 behaviour, so the driver manager gives the older names of some
// states ("S1T00" for "HYT00"); both are understood.
bool OdbcCall::hasState(const char *odbc3, const char *odbc2) const
{
    for (const QString &state : m_states)
        if (state == QLatin1String(odbc3) || (odbc2 && state == QLatin1String(odbc2)))
            return true;
    return false;
}

bool OdbcCall::timedOut() const
{
    return hasState("HYT00", "S1T00") || hasState("HYT01", nullptr) || m_natives.contains(20003);
}

bool OdbcCall::connectionBroken() const
{
    if (m_dead || timedOut() || hasState("HY008", "S1008") || hasState("24000", nullptr))
        return true;
    for (const QString &state : m_states)
        if (state.startsWith(QLatin1String("08")))
            return true;
    for (int native : linkFailures)
        if (m_natives.contains(native))
            return true;
    return false;
}

bool OdbcCall::bind()
{
    m_parameters.resize(m_values.size());
    for (int i = 0; i < m_values.size(); ++i) {
        const QVariant &v = m_values[i];
        Parameter &p = m_parameters[size_t(i)];
        const bool null = isNullValue(v);
        switch (v.typeId()) {
        case QMetaType::Bool:
            p.cType = SQL_C_BIT;
            p.sqlType = SQL_BIT;
            p.buffer = bytesOf<unsigned char>(v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            p.cType = SQL_C_SLONG;
            p.sqlType = SQL_INTEGER;
            p.buffer = bytesOf<SQLINTEGER>(SQLINTEGER(v.toInt()));
            break;
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            p.cType = SQL_C_SBIGINT;
            p.sqlType = SQL_BIGINT;
            p.buffer = bytesOf<SQLBIGINT>(SQLBIGINT(v.toLongLong()));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            p.cType = SQL_C_DOUBLE;
            p.sqlType = SQL_DOUBLE;
            p.columnSize = 15;
            p.buffer = bytesOf<SQLDOUBLE>(v.toDouble());
            break;
        case QMetaType::QDate: {
            const QDate d = v.toDate();
            p.cType = SQL_C_TYPE_DATE;
            p.sqlType = SQL_TYPE_DATE;
            p.columnSize = 10;
            p.buffer = bytesOf(SQL_DATE_STRUCT{SQLSMALLINT(d.year()), SQLUSMALLINT(d.month()), SQLUSMALLINT(d.day())});
            break;
        }
        case QMetaType::QDateTime: {
            const QDateTime dt = v.toDateTime();
            const QDate d = dt.date();
            const QTime t = dt.time();
            p.cType = SQL_C_TYPE_TIMESTAMP;
            p.sqlType = SQL_TYPE_TIMESTAMP;
            p.columnSize = 23;
            p.digits = 3;
            p.buffer = bytesOf(SQL_TIMESTAMP_STRUCT{SQLSMALLINT(d.year()), SQLUSMALLINT(d.month()), SQLUSMALLINT(d.day()),
                                                    SQLUSMALLINT(t.hour()), SQLUSMALLINT(t.minute()), SQLUSMALLINT(t.second()),
                                                    SQLUINTEGER(t.msec()) * 1000000u});
            break;
        }
        case QMetaType::QUuid: {
            const QUuid id = v.toUuid();
            SQLGUID guid{id.data1, id.data2, id.data3, {}};
            std::copy(std::begin(id.data4), std::end(id.data4), guid.Data4);
            p.cType = SQL_C_GUID;
            p.sqlType = SQL_GUID;
            p.columnSize = 16;
            p.buffer = bytesOf(guid);
            break;
        }
        case QMetaType::QByteArray:
            p.cType = SQL_C_BINARY;
            p.buffer = v.toByteArray();
            p.sqlType = p.buffer.size() > varcharLimit ? SQL_LONGVARBINARY : SQL_VARBINARY;
            p.columnSize = qMax<qsizetype>(p.buffer.size(), varcharLimit);
            break;
        default: {
            // Text in the database's code page (a Thai collation's varchar), of one declared size.
            const QString text = v.toString();
            p.cType = SQL_C_WCHAR;
            p.sqlType = text.size() > varcharLimit ? SQL_LONGVARCHAR : SQL_VARCHAR;
            p.columnSize = qMax<qsizetype>(text.size(), varcharLimit);
            p.buffer = QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * qsizetype(sizeof(char16_t)));
        }
        }
        p.indicator = null ? SQL_NULL_DATA : (p.cType == SQL_C_WCHAR || p.cType == SQL_C_BINARY ? p.buffer.size() : 0);
        if (p.buffer.isEmpty())
            p.buffer = QByteArray(2, '\0'); // a valid address for an empty text
        if (null && p.cType == SQL_C_WCHAR)
            p.columnSize = varcharLimit;
        static_assert(sizeof(SQLLEN) == sizeof(long long), "the indicator is kept as a long long");
        const SQLRETURN r =
            SQLBindParameter(m_statement, SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, p.cType, p.sqlType, SQLULEN(p.columnSize),
                             p.digits, p.buffer.data(), SQLLEN(p.buffer.size()), reinterpret_cast<SQLLEN *>(&p.indicator));
        if (!SQL_SUCCEEDED(r)) {
            fail(SQL_HANDLE_STMT, m_statement, QStringLiteral("The driver refused parameter %1.").arg(i + 1));
            return false;
        }
    }
    return true;
}

void OdbcCall::run()
{
    if (!m_statement)
        return;
    const SQLRETURN timeout = SQLSetStmtAttr(m_statement, SQL_ATTR_QUERY_TIMEOUT,
                                             reinterpret_cast<SQLPOINTER>(SQLULEN(m_timeoutSeconds)), SQL_IS_UINTEGER);
    if (!SQL_SUCCEEDED(timeout)) {
        fail(SQL_HANDLE_STMT, m_statement, QStringLiteral("The driver refused the statement time-out."));
        release();
        return;
    }
    if (bind())
        readResults(SQLExecDirectW(m_statement, wide(m_text), SQLINTEGER(m_text.size())));
    release();
}

// Reads every result of the request; rows of a later result set with columns replace earlier
// ones. The first error is kept; reading goes on past it unless the connection is gone.
void OdbcCall::readResults(short firstReturn)
{
    SQLRETURN r = firstReturn;
    for (int results = 0; results < 100000; ++results) {
        if (r == SQL_NO_DATA) {
            r = SQLMoreResults(m_statement);
            if (r == SQL_NO_DATA)
                return;
            continue;
        }
        if (r == SQL_ERROR || r == SQL_INVALID_HANDLE) {
            fail(SQL_HANDLE_STMT, m_statement, QStringLiteral("The driver failed the statement without a message."));
            if (connectionBroken())
                return;
        } else {
            if (r == SQL_SUCCESS_WITH_INFO) {
                // A link that fails while results arrive may come as a message only.
                for (const Diagnostic &d : diagnosticRecords(SQL_HANDLE_STMT, m_statement))
                    if (d.state.startsWith(QLatin1String("08")) ||
                        std::find(std::begin(linkFailures), std::end(linkFailures), d.native) != std::end(linkFailures)) {
                        fail(SQL_HANDLE_STMT, m_statement, d.text);
                        return;
                    }
            }
            if (!readRows())
                return;
        }
        r = SQLMoreResults(m_statement);
    }
}

// The rows of the current result, if it has columns; false when the connection went meanwhile.
bool OdbcCall::readRows()
{
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(m_statement, &count)) || count <= 0)
        return true;
    ResultRows rows;
    QVector<SQLSMALLINT> types(count);
    for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(count); ++c) {
        SQLWCHAR name[256];
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeColW(m_statement, c, name, SQLSMALLINT(std::size(name)), &nameLength, &type, &size, &digits, &nullable);
        rows.columns << QString::fromUtf16(reinterpret_cast<const char16_t *>(name), qMin<qsizetype>(nameLength, 255));
        types[c - 1] = type;
    }
    for (;;) {
        const SQLRETURN f = SQLFetch(m_statement);
        if (f == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(f)) {
            fail(SQL_HANDLE_STMT, m_statement, QStringLiteral("The driver failed to read a row."));
            m_rows.clear();
            return !connectionBroken();
        }
        for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(count); ++c) {
            QVariant cell;
            if (!readCell(m_statement, c, types[c - 1], cell)) {
                fail(SQL_HANDLE_STMT, m_statement, QStringLiteral("The driver failed to read a value."));
                m_rows.clear();
                return !connectionBroken();
            }
            rows.cells.append(cell);
        }
    }
    m_rows = std::move(rows);
    return true;
}

} // namespace platform
