#include "platform/sql/SqlitePreparedStatement.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/NamedParams.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <sqlite3.h>

namespace platform {

SqlitePreparedStatement::SqlitePreparedStatement(sqlite3 *handle, const QString &text)
    : m_handle(handle)
{
    const QByteArray utf8 = text.toUtf8();
    if (sqlite3_prepare_v3(m_handle, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) !=
        SQLITE_OK) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(m_handle));
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw EDatabaseError(error);
    }
}

SqlitePreparedStatement::~SqlitePreparedStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqlitePreparedStatement::fail()
{
    const QString error = QString::fromUtf8(sqlite3_errmsg(m_handle));
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    throw EDatabaseError(error);
}

void SqlitePreparedStatement::bind(const QVariantList &values)
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    if (values.size() != sqlite3_bind_parameter_count(m_stmt))
        throw EDatabaseError(QStringLiteral("Parameter count mismatch"));
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &v = values[i];
        const int at = i + 1;
        int rc = SQLITE_OK;
        if (isNullValue(v)) {
            rc = sqlite3_bind_null(m_stmt, at);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::Char:
            case QMetaType::SChar:
            case QMetaType::UChar:
            case QMetaType::Long:
            case QMetaType::LongLong:
                rc = sqlite3_bind_int64(m_stmt, at, v.toLongLong());
                break;
            case QMetaType::ULong:
            case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(m_stmt, at, qint64(v.toULongLong()));
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, at, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(m_stmt, at, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QDate:
                rc = sqlite3_bind_text(m_stmt, at, v.toDate().toString(Qt::ISODate).toUtf8().constData(), -1, SQLITE_TRANSIENT);
                break;
            case QMetaType::QTime:
                rc = sqlite3_bind_text(m_stmt, at, v.toTime().toString(Qt::ISODateWithMs).toUtf8().constData(), -1,
                                       SQLITE_TRANSIENT);
                break;
            case QMetaType::QDateTime:
                rc = sqlite3_bind_text(m_stmt, at, v.toDateTime().toString(Qt::ISODateWithMs).toUtf8().constData(), -1,
                                       SQLITE_TRANSIENT);
                break;
            default: {
                const QString s = v.toString();
                rc = sqlite3_bind_text16(m_stmt, at, s.utf16(), int(s.size() * sizeof(QChar)), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            fail();
    }
}

void SqlitePreparedStatement::query(const QVariantList &values, ResultRows &rows)
{
    bind(values);
    rows.clear();
    const int n = sqlite3_column_count(m_stmt);
    rows.columns.reserve(n);
    for (int c = 0; c < n; ++c)
        rows.columns << QString::fromUtf8(sqlite3_column_name(m_stmt, c)).remove(u'"');
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(m_stmt, c)) {
            case SQLITE_INTEGER:
                rows.cells.append(QVariant(qint64(sqlite3_column_int64(m_stmt, c))));
                break;
            case SQLITE_FLOAT:
                rows.cells.append(QVariant(sqlite3_column_double(m_stmt, c)));
                break;
            case SQLITE_NULL:
                rows.cells.append(QVariant(QMetaType::fromType<QString>()));
                break;
            case SQLITE_BLOB:
                rows.cells.append(QVariant(
                    QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, c)), sqlite3_column_bytes(m_stmt, c))));
                break;
            default:
                rows.cells.append(QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, c)),
                                                             sqlite3_column_bytes(m_stmt, c))));
            }
        }
    }
    if (rc != SQLITE_DONE) {
        rows.clear();
        fail();
    }
    // Reset at once: a finished read holds no lock on the file.
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void SqlitePreparedStatement::execute(const QVariantList &values)
{
    bind(values);
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {}
    if (rc != SQLITE_DONE)
        fail();
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

} // namespace platform
