#pragma once

#include <QString>
#include <QStringList>

// The 24-entry connection parameter list both databases use: the same server, login and
// settings, differing only in the database name.
QStringList connectionParams(const QString &databaseName, const QString &serverName);
