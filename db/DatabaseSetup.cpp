#include "db/DatabaseSetup.h"

#include "db/ServerObjects.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/SqlScript.h"

#include <QFile>

static void initDbResources()
{
    Q_INIT_RESOURCE(db);
}

QStringList DatabaseSetup::sqlServerScripts(Kind kind)
{
    if (kind == Kind::Config)
        return {QStringLiteral(":/db/mssql/01_config_schema.sql"), QStringLiteral(":/db/mssql/02_config_procedures.sql")};
    return {QStringLiteral(":/db/mssql/03_company_schema.sql"), QStringLiteral(":/db/mssql/04_company_procedures.sql")};
}

QString DatabaseSetup::sqliteSchemaPath(Kind kind)
{
    return kind == Kind::Config ? QStringLiteral(":/db/sqlite/config.sql") : QStringLiteral(":/db/sqlite/company.sql");
}

QString DatabaseSetup::readScript(const QString &resourcePath)
{
    initDbResources();
    QFile f(resourcePath);
    if (!f.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Cannot read %1").arg(resourcePath));
    return QString::fromUtf8(f.readAll());
}

void DatabaseSetup::createOrUpgrade(Database &db, Kind kind)
{
    registerServerObjects();
    db.ensureOpen();
    if (db.dialect() == SqlDialect::Sqlite) {
        db.executeBatch(readScript(sqliteSchemaPath(kind)));
        return;
    }
    for (const QString &path : sqlServerScripts(kind)) {
        SqlScript script(&db);
        script.lines = readScript(path).split(u'\n');
        script.execute();
    }
}
