#include "consignment/LocalSqliteFile.h"

#include "platform/core/Exceptions.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

using namespace platform;

namespace {

QAtomicInt connectionCounter;

QString failure(const QString &file, const QSqlError &error)
{
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file), error.text());
}

} // namespace

LocalSqliteFile::LocalSqliteFile(const QString &file, const QString &purpose, Sync sync)
    : m_file(file)
    , m_connectionName(QStringLiteral("local-%1-%2").arg(purpose).arg(connectionCounter.fetchAndAddRelaxed(1)))
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw EDatabaseError(failure(file, error));
    }
    try {
        exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(sync == Sync::Full ? QStringLiteral("PRAGMA synchronous=FULL") : QStringLiteral("PRAGMA synchronous=NORMAL"));
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw;
    }
}

LocalSqliteFile::~LocalSqliteFile()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase LocalSqliteFile::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery LocalSqliteFile::prepare(const QString &sql) const
{
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw EDatabaseError(failure(m_file, q.lastError()));
    return q;
}

void LocalSqliteFile::run(QSqlQuery &query, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec())
        throw EDatabaseError(query.lastError().text());
}

QSqlQuery LocalSqliteFile::exec(const QString &sql, const QVariantList &values) const
{
    QSqlQuery q = prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec())
        throw EDatabaseError(failure(m_file, q.lastError()));
    return q;
}

void LocalSqliteFile::execScript(const QString &script) const
{
    for (const QString &statement : script.split(u';', Qt::SkipEmptyParts))
        if (!statement.trimmed().isEmpty())
            exec(statement);
}

QVariant LocalSqliteFile::scalar(const QString &sql, const QVariantList &values) const
{
    QSqlQuery q = exec(sql, values);
    return q.next() ? q.value(0) : QVariant();
}

void LocalSqliteFile::begin() const
{
    exec(QStringLiteral("BEGIN IMMEDIATE"));
}

void LocalSqliteFile::commit() const
{
    exec(QStringLiteral("COMMIT"));
}

void LocalSqliteFile::rollback() const
{
    QSqlQuery q(database());
    q.exec(QStringLiteral("ROLLBACK")); // nothing to undo is no failure
}
