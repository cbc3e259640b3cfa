#include "platform/sql/Database.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/CodePage874.h"
#include "platform/sql/OdbcStatement.h"
#include "platform/sql/ServerErrors.h"
#include "platform/sql/ServerWait.h"
#include "platform/sql/SqliteServerObjects.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <sqlite3.h>

#include <iterator>

namespace platform {

namespace {
QAtomicInt connectionCounter;

QString newConnectionName(const QString &aliasName)
{
    return QStringLiteral("%1#%2").arg(aliasName).arg(connectionCounter.fetchAndAddRelaxed(1));
}

// What a statement or a commit raises after the connection went while a transaction was open.
EDatabaseError transactionLost()
{
    return EDatabaseError(QStringLiteral("The connection to the database was lost during a transaction; the "
                                         "transaction's work was undone."));
}

std::function<void()> &lockWaitHookSlot()
{
    static std::function<void()> hook;
    return hook;
}
} // namespace

void Database::setLockWaitHook(std::function<void()> hook)
{
    lockWaitHookSlot() = std::move(hook);
}

const std::function<void()> &Database::lockWaitHook()
{
    return lockWaitHookSlot();
}

int Database::waitForLock(void *database, int attempt)
{
    // The engine's own busy time-out, with the hook told when a wait begins: short sleeps first,
    // longer ones later, until the time-out has passed (0: give up, the statement fails with
    // "database is locked").
    auto *self = static_cast<Database *>(database);
    if (attempt == 0) {
        self->m_lockWait.start();
        if (lockWaitHook())
            lockWaitHook()();
    }
    const qint64 waited = self->m_lockWait.elapsed();
    if (waited >= self->m_busyTimeoutMs)
        return 0;
    static constexpr int delaysMs[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    const int delay = attempt < int(std::size(delaysMs)) ? delaysMs[attempt] : 100;
    sqlite3_sleep(int(qMin<qint64>(delay, self->m_busyTimeoutMs - waited)));
    return 1;
}

Database::Database(const QString &aliasName, QObject *parent)
    : QObject(parent)
    , m_aliasName(aliasName)
    , m_connectionName(newConnectionName(aliasName))
{}

Database::~Database()
{
    close();
    // A statement left waiting ends with the driver's own time-out; its connection goes then.
    for (const Abandoned &a : std::as_const(m_abandoned)) {
        if (a.thread)
            a.thread->wait();
        QSqlDatabase::removeDatabase(a.connectionName);
    }
}

QString Database::errorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

SqlDialect Database::dialect() const
{
    if (m_connected)
        return m_settings.dialect;
    QStringList p = params;
    if (beforeConnect) {
        // Building the list has no effect beyond the list itself.
        Database &self = const_cast<Database &>(*this);
        const QStringList saved = self.params;
        beforeConnect(self);
        p = self.params;
        self.params = saved;
    }
    return ConnectionSettings::resolve(p, m_iniPath).dialect;
}

QSqlDatabase Database::sqlDatabase() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

sqlite3 *Database::sqliteHandle() const
{
    if (!QSqlDatabase::contains(m_connectionName) || m_settings.qtDriver != QLatin1String("QSQLITE"))
        return nullptr;
    const QVariant v = sqlDatabase().driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.data());
}

void Database::ensureOpen()
{
    if (m_transactionLost)
        throw transactionLost();
    if (!m_connected)
        open();
}

void Database::open()
{
    if (m_connected)
        return;
    if (beforeConnect)
        beforeConnect(*this);
    m_settings = ConnectionSettings::resolve(params, m_iniPath);
    openConnection();
    ++m_generation;
    m_connected = true;
    if (afterConnect) {
        try {
            afterConnect(*this);
        } catch (...) {
            close();
            throw;
        }
    }
}

void Database::openConnection()
{
    if (!m_settings.error.isEmpty())
        throw EDatabaseError(m_settings.error);
    if (m_settings.dialect == SqlDialect::Sqlite && !m_createIfMissing && !QFileInfo::exists(m_settings.sqliteFile))
        throw EDatabaseError(QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.")
                                 .arg(m_settings.database.trimmed().toUpper()));
    QSqlDatabase db = QSqlDatabase::addDatabase(m_settings.qtDriver, m_connectionName);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(m_connectionName);
        throw EDatabaseError(QStringLiteral("Database driver %1 is not available").arg(m_settings.qtDriver));
    }
    // Over ODBC the login is in the connection string (setUserName would add it a second time).
    db.setDatabaseName(m_settings.databaseName);
    db.setConnectOptions(m_settings.connectOptions);
    if (!db.open()) {
        const QString text = errorText(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw EDatabaseError(text);
    }
    try {
        if (m_settings.dialect == SqlDialect::Sqlite) {
            configureSqlite();
        } else {
            // For the whole session: no row counts between results (a server error after one
            // is still raised, as every result is read), and dates exchanged as text are read
            // day first.
            OdbcStatement::executeBatch(db, sqlServerSessionSettings(), m_settings.queryTimeoutSeconds);
        }
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw;
    }
}

QStringList Database::sqlitePragmas()
{
    // Readers never wait for the writer; a commit is durable at the next checkpoint.
    return {QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("PRAGMA synchronous=NORMAL")};
}

void Database::configureSqlite()
{
    QSqlDatabase db = sqlDatabase();
    QSqlQuery q(db);
    auto run = [&](const QString &sql) {
        if (!q.exec(sql))
            throw EDatabaseError(errorText(q.lastError()));
        q.finish();
    };
    for (const QString &pragma : sqlitePragmas())
        run(pragma);
    if (m_settings.qtDriver == QLatin1String("QSQLITE")) {
        if (sqlite3 *handle = sqliteHandle()) {
            SqliteServerObjects::installFunctions(handle);
            m_busyTimeoutMs = ConnectionSettings::sqliteBusyTimeoutMs();
            sqlite3_busy_handler(handle, &Database::waitForLock, this);
        }
    }
    // Statements of a company database read configuration tables by the prefix QLM_Config. The
    // file is attached read-only: the engine would otherwise take its write lock too in every
    // write transaction of the company database (each stored procedure runs in one), so that
    // any other writer of the configuration database, such as an error log written on another
    // workstation, would hold up and then fail the company database's saves.
    if (!m_settings.isConfigDatabase && QFileInfo::exists(m_settings.configFile)) {
        QSqlQuery attach(db);
        attach.prepare(QStringLiteral("ATTACH DATABASE ? AS QLM_Config"));
        if (m_settings.qtDriver == QLatin1String("QSQLITE"))
            attach.addBindValue(
                QUrl::fromLocalFile(QFileInfo(m_settings.configFile).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                QStringLiteral("?mode=ro"));
        else
            attach.addBindValue(m_settings.configFile);
        if (!attach.exec())
            throw EDatabaseError(errorText(attach.lastError()));
    }
}

void Database::close()
{
    closeConnection();
    m_transactionDepth = 0;
    m_transactionLost = false;
}

void Database::closeConnection()
{
    if (!QSqlDatabase::contains(m_connectionName)) {
        m_connected = false;
        return;
    }
    Q_EMIT aboutToClose();
    if (sqlite3 *handle = sqliteHandle()) {
        // Every committed line goes from the write-ahead log into the database file, so that the
        // file alone is complete once the program has ended (a copy of it, a backup), whether or
        // not other connections to it are still open.
        sqlite3_wal_checkpoint_v2(handle, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    }
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connected = false;
}

void Database::dropConnection()
{
    // The server undoes an open transaction when its connection ends; until the caller ends the
    // transaction too, no statement may run as if it still belonged to it.
    closeConnection();
    m_transactionLost = m_transactionDepth > 0;
}

void Database::abandonConnection(QThread *thread)
{
    // The thread still uses the connection's handles: the connection is set aside under its
    // name and closed when the thread is done; the next statement opens one under a new name.
    Q_EMIT aboutToClose();
    const QString name = m_connectionName;
    m_abandoned.append({name, thread});
    connect(thread, &QThread::finished, this, [this, name] { removeAbandoned(name); });
    m_connectionName = newConnectionName(m_aliasName);
    if (thread->isFinished()) // done before anyone listened
        removeAbandoned(name);
    dropConnection(); // nothing is open under the new name: only the bookkeeping is left
}

void Database::removeAbandoned(const QString &connectionName)
{
    for (int i = 0; i < m_abandoned.size(); ++i) {
        if (m_abandoned[i].connectionName != connectionName)
            continue;
        m_abandoned.removeAt(i);
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connectionName);
        return;
    }
}

void Database::runOnServer(const QString &text, const QVariantList &values, const QStringList &names, Access access,
                           int timeLimitSeconds, ResultRows *rows)
{
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].typeId() != QMetaType::QString)
            continue;
        const QString value = values[i].toString();
        const qsizetype at = CodePage874::firstUnencodable(value);
        if (at >= 0)
            throw ETextNotSendable(i < names.size() ? names[i] : QString::number(i + 1),
                                   value.mid(at, value[at].isHighSurrogate() ? 2 : 1));
    }
    if (m_statementRunning)
        throw EDatabaseError(QStringLiteral("The connection %1 is still waiting for the server.").arg(m_aliasName));
    for (int attempt = 0;; ++attempt) {
        ensureOpen();
        void *connection = OdbcStatement::connectionHandle(sqlDatabase());
        if (OdbcStatement::connectionDead(connection)) {
            // Known dead before anything was sent: log in again first.
            dropConnection();
            ensureOpen();
            connection = OdbcStatement::connectionHandle(sqlDatabase());
        }
        // A bounded statement is cancelled at its limit from here; the driver's own time-out,
        // later, only ends a wait that not even the cancel ends.
        const int limit = timeLimitSeconds > 0 ? timeLimitSeconds : m_settings.queryTimeoutSeconds;
        const int driverTimeout = timeLimitSeconds > 0 ? timeLimitSeconds + ServerWait::cancelGraceMs / 1000 + 1 : limit;
        auto call = std::make_shared<OdbcCall>(connection, text, values, driverTimeout);
        QThread *leftWaiting = nullptr;
        m_statementRunning = true;
        const ServerWait::End end = ServerWait::run(call, timeLimitSeconds, access == Access::Read, leftWaiting);
        m_statementRunning = false;
        if (end == ServerWait::End::Abandoned || end == ServerWait::End::AbandonedByClerk) {
            abandonConnection(leftWaiting);
            if (end == ServerWait::End::AbandonedByClerk)
                throw ECancelledByUser(QStringLiteral("the server did not confirm the cancel"));
            const QString message = QStringLiteral("The server did not answer within %1 seconds; the statement was "
                                                   "cancelled. Timeout expired")
                                        .arg(limit);
            if (access == Access::Write)
                throw EOutcomeUnknown(message);
            throw EDatabaseError(message);
        }
        if (!call->failed()) {
            if (rows)
                *rows = std::move(call->rows());
            return;
        }
        // A cancelled statement leaves the connection in doubt too.
        const bool waitEnded = end != ServerWait::End::Answered || call->timedOut();
        if (!waitEnded && !call->connectionBroken())
            throw EDatabaseError(call->message()); // the server's refusal; the connection is fine
        dropConnection();
        if (end == ServerWait::End::CancelledByClerk)
            throw ECancelledByUser(call->message());
        if (access == Access::Read && attempt == 0 && !waitEnded)
            continue;
        if (access == Access::Write)
            throw EOutcomeUnknown(call->message());
        throw EDatabaseError(call->message());
    }
}

QString Database::sqlServerSessionSettings()
{
    return QStringLiteral("SET NOCOUNT ON;\nSET DATEFORMAT dmy;");
}

void Database::execute(const QString &sql)
{
    ensureOpen();
    if (m_settings.dialect == SqlDialect::SqlServer) {
        runOnServer(sql, {}, {}, Access::Write, 0, nullptr);
        return;
    }
    QSqlQuery q(sqlDatabase());
    if (!q.exec(sql))
        throw EDatabaseError(errorText(q.lastError()));
}

void Database::executeBatch(const QString &sql)
{
    ensureOpen();
    if (sqlite3 *handle = sqliteHandle()) {
        char *error = nullptr;
        if (sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const QString text = QString::fromUtf8(error ? error : "unknown error");
            sqlite3_free(error);
            throw EDatabaseError(text);
        }
        return;
    }
    execute(sql);
}

void Database::beginTransaction()
{
    ensureOpen();
    if (m_transactionDepth++ > 0)
        return;
    try {
        if (m_settings.dialect == SqlDialect::Sqlite)
            execute(QStringLiteral("BEGIN IMMEDIATE"));
        else if (!sqlDatabase().transaction()) // the driver's own transaction calls
            throw EDatabaseError(errorText(sqlDatabase().lastError()));
    } catch (...) {
        m_transactionDepth = 0;
        throw;
    }
}

void Database::commit()
{
    if (m_transactionDepth == 0)
        return;
    if (--m_transactionDepth > 0)
        return;
    if (m_transactionLost) {
        m_transactionLost = false;
        throw transactionLost();
    }
    try {
        if (m_settings.dialect == SqlDialect::Sqlite)
            execute(QStringLiteral("COMMIT"));
        else if (!sqlDatabase().commit())
            throw EDatabaseError(errorText(sqlDatabase().lastError()));
    } catch (...) {
        // A refused COMMIT can leave the transaction open; the caller is told the work failed,
        // so none of it may be committed later by someone else's statement.
        rollbackOnEngine();
        throw;
    }
}

void Database::rollback()
{
    if (m_transactionDepth == 0)
        return;
    m_transactionDepth = 0;
    if (m_transactionLost) {
        m_transactionLost = false; // the server undid it when the connection went
        return;
    }
    rollbackOnEngine();
}

void Database::rollbackOnEngine()
{
    // Best effort: with no transaction open the engine refuses, which is fine.
    if (m_settings.dialect != SqlDialect::Sqlite) {
        sqlDatabase().rollback();
        return;
    }
    QSqlQuery q(sqlDatabase());
    q.exec(QStringLiteral("ROLLBACK"));
}

} // namespace platform
