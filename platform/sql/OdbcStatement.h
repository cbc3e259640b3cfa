#pragma once

#include "platform/sql/PreparedStatement.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>
#include <vector>

class QSqlDatabase;
class QSqlQuery;

namespace platform {

// What SQL Server statements need beyond Qt's ODBC driver, done through the ODBC API on the
// driver's own handles. Errors raise EDatabaseError with the driver's words.
namespace OdbcStatement {

// Sets the statement time-out (seconds; 0 = none) on the statement handle of a prepared query.
// The driver keeps it for every later execution of that statement.
void setQueryTimeout(const QSqlQuery &query, int seconds);

// Runs a text without parameters as one batch, with the statement time-out. A batch is not a
// prepared statement, so SET options it changes stay for the session. Every result is read;
// an error in any of them is raised.
void executeBatch(const QSqlDatabase &db, const QString &text, int timeoutSeconds);

// The driver's connection handle of an open ODBC connection, or nullptr.
void *connectionHandle(const QSqlDatabase &db);

// Whether the driver knows the connection to be dead (SQL_ATTR_CONNECTION_DEAD).
bool connectionDead(void *connection);

} // namespace OdbcStatement

// One statement sent directly with its values bound as typed parameters: a text with
// parameters goes out as one request (the driver sends sp_executesql), one without as a batch.
// Text is declared varchar(8000) whatever its length, so the server keeps one plan per text.
// Every result is read; the first error is kept with what the driver said about the connection.
//
// run() may be called on another thread than the one that made the call; cancel() may be called
// from any thread while run() waits for the server (ODBC allows SQLCancel there). Nothing here
// touches Qt's database objects.
class OdbcCall
{
public:
    OdbcCall(void *connection, const QString &text, const QVariantList &values, int timeoutSeconds);
    ~OdbcCall();
    OdbcCall(const OdbcCall &) = delete;
    OdbcCall &operator=(const OdbcCall &) = delete;

    void run(); // sends the statement and reads every result, then lets the statement handle go
    void cancel();

    bool failed() const { return !m_message.isEmpty(); }
    const QString &message() const { return m_message; }
    const QStringList &states() const { return m_states; }
    // The connection cannot be used any more: the driver says it is dead, the link failed, the
    // wait timed out or was cancelled, or the driver broke off in the middle of a request.
    bool connectionBroken() const;
    bool timedOut() const;
    ResultRows &rows() { return m_rows; }

private:
    struct Parameter {
        QByteArray buffer;       // the value as its C type holds it
        long long indicator = 0; // the length in bytes, or the driver's NULL mark
        short cType = 0;
        short sqlType = 0;
        unsigned long long columnSize = 0;
        short digits = 0;
    };
    void fail(short handleType, void *handle, const QString &fallback);
    bool bind();
    void readResults(short firstReturn);
    bool readRows();

    void release();
    bool hasState(const char *odbc3, const char *odbc2) const;

    void *m_connection;
    QMutex m_handleLock; // cancel() against release()
    void *m_statement = nullptr;
    QString m_text;
    QVariantList m_values;
    std::vector<Parameter> m_parameters;
    int m_timeoutSeconds;
    QString m_message;
    QStringList m_states;
    QList<int> m_natives;
    bool m_dead = false;
    ResultRows m_rows;
};

} // namespace platform
