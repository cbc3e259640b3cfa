#pragma once

#include "platform/sql/PreparedStatement.h"

#include <QString>
#include <QVariantList>
#include <memory>

namespace platform {
class Database;
}

// Inserts many rows into one table with one prepared statement.
class BulkInsert
{
public:
    BulkInsert(platform::Database &db, const QString &table, const QStringList &columns);
    void add(const QVariantList &values); // raises EDatabaseError

private:
    std::unique_ptr<platform::PreparedStatement> m_statement;
    bool m_sqlite;
};
