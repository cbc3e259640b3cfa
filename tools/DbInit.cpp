#include "tools/DbInit.h"

#include "db/setup/DatabaseSetup.h"
#include "db/setup/DemoData.h"
#include "platform/core/Exceptions.h"
#include "platform/core/IniFile.h"
#include "platform/sql/ConnectionSettings.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

using namespace platform;

QStringList dbInitParams(const QString &server, const QString &database, const QString &login, const QString &password)
{
    return {QStringLiteral("DATABASE NAME=") + database, QStringLiteral("SERVER NAME=") + server,
            QStringLiteral("USER NAME=") + (login.isEmpty() ? QStringLiteral("qlm") : login),
            QStringLiteral("PASSWORD=") + (login.isEmpty() ? QStringLiteral("marigold") : password)};
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
    master.params = dbInitParams(options.server, QStringLiteral("master"), options.login, options.password);
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

// What the set-up did to one database, a line for each kind of change.
QStringList describe(const QString &name, const DatabaseSetup::Outcome &outcome, bool created)
{
    QStringList lines;
    const auto names = [&](const QString &what, const QStringList &list) {
        if (!list.isEmpty())
            lines << QStringLiteral("%1: %2: %3").arg(name, what, list.join(QStringLiteral(", ")));
    };
    if (created) {
        // A new database: every table and routine is new, the counts say enough.
        QString what = QStringLiteral("%1 tables").arg(outcome.tablesCreated.size());
        if (!outcome.routinesCreated.isEmpty())
            what += QStringLiteral(" and %1 procedures and functions").arg(outcome.routinesCreated.size());
        lines << QStringLiteral("%1: %2 created").arg(name, what);
        return lines;
    }
    names(QStringLiteral("tables created"), outcome.tablesCreated);
    names(QStringLiteral("columns added"), outcome.columnsAdded);
    names(QStringLiteral("procedures and functions created"), outcome.routinesCreated);
    names(QStringLiteral("procedures and functions replaced (--force)"), outcome.routinesReplaced);
    names(QStringLiteral("procedures and functions kept as they were (--force replaces them)"), outcome.routinesKept);
    if (!outcome.changedAnything())
        lines << QStringLiteral("%1: nothing to do: tables and procedures up to date").arg(name);
    return lines;
}

// Sets up one database: created when missing, then its tables and procedures.
QStringList setUp(const DbInitOptions &options, Database &db, const QString &name, DatabaseSetup::Kind kind,
                  const QStringList &createdOnServer)
{
    db.setIniPath(options.iniPath);
    db.setCreateIfMissing(true);
    db.params = dbInitParams(options.server, name, options.login, options.password);
    const ConnectionSettings settings = ConnectionSettings::resolve(db.params, QString());
    const bool created = settings.dialect == SqlDialect::Sqlite ? !QFileInfo::exists(settings.sqliteFile)
                                                                : createdOnServer.contains(name, Qt::CaseInsensitive);
    QStringList lines;
    if (created && settings.dialect == SqlDialect::Sqlite)
        lines << QStringLiteral("%1: created as %2").arg(name, QDir::toNativeSeparators(settings.sqliteFile));
    return lines + describe(name, DatabaseSetup::createOrUpgrade(db, kind, options.force), created);
}

} // namespace

QStringList runDbInit(const DbInitOptions &options)
{
    if (!options.login.isEmpty() && !options.iniPath.isEmpty()) {
        const IniFile ini(options.iniPath);
        for (const QString &key : {QStringLiteral("Login"), QStringLiteral("Password")})
            if (ini.contains(QStringLiteral("DATABASE"), key))
                throw EInOutError(QStringLiteral("%1 sets [DATABASE] %2: give the login either there or on the command "
                                                 "line, not both.")
                                      .arg(options.iniPath, key));
    }
    QStringList report;
    const QString company = options.company.trimmed().toUpper();
    const QString config = QStringLiteral("QLM_CONFIG");
    const bool embedded = options.server.startsWith(QStringLiteral("sqlite:"), Qt::CaseInsensitive);
    QStringList created; // on SQL Server
    if (embedded) {
        QDir().mkpath(options.server.mid(options.server.indexOf(u':') + 1));
    } else {
        report += prepareSqlServerDatabases(options, {config, company});
        for (const QString &line : report)
            created << line.section(u':', 0, 0);
    }

    Database configDb(QStringLiteral("DmCfg"));
    report += setUp(options, configDb, config, DatabaseSetup::Kind::Config, created);
    Database data(QStringLiteral("DMDATA"));
    report += setUp(options, data, company, DatabaseSetup::Kind::Company, created);

    if (options.demo) {
        if (isEmpty(configDb, QStringLiteral("Menu")) && isEmpty(data, QStringLiteral("Product"))) {
            DemoData::populate(configDb, data);
            report << QStringLiteral("demo data added");
        } else {
            report << QStringLiteral("demo data already present: left as it is");
        }
    }
    return report;
}
