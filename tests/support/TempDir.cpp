#include "support/TempDir.h"

TempDatabases::TempDatabases() = default;

QStringList TempDatabases::params(const QString &database, const QString &serverPrefix) const
{
    return {QStringLiteral("DATABASE NAME=") + database, QStringLiteral("SERVER NAME=") + serverPrefix + m_dir.path(),
            QStringLiteral("USER NAME=qlm"), QStringLiteral("PASSWORD=marigold")};
}
