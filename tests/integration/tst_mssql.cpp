// The data layer, the server objects and the screens' statements against a real SQL Server,
// when QLM_TEST_MSSQL_SERVER names one (with QLM.INI's [DATABASE] section, if any, in the
// current directory). Without it every case reports as skipped.
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "db/DemoData.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/StoredProc.h"
#include "tools/DbInit.h"

#include <QTest>

class TestMsSql : public QObject
{
    Q_OBJECT
    QString m_server;
    const QString m_company = QStringLiteral("TARVOTEST");

private Q_SLOTS:
    void initTestCase()
    {
        m_server = qEnvironmentVariable("QLM_TEST_MSSQL_SERVER");
        if (m_server.isEmpty())
            QSKIP("QLM_TEST_MSSQL_SERVER is not set: no SQL Server to test against");
        DbInitOptions options;
        options.server = m_server;
        options.company = m_company;
        options.demo = true;
        runDbInit(options);
        runDbInit(options); // a second run changes nothing and does not fail
    }

    void rightsProcedureWithOutputs()
    {
        Database cfg("DmCfg");
        cfg.params = dbInitParams(m_server, "QLM_CONFIG");
        StoredProc sp(&cfg, "MENUCAPTION");
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
    }

    void saveAndDailyView()
    {
        Database db("DMDATA");
        db.params = dbInitParams(m_server, m_company);
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
