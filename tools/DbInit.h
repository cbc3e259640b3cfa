#pragma once

#include <QString>
#include <QStringList>

// Creates or upgrades the configuration database and one company database on either engine,
// and optionally fills empty ones with the demo data. Used by the tarvo-dbinit tool, the demo
// script and the tests.
struct DbInitOptions {
    QString server;                 // "sqlite:DIR" or a SQL Server host
    QString company = QStringLiteral("DEMO");
    bool demo = false;
    QString iniPath = QStringLiteral("QLM.INI");
};

// Returns the lines it reports; raises EDatabaseError / EInOutError on failure.
QStringList runDbInit(const DbInitOptions &options);

// The connection parameter list of one database on a server, with the program's login.
QStringList dbInitParams(const QString &server, const QString &database);
