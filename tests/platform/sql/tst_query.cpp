#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/QueryModel.h"
#include "platform/sql/SqlScript.h"
#include "support/TempDir.h"

#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace platform;

namespace {

const Statement productsByName{
    "ProductsByName",
    {"Select Top 100 Code, ThaiName, Price", "From Product", "Where ThaiName Like :Name", "Order By Code"},
    {"Select Code, ThaiName, Price", "From Product", "Where ThaiName Like :Name", "Order By Code", "Limit 100"},
};

} // namespace

class TestQuery : public QObject
{
    Q_OBJECT
    TempDatabases m_dbs;
    Database *m_db = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        // A configuration database that company statements reach as QLM_Config.
        Database config("cfg");
        config.params = m_dbs.params("QLM_CONFIG");
        config.setCreateIfMissing(true);
        config.open();
        config.executeBatch("create table Username (Id integer, Code text);"
                            "insert into Username values (1, 'ANNA'), (2, 'QLM');");
        config.close();

        m_db = new Database("DMDATA", this);
        m_db->params = m_dbs.params("demo");
        m_db->setCreateIfMissing(true);
        SqlScript script(m_db);
        script.lines = QStringList{
            "create table Product (Id integer primary key, Code text, ThaiName text collate nocase,",
            "  Price real, Qty integer, DocDate text, Note text)",
            "/",
            "insert into Product values (1, 'P001', 'กาแฟเย็น', 45.5, 3, '2024-01-31', null)",
            "/",
            "  /  ",
            "insert into Product values (2, 'P002', 'ชาไทย', 120, 0, '2024-12-01 08:30:00', 'x')",
            "/",
            "insert into Product values (3, 'P003', 'กาแฟร้อน', 0.1, -2, null, 'abc')",
        };
        QCOMPARE(SqlScript::statements(script.lines).size(), 4);
        script.execute();
    }

    void navigationOverRows()
    {
        Query q(m_db);
        q.setSql({"select Code from Product", "order by Code"});
        QVERIFY(!q.isOpen());
        q.open();
        QVERIFY(q.isOpen());
        QCOMPARE(q.recordCount(), 3);
        QCOMPARE(q.fieldByName("code").asString(), QString("P001"));
        QVERIFY(q.bof() && !q.eof());
        QStringList seen;
        for (q.first(); !q.eof(); q.next())
            seen << q.fieldByName("Code").asString();
        QCOMPARE(seen, QStringList({"P001", "P002", "P003"}));
        q.last();
        QCOMPARE(q.fieldByName("Code").asString(), QString("P003"));
        q.prior();
        QCOMPARE(q.recNo(), 1);
        q.close();
        QVERIFY(!q.isOpen());
        QCOMPARE(q.recordCount(), 0);
    }

    void emptyResult()
    {
        Query q(m_db);
        q.setSql({"select Code from Product where 1 = 0"});
        q.open();
        QVERIFY(q.isEmpty());
        QVERIFY(q.eof() && q.bof());
        QVERIFY(q.fieldByName("Code").isNull());
        QCOMPARE(q.fieldByName("Code").asString(), QString());
        q.last();
        QCOMPARE(q.recNo(), -1);
    }

    void fieldConversions()
    {
        Query q(m_db);
        q.setSql({"select * from Product order by Id"});
        q.open();
        QCOMPARE(q.fieldByName("Price").asString(), QString("45.5"));
        QCOMPARE(q.fieldByName("Price").asFloat(), 45.5);
        QCOMPARE(q.fieldByName("Qty").asInteger(), 3);
        QCOMPARE(q.fieldByName("ThaiName").asString(), QString("กาแฟเย็น"));
        QCOMPARE(q.fieldByName("DocDate").asDate(), QDate(2024, 1, 31));
        QCOMPARE(q.fieldByName("Note").asInteger(), 0); // NULL
        q.next();
        QCOMPARE(q.fieldByName("Price").asString(), QString("120"));
        QCOMPARE(q.fieldByName("DocDate").asDateTime(), QDateTime(QDate(2024, 12, 1), QTime(8, 30)));
        q.next();
        QCOMPARE(q.fieldByName("Price").asString(), QString("0.1"));
        QCOMPARE(q.fieldByName("Qty").asInteger(), -2);
        QVERIFY(q.fieldByName("DocDate").asDateTime().isNull());
        try {
            q.fieldByName("Note").asInteger();
            QFAIL("text converted to a number");
        } catch (const EConvertError &e) {
            QCOMPARE(e.message(), QString("'abc' is not a valid integer value"));
        }
        try {
            q.fieldByName("Note").asFloat();
            QFAIL("text converted to a number");
        } catch (const EConvertError &e) {
            QCOMPARE(e.message(), QString("'abc' is not a valid floating point value"));
        }
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.fieldByName("NoSuchColumn"));
    }

    void statementEntryWithParametersAndReplacedLines()
    {
        Query q(m_db);
        q.setStatement(productsByName);
        QCOMPARE(q.sqlLines().last(), QString("Limit 100")); // the embedded engine's text
        q.setParam("NAME", "กาแฟ%");
        q.open();
        QCOMPARE(q.recordCount(), 2);
        // Parameter values survive close and open.
        q.close();
        q.setSqlLine(3, "Order By Code Desc");
        q.open();
        QCOMPARE(q.recordCount(), 2);
        QCOMPARE(q.fieldByName("Code").asString(), QString("P003"));
        // Lines past the end are added.
        q.setSql({"select count(*) N from Product"});
        q.setSqlLine(2, "where Qty > :Min");
        q.setParam("min", 0);
        q.open();
        QCOMPARE(q.fieldByName("N").asInteger(), 1);
    }

    // The program reads the embedded engine through its own interface; every value must come back
    // exactly as the Qt driver would give it, since fields, grids and reports were built on those.
    void valuesMatchTheQtDriver()
    {
        const QString text = "select ? A, ? B, ? C, ? D, ? E, ? F, ? G, ? H, ? I, 1.5 * 2 \"Quoted Name\", 7 / 2 J,"
                             " Note, DocDate, ThaiName, Price, Qty, x'00ff' K from Product order by Id";
        const QVariantList values{42,        9007199254740993LL, 0.1,  QString("กาแฟ ' \"%"),
                                  QString(), QString(""),        true, QByteArray("\x01\x00\x02", 3),
                                  QVariant()};
        Query q(m_db);
        // Name the markers P1..P9 in order.
        QString named = text;
        for (int i = 1; named.contains('?'); ++i)
            named.replace(named.indexOf('?'), 1, QString(":P%1").arg(i));
        q.setSql({named});
        for (int i = 0; i < values.size(); ++i)
            q.setParam(QString("P%1").arg(i + 1), values[i]);
        q.open();

        QSqlQuery direct(m_db->sqlDatabase());
        QVERIFY(direct.prepare(text));
        for (int i = 0; i < values.size(); ++i)
            direct.bindValue(i, values[i]);
        QVERIFY2(direct.exec(), qPrintable(direct.lastError().text()));
        const QSqlRecord record = direct.record();
        QCOMPARE(q.fieldNames().size(), record.count());
        for (int c = 0; c < record.count(); ++c)
            QCOMPARE(q.fieldNames()[c], record.fieldName(c));
        int row = 0;
        while (direct.next()) {
            for (int c = 0; c < record.count(); ++c) {
                const QVariant mine = q.value(row, c);
                const QVariant theirs = direct.value(c);
                QVERIFY2(mine.metaType() == theirs.metaType() && mine.isNull() == theirs.isNull() && mine == theirs,
                         qPrintable(
                             QString("row %1 column %2: %3 %4 %7 vs %5 %6 %8")
                                 .arg(row)
                                 .arg(record.fieldName(c), mine.typeName(), mine.toString(), theirs.typeName(), theirs.toString())
                                 .arg(mine.isNull())
                                 .arg(theirs.isNull())));
            }
            ++row;
        }
        QCOMPARE(q.recordCount(), row);
        QCOMPARE(row, 3);
    }

    // The prepared text is kept between runs; a replaced line or new lines must still be what runs.
    void changedTextRunsAfterAnEarlierOpen()
    {
        Query q(m_db);
        q.setSql({"select Code from Product", "where Id = :Id"});
        q.setParam("Id", 1);
        q.open();
        QCOMPARE(q.fieldByName("Code").asString(), QString("P001"));
        q.setSqlLine(1, "where Id = :Id + 1");
        q.open();
        QCOMPARE(q.fieldByName("Code").asString(), QString("P002"));
        q.setStatement(productsByName);
        q.setParam("Name", "กาแฟ%");
        q.open();
        QCOMPARE(q.recordCount(), 2);
        q.setSqlLine(2, "Where ThaiName Like :Name And Qty < 0");
        q.open();
        QCOMPARE(q.recordCount(), 1);
        // A failed run leaves the query closed and the next good run works on the same object.
        q.setSqlLine(2, "Where NoSuchColumn = 1");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.open());
        QVERIFY(!q.isOpen());
        QCOMPARE(q.recordCount(), 0);
        q.setSqlLine(2, "Where Code = 'P002'");
        q.open();
        QCOMPARE(q.fieldByName("ThaiName").asString(), QString("ชาไทย"));
    }

    void missingParameterAndServerErrors()
    {
        Query q(m_db);
        q.setSql({"select * from Product where Code = :Code"});
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.open());
        QVERIFY(!q.isOpen());
        q.setSql({"select * from NoSuchTable"});
        try {
            q.open();
            QFAIL("a missing table opened");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.message().contains("no such table: NoSuchTable"), qPrintable(e.message()));
        }
        QVERIFY(!q.isOpen());
    }

    void configurationTablesByPrefix()
    {
        Query q(m_db);
        q.setSql({"select Code from QLM_Config.Username where Id = :Id"});
        q.setParam("Id", 1);
        q.open();
        QCOMPARE(q.fieldByName("Code").asString(), QString("ANNA"));
    }

    void itemModelFollowsTheDataset()
    {
        Query q(m_db);
        q.setSql({"select Code, ThaiName, Price from Product order by Id"});
        QueryModel *model = q.model();
        QCOMPARE(model->rowCount(), 0);
        q.open();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->columnCount(), 3);
        model->setTitle("thainame", "สินค้า");
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("สินค้า"));
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QString("Code"));
        QCOMPARE(model->data(model->index(1, 2)).toString(), QString("120"));
        model->setFormatter("Price", [](const QVariant &v) { return QString::number(v.toDouble(), 'f', 2); });
        QCOMPARE(model->data(model->index(0, 2)).toString(), QString("45.50"));
        QCOMPARE(model->data(model->index(0, 2), Qt::TextAlignmentRole).toInt() & Qt::AlignRight, int(Qt::AlignRight));

        QSignalSpy moved(&q, &Query::currentRowChanged);
        q.setRecNo(2);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(q.fieldByName("Code").asString(), QString("P003"));
        q.setRecNo(7); // out of range: stays
        QCOMPARE(q.recNo(), 2);
        q.close();
        QCOMPARE(model->rowCount(), 0);
    }

    void scriptStopsAtTheFirstFailure()
    {
        SqlScript script(m_db);
        script.lines = {"create table S (A integer)", "/", "insert into Nowhere values (1)", "/", "insert into S values (1)"};
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, script.execute());
        Query q(m_db);
        q.setSql({"select count(*) N from S"});
        q.open();
        QCOMPARE(q.fieldByName("N").asInteger(), 0);
    }

    void unknownDatabaseIsRefused()
    {
        Database db("x");
        db.params = m_dbs.params("nosuchdb");
        try {
            db.open();
            QFAIL("an unknown database opened");
        } catch (const EDatabaseError &e) {
            QVERIFY(e.message().contains("NOSUCHDB"));
        }
        QVERIFY(!db.connected());
        QVERIFY(!QFile::exists(m_dbs.dir() + "/NOSUCHDB.sqlite"));
    }

    void connectHandlersRunEveryConnect()
    {
        Database db("hooks");
        int before = 0;
        int after = 0;
        db.beforeConnect = [&](Database &d) {
            ++before;
            d.params = m_dbs.params("demo");
        };
        db.afterConnect = [&](Database &) { ++after; };
        Query q(&db);
        q.setSql({"select 1 X"});
        q.open(); // the first statement connects
        QVERIFY(db.connected());
        db.close();
        q.open();
        QCOMPARE(before, 2);
        QCOMPARE(after, 2);
        QCOMPARE(db.params.size(), 4);

        // A failing after-connect step fails the connect.
        db.close();
        db.afterConnect = [](Database &) { throw EDatabaseError("Invalid column name 'IvRefSO'."); };
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, db.open());
        QVERIFY(!db.connected());
    }
};

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_query.moc"
