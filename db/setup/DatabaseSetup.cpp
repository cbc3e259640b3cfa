#include "db/setup/DatabaseSetup.h"

#include "db/ServerObjects.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/SqlScript.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

using namespace platform;

static void initDbResources()
{
    Q_INIT_RESOURCE(db);
}

namespace {

// The statement without the comment lines and blank lines in front of it.
QString withoutLeadingComments(const QString &statement)
{
    QStringList lines = statement.split(u'\n');
    while (!lines.isEmpty() && (lines.first().trimmed().isEmpty() || lines.first().trimmed().startsWith(QStringLiteral("--"))))
        lines.removeFirst();
    return lines.join(u'\n');
}

const QRegularExpression &routineStart()
{
    static const QRegularExpression re(QStringLiteral("^Create\\s+(Procedure|Function)\\s+(?:dbo\\.)?(\\w+)"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// The definitions between the parentheses of "Create Table Name (...)", split at the commas
// outside parentheses; table constraints left out.
QStringList columnDefinitions(const QString &text, qsizetype open)
{
    QStringList parts;
    QString current;
    int depth = 0;
    for (qsizetype i = open + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'(')
            ++depth;
        if (c == u')' && depth-- == 0)
            break;
        if (c == u',' && depth == 0) {
            parts << current.simplified();
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current.simplified();
    QStringList columns;
    static const QRegularExpression constraint(QStringLiteral("^(Constraint|Primary\\s+Key)\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    for (const QString &part : parts)
        if (!part.isEmpty() && !constraint.match(part).hasMatch())
            columns << part;
    return columns;
}

QSet<QString> firstColumnUpper(Database &db, const QString &sql)
{
    Query q(&db);
    q.setSql({sql});
    q.open();
    QSet<QString> names;
    for (int row = 0; row < q.recordCount(); ++row)
        names.insert(q.value(row, 0).toString().toUpper());
    return names;
}

DatabaseSetup::Outcome upgradeSqlServer(Database &db, DatabaseSetup::Kind kind, bool force)
{
    const QSet<QString> routines = firstColumnUpper(
        db, QStringLiteral("Select name From sys.objects Where type In ('P', 'FN') And schema_id = Schema_Id('dbo')"));
    QHash<QString, QSet<QString>> tableColumns;
    {
        Query q(&db);
        q.setSql({QStringLiteral("Select TABLE_NAME, COLUMN_NAME From INFORMATION_SCHEMA.COLUMNS Where TABLE_SCHEMA = 'dbo'")});
        q.open();
        for (int row = 0; row < q.recordCount(); ++row)
            tableColumns[q.value(row, 0).toString().toUpper()].insert(q.value(row, 1).toString().toUpper());
    }

    static const QRegularExpression primaryKey(QStringLiteral("\\s+Primary\\s+Key\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    DatabaseSetup::Outcome outcome;
    for (const QString &path : DatabaseSetup::sqlServerScripts(kind)) {
        for (const QStringList &lines : SqlScript::statements(DatabaseSetup::readScript(path).split(u'\n'))) {
            const QString text = lines.join(u'\n');
            const DatabaseSetup::ScriptStatement s = DatabaseSetup::classify(text);
            if (s.type == DatabaseSetup::ScriptStatement::Type::Routine && routines.contains(s.name.toUpper())) {
                if (!force) {
                    outcome.routinesKept << s.name;
                    continue;
                }
                QString alter = withoutLeadingComments(text);
                alter.replace(0, 6, QStringLiteral("Alter"));
                db.execute(alter);
                outcome.routinesReplaced << s.name;
                continue;
            }
            db.execute(text);
            if (s.type == DatabaseSetup::ScriptStatement::Type::Routine)
                outcome.routinesCreated << s.name;
            if (s.type != DatabaseSetup::ScriptStatement::Type::Table)
                continue;
            const auto existing = tableColumns.constFind(s.name.toUpper());
            if (existing == tableColumns.constEnd()) {
                outcome.tablesCreated << s.name;
                continue;
            }
            for (const QString &column : s.columns) {
                const QString name = column.section(u' ', 0, 0);
                if (existing->contains(name.toUpper()))
                    continue;
                db.execute(QStringLiteral("Alter Table %1 Add %2").arg(s.name, QString(column).remove(primaryKey)));
                outcome.columnsAdded << s.name + u'.' + name;
            }
        }
    }
    return outcome;
}

// The tables of an embedded database.
QStringList sqliteTables(Database &db)
{
    Query q(&db);
    q.setSql({QStringLiteral("Select name From sqlite_master Where type = 'table' Order By rowid")});
    q.open();
    QStringList names;
    for (int row = 0; row < q.recordCount(); ++row)
        names << q.value(row, 0).toString();
    return names;
}

} // namespace

DatabaseSetup::ScriptStatement DatabaseSetup::classify(const QString &statement)
{
    ScriptStatement s;
    const QString text = withoutLeadingComments(statement);
    const QRegularExpressionMatch routine = routineStart().match(text);
    if (routine.hasMatch()) {
        s.type = ScriptStatement::Type::Routine;
        s.name = routine.captured(2);
        return s;
    }
    static const QRegularExpression table(QStringLiteral("^If Not Exists[^\\n]*\\n\\s*Create Table (\\w+) \\("),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = table.match(text);
    if (m.hasMatch()) {
        s.type = ScriptStatement::Type::Table;
        s.name = m.captured(1);
        s.columns = columnDefinitions(text, m.capturedEnd(0) - 1);
    }
    return s;
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

DatabaseSetup::Outcome DatabaseSetup::createOrUpgrade(Database &db, Kind kind, bool force)
{
    registerServerObjects();
    db.ensureOpen();
    if (db.dialect() == SqlDialect::Sqlite) {
        // The embedded engine's procedures and functions are the program's own code: only
        // tables are created here.
        const QStringList before = sqliteTables(db);
        db.executeBatch(readScript(sqliteSchemaPath(kind)));
        Outcome outcome;
        for (const QString &table : sqliteTables(db))
            if (!before.contains(table, Qt::CaseInsensitive))
                outcome.tablesCreated << table;
        return outcome;
    }
    return upgradeSqlServer(db, kind, force);
}
