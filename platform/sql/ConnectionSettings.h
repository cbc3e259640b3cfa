#pragma once

#include "platform/sql/SqlDialect.h"

#include <QString>
#include <QStringList>

namespace platform {

// How to reach one database, derived from a connection's "NAME=value" parameter list and the
// [DATABASE] section of the settings file.
//
// The server name selects the engine:
//   "sqlite:DIR"       the embedded engine; the database is the file DIR/NAME.sqlite (NAME
//                      upper-cased) and the configuration database is DIR/QLM_CONFIG.sqlite
//   "sqlite-odbc:DIR"  the same files reached through the ODBC driver manager (checks the
//                      ODBC path without a SQL Server)
//   anything else      a SQL Server host reached over ODBC; the login goes into the
//                      connection string only (Qt would otherwise append it a second time)
struct ConnectionSettings {
    SqlDialect dialect = SqlDialect::SqlServer;
    QString qtDriver;       // "QSQLITE" or "QODBC"
    QString databaseName;   // what QSqlDatabase::setDatabaseName gets (file or connection string)
    QString connectOptions; // QSqlDatabase::setConnectOptions
    QString userName;
    QString password;
    QString sqliteDir;  // embedded engine: folder of the database files
    QString sqliteFile; // embedded engine: the database file
    QString configFile; // embedded engine: the configuration database file
    bool isConfigDatabase = false;
    QString server;              // the server name as given
    QString database;            // the database name as given
    int queryTimeoutSeconds = 0; // SQL Server: set on every statement handle (0 = none)
    QString error;               // why this connection cannot be made ("" = it can); raised by open

    // A whole connect to a SQL Server that never answers ends after about this long: the login
    // time-out bounds the network connect and each wait for the server during the login, and the
    // TDS version is pinned, so the driver makes no second attempt with an older protocol.
    // QLM.INI [DATABASE] LoginTimeout sets it in whole seconds (1 or more).
    int loginTimeoutSeconds = defaultLoginTimeoutSeconds;
    static constexpr int defaultLoginTimeoutSeconds = 15;

    // The longest a save waits for the server before it is cancelled and its outcome counts as
    // unknown. QLM.INI [DATABASE] SaveTimeout sets it in whole seconds (1 or more).
    int saveTimeoutSeconds = defaultSaveTimeoutSeconds;
    static constexpr int defaultSaveTimeoutSeconds = 15;

    // Reads the values of a parameter list; iniPath names the settings file ("" = none).
    static ConnectionSettings resolve(const QStringList &params, const QString &iniPath);

    // The value of NAME=value in a parameter list (name without regard to case), or "".
    static QString paramValue(const QStringList &params, const QString &name);

    // How long a statement on the embedded engine waits for a lock that another connection
    // holds before it fails with "database is locked": 15000 ms, or the whole number of
    // milliseconds (0 or more) in the environment variable TARVO_SQLITE_BUSY_TIMEOUT_MS when
    // that is set. Read at each connect, so a change applies from the next connect on; the
    // tests use it to keep a wait for a lock that is never released short.
    static int sqliteBusyTimeoutMs();
    static constexpr int defaultSqliteBusyTimeoutMs = 15000;
};

} // namespace platform
