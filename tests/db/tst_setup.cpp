#include "db/setup/DatabaseSetup.h"
#include "db/setup/DemoData.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/SqlScript.h"
#include "support/DemoDatabases.h"
#include "tools/DbInit.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;

namespace {

QStringList schemaOf(Database &db)
{
    QStringList out;
    Query q(&db);
    q.setSql({"select type || ' ' || name || ' ' || coalesce(sql, '') from sqlite_master order by type, name"});
    q.open();
    for (q.first(); !q.eof(); q.next())
        out << q.value(q.recNo(), 0).toString();
    return out;
}

} // namespace

class TestSetup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void secondRunChangesNothing()
    {
        DemoDatabases dbs;
        const QStringList config = schemaOf(dbs.config());
        const QStringList company = schemaOf(dbs.company());
        const int products = dbs.scalar("select count(*) from Product").toInt();
        QVERIFY(config.size() > 5);
        QVERIFY(company.size() > 20);

        DbInitOptions again;
        again.server = dbs.server();
        again.demo = true;
        again.iniPath.clear();
        const QStringList report = runDbInit(again);
        QVERIFY(report.last().contains("already present"));
        QCOMPARE(report.filter("nothing to do: tables and procedures up to date").size(), 2);
        QCOMPARE(report.size(), 3);
        QCOMPARE(schemaOf(dbs.config()), config);
        QCOMPARE(schemaOf(dbs.company()), company);
        QCOMPARE(dbs.scalar("select count(*) from Product").toInt(), products);
    }

    // A first run on the embedded engine says what it created.
    void firstRunSaysWhatItCreated()
    {
        QTemporaryDir dir;
        DbInitOptions first;
        first.server = "sqlite:" + dir.path();
        first.iniPath.clear();
        const QStringList report = runDbInit(first);
        QCOMPARE(report.size(), 4);
        QCOMPARE(report[0], "QLM_CONFIG: created as " + QDir::toNativeSeparators(dir.filePath("QLM_CONFIG.sqlite")));
        QVERIFY2(QRegularExpression("^QLM_CONFIG: \\d+ tables created$").match(report[1]).hasMatch(), qPrintable(report[1]));
        QCOMPARE(report[2], "DEMO: created as " + QDir::toNativeSeparators(dir.filePath("DEMO.sqlite")));
        QVERIFY2(QRegularExpression("^DEMO: \\d+ tables created$").match(report[3]).hasMatch(), qPrintable(report[3]));
    }

    void sqlServerScriptsAreGuarded()
    {
        // Every statement of the T-SQL scripts is guarded, or creates a procedure or function,
        // which the set-up runs only where it is missing, so a second run on a server changes
        // nothing.
        const QRegularExpression guarded("^\\s*(If (Not )?Exists|Create (Procedure|Function) dbo\\.)",
                                         QRegularExpression::CaseInsensitiveOption);
        int statements = 0;
        for (auto kind : {DatabaseSetup::Kind::Config, DatabaseSetup::Kind::Company}) {
            for (const QString &path : DatabaseSetup::sqlServerScripts(kind)) {
                for (const QStringList &s : SqlScript::statements(DatabaseSetup::readScript(path).split('\n'))) {
                    QStringList code;
                    for (const QString &line : s)
                        if (!line.trimmed().startsWith("--"))
                            code << line;
                    QVERIFY2(guarded.match(code.join('\n')).hasMatch(), qPrintable(path + ": " + code.join('\n').left(80)));
                    ++statements;
                }
            }
        }
        QVERIFY(statements > 40);
    }

    void demoDataKeepsItsPromises()
    {
        DemoDatabases dbs;
        Database &cfg = dbs.config();
        QCOMPARE(dbs.scalar(cfg, "select count(*) from DatabaseList where DatabaseName = 'DEMO'").toInt(), 1);
        QCOMPARE(dbs.scalar(cfg, "select LanguageNo from Username where Id = 1").toInt(), 1);
        QCOMPARE(dbs.scalar(cfg, "select LanguageNo from Username where Id = 2").toInt(), 2);
        QCOMPARE(dbs.scalar(cfg, "select count(*) from UserMenuRight where UserId in (1, 2) and Access_R = 'Y'").toInt(), 4);
        QCOMPARE(dbs.scalar(cfg, "select count(*) from UserMenuRight where UserId = 3 and Access_R = 'Y'").toInt(), 0);
        // Branches: users with a tablet customer code that matches a customer, except QLM.
        const int branches =
            dbs.scalar("select count(*) from QLM_Config.Username U inner join Customer C on C.Code = U.CusCodeTablet"
                       " where trim(coalesce(U.CusCodeTablet, '')) <> '' and U.Code <> 'QLM'")
                .toInt();
        QVERIFY(branches >= 5);
        QCOMPARE(dbs.scalar("select count(*) from Product").toInt() >= 300, true);
        QCOMPARE(dbs.scalar("select Blocked from Product where Id = 13").toString(), QString("Y"));
        QVERIFY(dbs.scalar("select count(*) from Product where UseSerial = 'Y'").toInt() >= 5);
        QCOMPARE(dbs.scalar("select BarCode from ProductUnits where Id = 1").toString(), DemoData::barcodeOfUnit(1));
        QCOMPARE(dbs.scalar("select count(*) from (select Product from ProductUnits group by Product having count(*) < 1 or"
                            " sum(SmallUnitFlag = 'Y') <> 1)")
                     .toInt(),
                 0);
        QVERIFY(dbs.scalar("select count(*) from (select ProductUnits from ProductPrice where PriceType = 19"
                           " group by ProductUnits having count(*) > 1)")
                    .toInt() > 0);
        QVERIFY(dbs.scalar("select count(*) from SoDt where Clear <> 'Y'").toInt() > 0);
        QCOMPARE(dbs.scalar("select count(distinct BalanceYear) from ProductOnhandCustomer").toInt(), 2);
        QCOMPARE(dbs.scalar("select count(distinct PeriodNo) from ProductOnhandCustomer").toInt(), 13);
        QVERIFY(dbs.scalar("select count(*) from Tarvo_Consignment").toInt() > 100);
        QVERIFY(dbs.scalar("select count(*) from IvHd where Delflag = 'N'").toInt() > 0);
    }
};

QTEST_GUILESS_MAIN(TestSetup)
#include "tst_setup.moc"
