#pragma once

#include <QStringList>

namespace platform {

class Database;

// A list of lines grouped into statements by lines that hold only "/"; each statement is sent by
// itself, in order, outside any transaction. The first failing statement raises EDatabaseError
// and stops the script.
class SqlScript
{
public:
    explicit SqlScript(Database *database)
        : m_database(database)
    {}

    QStringList lines;

    static QList<QStringList> statements(const QStringList &lines);
    void execute() const;

private:
    Database *m_database;
};

} // namespace platform
