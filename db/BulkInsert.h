#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

class Database;

// Inserts many rows into one table with one prepared statement.
class BulkInsert
{
public:
    BulkInsert(Database &db, const QString &table, const QStringList &columns);
    void add(const QVariantList &values); // raises EDatabaseError

private:
    QSqlQuery m_query;
    bool m_sqlite;
};
