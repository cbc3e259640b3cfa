#pragma once

#include "platform/sql/PreparedStatement.h"

#include <QString>
#include <QVariantList>
#include <memory>

class Database;

// Inserts many rows into one table with one prepared statement.
class BulkInsert
{
public:
    BulkInsert(Database &db, const QString &table, const QStringList &columns);
    void add(const QVariantList &values); // raises EDatabaseError

private:
    std::unique_ptr<PreparedStatement> m_statement;
    bool m_sqlite;
};
