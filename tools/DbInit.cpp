#include "tools/DbInit.h"

#include "db/DatabaseSetup.h"
#include "db/DemoData.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"

#include <QDir>

QStringList dbInitParams(const QString &server, const QString &database)
{
    return {QStringLiteral("DATABASE NAME=") + database, QStringLiteral("SERVER NAME=") + server,
            QStringLiteral("USER NAME=qlm"), QStringLiteral("PASSWORD=marigold")};
}

namespace {

void createSqlServerDatabase(const DbInitOptions &options, const QString &name)
{
    Database master(QStringLiteral("master"));
    master.setIniPath(options.iniPath);
    master.params = dbInitParams(options.server, QStringLiteral("master"));
    master.execute(QStringLiteral("If DB_ID(N'%1') Is Null Create Database [%1]").arg(QString(name).replace(u'\'', QString())));
}

bool isEmpty(Database &db, const QString &table)
{
    Query q(&db);
    q.setSql({QStringLiteral("Select Count(*) N From ") + table});
    q.open();
    return q.fieldByName(QStringLiteral("N")).asInteger() == 0;
}

} // namespace

QStringList runDbInit(const DbInitOptions &options)
{
    QStringList report;
    const QString company = options.company.trimmed().toUpper();
    const bool embedded = options.server.startsWith(QStringLiteral("sqlite:"), Qt::CaseInsensitive);
    if (embedded) {
        QDir().mkpath(options.server.mid(options.server.indexOf(u':') + 1));
    } else {
        createSqlServerDatabase(options, QStringLiteral("QLM_CONFIG"));
        createSqlServerDatabase(options, company);
    }

    Database config(QStringLiteral("DmCfg"));
    config.setIniPath(options.iniPath);
    config.setCreateIfMissing(true);
    config.params = dbInitParams(options.server, QStringLiteral("QLM_CONFIG"));
    DatabaseSetup::createOrUpgrade(config, DatabaseSetup::Kind::Config);
    report << QStringLiteral("QLM_CONFIG: tables and procedures up to date");

    Database data(QStringLiteral("DMDATA"));
    data.setIniPath(options.iniPath);
    data.setCreateIfMissing(true);
    data.params = dbInitParams(options.server, company);
    DatabaseSetup::createOrUpgrade(data, DatabaseSetup::Kind::Company);
    report << QStringLiteral("%1: tables and procedures up to date").arg(company);

    if (options.demo) {
        if (isEmpty(config, QStringLiteral("Menu")) && isEmpty(data, QStringLiteral("Product"))) {
            DemoData::populate(config, data);
            report << QStringLiteral("demo data added");
        } else {
            report << QStringLiteral("demo data already present: left as it is");
        }
    }
    return report;
}
