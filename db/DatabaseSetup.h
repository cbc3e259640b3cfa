#pragma once

#include <QStringList>

class Database;

// Creates or upgrades the tables, indexes and procedures of the two databases on either engine.
// Every step is guarded, so running it on an up-to-date database changes nothing.
class DatabaseSetup
{
public:
    enum class Kind { Config, Company };

    static void createOrUpgrade(Database &db, Kind kind);

    // The script texts, as shipped: T-SQL files (statements split by "/" lines) and the
    // embedded engine's schema.
    static QStringList sqlServerScripts(Kind kind); // resource paths, in running order
    static QString readScript(const QString &resourcePath);
    static QString sqliteSchemaPath(Kind kind);
};
