#include "data/SaveRequestAnswer.h"
#include "db/ServerObjects.h"
#include "db/setup/DemoData.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/StoredProc.h"
#include "support/DemoDatabases.h"

#include <QTest>
#include <QUuid>

using namespace platform;

namespace {

const QString saveText = QStringLiteral(
    "Exec Save_Tarvo_Consignment :UserCode, :UserKeyIn ,:Customer, :ConsigType, :Barcode, :SerialNumber, :Quantity, :Price, "
    ":Chkfree, :OldPrice, :EditDate");

struct Line {
    QString userCode = QStringLiteral("BR01");
    QString userKeyIn = QStringLiteral("SOMCHAI");
    int customer = 1;
    QString type = QStringLiteral("S");
    QString barcode = DemoData::barcodeOfUnit(1);
    QString serial;
    double quantity = 2;
    double price = 10;
    QString free = QStringLiteral("N");
    double oldPrice = 10;
    QDate date = QDate(2026, 3, 15);
};

void bind(Query &q, const Line &l)
{
    q.setParam("UserCode", l.userCode);
    q.setParam("UserKeyIn", l.userKeyIn);
    q.setParam("Customer", l.customer);
    q.setParam("ConsigType", l.type);
    q.setParam("Barcode", l.barcode);
    q.setParam("SerialNumber", l.serial);
    q.setParam("Quantity", l.quantity);
    q.setParam("Price", l.price);
    q.setParam("ChkFree", l.free);
    q.setParam("OldPrice", l.oldPrice);
    q.setParam("EditDate", l.date);
}

void save(Database &db, const Line &l)
{
    Query q(&db);
    q.setSql({saveText});
    bind(q, l);
    q.execSql();
}

// The save with a request id, as the program sends it, and its answer.
SaveRequestAnswer saveWithId(Database &db, const Line &l, const QVariant &requestId)
{
    Query q(&db);
    q.setSql({saveText + ", :RequestId"});
    bind(q, l);
    q.setParam("RequestId", requestId);
    q.open();
    return SaveRequestAnswer::read(q);
}

} // namespace

class TestServerObjects : public QObject
{
    Q_OBJECT
    DemoDatabases m_dbs;

    int lines() { return m_dbs.scalar("select count(*) from Tarvo_Consignment").toInt(); }
    double onhand(const QString &barcode, int year, int period)
    {
        return m_dbs
            .scalar(QStringLiteral("select Quantity from ProductOnhandCustomer where CusCode = 'C0002' and Barcode = '%1'"
                                   " and BalanceYear = %2 and PeriodNo = %3")
                        .arg(barcode)
                        .arg(year)
                        .arg(period))
            .toDouble();
    }

    void expectRefusal(const Line &line, const QString &fragment)
    {
        const int before = lines();
        const int onhandRows = m_dbs.scalar("select count(*) from ProductOnhandCustomer").toInt();
        try {
            save(m_dbs.company(), line);
            QFAIL("the line was stored");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.message().contains(fragment), qPrintable(e.message()));
        }
        QCOMPARE(lines(), before);
        QCOMPARE(m_dbs.scalar("select count(*) from ProductOnhandCustomer").toInt(), onhandRows);
    }

private Q_SLOTS:
    void saveStoresEveryValue()
    {
        Line l;
        l.barcode = "  " + DemoData::barcodeOfUnit(2) + " ";
        l.serial = " SN 1 ";
        l.free = "Y";
        l.price = 0;
        l.oldPrice = 57.5;
        l.type = " r";
        save(m_dbs.company(), l);
        Query q(&m_dbs.company());
        q.setSql({"select * from Tarvo_Consignment order by Id desc"});
        q.open();
        QCOMPARE(q.fieldByName("UserCode").asString(), QString("BR01"));
        QCOMPARE(q.fieldByName("UserKeyIn").asString(), QString("SOMCHAI"));
        QCOMPARE(q.fieldByName("Customer").asInteger(), 1);
        QCOMPARE(q.fieldByName("ConsigType").asString(), QString("R"));
        QCOMPARE(q.fieldByName("Barcode").asString(), DemoData::barcodeOfUnit(2));
        QCOMPARE(q.fieldByName("ProductUnits").asInteger(), 2);
        QCOMPARE(q.fieldByName("Product").asInteger(), 1);
        QCOMPARE(q.fieldByName("SerialNumber").asString(), QString(" SN 1 "));
        QCOMPARE(q.fieldByName("Quantity").asFloat(), 2.0);
        QCOMPARE(q.fieldByName("Price").asFloat(), 0.0);
        QCOMPARE(q.fieldByName("ChkFree").asString(), QString("Y"));
        QCOMPARE(q.fieldByName("OldPrice").asFloat(), 57.5);
        QCOMPARE(q.fieldByName("ConsigDate").asDate(), QDate(2026, 3, 15));
        QVERIFY(q.fieldByName("CreateTime").asDateTime().isValid());
    }

    void refusalsStoreNothing()
    {
        Line l;
        l.customer = 0;
        expectRefusal(l, "Cannot insert the value NULL into column 'Customer'");
        l.customer = 9999;
        expectRefusal(l, "Cannot insert the value NULL into column 'Customer'");
        l = Line();
        l.type = "X";
        expectRefusal(l, "is not S, R or A");
        l = Line();
        l.barcode = "NOPE";
        expectRefusal(l, "Barcode 'NOPE' is not a product unit.");
        l.barcode = "";
        expectRefusal(l, "is not a product unit");

        // Product 25 has serial numbers.
        const QString serialBarcode = m_dbs.scalar("select BarCode from ProductUnits where Product = 25").toString();
        l = Line();
        l.barcode = serialBarcode;
        l.quantity = 1;
        l.serial = "   ";
        expectRefusal(l, "serial number is missing");
    }

    void serialSoldTwiceIsADuplicateUntilTakenBack()
    {
        const QString serialBarcode = m_dbs.scalar("select BarCode from ProductUnits where Product = 50").toString();
        Line l;
        l.barcode = serialBarcode;
        l.quantity = 1;
        l.serial = "FAN-0001";
        save(m_dbs.company(), l);
        expectRefusal(l, "Cannot insert duplicate");
        // Another branch may sell the same serial number.
        Line other = l;
        other.customer = 2;
        save(m_dbs.company(), other);
        // Taken back, it may be sold again.
        Line back = l;
        back.type = "R";
        save(m_dbs.company(), back);
        save(m_dbs.company(), l);
        expectRefusal(l, "Cannot insert duplicate");
    }

    // A line sent again with its request id (its first answer was lost) is stored once, with one
    // on-hand change, whatever form the id comes in; a line without an id is stored every time
    // and answers nothing, as before.
    void aRequestIdStoresItsLineOnce()
    {
        const QString barcode = DemoData::barcodeOfUnit(3);
        Line l;
        l.customer = 2;
        l.barcode = barcode;
        l.quantity = 3;
        const double balance = onhand(barcode, 2026, 3);
        const int before = lines();
        const QUuid id = QUuid::createUuid();
        const SaveRequestAnswer first = saveWithId(m_dbs.company(), l, id.toString(QUuid::WithoutBraces));
        QVERIFY(!first.alreadyStored);
        QCOMPARE(first.line, m_dbs.scalar("select max(Id) from Tarvo_Consignment").toLongLong());
        for (const QVariant &again :
             {QVariant(id.toString(QUuid::WithoutBraces)), QVariant(id.toString().toUpper()), QVariant(id)}) {
            const SaveRequestAnswer answer = saveWithId(m_dbs.company(), l, again);
            QVERIFY(answer.alreadyStored);
            QCOMPARE(answer.line, first.line);
        }
        QCOMPARE(lines(), before + 1);
        QCOMPARE(onhand(barcode, 2026, 3), balance - 3);
        QCOMPARE(m_dbs
                     .scalar(QString("select Consignment || '|' || (Workstation <> '') from Tarvo_ConsignmentRequest"
                                     " where RequestId = '%1'")
                                 .arg(id.toString(QUuid::WithoutBraces)))
                     .toString(),
                 QString("%1|1").arg(first.line));

        // A serial number sold by the stored line is no refusal of its resend.
        Line serial;
        serial.barcode = m_dbs.scalar("select BarCode from ProductUnits where Product = 100").toString();
        serial.quantity = 1;
        serial.serial = "SN-REQ-1";
        const QUuid serialId = QUuid::createUuid();
        QVERIFY(!saveWithId(m_dbs.company(), serial, serialId).alreadyStored);
        QVERIFY(saveWithId(m_dbs.company(), serial, serialId).alreadyStored);
        expectRefusal(serial, "Cannot insert duplicate"); // without the id it is a second sale

        // A refused line keeps no id: sent again once the cause is gone, it is stored.
        Line unknown = l;
        unknown.barcode = "NOT-YET";
        const QUuid refusedId = QUuid::createUuid();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, saveWithId(m_dbs.company(), unknown, refusedId));
        QVERIFY(!saveWithId(m_dbs.company(), l, refusedId).alreadyStored);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, saveWithId(m_dbs.company(), l, "not an id"));

        // Eleven values: no answer rows, a new line each time.
        const int eleven = lines();
        Query q(&m_dbs.company());
        q.setSql({saveText});
        bind(q, l);
        q.open();
        QVERIFY(q.fieldNames().isEmpty());
        save(m_dbs.company(), l);
        QCOMPARE(lines(), eleven + 2);
    }

    void textsCompareAsSqlServerComparesThem()
    {
        // LTrim/RTrim take blanks only; comparisons ignore trailing blanks and case. The same
        // lines against a real server are in tests/integration/tst_mssql.
        Line l;
        l.type = "S\t";
        expectRefusal(l, "is not S, R or A");
        const QString serialBarcode = m_dbs.scalar("select BarCode from ProductUnits where Product = 75").toString();
        m_dbs.company().execute(
            QString("update ProductUnits set BarCode = BarCode || '  ' where BarCode = '%1'").arg(serialBarcode));
        l = Line();
        l.type = " s ";
        l.barcode = " " + serialBarcode + " ";
        l.quantity = 1;
        l.serial = "tv-0001";
        save(m_dbs.company(), l);
        QCOMPARE(m_dbs.scalar("select ConsigType || '|' || Barcode from Tarvo_Consignment order by Id desc limit 1").toString(),
                 "S|" + serialBarcode);
        l.serial = "TV-0001  ";
        expectRefusal(l, "Cannot insert duplicate");
        l.serial = "\t"; // a serial number of its own, not a missing one
        const int before = lines();
        save(m_dbs.company(), l);
        QCOMPARE(lines(), before + 1);
        m_dbs.company().execute(QString("update ProductUnits set BarCode = '%1' where BarCode = '%1  '").arg(serialBarcode));
    }

    void onhandFollowsEachLine()
    {
        // Branch C0002, a unit that has no balance rows yet: rows appear from the line's month on.
        const QString barcode = DemoData::barcodeOfUnit(700);
        m_dbs.company().execute("delete from ProductOnhandCustomer where Barcode = '" + barcode + "'");
        Line l;
        l.customer = 2;
        l.barcode = barcode;
        l.quantity = 5;
        l.type = "A";
        l.date = QDate(2025, 11, 20);
        save(m_dbs.company(), l); // +5 from 2025/11
        QCOMPARE(m_dbs.scalar("select count(*) from ProductOnhandCustomer where Barcode = '" + barcode + "'").toInt(), 2);
        QCOMPARE(onhand(barcode, 2025, 11), 5.0);
        QCOMPARE(onhand(barcode, 2025, 12), 5.0);
        l.type = "S";
        l.quantity = 2;
        l.date = QDate(2025, 12, 3);
        save(m_dbs.company(), l); // -2 from 2025/12
        QCOMPARE(onhand(barcode, 2025, 11), 5.0);
        QCOMPARE(onhand(barcode, 2025, 12), 3.0);
        l.type = "R";
        l.quantity = 1;
        l.date = QDate(2026, 2, 1);
        save(m_dbs.company(), l); // +1 from 2026/02: periods 2..12 of 2026 created
        QCOMPARE(onhand(barcode, 2026, 2), 1.0);
        QCOMPARE(onhand(barcode, 2026, 12), 1.0);
        // A line of an earlier month moves the later years too.
        l.type = "A";
        l.quantity = -4;
        l.date = QDate(2025, 11, 30);
        save(m_dbs.company(), l);
        QCOMPARE(onhand(barcode, 2025, 11), 1.0);
        QCOMPARE(onhand(barcode, 2025, 12), -1.0);
        QCOMPARE(onhand(barcode, 2026, 5), -3.0);
    }

    void menuCaptionAndRights_data()
    {
        QTest::addColumn<int>("menu");
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("access");
        QTest::addColumn<QString>("userCode");
        QTest::newRow("clerk") << 1 << 1 << "บันทึกฝากขาย / ปรับปรุงสต๊อก Tarvo"
                               << "Y"
                               << "SOMCHAI";
        QTest::newRow("english user, report") << 2 << 2 << "รายงานโควต้าลูกค้าตามกลุ่มราคา"
                                              << "Y"
                                              << "JOHN";
        QTest::newRow("no access") << 1 << 3 << "บันทึกฝากขาย / ปรับปรุงสต๊อก Tarvo"
                                   << "N"
                                   << "GUEST";
        QTest::newRow("no rights row") << 3 << 1 << "เมนูหลัก"
                                       << ""
                                       << "SOMCHAI";
        QTest::newRow("unknown user") << 1 << 777 << ""
                                      << ""
                                      << "";
        QTest::newRow("unknown menu") << 777 << 1 << ""
                                      << ""
                                      << "";
    }
    void menuCaptionAndRights()
    {
        QFETCH(int, menu);
        QFETCH(int, user);
        StoredProc sp(&m_dbs.config(), "MENUCAPTION");
        sp.addParam("Result", QMetaType::Int, StoredProc::Direction::Result);
        sp.addParam("@MENUID", QMetaType::Int, StoredProc::Direction::Input);
        sp.addParam("@USERID", QMetaType::Int, StoredProc::Direction::Input);
        for (const char *out : {"@CAPTION", "@ACCESS_R", "@ADD_R", "@MODIFY_R", "@DELETE_R", "@USERCODE"})
            sp.addParam(out, QMetaType::QString, StoredProc::Direction::Output);
        sp.addParam("@SALESID", QMetaType::Int, StoredProc::Direction::Output);
        sp.setParam("@MENUID", menu);
        sp.setParam("@USERID", user);
        sp.execProc();
        QTEST(sp.paramValue("@CAPTION").toString(), "caption");
        QTEST(sp.paramValue("@ACCESS_R").toString(), "access");
        QTEST(sp.paramValue("@USERCODE").toString(), "userCode");
    }

    void logsAndClock()
    {
        StoredProc err(&m_dbs.config(), "AddErrorLog");
        for (const char *in : {"@CompName", "@LogName", "@UserId", "@MenuId", "@ErrorMsg"})
            err.addParam(in, QMetaType::QString, StoredProc::Direction::Input);
        err.setParam("@CompName", "PC-01");
        err.setParam("@LogName", "SOMCHAI");
        err.setParam("@UserId", 1);
        err.setParam("@MenuId", 2);
        err.setParam("@ErrorMsg", "Cannot insert duplicate key ไทย");
        err.execProc();
        Query q(&m_dbs.config());
        q.setSql({"select * from ErrorLog"});
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.fieldByName("ErrorMsg").asString(), QString("Cannot insert duplicate key ไทย"));
        QCOMPARE(q.fieldByName("Username").asInteger(), 1);
        QCOMPARE(q.fieldByName("Menu").asInteger(), 2);
        QVERIFY(qAbs(q.fieldByName("ErrorDate").asDateTime().secsTo(QDateTime::currentDateTime())) < 3600);

        Query log(&m_dbs.company());
        log.setSql({"Exec UserAddLog :UserId, :MenuId, :F, :Doc, :Remark"});
        log.setParam("UserId", 1);
        log.setParam("MenuId", 2);
        log.setParam("F", 6);
        log.setParam("Doc", 0);
        log.setParam("Remark", "");
        log.execSql();
        QCOMPARE(m_dbs.scalar("select FunctionListId from UserLog").toInt(), 6);

        StoredProc clock(&m_dbs.company(), "ServerTime");
        clock.addParam("@ServerTime", QMetaType::QDateTime, StoredProc::Direction::Output);
        clock.execProc();
        QVERIFY(qAbs(clock.paramValue("@ServerTime").toDateTime().secsTo(QDateTime::currentDateTime())) < 5);
    }

    void rpFloatCleansBinaryNoise()
    {
        QCOMPARE(tarvoRPFloat(0.1 * 3), 0.3);
        QCOMPARE(tarvoRPFloat(-2.0000004), -2.0);
        QCOMPARE(tarvoRPFloat(-1.23456789), -1.234568);
        QCOMPARE(tarvoRPFloat(1234567.125), 1234567.125);
        QCOMPARE(m_dbs.scalar("select Tarvo_RPFloat(0.1 + 0.2)").toDouble(), 0.3);
        QVERIFY(m_dbs.scalar("select Tarvo_RPFloat(null)").isNull());
    }
};

QTEST_GUILESS_MAIN(TestServerObjects)
#include "tst_serverobjects.moc"
