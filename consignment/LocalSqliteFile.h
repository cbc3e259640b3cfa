#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlQuery;

// An embedded SQLite file of this workstation's own (the offline journal, the scan copy), on a
// connection of its own: opened in WAL mode, so readers never wait for the writer, with the
// given synchronous level. A connection belongs to the thread that opened it; a worker opens
// its own LocalSqliteFile on the same file. Every failure raises EDatabaseError.
class LocalSqliteFile
{
public:
    enum class Sync { Normal, Full };

    LocalSqliteFile(const QString &file, const QString &purpose, Sync sync);
    ~LocalSqliteFile();
    LocalSqliteFile(const LocalSqliteFile &) = delete;
    LocalSqliteFile &operator=(const LocalSqliteFile &) = delete;

    const QString &file() const { return m_file; }
    const QString &connectionName() const { return m_connectionName; }
    QSqlDatabase database() const;

    // Runs one statement with positional values and leaves the query positioned before its first
    // row; run() on a query of its own (prepared once, run many times) binds and runs it.
    QSqlQuery exec(const QString &sql, const QVariantList &values = {}) const;
    QSqlQuery prepare(const QString &sql) const;
    static void run(QSqlQuery &query, const QVariantList &values);
    // Runs a text of statements separated by ';' (none of them may hold a ';' of its own).
    void execScript(const QString &script) const;
    // The first column of the first row, or a null value.
    QVariant scalar(const QString &sql, const QVariantList &values = {}) const;

    // One write transaction (BEGIN IMMEDIATE: the write lock is taken at once).
    void begin() const;
    void commit() const;
    void rollback() const;

private:
    QString m_file;
    QString m_connectionName;
};
