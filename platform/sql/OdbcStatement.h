#pragma once

#include <QString>

class QSqlDatabase;
class QSqlQuery;

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

} // namespace OdbcStatement
