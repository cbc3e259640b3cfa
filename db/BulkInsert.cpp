#include "db/BulkInsert.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/NamedParams.h"

#include <QSqlError>

BulkInsert::BulkInsert(Database &db, const QString &table, const QStringList &columns)
    : m_query(db.sqlDatabase())
    , m_sqlite(db.dialect() == SqlDialect::Sqlite)
{
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString sql = QStringLiteral("Insert Into %1 (%2) Values (%3)").arg(table, columns.join(u','), marks.join(u','));
    if (!m_query.prepare(sql))
        throw EDatabaseError(Database::errorText(m_query.lastError()));
}

void BulkInsert::add(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        m_query.bindValue(i, m_sqlite ? toSqliteValue(values[i]) : values[i]);
    if (!m_query.exec())
        throw EDatabaseError(Database::errorText(m_query.lastError()));
}
