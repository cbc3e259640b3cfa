#include "data/ConnectionParams.h"
#include "data/Dm_Config.h"
#include "data/LaunchParameters.h"
#include "data/ProgramEnd.h"
#include "data/U_DM.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "support/DemoDatabases.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace platform;

class TestDataModules : public QObject
{
    Q_OBJECT
    DemoDatabases *m_dbs = nullptr;
    QString m_oldDir;

    void writeServerDat(const QByteArray &content) { m_dbs->writeServerDat(content); }
    void useDemoServer() { writeServerDat(m_dbs->server().toUtf8() + "\r\nignored\n"); }
    void setRight(const QString &access)
    {
        m_dbs->config().execute("update UserMenuRight set Access_R = '" + access + "' where UserId = 1 and MenuId = 1");
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dbs = new DemoDatabases;
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(m_dbs->dir()); // Server.Dat is read from the current directory
        setLaunchParameters({"tarvo-consignment", "1", "1", "DEMO", "-", "3"});
    }
    void cleanupTestCase()
    {
        QDir::setCurrent(m_oldDir);
        delete m_dbs;
    }

    void serverNameFromServerDat()
    {
        QFile::remove("Server.Dat");
        QCOMPARE(TDMConfig::ReadServerName(), QString());
        TDMConfig cfg;
        cfg.DmCfgBeforeConnect(*cfg.DmCfg);
        QCOMPARE(cfg.DmCfg->params.value(1), QString("SERVER NAME=QLM"));

        writeServerDat("\nSQLHOST\n");
        QCOMPARE(TDMConfig::ReadServerName(), QString());
        cfg.DmCfgBeforeConnect(*cfg.DmCfg);
        QCOMPARE(cfg.DmCfg->params.value(1), QString("SERVER NAME=QLM"));

        writeServerDat("SQLHOST  \nOTHER");
        cfg.DmCfgBeforeConnect(*cfg.DmCfg);
        cfg.DmCfgBeforeConnect(*cfg.DmCfg); // rebuilt from nothing: no duplicates
        QCOMPARE(cfg.DmCfg->params.size(), 24);
        QCOMPARE(cfg.DmCfg->params.first(), QString("DATABASE NAME=QLM_CONFIG"));
        QCOMPARE(cfg.DmCfg->params.value(1), QString("SERVER NAME=SQLHOST  "));
        QCOMPARE(cfg.DmCfg->params.last(), QString("PASSWORD=marigold"));
        QCOMPARE(cfg.DmCfg->params.value(8), QString("SQLPASSTHRU MODE=SHARED AUTOCOMMIT"));

        // The company list differs only in the database name, trimmed.
        setLaunchParameters({"p", "1", "1", "  demo  ", "", "3"});
        TDM dm;
        dm.DMdataBeforeConnect(*dm.DMdata);
        dm.DMdataBeforeConnect(*dm.DMdata);
        QCOMPARE(dm.DMdata->params.size(), 24);
        QCOMPARE(dm.DMdata->params.first(), QString("DATABASE NAME=demo"));
        QCOMPARE(dm.DMdata->params.mid(1), cfg.DmCfg->params.mid(1));
        setLaunchParameters({"tarvo-consignment", "1", "1", "DEMO", "-", "3"});
    }

    void menuVersionScriptOnEveryConnect()
    {
        useDemoServer();
        TDMConfig cfg;
        cfg.DmCfg->open();
        QCOMPARE(m_dbs->scalar(m_dbs->config(), "select Version from Menu where Id = 1").toInt(), 3);
        QVERIFY(m_dbs->scalar(m_dbs->config(), "select Version from Menu where Id = 3").isNull()); // no command
        QVERIFY(cfg.QSoftware->isOpen());
        m_dbs->config().execute("update Menu set Version = 7 where Id = 1");
        m_dbs->config().execute("update Menu set Version = null where Id = 2");
        cfg.DmCfg->close();
        cfg.DmCfg->open(); // the column exists now: only empty versions are filled
        QCOMPARE(m_dbs->scalar(m_dbs->config(), "select Version from Menu where Id = 1").toInt(), 7);
        QCOMPARE(m_dbs->scalar(m_dbs->config(), "select Version from Menu where Id = 2").toInt(), 3);
    }

    void rights_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("access");
        QTest::addColumn<bool>("granted");
        QTest::addColumn<bool>("thai");
        QTest::newRow("Y") << 1 << "Y" << true << true;
        QTest::newRow("lower y") << 1 << "y" << false << true;
        QTest::newRow("Y and blank") << 1 << "Y " << false << true;
        QTest::newRow("N") << 1 << "N" << false << true;
        QTest::newRow("english user") << 2 << "Y" << true << false;
        QTest::newRow("unknown user") << 555 << "Y" << false << false;
    }
    void rights()
    {
        QFETCH(int, user);
        QFETCH(QString, access);
        useDemoServer();
        setRight(access);
        TDMConfig cfg;
        cfg.CheckRight(1, user);
        QCOMPARE(cfg.context().MenuId, 1);
        QCOMPARE(cfg.context().UserId, user);
        QTEST(cfg.context().AccessRight, "granted");
        QTEST(cfg.context().ThaiLanguage, "thai");
        if (user == 1) {
            QCOMPARE(cfg.context().UserCode, QString("SOMCHAI"));
            QCOMPARE(cfg.context().MenuCaption, QString("บันทึกฝากขาย / ปรับปรุงสต๊อก Tarvo"));
        }
        setRight("Y");
    }

    void languageNumbersOtherThanOneAreEnglish()
    {
        useDemoServer();
        TDMConfig cfg;
        for (const char *value : {"0", "null", "2", "1"}) {
            m_dbs->config().execute(QString("update Username set LanguageNo = %1 where Id = 1").arg(value));
            cfg.CheckRight(1, 1);
            QCOMPARE(cfg.context().ThaiLanguage, qstrcmp(value, "1") == 0);
        }
    }

    void companyLookup()
    {
        useDemoServer();
        TDMConfig cfg;
        QStringList shown;
        cfg.showMessage = [&](const QString &m) { shown << m; };
        cfg.GetCompanyConfig("demo");
        QCOMPARE(cfg.context().CompanyDatabase, QString("DEMO"));
        QCOMPARE(cfg.context().CompanyNameThai, QString("บริษัท ทาร์โว่ เทรดดิ้ง จำกัด"));
        QVERIFY(cfg.QCompany->isOpen());
        QCOMPARE(cfg.QCompany->fieldByName("TaxBranchHead").asString(), QString("N")); // null in the table
        QCOMPARE(cfg.QCompany->fieldByName("TaxBranchCode").asString(), QString(""));
        QVERIFY(cfg.QSoftware->isOpen());
        QVERIFY(shown.isEmpty());

        for (const QString &name : {QString("nowhere"), QString("DEMO ")}) {
            try {
                cfg.GetCompanyConfig(name);
                QFAIL("an unknown company was accepted");
            } catch (const ProgramEnd &end) {
                QCOMPARE(end.exitCode, 1);
            }
            QCOMPARE(shown.last(), "Not Found Database : " + name.toUpper());
        }
        // Listed, but without a CompanyConfig row: not found.
        m_dbs->config().execute("insert into DatabaseList values ('ORPHAN', 9, 'x', 2026)");
        QVERIFY_THROWS_EXCEPTION(ProgramEnd, cfg.GetCompanyConfig("Orphan"));
    }

    void companyModule()
    {
        useDemoServer();
        setLaunchParameters({"p", "1", "1", " DEMO ", "", "1"});
        TDM dm;
        int freed = 0;
        dm.freeSplash = [&] { ++freed; };
        dm.DMdata->open();
        QVERIFY(dm.QConfig->isOpen() && dm.QProgramSetup->isOpen());
        QVERIFY(dm.IvRefSO && dm.ShowProductPriceList && !dm.MrRefPO && !dm.EditPricePO);
        QCOMPARE(dm.QchkPeriod->fieldByName("AccountYear").asInteger(), QDate::currentDate().year());
        QCOMPARE(dm.ReportActionCode, 6);
        dm.DMdata->close();
        dm.DMdata->open();
        QCOMPARE(freed, 1); // a reconnect does not free the splash again

        launchContext().UserId = 2;
        launchContext().MenuId = 7;
        dm.AddUserLog(TDM::ReportActionCode, 0, "รายงาน");
        Query q(&m_dbs->company());
        q.setSql({"select * from UserLog order by Id desc"});
        q.open();
        QCOMPARE(q.fieldByName("UserId").asInteger(), 2);
        QCOMPARE(q.fieldByName("MenuId").asInteger(), 7);
        QCOMPARE(q.fieldByName("FunctionListId").asInteger(), 6);
        QCOMPARE(q.fieldByName("DocumentId").asInteger(), 0);
        QCOMPARE(q.fieldByName("Remark").asString(), QString("รายงาน"));
        QVERIFY(qAbs(dm.GetServerTime().secsTo(QDateTime::currentDateTime())) < 5);

        // The on-hand texts read the unit and the settings of this company.
        QCOMPARE(dm.OnhandQuantityText(2, 25), QString("4 (แพ็ค) 1 (ชิ้น)"));
        QCOMPARE(dm.OnhandQuantityLSUnitText(2, 1, -25), QString("- 4 แพ็ค"));
        QCOMPARE(dm.OnhandQuantityText(999999, 25), QString("25 ERROR"));
        setLaunchParameters({"tarvo-consignment", "1", "1", "DEMO", "-", "3"});
    }

    void emptyConfigAndMissingColumns()
    {
        useDemoServer();
        m_dbs->company().execute("create table ConfigSaved as select * from Config");
        m_dbs->company().execute("delete from Config");
        {
            TDM dm;
            dm.DMdata->open();
            QVERIFY(!dm.IvRefSO && !dm.MrRefPO && !dm.EditPricePO && !dm.ShowProductPriceList);
        }
        m_dbs->company().execute("drop table Config");
        m_dbs->company().execute("create table Config (Id integer, IvRefSO text)");
        {
            TDM dm;
            try {
                dm.DMdata->open();
                QFAIL("a settings column was missing and the connect went on");
            } catch (const EDatabaseError &e) {
                QVERIFY2(e.message().contains("MrRefPO"), qPrintable(e.message()));
            }
            QVERIFY(!dm.DMdata->connected());
        }
        m_dbs->company().execute("drop table Config");
        m_dbs->company().execute("create table Config as select * from ConfigSaved");
    }
};

QTEST_GUILESS_MAIN(TestDataModules)
#include "tst_datamodules.moc"
