#include "forms/Fr_SearchBarCodeSql.h"

using namespace platform;

namespace SearchBarCodeSql {

// Lines 31 and 32 are replaced before every search, so both texts keep the same line order.
// The embedded engine writes the quantities with two decimals and no grouping (money as text)
// and takes the smallest unit with Limit 1. It works out the on-hand quantity, the smallest unit
// and the back-orders once per listed product (T, built from the same code and name filter)
// rather than once per barcode row, and sums the back-orders of those products only (the same
// four sources as the T-SQL derived table, read through the product indexes) instead of
// grouping every order line of the company on each search. The current year is the engine's
// own clock, taken once per search.
const Statement QSearch{
    "QSearch",
    {
        "Select\tU.Id, U.BarCode, U.Product, U.UnitName, P.Code, P.ThaiName,",
        "        CONVERT(varchar(150), Cast(Coalesce((Select Sum(Quantity) From ProductOnHand Where BalanceYear = "
        "Year(GetDate()) And Product = P.Id), 0) As Money), 3) + '  ' +",
        "        (Select Top 1 UnitName From ProductUnits Where Product = P.Id And Fraction = (Select MIN(Fraction) From "
        "ProductUnits Where Product = P.Id)) OnHand ,",
        "        CONVERT(varchar(150), Cast(Coalesce(B.BackOrder, 0) As Money), 3)",
        "         + '  ' + (Select Top 1 UnitName From ProductUnits Where Product = P.Id And Fraction = (Select MIN(Fraction) "
        "From ProductUnits Where Product = P.Id)) Backorder",
        "From ProductUnits U",
        "Inner Join Product P On (P.Id = U.Product)",
        "Left Join (select M.Product, Sum(M.BackOrder) BackOrder",
        "             From(",
        "                   Select S.Product, (S.Quantity * S.Fraction) BackOrder -- So ที่ยังไม่ Clear (+)",
        "                   From SoDt S",
        "                   Where (S.Clear <> 'Y') And S.SoHd Not In (Select Coalesce(SoHd,0) From PosHeader)",
        "                   Union All",
        "                   Select V.Product, -(V.Quantity * V.Fraction) BackOrder -- Iv ที่อ้าง So ที่ยังไม่ Clear (-)",
        "                   From IvDt V",
        "                   Inner Join Ivhd H On (H.Id = V.Ivhd)",
        "                   Where V.SoDt = (select S.Id from SoDt S Where S.Clear <> 'Y' And S.Id = V.SoDt)",
        "                   Union All",
        "                   Select V.Product, (V.Quantity * V.Fraction) BackOrder -- ออกใบกำกับแล้วแต่ยังไม่ส่งของ (+)",
        "                   From IvDt V",
        "                   Inner Join Ivhd H On (H.Id = V.Ivhd)",
        "                   Where (H.NotCutStock = 'Y') And (H.IvType <> 'B') And (Coalesce(V.IvdtB,0) = 0)",
        "                   Union All",
        "                   Select V.Product, -(V.Quantity * V.Fraction) BackOrder -- ส่งสินค้าอ้างใบกำกับ (-)",
        "                   From IvDt V",
        "                   Inner Join Ivhd H On (H.Id = V.Ivhd)",
        "                   Where (H.NotCutStock = 'N') And (H.IvType = 'B') And (Coalesce(V.IvdtB,0) > 0)",
        "                 ) As M",
        "             Group By M.Product",
        "             ) As B On (B.Product = P.Id)",
        "Where (U.BarCode Like :GetCode) And (P.ThaiName Like :GetName) And",
        "  Not (U.BarCode Is Null) And (U.BarCode <> '')",
        "Order By P.ThaiName",
        "/* Don't Move SQL Lines */",
        "/* SQL [31] ห้ามย้ายบรรทัด */",
        " ",
        " ",
        " ",
    },
    {
        "With T As Materialized (Select P.Id Product,",
        "        (Select Sum(Quantity) From ProductOnHand Where BalanceYear = Cast(strftime('%Y', 'now', 'localtime') As "
        "Integer) And Product = P.Id) OnHand,",
        "        (Select UnitName From ProductUnits Where Product = P.Id And Fraction = (Select MIN(Fraction) From ProductUnits "
        "Where Product = P.Id) Limit 1) SmallUnit,",
        "        (Select Sum(M.BackOrder) From (",
        "                   Select (S.Quantity * S.Fraction) BackOrder From SoDt S -- So ที่ยังไม่ Clear (+)",
        "                   Where (S.Product = P.Id) And (S.Clear <> 'Y') And S.SoHd Not In (Select Coalesce(SoHd,0) From "
        "PosHeader)",
        "                   Union All",
        "                   Select -(V.Quantity * V.Fraction) From IvDt V Inner Join Ivhd H On (H.Id = V.Ivhd) -- Iv ที่อ้าง So "
        "ที่ยังไม่ Clear (-)",
        "                   Where (V.Product = P.Id) And V.SoDt = (select S.Id from SoDt S Where S.Clear <> 'Y' And S.Id = "
        "V.SoDt)",
        "                   Union All",
        "                   Select (V.Quantity * V.Fraction) From IvDt V Inner Join Ivhd H On (H.Id = V.Ivhd) -- "
        "ออกใบกำกับแล้วแต่ยังไม่ส่งของ (+)",
        "                   Where (V.Product = P.Id) And (H.NotCutStock = 'Y') And (H.IvType <> 'B') And (Coalesce(V.IvdtB,0) = "
        "0)",
        "                   Union All",
        "                   Select -(V.Quantity * V.Fraction) From IvDt V Inner Join Ivhd H On (H.Id = V.Ivhd) -- "
        "ส่งสินค้าอ้างใบกำกับ (-)",
        "                   Where (V.Product = P.Id) And (H.NotCutStock = 'N') And (H.IvType = 'B') And (Coalesce(V.IvdtB,0) > "
        "0)",
        "                 ) As M) BackOrder",
        "    From ProductUnits U Inner Join Product P On (P.Id = U.Product)",
        "    Where (U.BarCode Like :GetCode) And (P.ThaiName Like :GetName)",
        "    Group By P.Id)",
        "Select\tU.Id, U.BarCode, U.Product, U.UnitName, P.Code, P.ThaiName,",
        "        printf('%.2f', Coalesce(T.OnHand, 0)) || '  ' || T.SmallUnit OnHand ,",
        "        printf('%.2f', Coalesce(T.BackOrder, 0)) || '  ' || T.SmallUnit Backorder",
        "From ProductUnits U",
        "Inner Join Product P On (P.Id = U.Product)",
        "Inner Join T On (T.Product = U.Product)",
        "",
        "",
        "",
        "",
        "",
        "Where (U.BarCode Like :GetCode) And (P.ThaiName Like :GetName) And",
        "  Not (U.BarCode Is Null) And (U.BarCode <> '')",
        "Order By P.ThaiName",
        "/* Don't Move SQL Lines */",
        "/* SQL [31] ห้ามย้ายบรรทัด */",
        " ",
        " ",
        " ",
    },
};

const QString FilterText = QStringLiteral("Not (U.BarCode Is Null) And (U.BarCode <> '') And (P.Blocked <> 'Y') ");

QString orderText(SortOrder order)
{
    static const char *const texts[] = {"Order By U.BarCode", "Order By P.Code", "Order By P.ThaiName"};
    return QLatin1String(texts[order]);
}

QList<const Statement *> all()
{
    return {&QSearch};
}

} // namespace SearchBarCodeSql
