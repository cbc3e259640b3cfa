// tarvo-dbinit on SQL Server, through the real ODBC stack against the TDS stand-in: the
// collations it creates, accepts and refuses, the suite's procedures it keeps, the columns it
// adds, and demo data that arrives in Thai code page 874.
#include "db/setup/DatabaseSetup.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/SqlScript.h"
#include "support/TdsStandIn.h"
#include "tools/DbInit.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTest>

using namespace platform;

namespace {

QJsonObject resultSet(const QStringList &columns, const QList<QJsonArray> &rows)
{
    return TdsStandIn::resultSet(columns, rows);
}

// Every table of the scripts with its columns, as the server's catalogue lists them.
QList<QPair<QString, QString>> scriptColumns()
{
    QList<QPair<QString, QString>> columns;
    for (auto kind : {DatabaseSetup::Kind::Config, DatabaseSetup::Kind::Company})
        for (const QString &path : DatabaseSetup::sqlServerScripts(kind))
            for (const QStringList &s : SqlScript::statements(DatabaseSetup::readScript(path).split('\n'))) {
                const DatabaseSetup::ScriptStatement statement = DatabaseSetup::classify(s.join('\n'));
                for (const QString &column : statement.columns)
                    columns.append({statement.name, column.section(' ', 0, 0)});
            }
    return columns;
}

QStringList routineNames()
{
    QStringList names;
    for (auto kind : {DatabaseSetup::Kind::Config, DatabaseSetup::Kind::Company})
        for (const QString &path : DatabaseSetup::sqlServerScripts(kind))
            for (const QStringList &s : SqlScript::statements(DatabaseSetup::readScript(path).split('\n'))) {
                const DatabaseSetup::ScriptStatement statement = DatabaseSetup::classify(s.join('\n'));
                if (statement.type == DatabaseSetup::ScriptStatement::Type::Routine)
                    names << statement.name;
            }
    return names;
}

} // namespace

class TestDbInit : public QObject
{
    Q_OBJECT
    TdsStandIn m_server;

    DbInitOptions options(const QString &company = "DEMO") const
    {
        DbInitOptions o;
        o.server = "127.0.0.1";
        o.company = company;
        o.iniPath = m_server.dir() + "/QLM.INI";
        return o;
    }

    // The server's answers: the databases that exist (name, collation, code page), the
    // procedures and functions, the tables' columns; everything else is accepted.
    void script(const QJsonArray &databases, const QStringList &routines = {}, const QList<QPair<QString, QString>> &columns = {})
    {
        m_server.clearRules();
        m_server.clearLog();
        m_server.answer(".", QJsonArray());
        m_server.answer("^Select Count\\(\\*\\) N From", QJsonArray{resultSet({"N int"}, {QJsonArray{0}})});
        QList<QJsonArray> rows;
        for (const auto &c : columns)
            rows.append(QJsonArray{c.first, c.second});
        m_server.answer("INFORMATION_SCHEMA.COLUMNS",
                        QJsonArray{resultSet({"TABLE_NAME nvarchar", "COLUMN_NAME nvarchar"}, rows)});
        rows.clear();
        for (const QString &name : routines)
            rows.append(QJsonArray{name});
        m_server.answer("From sys.objects", QJsonArray{resultSet({"name nvarchar"}, rows)});
        rows.clear();
        for (const QJsonValue &database : databases)
            rows.append(database.toArray());
        m_server.answer("From sys.databases",
                        QJsonArray{resultSet({"name nvarchar", "collation_name nvarchar", "CodePage int"}, rows)});
    }

    QStringList textsMatching(const QString &pattern) const
    {
        const QRegularExpression re(pattern, QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
        QStringList found;
        for (const QString &text : m_server.texts())
            if (re.match(text).hasMatch())
                found << text;
        return found;
    }

    static void recordTexts(const QString &name, const QStringList &texts)
    {
        QVERIFY(TdsStandIn::writeTexts(texts, qEnvironmentVariable("TARVO_BINARY_DIR") + "/tests/tsql-texts/" + name));
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString why = m_server.start();
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QVERIFY(m_server.writeIni(m_server.dir() + "/QLM.INI"));
    }

    void newDatabasesGetTheThaiCollation()
    {
        script({});
        DbInitOptions o = options();
        o.demo = true;
        const QStringList report = runDbInit(o);
        QVERIFY2(report.contains("demo data added"), qPrintable(report.join('\n')));
        QVERIFY(report.contains("QLM_CONFIG: created with the collation Thai_CI_AS"));
        QVERIFY(report.contains("DEMO: created with the collation Thai_CI_AS"));
        QVERIFY2(report.filter(QRegularExpression("^(QLM_CONFIG|DEMO): \\d+ tables and \\d+ procedures and functions created$"))
                         .size() == 2,
                 qPrintable(report.join('\n')));
        QCOMPARE(textsMatching("Create Database"),
                 QStringList({"If DB_ID(N'QLM_CONFIG') Is Null Create Database [QLM_CONFIG] Collate Thai_CI_AS",
                              "If DB_ID(N'DEMO') Is Null Create Database [DEMO] Collate Thai_CI_AS"}));
        QCOMPARE(textsMatching("^Create (Procedure|Function) dbo\\.").size(), routineNames().size());
        // The demo data's Thai text went out as code page 874 and arrived whole.
        int thai = 0;
        for (const QJsonObject &e : m_server.log())
            for (const QJsonValue &p : e.value("params").toArray()) {
                const QJsonObject param = p.toObject();
                if (param.value("type").toString() != "varchar")
                    continue;
                QVERIFY2(param.value("value").isString(), qPrintable(param.value("raw").toString()));
                thai += param.value("value").toString().contains(QRegularExpression("[\\x{0E00}-\\x{0E7F}]"));
            }
        QVERIFY(thai > 100);
        recordTexts("dbinit-new", m_server.texts());

        // A "]" in a database name is doubled inside the brackets.
        script({});
        runDbInit(options("SHOP]1"));
        QCOMPARE(textsMatching("Create Database").last(),
                 QString("If DB_ID(N'SHOP]1') Is Null Create Database [SHOP]]1] Collate Thai_CI_AS"));
    }

    void databasesThatCannotHoldThaiAreRefused_data()
    {
        QTest::addColumn<QJsonArray>("databases");
        QTest::addColumn<QStringList>("named");
        const QJsonArray latinConfig{"QLM_CONFIG", "SQL_Latin1_General_CP1_CI_AS", 1252};
        QTest::newRow("Latin1, the other missing")
            << QJsonArray{latinConfig} << QStringList{"SQL_Latin1_General_CP1_CI_AS", "Thai_CI_AS"};
        QTest::newRow("both Latin1") << QJsonArray{latinConfig, QJsonArray{"DEMO", "SQL_Latin1_General_CP1_CI_AS", 1252}}
                                     << QStringList{"SQL_Latin1_General_CP1_CI_AS", "Thai_CI_AS"};
        QTest::newRow("two Thai collations")
            << QJsonArray{QJsonArray{"QLM_CONFIG", "Thai_CI_AS", 874}, QJsonArray{"DEMO", "Thai_100_CI_AS", 874}}
            << QStringList{"Thai_CI_AS", "Thai_100_CI_AS"};
    }
    void databasesThatCannotHoldThaiAreRefused()
    {
        QFETCH(QJsonArray, databases);
        QFETCH(QStringList, named);
        script(databases);
        DbInitOptions o = options();
        o.demo = true;
        try {
            runDbInit(o);
            QFAIL("the databases were accepted");
        } catch (const EDatabaseError &e) {
            for (const QString &collation : named)
                QVERIFY2(e.message().contains(collation), qPrintable(e.message()));
        }
        // Nothing but the look at the databases went out.
        QCOMPARE(m_server.texts().size(), 2); // the session settings, the question
        QVERIFY(m_server.texts().last().contains("From sys.databases"));
    }

    void theSuitesProceduresAreKeptAndMissingColumnsAdded()
    {
        const QJsonArray databases{QJsonArray{"QLM_CONFIG", "Thai_CI_AS", 874}, QJsonArray{"DEMO", "Thai_CI_AS", 874}};
        // A live suite of an earlier version: the request key table is missing.
        QList<QPair<QString, QString>> columns = scriptColumns();
        QVERIFY(columns.removeOne({"Config", "ShowLastSearch"}));
        QCOMPARE(columns.removeIf([](const auto &c) { return c.first == "Tarvo_ConsignmentRequest"; }), 4);
        script(databases, routineNames(), columns);
        QStringList report = runDbInit(options());
        const QString kept = "QLM_CONFIG: procedures and functions kept as they were (--force replaces them): ";
        QVERIFY2(report.filter(kept).size() == 1 && report.filter(kept).first().contains("MENUCAPTION, "),
                 qPrintable(report.join('\n')));
        QVERIFY(textsMatching("^(Create|Alter) (Procedure|Function)").isEmpty());
        QVERIFY(textsMatching("Create Database").isEmpty());
        QCOMPARE(textsMatching("^Alter Table"), QStringList{"Alter Table Config Add ShowLastSearch NVarChar(5) Null"});
        QVERIFY(report.contains("DEMO: columns added: Config.ShowLastSearch"));
        QVERIFY2(report.contains("DEMO: tables created: Tarvo_ConsignmentRequest"), qPrintable(report.join('\n')));
        QCOMPARE(report.filter(" created").size(), 1);
        QCOMPARE(textsMatching("^\\s*Create Table Tarvo_ConsignmentRequest \\(").size(), 1);
        QCOMPARE(report.filter("nothing to do"), QStringList{"QLM_CONFIG: nothing to do: tables and procedures up to date"});

        // Everything in place: nothing to do, said so.
        script(databases, routineNames(), scriptColumns());
        report = runDbInit(options());
        QVERIFY2(report.contains("QLM_CONFIG: nothing to do: tables and procedures up to date") &&
                     report.contains("DEMO: nothing to do: tables and procedures up to date"),
                 qPrintable(report.join('\n')));

        script(databases, routineNames(), scriptColumns());
        DbInitOptions force = options();
        force.force = true;
        report = runDbInit(force);
        QVERIFY(report.filter("QLM_CONFIG: procedures and functions replaced (--force): ").first().contains("MENUCAPTION"));
        QVERIFY(report.filter("DEMO: procedures and functions replaced (--force): ").first().contains("Save_Tarvo_Consignment"));
        QVERIFY(report.filter("nothing to do").isEmpty());
        QCOMPARE(textsMatching("^Alter Procedure dbo\\.Save_Tarvo_Consignment\\n(.*\\n)*  @RequestId UniqueIdentifier = Null\\n")
                     .size(),
                 1);
        QVERIFY(report.filter(" created").isEmpty());
        QCOMPARE(textsMatching("^Alter (Procedure|Function) dbo\\.").size(), routineNames().size());
        QVERIFY(textsMatching("^Alter Table").isEmpty());
        recordTexts("dbinit-force", m_server.texts());
    }

    // A login of its own reaches the server; one in the settings file as well is refused.
    void aLoginOfItsOwn()
    {
        script({});
        DbInitOptions o = options();
        o.login = "sa";
        o.password = "pa;ss}";
        runDbInit(o);
        for (const QJsonObject &e : m_server.log())
            if (e.value("kind").toString() == "login") {
                QCOMPARE(e.value("user").toString(), QString("sa"));
                QCOMPARE(e.value("password").toString(), QString("pa;ss}"));
            }
        QVERIFY(m_server.writeIni(o.iniPath, "Login=qlm\n"));
        QVERIFY_THROWS_EXCEPTION(EInOutError, runDbInit(o));
        QVERIFY(m_server.writeIni(o.iniPath));
    }
};

QTEST_GUILESS_MAIN(TestDbInit)
#include "tst_dbinit.moc"
