#pragma once

#include "platform/sql/ConnectionSettings.h"
#include "platform/sql/SqlDialect.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSqlDatabase>
#include <QStringList>
#include <functional>

struct sqlite3;
class QSqlError;

// A connection to one database, addressed by its alias name. Its parameter list of
// "NAME=value" strings is (re)built by the before-connect handler; the after-connect handler
// loads what the owner needs. Statements that run on a closed connection open it first.
class Database : public QObject
{
    Q_OBJECT
public:
    explicit Database(const QString &aliasName, QObject *parent = nullptr);
    ~Database() override;

    const QString &aliasName() const { return m_aliasName; }

    QStringList params;                            // "NAME=value" entries
    std::function<void(Database &)> beforeConnect; // builds params
    std::function<void(Database &)> afterConnect;  // runs after a successful connect

    // The settings file whose [DATABASE] section completes a SQL Server connection.
    void setIniPath(const QString &path) { m_iniPath = path; }
    // Lets a missing embedded database file be created (the database set-up tool uses it).
    void setCreateIfMissing(bool create) { m_createIfMissing = create; }

    bool connected() const { return m_connected; }
Q_SIGNALS:
    // Statements prepared on the connection must let go of it now.
    void aboutToClose();

public:
    // Changes with every connect: statements prepared on an earlier connection are stale.
    int connectionGeneration() const { return m_generation; }
    void open(); // raises EDatabaseError with the server's text
    void close();
    void ensureOpen()
    {
        if (!m_connected)
            open();
    }

    // The engine of the current (or, before the first connect, the next) connection.
    SqlDialect dialect() const;
    const ConnectionSettings &settings() const { return m_settings; }
    QSqlDatabase sqlDatabase() const;
    sqlite3 *sqliteHandle() const;      // the embedded engine's handle; nullptr over ODBC
    static QStringList sqlitePragmas(); // run on every embedded connection when it opens

    // Runs one statement that returns no rows; on SQL Server a batch, every result read.
    void execute(const QString &sql);
    // What every SQL Server connection sets for its session when it opens.
    static QString sqlServerSessionSettings();
    // Runs a text of several statements; the embedded engine runs them all in one call.
    void executeBatch(const QString &sql);

    // Transactions (SQL Server: the driver's transaction calls); nested calls join the outer one.
    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_transactionDepth > 0; }

    // The text of a driver error: the server's own words where the driver has them.
    static QString errorText(const QSqlError &error);

    // Called, on the statement's thread, when a statement on an embedded connection starts
    // waiting for a lock another connection holds (it waits up to the busy time-out). The
    // program shows the wait cursor with it; an empty hook does nothing.
    static void setLockWaitHook(std::function<void()> hook);
    static const std::function<void()> &lockWaitHook();

private:
    static int waitForLock(void *database, int attempt);
    void rollbackOnEngine();
    void openConnection();
    void configureSqlite();

    QString m_aliasName;
    QString m_connectionName;
    QString m_iniPath = QStringLiteral("QLM.INI");
    ConnectionSettings m_settings;
    bool m_connected = false;
    bool m_createIfMissing = false;
    int m_transactionDepth = 0;
    int m_generation = 0;
    int m_busyTimeoutMs = 0;
    QElapsedTimer m_lockWait;
};
