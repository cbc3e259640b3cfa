// The embedded search text works the quantities out per product; its rows must be exactly those
// of the statement as stored (one derived table of back-orders over every order line of the
// company), written here once more in the embedded engine's words.
#include "forms/Fr_SearchBarCodeSql.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "support/DemoDatabases.h"

#include <QDate>
#include <QTest>

using namespace platform;

namespace {

const char *const smallestUnit = "(Select UnitName From ProductUnits Where Product = P.Id And Fraction = (Select MIN(Fraction) "
                                 "From ProductUnits Where Product = P.Id) Limit 1)";

QStringList referenceSearch()
{
    return {
        "Select U.Id, U.BarCode, U.Product, U.UnitName, P.Code, P.ThaiName,",
        QString("  printf('%.2f', Coalesce((Select Sum(Quantity) From ProductOnHand Where BalanceYear = :ThisYear And Product = "
                "P.Id), 0)) || '  ' || %1 OnHand,")
            .arg(smallestUnit),
        QString("  printf('%.2f', Coalesce(B.BackOrder, 0)) || '  ' || %1 Backorder").arg(smallestUnit),
        "From ProductUnits U",
        "Inner Join Product P On (P.Id = U.Product)",
        "Left Join (Select M.Product, Sum(M.BackOrder) BackOrder From (",
        "    Select S.Product, (S.Quantity * S.Fraction) BackOrder From SoDt S",
        "    Where (S.Clear <> 'Y') And S.SoHd Not In (Select Coalesce(SoHd,0) From PosHeader)",
        "    Union All",
        "    Select V.Product, -(V.Quantity * V.Fraction) From IvDt V Inner Join IvHd H On (H.Id = V.IvHd)",
        "    Where V.SoDt = (Select S.Id From SoDt S Where S.Clear <> 'Y' And S.Id = V.SoDt)",
        "    Union All",
        "    Select V.Product, (V.Quantity * V.Fraction) From IvDt V Inner Join IvHd H On (H.Id = V.IvHd)",
        "    Where (H.NotCutStock = 'Y') And (H.IvType <> 'B') And (Coalesce(V.IvdtB,0) = 0)",
        "    Union All",
        "    Select V.Product, -(V.Quantity * V.Fraction) From IvDt V Inner Join IvHd H On (H.Id = V.IvHd)",
        "    Where (H.NotCutStock = 'N') And (H.IvType = 'B') And (Coalesce(V.IvdtB,0) > 0)",
        "  ) As M Group By M.Product) As B On (B.Product = P.Id)",
        "Where (U.BarCode Like :GetCode) And (P.ThaiName Like :GetName) And",
        "  Not (U.BarCode Is Null) And (U.BarCode <> '') And (P.Blocked <> 'Y')",
        "Order By U.Id",
    };
}

// Every row as one text, in barcode-row order.
QStringList rowsOf(Query &q)
{
    QMap<qint64, QString> byId;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < q.fieldNames().size(); ++c)
            cells << q.fieldNames()[c] + "=" + q.value(r, c).toString();
        byId.insert(q.value(r, 0).toLongLong(), cells.join(" | "));
    }
    return byId.values();
}

} // namespace

class TestSearchResults : public QObject
{
    Q_OBJECT
    std::unique_ptr<DemoDatabases> m_dbs;

private Q_SLOTS:
    void initTestCase()
    {
        m_dbs = std::make_unique<DemoDatabases>();
        Database &db = m_dbs->company();
        const int year = QDate::currentDate().year();
        // A smallest unit added last, on-hand rows in this year and the last, and a blocked product
        // that has quantities too.
        db.executeBatch(
            QString("Update ProductUnits Set Fraction = 2 Where Product = 3 And Fraction = 1;"
                    "Insert Into ProductUnits (Product, UnitName, Fraction, BarCode) Values (3, 'ซอง', 1, '9990000000031');"
                    "Delete From ProductOnHand Where Product = 3;"
                    "Insert Into ProductOnHand (Product, BalanceYear, PeriodNo, Quantity) Values (3, %1, 1, 7.25), (3, %1, 2, "
                    "1.5), (3, %2, 1, 1000);"
                    "Update Product Set Blocked = 'Y' Where Id = 4;"
                    "Insert Into ProductOnHand (Product, BalanceYear, PeriodNo, Quantity) Values (4, %1, 1, 3);")
                .arg(year)
                .arg(year - 1));
        QVERIFY(m_dbs->scalar("Select Count(*) From SoDt Where Clear <> 'Y'").toInt() > 0);
        QVERIFY(m_dbs
                    ->scalar("Select Count(*) From IvDt V Inner Join IvHd H On (H.Id = V.IvHd) Where H.NotCutStock = 'Y' And "
                             "H.IvType <> 'B'")
                    .toInt() > 0);
        QVERIFY(m_dbs
                    ->scalar("Select Count(*) From IvDt V Inner Join IvHd H On (H.Id = V.IvHd) Where H.NotCutStock = 'N' And "
                             "H.IvType = 'B' And V.IvdtB > 0")
                    .toInt() > 0);
        QVERIFY(m_dbs->scalar("Select Count(*) From IvDt Where SoDt Is Not Null").toInt() > 0);
    }

    void sameRowsAsTheStoredStatement_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("everything") << "%"
                                    << "%";
        QTest::newRow("barcode prefix") << "885%"
                                        << "%";
        QTest::newRow("one barcode") << "9990000000031%"
                                     << "%";
        QTest::newRow("name begins with") << "%"
                                          << "ก%";
        QTest::newRow("name contains") << "%"
                                       << "%า%";
        QTest::newRow("both") << "8%"
                              << "%ม%";
        QTest::newRow("nothing") << "%"
                                 << "%ไม่มีสินค้านี้%";
    }

    void sameRowsAsTheStoredStatement()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        Database &db = m_dbs->company();
        Query search(&db);
        search.setStatement(SearchBarCodeSql::QSearch);
        search.setSqlLine(SearchBarCodeSql::FilterLine, "Not (U.BarCode Is Null) And (U.BarCode <> '') And (P.Blocked <> 'Y') ");
        search.setSqlLine(SearchBarCodeSql::OrderLine, "Order By U.BarCode");
        search.setParam("GetCode", code);
        search.setParam("GetName", name);
        search.open();

        Query reference(&db);
        reference.setSql(referenceSearch());
        reference.setParam("GetCode", code);
        reference.setParam("GetName", name);
        reference.setParam("ThisYear", QDate::currentDate().year());
        reference.open();

        QCOMPARE(search.fieldNames(), reference.fieldNames());
        QCOMPARE(rowsOf(search), rowsOf(reference));
        if (QString(QTest::currentDataTag()) == "everything") {
            // Not a comparison of zeros: quantities of every kind show up.
            QStringList onHand, backorder;
            for (int r = 0; r < search.recordCount(); ++r) {
                onHand << search.value(r, 6).toString();
                backorder << search.value(r, 7).toString();
            }
            QVERIFY(onHand.contains("8.75  ซอง"));
            QVERIFY(!backorder.filter(QRegularExpression("^[1-9]")).isEmpty());
            QVERIFY(!backorder.filter(QRegularExpression("^-")).isEmpty() ||
                    !backorder.filter(QRegularExpression("^0\\.00")).isEmpty());
            QCOMPARE(search.recordCount(),
                     m_dbs
                         ->scalar("Select Count(*) From ProductUnits U Inner Join Product P On (P.Id = U.Product) "
                                  "Where U.BarCode <> '' And P.Blocked <> 'Y'")
                         .toInt());
        }
    }
};

QTEST_GUILESS_MAIN(TestSearchResults)
#include "tst_searchresults.moc"
