#pragma once

#include "platform/sql/ConnectionSettings.h"
#include "platform/sql/SqlDialect.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>
#include <functional>

struct sqlite3;
class QSqlError;
class QThread;

namespace platform {

struct ResultRows;

// A connection to one database, addressed by its alias name. Its parameter list of
// "NAME=value" strings is (re)built by the before-connect handler; the after-connect handler
// loads what the owner needs. Statements that run on a closed connection open it first.
//
// A SQL Server connection that the driver reports dead or broken (the link failed, a wait timed
// out or was cancelled, the driver broke off a request) is closed at once, so the next statement
// logs in again; the failed statement raises one error. A read is sent once more on the new
// connection; a write is not, and raises EOutcomeUnknown (ServerErrors.h) when its answer was
// lost.
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
    void ensureOpen();

    // How a statement on SQL Server may be treated when its connection is lost.
    enum class Access {
        Read,  // sent once more on a new connection
        Write, // never sent again; a lost answer raises EOutcomeUnknown
    };
    // Runs a statement with "?" markers and its values on SQL Server, on a thread of its own
    // while this thread goes on with its events (ServerWait). names gives each value's
    // parameter name (or is empty): a text the server's code page cannot hold raises
    // ETextNotSendable naming it, before anything is sent. timeLimitSeconds > 0 bounds the wait:
    // then the statement is cancelled and, if it writes, raises EOutcomeUnknown; 0 leaves the
    // connection's statement time-out. A read may be cancelled by the clerk. rows, when given,
    // receives the last result set that has columns.
    void runOnServer(const QString &text, const QVariantList &values, const QStringList &names, Access access,
                     int timeLimitSeconds, ResultRows *rows);

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
    void closeConnection(); // close() without ending the transaction's bookkeeping
    void dropConnection();
    void abandonConnection(QThread *thread);
    void removeAbandoned(const QString &connectionName);
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
    bool m_statementRunning = false; // a statement waits for the server (ServerWait)
    bool m_transactionLost = false;  // the connection went while a transaction was open
    // Connections whose statement did not end when cancelled: closed once their thread is done.
    struct Abandoned {
        QString connectionName;
        QPointer<QThread> thread;
    };
    QList<Abandoned> m_abandoned;
};

} // namespace platform
