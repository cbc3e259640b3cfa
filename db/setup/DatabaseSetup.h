#pragma once

#include <QStringList>

namespace platform {
class Database;
}

// Creates or upgrades the tables, indexes and procedures of the two databases on either engine.
// Every step is guarded, so running it on an up-to-date database changes nothing.
//
// On SQL Server the databases may already belong to the suite: a table that exists gets only the
// columns it lacks; a procedure or function that exists is left as it is (the suite's other
// programs use it) unless force is set, which replaces it with the script's definition.
class DatabaseSetup
{
public:
    enum class Kind { Config, Company };

    // What one run did to a database, names in the scripts' order.
    struct Outcome {
        QStringList tablesCreated;
        QStringList columnsAdded; // "Table.Column"
        QStringList routinesCreated;
        QStringList routinesKept;     // existed: left as they were
        QStringList routinesReplaced; // existed: replaced (force)
        bool changedAnything() const
        {
            return !tablesCreated.isEmpty() || !columnsAdded.isEmpty() || !routinesCreated.isEmpty() ||
                !routinesReplaced.isEmpty();
        }
    };

    static Outcome createOrUpgrade(platform::Database &db, Kind kind, bool force = false);

    // The script texts, as shipped: T-SQL files (statements split by "/" lines) and the
    // embedded engine's schema.
    static QStringList sqlServerScripts(Kind kind); // resource paths, in running order
    static QString readScript(const QString &resourcePath);
    static QString sqliteSchemaPath(Kind kind);

    // One statement of the T-SQL scripts as the set-up treats it.
    struct ScriptStatement {
        enum class Type { Routine, Table, Other };
        Type type = Type::Other;
        QString name;        // the procedure, function or table
        QStringList columns; // a table's column definitions ("Name Type ..."), in order
    };
    static ScriptStatement classify(const QString &statement);
};
