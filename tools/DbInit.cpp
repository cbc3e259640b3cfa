#include "tools/DbInit.h"

#include "db/setup/DatabaseSetup.h"
#include "db/setup/DemoData.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>

QStringList dbInitParams(const QString &server, const QString &database)
{
    return {QStringLiteral("DATABASE NAME=") + database, QStringLiteral("SERVER NAME=") + server, QStringLiteral("USER NAME=qlm"),
            QStringLiteral("PASSWORD=marigold")};
}

namespace {

// [name] with a "]" inside doubled.
QString quotedName(const QString &name)
{
    return u'[' + QString(name).replace(u']', QStringLiteral("]]")) + u']';
}

// N'text' with a quote inside doubled.
QString unicodeLiteral(const QString &text)
{
    return QStringLiteral("N'") + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

// Checks the collations of the two databases and creates those that are missing. Raises,
// changing nothing, when the existing ones cannot hold Thai or differ from each other.
QStringList prepareSqlServerDatabases(const DbInitOptions &options, const QStringList &names)
{
    Database master(QStringLiteral("master"));
    master.setIniPath(options.iniPath);
    master.params = dbInitParams(options.server, QStringLiteral("master"));
    Query q(&master);
    q.setSql({QStringLiteral("Select name, collation_name, Cast(CollationProperty(collation_name, 'CodePage') As Int) CodePage"),
              QStringLiteral("From sys.databases"), QStringLiteral("Where name In (:Config, :Company)")});
    q.setParam(QStringLiteral("Config"), names[0]);
    q.setParam(QStringLiteral("Company"), names[1]);
    q.open();
    QMap<QString, QString> existing; // upper-cased name -> collation
    for (int row = 0; row < q.recordCount(); ++row) {
        const QString name = q.value(row, 0).toString();
        const QString collation = q.value(row, 1).toString();
        const int codePage = q.value(row, 2).toInt();
        if (codePage != 874 && codePage != 65001)
            throw EDatabaseError(
                QStringLiteral("The database %1 has the collation %2, which cannot hold Thai text. Both databases "
                               "need the same Thai collation, such as %3.")
                    .arg(name, collation, QLatin1String(defaultCollation)));
        existing.insert(name.toUpper(), collation);
    }
    if (existing.size() == 2 && existing.first().compare(existing.last(), Qt::CaseInsensitive) != 0)
        throw EDatabaseError(
            QStringLiteral("The database %1 has the collation %2 and %3 has %4: both databases need the same "
                           "Thai collation.")
                .arg(names[0], existing.value(names[0].toUpper()), names[1], existing.value(names[1].toUpper())));

    const QString collation = existing.isEmpty() ? QString::fromLatin1(defaultCollation) : existing.first();
    static const QRegularExpression collationName(QStringLiteral("^\\w+$"));
    if (!collationName.match(collation).hasMatch())
        throw EDatabaseError(QStringLiteral("'%1' is not a collation name").arg(collation));
    QStringList report;
    for (const QString &name : names) {
        if (existing.contains(name.toUpper()))
            continue;
        master.execute(QStringLiteral("If DB_ID(%1) Is Null Create Database %2 Collate %3")
                           .arg(unicodeLiteral(name), quotedName(name), collation));
        report << QStringLiteral("%1: created with the collation %2").arg(name, collation);
    }
    return report;
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
    if (embedded)
        QDir().mkpath(options.server.mid(options.server.indexOf(u':') + 1));
    else
        report += prepareSqlServerDatabases(options, {QStringLiteral("QLM_CONFIG"), company});

    Database config(QStringLiteral("DmCfg"));
    config.setIniPath(options.iniPath);
    config.setCreateIfMissing(true);
    config.params = dbInitParams(options.server, QStringLiteral("QLM_CONFIG"));
    for (const QString &line : DatabaseSetup::createOrUpgrade(config, DatabaseSetup::Kind::Config, options.force))
        report << QStringLiteral("QLM_CONFIG: ") + line;
    report << QStringLiteral("QLM_CONFIG: tables and procedures up to date");

    Database data(QStringLiteral("DMDATA"));
    data.setIniPath(options.iniPath);
    data.setCreateIfMissing(true);
    data.params = dbInitParams(options.server, company);
    for (const QString &line : DatabaseSetup::createOrUpgrade(data, DatabaseSetup::Kind::Company, options.force))
        report << company + QStringLiteral(": ") + line;
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
