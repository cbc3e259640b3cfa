#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"

using namespace platform;

namespace ConsignmentSql {

// The embedded engine reads the configuration tables as QLM_Config.Username and calls
// Tarvo_RPFloat without the owner prefix; otherwise its texts are the same.

const Statement QBranch{
    "QBranch",
    {
        "Select U.Code UserCode, C.Code CusCode, LTrim(RTrim(C.NameShort)) CusName , C.Id CusId",
        "from QLM_Config.Dbo.Username U",
        "Inner Join Customer C On (C.Code = U.CusCodeTablet)",
        "Where (LTrim(Rtrim(Coalesce(U.CusCodeTablet, ''))) <> '')",
        "And(U.Code <> 'QLM')",
        "Order By U.Code",
    },
    {
        "Select U.Code UserCode, C.Code CusCode, LTrim(RTrim(C.NameShort)) CusName , C.Id CusId",
        "from QLM_Config.Username U",
        "Inner Join Customer C On (C.Code = U.CusCodeTablet)",
        "Where (LTrim(Rtrim(Coalesce(U.CusCodeTablet, ''))) <> '')",
        "And(U.Code <> 'QLM')",
        "Order By U.Code",
    },
};

const Statement QUserKeyIn{
    "QUserKeyIn",
    {
        "Select U.Code UserCode",
        "from QLM_Config.Dbo.Username U",
        "Where U.Id = :UserId",
    },
    {
        "Select U.Code UserCode",
        "from QLM_Config.Username U",
        "Where U.Id = :UserId",
    },
};

const Statement QProduct{
    "QProduct",
    {
        "Select P.Code , Cast(P.ThaiName As nVarchar(160)) Prodname , P.UseSerial ,",
        "Cast(U.UnitName As nVarchar(20))  UnitName  , U.BarCode , Coalesce( PP.Price,0) Price",
        "From Product P",
        "Left Join ProductUnits U On (P.Id = U.Product)",
        "Left Join ProductPrice PP On (P.Id=PP.Product And U.Id=PP.ProductUnits And PP.PriceType=19)",
        "Where U.BarCode <>'' And U.Barcode = :Barcode",
    },
    {},
};

// On the embedded engine the branch's own lines are found through the customer's id (customer
// codes are unique), which lets the (Customer, ConsigDate) index serve the range.
const Statement QRPProdDay{
    "QRPProdDay",
    {
        "Select 1 DocType, H.IvDate DocDate, U.BarCode, 'รับสินค้าจาก สนญ 'ConsigTypeText, P.ThaiName ProdName, U.UnitName, "
        "-D.Quantity Quantity, D.Price, 0 Total",
        "From IvHd H",
        "Inner Join Customer C On (C.Id = H.Customer)",
        "Inner Join IvDt D On (D.IvHD = H.Id)",
        "Inner Join Product P On (P.Id = D.product)",
        "Inner Join Productunits u On (U.Id = D.ProductUnits)",
        "Where (H.Delflag = 'N') And (C.Code = :CusCode)",
        "And (H.IvDate Between :BeginConsigDate And :EndConsigDate)",
        "Union All",
        "Select 2 DocType, Y.ConsigDate DocDate, Y.Barcode",
        ",(Case",
        "When  Y.ConsigType = 'S' Then 'ขาย'",
        "When Y.ConsigType= 'R' Then 'รับคืน'",
        "When (Y.ConsigType= 'A') And (Y.Quantity>0)Then 'ปรับปรุง+'",
        "When (Y.ConsigType= 'A') And (Y.Quantity<0)Then 'ปรุบปรุง-'",
        "Else 'ไม่ระบุ'",
        "End) ConsigTypeText",
        ",Cast(P.ThaiName As nVarchar(160)) Prodname",
        ",Cast(U.UnitName As nVarchar(20)) UnitName",
        ",(Case When Y.ConsigType = 'R'Then Dbo.Tarvo_RPFloat((Y.Quantity))*(-1)",
        "Else  Dbo.Tarvo_RPFloat((Y.Quantity))",
        "End)Quantity",
        ",Dbo.Tarvo_RPFloat((Coalesce(Y.Price,0)))  Price",
        ",(Case When Y.ConsigType = 'R' Then Dbo.Tarvo_RPFloat(((Y.Quantity)* (Coalesce(Y.Price,0))))*(-1)",
        "Else  Dbo.Tarvo_RPFloat(((Y.Quantity)* (Coalesce(Y.Price,0))))",
        "End) Total",
        "From Tarvo_Consignment Y",
        "Inner Join Product P On (Y.Product=P.Id)",
        "Inner Join ProductUnits U On (Y.ProductUnits=U.Id)",
        "Where ( Y.ConsigDate Between :BeginConsigDate And :EndConsigDate )",
        "And ((Select Code From Customer Where Id = Y.Customer) = :CusCode)",
        "Union All",
        "Select 3 DocType, H.SrDate DocDate, U.BarCode, 'ส่งคืน สนญ'ConsigTypeText, P.ThaiName ProdName, U.UnitName, D.Quantity "
        "Quantity, D.Price, 0 Total",
        "From SrHd H",
        "Inner Join Customer C On (C.Id = H.Customer)",
        "Inner Join SrDt D On (D.SrHd = H.Id)",
        "Inner Join Product P On (P.Id = D.product)",
        "Inner Join Productunits u On (U.Id = D.ProductUnits)",
        "Where (H.Delflag = 'N') And (C.Code = :CusCode)",
        "And (H.SrDate Between :BeginConsigDate And :EndConsigDate)",
        "Order By Prodname, DocDate, DocType",
    },
    {
        "Select 1 DocType, H.IvDate DocDate, U.BarCode, 'รับสินค้าจาก สนญ 'ConsigTypeText, P.ThaiName ProdName, U.UnitName, "
        "-D.Quantity Quantity, D.Price, 0 Total",
        "From IvHd H",
        "Inner Join Customer C On (C.Id = H.Customer)",
        "Inner Join IvDt D On (D.IvHD = H.Id)",
        "Inner Join Product P On (P.Id = D.product)",
        "Inner Join Productunits u On (U.Id = D.ProductUnits)",
        "Where (H.Delflag = 'N') And (C.Code = :CusCode)",
        "And (H.IvDate Between :BeginConsigDate And :EndConsigDate)",
        "Union All",
        "Select 2 DocType, Y.ConsigDate DocDate, Y.Barcode",
        ",(Case",
        "When  Y.ConsigType = 'S' Then 'ขาย'",
        "When Y.ConsigType= 'R' Then 'รับคืน'",
        "When (Y.ConsigType= 'A') And (Y.Quantity>0)Then 'ปรับปรุง+'",
        "When (Y.ConsigType= 'A') And (Y.Quantity<0)Then 'ปรุบปรุง-'",
        "Else 'ไม่ระบุ'",
        "End) ConsigTypeText",
        ",Cast(P.ThaiName As nVarchar(160)) Prodname",
        ",Cast(U.UnitName As nVarchar(20)) UnitName",
        ",(Case When Y.ConsigType = 'R'Then Tarvo_RPFloat((Y.Quantity))*(-1)",
        "Else  Tarvo_RPFloat((Y.Quantity))",
        "End)Quantity",
        ",Tarvo_RPFloat((Coalesce(Y.Price,0)))  Price",
        ",(Case When Y.ConsigType = 'R' Then Tarvo_RPFloat(((Y.Quantity)* (Coalesce(Y.Price,0))))*(-1)",
        "Else  Tarvo_RPFloat(((Y.Quantity)* (Coalesce(Y.Price,0))))",
        "End) Total",
        "From Tarvo_Consignment Y",
        "Inner Join Product P On (Y.Product=P.Id)",
        "Inner Join ProductUnits U On (Y.ProductUnits=U.Id)",
        "Where ( Y.ConsigDate Between :BeginConsigDate And :EndConsigDate )",
        "And (Y.Customer = (Select Id From Customer Where Code = :CusCode))",
        "Union All",
        "Select 3 DocType, H.SrDate DocDate, U.BarCode, 'ส่งคืน สนญ'ConsigTypeText, P.ThaiName ProdName, U.UnitName, D.Quantity "
        "Quantity, D.Price, 0 Total",
        "From SrHd H",
        "Inner Join Customer C On (C.Id = H.Customer)",
        "Inner Join SrDt D On (D.SrHd = H.Id)",
        "Inner Join Product P On (P.Id = D.product)",
        "Inner Join Productunits u On (U.Id = D.ProductUnits)",
        "Where (H.Delflag = 'N') And (C.Code = :CusCode)",
        "And (H.SrDate Between :BeginConsigDate And :EndConsigDate)",
        "Order By Prodname, DocDate, DocType",
    },
};

const Statement QRPOnhand{
    "QRPOnhand",
    {
        "Select U.BarCode , Cast(P.ThaiName As nVarchar(160)) Prodname",
        ", Cast(U.UnitName As nVarchar(20)) UnitName ,",
        "Dbo.Tarvo_RPFloat(Sum(H.Quantity)) Quantity",
        "From  ProductOnhandCustomer H",
        "Inner Join Customer C On (C.Code=H.CusCode)",
        "Inner Join Product P On (P.Code=H.ProdCode)",
        "Inner Join ProductUnits U On (U.BarCode=H.Barcode And P.Id=U.Product)",
        "Where H.CusCode=:CusCode And (H.BalanceYear= :GetYear) And (H.PeriodNo = :GetPeriodNo)",
        "Group By P.Id, U.Id , C.Id , U.BarCode , P.ThaiName , U.UnitName",
        "Having Sum(H.Quantity) <> 0",
        "Order By P.ThaiName , U.UnitName",
    },
    {
        "Select U.BarCode , Cast(P.ThaiName As nVarchar(160)) Prodname",
        ", Cast(U.UnitName As nVarchar(20)) UnitName ,",
        "Tarvo_RPFloat(Sum(H.Quantity)) Quantity",
        "From  ProductOnhandCustomer H",
        "Inner Join Customer C On (C.Code=H.CusCode)",
        "Inner Join Product P On (P.Code=H.ProdCode)",
        "Inner Join ProductUnits U On (U.BarCode=H.Barcode And P.Id=U.Product)",
        "Where H.CusCode=:CusCode And (H.BalanceYear= :GetYear) And (H.PeriodNo = :GetPeriodNo)",
        "Group By P.Id, U.Id , C.Id , U.BarCode , P.ThaiName , U.UnitName",
        "Having Sum(H.Quantity) <> 0",
        "Order By P.ThaiName , U.UnitName",
    },
};

const Statement SaveConsignment{
    "SaveConsignment",
    {
        "Exec Save_Tarvo_Consignment :UserCode, :UserKeyIn ,:Customer, :ConsigType, :Barcode, :SerialNumber, :Quantity, :Price, "
        ":Chkfree, :OldPrice, :EditDate",
    },
    {},
};

const Statement SaveAdjustment{
    "SaveAdjustment",
    {
        "Exec Save_Tarvo_Consignment :UserCode, :UserKeyIn, :Customer, :ConsigType, :Barcode, :SerialNumber, :Quantity, :Price, "
        ":Chkfree, :OldPrice, :EditDate",
    },
    {},
};

const Statement QStoredRequests{
    "QStoredRequests",
    {
        "Select Cast(R.RequestId As VarChar(36)) RequestId",
        "From Tarvo_ConsignmentRequest R",
        "Inner Join Tarvo_Consignment Y On (Y.Id = R.Consignment)",
        "Where (Y.Customer = :Customer)",
        "And (Y.ConsigDate Between :FirstDate And :LastDate)",
    },
    {},
};

QList<const Statement *> all()
{
    return {&QBranch, &QUserKeyIn, &QProduct, &QRPProdDay, &QRPOnhand, &SaveConsignment, &SaveAdjustment, &QStoredRequests};
}

} // namespace ConsignmentSql
