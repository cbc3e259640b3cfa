#include "data/ConnectionParams.h"

QStringList connectionParams(const QString &databaseName, const QString &serverName)
{
    return {
        QStringLiteral("DATABASE NAME=") + databaseName,
        QStringLiteral("SERVER NAME=") + serverName,
        QStringLiteral("USER NAME=qlm"),
        QStringLiteral("OPEN MODE=READ/WRITE"),
        QStringLiteral("SCHEMA CACHE SIZE=8"),
        QStringLiteral("BLOB EDIT LOGGING="),
        QStringLiteral("LANGDRIVER="),
        QStringLiteral("SQLQRYMODE="),
        QStringLiteral("SQLPASSTHRU MODE=SHARED AUTOCOMMIT"),
        QStringLiteral("DATE MODE=1"),
        QStringLiteral("SCHEMA CACHE TIME=-1"),
        QStringLiteral("MAX QUERY TIME=600"),
        QStringLiteral("MAX ROWS=-1"),
        QStringLiteral("BATCH COUNT=200"),
        QStringLiteral("ENABLE SCHEMA CACHE=FALSE"),
        QStringLiteral("SCHEMA CACHE DIR="),
        QStringLiteral("HOST NAME="),
        QStringLiteral("APPLICATION NAME="),
        QStringLiteral("NATIONAL LANG NAME="),
        QStringLiteral("ENABLE BCD=True"),
        QStringLiteral("TDS PACKET SIZE=4096"),
        QStringLiteral("BLOBS TO CACHE=-1"),
        QStringLiteral("BLOB SIZE=64"),
        QStringLiteral("PASSWORD=marigold"),
    };
}
