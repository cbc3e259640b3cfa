#pragma once

#include <QStringList>
#include <QTemporaryDir>

namespace platform {
class Database;
}

// A folder of embedded database files that lives as long as the test object.
class TempDatabases
{
public:
    TempDatabases();
    QString dir() const { return m_dir.path(); }
    QString server() const { return QStringLiteral("sqlite:") + m_dir.path(); }

    // A connection parameter list for a database of this folder.
    QStringList params(const QString &database, const QString &serverPrefix = QStringLiteral("sqlite:")) const;

private:
    QTemporaryDir m_dir;
};
