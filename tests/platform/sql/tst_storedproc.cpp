#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/SqliteServerObjects.h"
#include "platform/sql/StoredProc.h"
#include "support/TempDir.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <sqlite3.h>

using namespace platform;

namespace {

void insertLog(Database &db, const QVariant &a, const QVariant &text)
{
    QSqlQuery q(db.sqlDatabase());
    q.prepare("insert into Log (A, Txt) values (?, ?)");
    q.addBindValue(a);
    q.addBindValue(text);
    if (!q.exec())
        throw EDatabaseError("insert failed");
}

int count(Database &db, const QString &table)
{
    Query q(&db);
    q.setSql({"select count(*) N from " + table});
    q.open();
    return q.fieldByName("N").asInteger();
}

} // namespace

class TestStoredProc : public QObject
{
    Q_OBJECT
    TempDatabases m_dbs;
    Database *m_db = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        using namespace SqliteServerObjects;
        registerProcedure({"LogAndEcho",
                           {{"@A"}, {"@Txt"}, {"@Doubled", true}, {"@Upper", true}, {"@When", true}},
                           [](Database &db, ParamList &p) {
                               insertLog(db, p.value("@A"), p.value("@TXT"));
                               p.set("@Doubled", p.value("@A").toInt() * 2);
                               p.set("@Upper", p.value("@Txt").toString().toUpper());
                               p.set("@When", "2024-05-06 07:08:09");
                           }});
        registerProcedure({"LogTwiceThenFail", {{"@A"}}, [](Database &db, ParamList &p) {
                               insertLog(db, p.value("@A"), "first");
                               insertLog(db, p.value("@A"), "second");
                               throw EDatabaseError("Cannot insert duplicate key row in object 'Log'.");
                           }});
        registerFunction("Twice", 1, [](const QVariantList &a) { return QVariant(a.value(0).toDouble() * 2); });

        m_db = new Database("DMDATA", this);
        m_db->params = m_dbs.params("demo");
        m_db->setCreateIfMissing(true);
        m_db->execute("create table Log (A integer, Txt text)");
    }

    void outputsOfAComponentCall()
    {
        StoredProc sp(m_db, "LogAndEcho");
        sp.addParam("Result", QMetaType::Int, StoredProc::Direction::Result);
        sp.addParam("@A", QMetaType::Int, StoredProc::Direction::Input);
        sp.addParam("@Txt", QMetaType::QString, StoredProc::Direction::Input);
        sp.addParam("@Doubled", QMetaType::Int, StoredProc::Direction::Output);
        sp.addParam("@Upper", QMetaType::QString, StoredProc::Direction::Output);
        sp.addParam("@When", QMetaType::QDateTime, StoredProc::Direction::Output);
        sp.setParam("@a", 21);
        sp.setParam("@TXT", "abc ไทย");
        sp.execProc();
        QCOMPARE(sp.paramValue("@Doubled").toInt(), 42);
        QCOMPARE(sp.paramValue("@upper").toString(), QString("ABC ไทย"));
        QCOMPARE(sp.paramValue("@When").toDateTime(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
        sp.close();
        QVERIFY(sp.paramValue("@Doubled").isNull());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, sp.setParam("@Nope", 1));
    }

    void execStatementPassesValuesByPosition()
    {
        Query q(m_db);
        q.setSql({"Exec LogAndEcho :Number ,:Text"});
        q.setParam("NUMBER", 7);
        q.setParam("text", "it's");
        q.execSql();
        Query check(m_db);
        check.setSql({"select Txt from Log where A = 7"});
        check.open();
        QCOMPARE(check.fieldByName("Txt").asString(), QString("it's"));

        q.setSql({"exec dbo.LogAndEcho 8, 'lit''eral'"});
        q.execSql();
        check.setSql({"select Txt from Log where A = 8"});
        check.open();
        QCOMPARE(check.fieldByName("Txt").asString(), QString("lit'eral"));

        q.setSql({"Exec LogAndEcho :Number, :Missing"});
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.execSql());
        q.setSql({"Exec NoSuchProcedure 1"});
        try {
            q.execSql();
            QFAIL("an unknown procedure ran");
        } catch (const EDatabaseError &e) {
            QCOMPARE(e.message(), QString("Could not find stored procedure 'NoSuchProcedure'."));
        }
    }

    void aFailingProcedureLeavesNothingWritten()
    {
        const int before = count(*m_db, "Log");
        Query q(m_db);
        q.setSql({"Exec LogTwiceThenFail :A"});
        q.setParam("A", 99);
        try {
            q.execSql();
            QFAIL("the failure was swallowed");
        } catch (const EDatabaseError &e) {
            QVERIFY(e.message().contains("Cannot insert duplicate"));
        }
        QCOMPARE(count(*m_db, "Log"), before);
        QVERIFY(!m_db->inTransaction());
        // The connection is usable afterwards.
        q.setSql({"Exec LogAndEcho 5, 'after'"});
        q.execSql();
        QCOMPARE(count(*m_db, "Log"), before + 1);
    }

    // The engine can refuse the COMMIT itself (here a deferred foreign key; on a real file also a
    // full disk or an I/O error). The save is reported failed, so nothing of it may stay behind
    // in a transaction that a later statement would commit.
    void aRefusedCommitLeavesNothingWritten()
    {
        SqliteServerObjects::registerProcedure({"AddOrderLine", {{"@Head"}}, [](Database &db, ParamList &p) {
                                                    QSqlQuery q(db.sqlDatabase());
                                                    q.prepare("insert into OrderLine (Head) values (?)");
                                                    q.addBindValue(p.value("@Head"));
                                                    if (!q.exec())
                                                        throw EDatabaseError(q.lastError().databaseText());
                                                }});
        m_db->execute("PRAGMA foreign_keys = ON");
        m_db->execute("create table OrderHead (Id integer primary key)");
        m_db->execute("create table OrderLine (Head integer references OrderHead (Id) deferrable initially deferred)");
        m_db->execute("insert into OrderHead values (1)");
        Query q(m_db);
        q.setSql({"Exec AddOrderLine :Head"});
        q.setParam("Head", 2);
        try {
            q.execSql();
            QFAIL("the refused commit was reported as success");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.message().contains("FOREIGN KEY"), qPrintable(e.message()));
        }
        QVERIFY(!m_db->inTransaction());
        QVERIFY(sqlite3_get_autocommit(m_db->sqliteHandle()) != 0);
        QCOMPARE(count(*m_db, "OrderLine"), 0);

        q.setParam("Head", 1);
        q.execSql();
        QCOMPARE(count(*m_db, "OrderLine"), 1);
        m_db->close();
        m_db->open();
        QCOMPARE(count(*m_db, "OrderLine"), 1);
    }

    void scalarFunctionsOnEveryConnection()
    {
        Database other("other");
        other.params = m_dbs.params("demo");
        Query q(&other);
        q.setSql({"select Twice(21) T, Year('2024-02-29') Y, Year(GetDate()) >= 2024 G"});
        q.open();
        QCOMPARE(q.fieldByName("T").asFloat(), 42.0);
        QCOMPARE(q.fieldByName("Y").asInteger(), 2024);
        QCOMPARE(q.fieldByName("G").asInteger(), 1);
    }
};

QTEST_GUILESS_MAIN(TestStoredProc)
#include "tst_storedproc.moc"
