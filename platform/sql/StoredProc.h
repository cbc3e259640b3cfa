#pragma once

#include "platform/sql/ParamList.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QVariant>

namespace platform {

class Database;

// A server procedure called by name with input, output and result parameters.
//
// On SQL Server the call is one batch: the outputs are declared as variables, the procedure runs
// with them marked OUTPUT, and a final SELECT returns them (the ODBC layer loses OUTPUT values
// behind result sets otherwise). On the embedded engine the procedure registered under the same
// name runs in one transaction.
class StoredProc : public QObject
{
    Q_OBJECT
public:
    enum class Direction { Input, Output, Result };

    StoredProc(Database *database, const QString &procedureName, QObject *parent = nullptr);

    const QString &procedureName() const { return m_name; }

    // Declares a parameter; name with its leading "@" (the result parameter is usually "Result").
    void addParam(const QString &name, QMetaType::Type type, Direction direction);
    void setParam(const QString &name, const QVariant &value);
    QVariant paramValue(const QString &name) const; // raises EDatabaseError for an unknown name

    void execProc(); // raises EDatabaseError with the server's text
    // On SQL Server: the longest the call may wait for the server (seconds; 0 = the
    // connection's statement time-out); then it is cancelled and raises EOutcomeUnknown.
    void setTimeLimit(int seconds) { m_timeLimitSeconds = seconds; }
    void close(); // clears the outputs of the last call

private:
    struct Param {
        QString name;
        QMetaType::Type type;
        Direction direction;
        QVariant value;
    };
    Param *find(const QString &name);
    const Param *find(const QString &name) const;
    void execSqlServer();
    void execSqlite();

    Database *m_database;
    QString m_name;
    QList<Param> m_params;
    int m_timeLimitSeconds = 0;
};

} // namespace platform
