#include "db/setup/BulkInsert.h"

#include "platform/sql/Database.h"
#include "platform/sql/NamedParams.h"

using namespace platform;

BulkInsert::BulkInsert(Database &db, const QString &table, const QStringList &columns)
    : m_sqlite(db.dialect() == SqlDialect::Sqlite)
{
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    db.ensureOpen();
    m_statement = PreparedStatement::prepare(
        db, QStringLiteral("Insert Into %1 (%2) Values (%3)").arg(table, columns.join(u','), marks.join(u',')));
}

void BulkInsert::add(const QVariantList &values)
{
    if (!m_sqlite) {
        m_statement->execute(values);
        return;
    }
    QVariantList stored;
    for (const QVariant &v : values)
        stored << toSqliteValue(v); // dates as the embedded engine stores them
    m_statement->execute(stored);
}
