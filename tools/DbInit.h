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
    // A login of its own (one that may create databases), instead of the program's: given on the
    // command line, its password from the standard input or the environment, never in a file.
    // The settings file must then set neither Login nor Password.
    QString login;    // "" = the program's login, or the settings file's
    QString password; // with login
};

// Returns the lines it reports, for each database what it did: created, tables created, columns
// added, procedures and functions created, kept as they were, replaced (force), or nothing to
// do; raises EDatabaseError / EInOutError on failure.
//
// On SQL Server both databases must have the same collation, one that holds Thai text (code page
// 874, or UTF-8): databases that are missing are created with it (Thai_CI_AS, or the collation of
// the one that exists); existing ones that differ from each other or cannot hold Thai are refused
// before anything is changed.
QStringList runDbInit(const DbInitOptions &options);

// The collation new databases get when neither exists yet.
inline constexpr const char *defaultCollation = "Thai_CI_AS";

// The connection parameter list of one database on a server, with the program's login (or the
// one given).
QStringList dbInitParams(const QString &server, const QString &database, const QString &login = QString(),
                         const QString &password = QString());
