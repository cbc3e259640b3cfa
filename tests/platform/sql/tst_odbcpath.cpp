// The query and procedure layer through the ODBC driver manager (QODBC), with the SQLite ODBC
// driver standing in for a SQL Server: binding, type mapping and errors over ODBC.
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/SqliteServerObjects.h"
#include "support/TempDir.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace platform;

class TestOdbcPath : public QObject
{
    Q_OBJECT
    TempDatabases m_dbs;
    Database *m_db = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        if (!QSqlDatabase::isDriverAvailable("QODBC"))
            QSKIP("the ODBC driver of Qt is not installed");
        {
            Database create("create");
            create.params = m_dbs.params("odbc");
            create.setCreateIfMissing(true);
            create.executeBatch("create table Line (Id integer primary key, Code text, Name text, Qty real,"
                                " Price numeric, DocDate text, Flag text)");
        }
        SqliteServerObjects::registerProcedure(
            {"AddLine", {{"@Code"}, {"@Name"}, {"@Qty"}, {"@DocDate"}}, [](Database &db, ParamList &p) {
                 QSqlQuery q(db.sqlDatabase());
                 q.prepare("insert into Line (Code, Name, Qty, DocDate) values (?, ?, ?, ?)");
                 for (const char *n : {"@Code", "@Name", "@Qty", "@DocDate"})
                     q.addBindValue(p.value(n));
                 if (!q.exec())
                     throw EDatabaseError("insert failed");
             }});
        m_db = new Database("DMDATA", this);
        m_db->params = m_dbs.params("odbc", "sqlite-odbc:");
        try {
            m_db->open();
        } catch (const EDatabaseError &e) {
            QSKIP(qPrintable("the SQLite ODBC driver is not usable here: " + e.message()));
        }
        QCOMPARE(m_db->settings().qtDriver, QString("QODBC"));
    }

    void bindingAndTypesOverOdbc()
    {
        Query exec(m_db);
        exec.setSql({"Exec AddLine :code, :NAME, :Qty, :DocDate"});
        exec.setParam("Code", "B001");
        exec.setParam("Name", "น้ำดื่มตราช้าง 600 มล.");
        exec.setParam("Qty", -2.5);
        exec.setParam("DocDate", QDate(2024, 1, 31));
        exec.execSql();

        Query q(m_db);
        q.setSql({"select Id, Code, Name, Qty, DocDate from Line", "where Code = :Code and DocDate between :D and :D"});
        q.setParam("code", "B001");
        q.setParam("d", QDate(2024, 1, 31));
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.fieldByName("Name").asString(), QString("น้ำดื่มตราช้าง 600 มล."));
        QCOMPARE(q.fieldByName("Qty").asFloat(), -2.5);
        QCOMPARE(q.fieldByName("Id").asInteger(), 1);
        QCOMPARE(q.fieldByName("DocDate").asDate(), QDate(2024, 1, 31));
    }

    void errorsCarryTheDriversText()
    {
        Query q(m_db);
        q.setSql({"select * from Missing"});
        try {
            q.open();
            QFAIL("a missing table opened");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.message().contains("Missing"), qPrintable(e.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestOdbcPath)
#include "tst_odbcpath.moc"
