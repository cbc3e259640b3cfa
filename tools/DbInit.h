#pragma once

#include <QString>
#include <QStringList>

// Creates or upgrades the configuration database and one company database on either engine,
// and optionally fills empty ones with the demo data. Used by the tarvo-dbinit tool, the demo
// script and the tests.
struct DbInitOptions {
    QString server; // "sqlite:DIR" or a SQL Server host
    QString company = QStringLiteral("DEMO");
    bool demo = false;
    bool force = false; // replace the suite's existing procedures and functions
    QString iniPath = QStringLiteral("QLM.INI");
};

// Returns the lines it reports; raises EDatabaseError / EInOutError on failure.
//
// On SQL Server both databases must have the same collation, one that holds Thai text (code page
// 874, or UTF-8): databases that are missing are created with it (Thai_CI_AS, or the collation of
// the one that exists); existing ones that differ from each other or cannot hold Thai are refused
// before anything is changed.
QStringList runDbInit(const DbInitOptions &options);

// The collation new databases get when neither exists yet.
inline constexpr const char *defaultCollation = "Thai_CI_AS";

// The connection parameter list of one database on a server, with the program's login.
QStringList dbInitParams(const QString &server, const QString &database);
