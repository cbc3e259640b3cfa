#pragma once

#include <QString>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

// Runs one statement straight through the sqlite3 C API on its own handle: the engine's own
// time, the limit the program's data layer is measured against. The statement is prepared once
// and reset between runs; every column of every row is read, as the program reads them.
class EngineRunner
{
public:
    explicit EngineRunner(const QString &databaseFile, const QString &configFile);
    ~EngineRunner();
    EngineRunner(const EngineRunner &) = delete;
    EngineRunner &operator=(const EngineRunner &) = delete;

    // text: the statement with positional "?" markers; values: one per marker.
    int run(const QString &text, const QVariantList &values); // returns the row count

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_text;
};
