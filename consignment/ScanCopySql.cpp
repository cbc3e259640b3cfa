#include "consignment/ScanCopySql.h"

using namespace platform;

namespace ScanCopySql {

const Statement CompanyBarcodes{
    "CompanyBarcodes",
    {
        "Select U.BarCode, P.Code, Cast(P.ThaiName As nVarchar(160)) ProdName, P.UseSerial,",
        "Cast(U.UnitName As nVarchar(20)) UnitName, Coalesce(PP.Price, 0) Price, P.Blocked",
        "From Product P",
        "Inner Join ProductUnits U On (P.Id = U.Product)",
        "Left Join ProductPrice PP On (P.Id = PP.Product And U.Id = PP.ProductUnits And PP.PriceType = 19)",
        "Where U.BarCode <> ''",
        "Order By U.Id, PP.Id",
    },
    {},
};

const Statement CompanySerials{
    "CompanySerials",
    {
        "Select Y.Customer, P.Code, Upper(RTrim(Y.SerialNumber)) SerialKey",
        "From Tarvo_Consignment Y",
        "Inner Join Product P On (P.Id = Y.Product)",
        "Where P.UseSerial = 'Y' And RTrim(Coalesce(Y.SerialNumber, '')) <> ''",
        "Group By Y.Customer, P.Code, Upper(RTrim(Y.SerialNumber))",
        "Having Sum(Case Upper(Y.ConsigType) When 'S' Then 1 When 'R' Then -1 Else 0 End) > 0",
    },
    {},
};

// The copy's file. ScanBarcode holds each barcode's rows in the look-up's order (RowNo); its key
// serves the look-up. A refresh fills the *_New tables and then swaps them in, in one short
// transaction, so a scan reads either the old copy or the new one and never waits for the fill.
// ScanInfo: RefreshedAt (UTC, ISO 8601) and the number of rows copied.
namespace {
const QString barcodeColumns = QStringLiteral(
    " (BarCode Text Collate NoCase Not Null, RowNo Integer Not Null, ProdCode Text Not Null, ProdName Text Not Null,"
    " UnitName Text Not Null, UseSerial Text Not Null, Price Real Not Null, Blocked Text Not Null,"
    " Primary Key (BarCode, RowNo)) Without RowId;");
const QString branchColumns =
    QStringLiteral(" (RowNo Integer Primary Key, UserCode Text Not Null, CusCode Text Not Null, CusName Text Not Null,"
                   " CusId Integer Not Null);");
const QString serialColumns =
    QStringLiteral(" (Customer Integer Not Null, ProdCode Text Collate NoCase Not Null, SerialKey Text Not Null,"
                   " Primary Key (Customer, ProdCode, SerialKey)) Without RowId;");
} // namespace

const QString CreateSchema = QStringLiteral("Create Table If Not Exists ScanBarcode") + barcodeColumns +
    QStringLiteral("Create Table If Not Exists ScanBranch") + branchColumns +
    QStringLiteral("Create Table If Not Exists ScanSerial") + serialColumns +
    QStringLiteral("Create Table If Not Exists ScanInfo (Key Text Primary Key, Value Text)");

const QString CreateShadows = QStringLiteral("Drop Table If Exists ScanBarcode_New;"
                                             "Drop Table If Exists ScanBranch_New;"
                                             "Drop Table If Exists ScanSerial_New;"
                                             "Create Table ScanBarcode_New") +
    barcodeColumns + QStringLiteral("Create Table ScanBranch_New") + branchColumns +
    QStringLiteral("Create Table ScanSerial_New") + serialColumns;

const QString InsertBarcode =
    QStringLiteral("Insert Into ScanBarcode_New (BarCode, RowNo, ProdCode, ProdName, UnitName, UseSerial, Price, Blocked)"
                   " Values (?, ?, ?, ?, ?, ?, ?, ?)");
const QString InsertBranch =
    QStringLiteral("Insert Into ScanBranch_New (RowNo, UserCode, CusCode, CusName, CusId) Values (?, ?, ?, ?, ?)");
const QString InsertSerial =
    QStringLiteral("Insert Or Ignore Into ScanSerial_New (Customer, ProdCode, SerialKey) Values (?, ?, ?)");
const QString SetInfo = QStringLiteral("Insert Or Replace Into ScanInfo (Key, Value) Values (?, ?)");

const QString Swap = QStringLiteral("Drop Table ScanBarcode;"
                                    "Drop Table ScanBranch;"
                                    "Drop Table ScanSerial;"
                                    "Alter Table ScanBarcode_New Rename To ScanBarcode;"
                                    "Alter Table ScanBranch_New Rename To ScanBranch;"
                                    "Alter Table ScanSerial_New Rename To ScanSerial");

// The last row of the barcode, as the entry pages take the last row of their look-up.
const QString LookUp = QStringLiteral("Select BarCode, ProdCode, ProdName, UnitName, UseSerial, Price, Blocked From ScanBarcode"
                                      " Where BarCode = ? Order By RowNo Desc Limit 1");
const QString Branches = QStringLiteral("Select UserCode, CusCode, CusName, CusId From ScanBranch Order By RowNo");
const QString SerialOnSale =
    QStringLiteral("Select Count(*) From ScanSerial Where Customer = ? And ProdCode = ? And SerialKey = Upper(RTrim(?, ' '))");
const QString Info = QStringLiteral("Select Value From ScanInfo Where Key = ?");

QList<const Statement *> all()
{
    return {&CompanyBarcodes, &CompanySerials};
}

} // namespace ScanCopySql
