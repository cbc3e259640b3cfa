// The data layer, the server objects and the screens' statements against a real SQL Server,
// when QLM_TEST_MSSQL_SERVER names one; QLM_TEST_MSSQL_INI may name a QLM.INI whose [DATABASE]
// section completes the connection (driver, port, login). Without a server the whole test
// reports as skipped (CTest reads the skip from initTestCase). What only a real server can
// tell: the T-SQL procedures' behaviour, their locks, and collations as the server applies them.
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "db/setup/DemoData.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/StoredProc.h"
#include "tools/DbInit.h"

#include <QTest>
#include <memory>

using namespace platform;

class TestMsSql : public QObject
{
    Q_OBJECT
    QString m_server;
    QString m_ini = QStringLiteral("QLM.INI");
    const QString m_company = QStringLiteral("TARVOTEST");

    std::unique_ptr<Database> connect(const QString &database, const QStringList &extra = {"MAX QUERY TIME=600"})
    {
        auto db = std::make_unique<Database>(database == "QLM_CONFIG" ? "DmCfg" : "DMDATA");
        db->setIniPath(m_ini);
        db->params = dbInitParams(m_server, database) + extra;
        return db;
    }

    static std::unique_ptr<Query> saveQuery(Database *db, const QString &type, const QString &barcode, const QString &serial)
    {
        auto save = std::make_unique<Query>(db);
        save->setStatement(ConsignmentSql::SaveConsignment);
        save->setParam("UserCode", "BR01");
        save->setParam("UserKeyIn", "SOMCHAI");
        save->setParam("Customer", 1);
        save->setParam("ConsigType", type);
        save->setParam("Barcode", barcode);
        save->setParam("SerialNumber", serial);
        save->setParam("Quantity", 1.0);
        save->setParam("Price", 19.99);
        save->setParam("ChkFree", "N");
        save->setParam("OldPrice", 19.99);
        save->setParam("EditDate", QDate::currentDate());
        return save;
    }

    // The barcode of the first unit of a serial-numbered product.
    static QString serialBarcode(Database *db)
    {
        Query q(db);
        q.setSql({"Select Top 1 U.BarCode From ProductUnits U Inner Join Product P On P.Id = U.Product"
                  " Where P.UseSerial = 'Y' Order By U.Id"});
        q.open();
        return q.fieldByName("BarCode").asString();
    }

    static QString refusal(const std::unique_ptr<Query> &q)
    {
        try {
            q->execSql();
        } catch (const EDatabaseError &e) {
            return e.message();
        }
        return QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_server = qEnvironmentVariable("QLM_TEST_MSSQL_SERVER");
        if (m_server.isEmpty())
            QSKIP("QLM_TEST_MSSQL_SERVER is not set: no SQL Server to test against");
        if (qEnvironmentVariableIsSet("QLM_TEST_MSSQL_INI"))
            m_ini = qEnvironmentVariable("QLM_TEST_MSSQL_INI");
        DbInitOptions options;
        options.server = m_server;
        options.iniPath = m_ini;
        options.company = m_company;
        options.demo = true;
        runDbInit(options);
        runDbInit(options); // a second run changes nothing and does not fail
    }

    void bothDatabasesHaveOneThaiCollation()
    {
        auto master = connect("master");
        Query q(master.get());
        q.setSql(
            {"Select Count(Distinct collation_name) N, Min(Cast(CollationProperty(collation_name, 'CodePage') As Int)) CodePage",
             "From sys.databases Where name In (:A, :B)"});
        q.setParam("A", "QLM_CONFIG");
        q.setParam("B", m_company);
        q.open();
        QCOMPARE(q.fieldByName("N").asInteger(), 1);
        QCOMPARE(q.fieldByName("CodePage").asInteger(), 874);
    }

    void rightsProcedureWithOutputs()
    {
        auto cfg = connect("QLM_CONFIG");
        StoredProc sp(cfg.get(), "MENUCAPTION");
        sp.addParam("Result", QMetaType::Int, StoredProc::Direction::Result);
        sp.addParam("@MENUID", QMetaType::Int, StoredProc::Direction::Input);
        sp.addParam("@USERID", QMetaType::Int, StoredProc::Direction::Input);
        for (const char *out : {"@CAPTION", "@ACCESS_R", "@ADD_R", "@MODIFY_R", "@DELETE_R", "@USERCODE"})
            sp.addParam(out, QMetaType::QString, StoredProc::Direction::Output);
        sp.addParam("@SALESID", QMetaType::Int, StoredProc::Direction::Output);
        sp.setParam("@MENUID", 1);
        sp.setParam("@USERID", 1);
        sp.execProc();
        QCOMPARE(sp.paramValue("@ACCESS_R").toString(), QString("Y"));
        QCOMPARE(sp.paramValue("@USERCODE").toString(), QString("SOMCHAI"));
        QCOMPARE(sp.paramValue("@CAPTION").toString(), QString("บันทึกฝากขาย / ปรับปรุงสต๊อก Tarvo"));
    }

    void textsCompareAsTheEmbeddedTwinComparesThem()
    {
        // The same lines as tests/db/tst_serverobjects' textsCompareAsSqlServerComparesThem.
        auto db = connect(m_company);
        const QString barcode = DemoData::barcodeOfUnit(1);
        QVERIFY(refusal(saveQuery(db.get(), "S\t", barcode, "")).contains("is not S, R or A"));
        const QString serialUnit = serialBarcode(db.get());
        const QString serial = "RS-" + QString::number(QDateTime::currentSecsSinceEpoch());
        QCOMPARE(refusal(saveQuery(db.get(), " s ", " " + serialUnit + " ", serial.toLower())), QString());
        QVERIFY(refusal(saveQuery(db.get(), "S", serialUnit, serial + "  ")).contains("Cannot insert duplicate"));
    }

    void twoWorkstationsCannotSellTheSameSerialNumber()
    {
        // Workstation A's save holds its locks inside a transaction that stays open; B's save of
        // the same serial number waits for them (and gives up after its short time-out), then,
        // once A has committed, is refused.
        auto a = connect(m_company);
        auto b = connect(m_company, {"MAX QUERY TIME=3"});
        const QString barcode = serialBarcode(a.get());
        const QString serial = "LK-" + QString::number(QDateTime::currentSecsSinceEpoch());
        const auto saleB = saveQuery(b.get(), "S", barcode, serial);
        a->beginTransaction();
        QCOMPARE(refusal(saveQuery(a.get(), "S", barcode, serial)), QString());
        QVERIFY(refusal(saleB).contains("Timeout expired"));
        a->commit();
        QVERIFY(refusal(saleB).contains("Cannot insert duplicate"));
    }

    void saveAndDailyView()
    {
        auto conn = connect(m_company);
        Database &db = *conn;
        Query save(&db);
        save.setStatement(ConsignmentSql::SaveConsignment);
        save.setParam("UserCode", "BR01");
        save.setParam("UserKeyIn", "SOMCHAI");
        save.setParam("Customer", 1);
        save.setParam("ConsigType", "S");
        save.setParam("Barcode", DemoData::barcodeOfUnit(1));
        save.setParam("SerialNumber", "");
        save.setParam("Quantity", 3.0);
        save.setParam("Price", 12.5);
        save.setParam("ChkFree", "N");
        save.setParam("OldPrice", 12.5);
        save.setParam("EditDate", QDate::currentDate());
        save.execSql();

        Query day(&db);
        day.setStatement(ConsignmentSql::QRPProdDay);
        day.setParam("CusCode", "C0001");
        day.setParam("BeginConsigDate", QDate::currentDate());
        day.setParam("EndConsigDate", QDate::currentDate());
        day.open();
        bool found = false;
        for (day.first(); !day.eof(); day.next())
            found = found || day.fieldByName("Total").asFloat() == 37.5;
        QVERIFY(found);

        save.setParam("Customer", 0);
        try {
            save.execSql();
            QFAIL("customer 0 was stored");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.message().contains("Cannot insert the value NULL into column 'Customer'"), qPrintable(e.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestMsSql)
#include "tst_mssql.moc"
