-- Company database on the embedded engine: the same tables and indexes as on SQL Server.
-- Text compares without regard to case, as on SQL Server; dates are stored as 'YYYY-MM-DD'
-- text, date-times as 'YYYY-MM-DD HH:MM:SS'. A second run changes nothing.
Create Table If Not Exists Config (
  Id Integer Not Null Primary Key,
  IvRefSO Text, MrRefPO Text, EditPricePO Text, ShowProductPriceList Text,
  SearchProductMethod Integer,
  ShowLastSearch Text,
  OnhandDecimal Integer,
  UnitLeft Text,
  UnitRight Text
);
Create Table If Not Exists AccountPeriod (
  AccountYear Integer Not Null Primary Key,
  BeginDate Text Not Null,
  EndDate Text Not Null,
  Closed Text
);
Create Table If Not Exists ProgramSetup (
  Id Integer Not Null Primary Key,
  ConfigString Text
);
Create Table If Not Exists Customer (
  Id Integer Not Null Primary Key,
  Code Text Collate NoCase Not Null,
  NameThai Text Collate NoCase,
  NameShort Text Collate NoCase
);
Create Unique Index If Not Exists IX_Customer_Code On Customer (Code);
Create Table If Not Exists Product (
  Id Integer Not Null Primary Key,
  Code Text Collate NoCase Not Null,
  ThaiName Text Collate NoCase Not Null,
  EngName Text Collate NoCase,
  UseSerial Text Not Null Default 'N',
  Blocked Text Not Null Default 'N'
);
Create Unique Index If Not Exists IX_Product_Code On Product (Code);
Create Index If Not Exists IX_Product_ThaiName On Product (ThaiName);
Create Table If Not Exists ProductUnits (
  Id Integer Not Null Primary Key,
  Product Integer Not Null,
  UnitName Text Collate NoCase Not Null,
  BarCode Text Collate NoCase,
  Fraction Integer Not Null Default 1,
  SmallUnitFlag Text Not Null Default 'N'
);
Create Index If Not Exists IX_ProductUnits_BarCode On ProductUnits (BarCode);
Create Index If Not Exists IX_ProductUnits_Product On ProductUnits (Product, Fraction);
Create Table If Not Exists ProductPrice (
  Id Integer Not Null Primary Key,
  Product Integer Not Null,
  ProductUnits Integer Not Null,
  PriceType Integer Not Null,
  Price Real
);
Create Index If Not Exists IX_ProductPrice_Unit On ProductPrice (ProductUnits, PriceType);
Create Table If Not Exists IvHd (
  Id Integer Not Null Primary Key,
  DocNo Text Collate NoCase,
  IvDate Text Not Null,
  Customer Integer Not Null,
  IvType Text Not Null Default 'N',
  NotCutStock Text Not Null Default 'N',
  Delflag Text Not Null Default 'N'
);
Create Index If Not Exists IX_IvHd_Customer On IvHd (Customer, IvDate);
Create Table If Not Exists IvDt (
  Id Integer Not Null Primary Key,
  IvHd Integer Not Null,
  Product Integer Not Null,
  ProductUnits Integer Not Null,
  Quantity Real Not Null,
  Fraction Integer Not Null Default 1,
  Price Real,
  SoDt Integer,
  IvdtB Integer
);
Create Index If Not Exists IX_IvDt_IvHd On IvDt (IvHd);
Create Index If Not Exists IX_IvDt_SoDt On IvDt (SoDt);
-- A product's invoice lines with what the back-order sums read (replaces IX_IvDt_Product).
Drop Index If Exists IX_IvDt_Product;
Create Index If Not Exists IX_IvDt_ProductLines On IvDt (Product, IvHd, SoDt, IvdtB, Quantity, Fraction);
Create Table If Not Exists SrHd (
  Id Integer Not Null Primary Key,
  DocNo Text Collate NoCase,
  SrDate Text Not Null,
  Customer Integer Not Null,
  Delflag Text Not Null Default 'N'
);
Create Index If Not Exists IX_SrHd_Customer On SrHd (Customer, SrDate);
Create Table If Not Exists SrDt (
  Id Integer Not Null Primary Key,
  SrHd Integer Not Null,
  Product Integer Not Null,
  ProductUnits Integer Not Null,
  Quantity Real Not Null,
  Price Real
);
Create Index If Not Exists IX_SrDt_SrHd On SrDt (SrHd);
Create Table If Not Exists SoHd (
  Id Integer Not Null Primary Key,
  DocNo Text Collate NoCase,
  SoDate Text Not Null,
  Customer Integer Not Null
);
Create Table If Not Exists SoDt (
  Id Integer Not Null Primary Key,
  SoHd Integer Not Null,
  Product Integer Not Null,
  ProductUnits Integer Not Null,
  Quantity Real Not Null,
  Fraction Integer Not Null Default 1,
  Clear Text Not Null Default 'N'
);
Create Index If Not Exists IX_SoDt_Product On SoDt (Product);
Create Table If Not Exists PosHeader (
  Id Integer Not Null Primary Key,
  SoHd Integer
);
Create Table If Not Exists ProductOnHand (
  Id Integer Not Null Primary Key,
  Product Integer Not Null,
  BalanceYear Integer Not Null,
  PeriodNo Integer Not Null,
  Quantity Real Not Null
);
Create Index If Not Exists IX_ProductOnHand_Product On ProductOnHand (Product, BalanceYear);
Create Table If Not Exists ProductOnhandCustomer (
  CusCode Text Collate NoCase Not Null,
  ProdCode Text Collate NoCase Not Null,
  Barcode Text Collate NoCase Not Null,
  BalanceYear Integer Not Null,
  PeriodNo Integer Not Null,
  Quantity Real Not Null,
  Primary Key (CusCode, BalanceYear, PeriodNo, ProdCode, Barcode)
);
Create Table If Not Exists Tarvo_Consignment (
  Id Integer Primary Key AutoIncrement,
  UserCode Text Collate NoCase Not Null,
  UserKeyIn Text Collate NoCase,
  Customer Integer Not Null,
  ConsigType Text Collate NoCase Not Null,
  Product Integer Not Null,
  ProductUnits Integer Not Null,
  Barcode Text Collate NoCase Not Null,
  SerialNumber Text Collate NoCase,
  Quantity Real Not Null,
  Price Real,
  ChkFree Text Not Null,
  OldPrice Real,
  ConsigDate Text Not Null,
  CreateTime Text Not Null
);
Create Index If Not Exists IX_Tarvo_Consignment_Customer On Tarvo_Consignment (Customer, ConsigDate);
Create Index If Not Exists IX_Tarvo_Consignment_Serial On Tarvo_Consignment (Customer, Product, SerialNumber);
-- The request id of each line saved with one (see db/mssql/03_company_schema.sql): lower-case
-- text without braces, as QUuid writes it.
Create Table If Not Exists Tarvo_ConsignmentRequest (
  RequestId Text Not Null Primary Key,
  Consignment Integer Not Null,
  Workstation Text,
  CreateTime Text Not Null
);
Create Table If Not Exists UserLog (
  Id Integer Primary Key AutoIncrement,
  UserId Integer Not Null,
  MenuId Integer Not Null,
  FunctionListId Integer Not Null,
  DocumentId Integer,
  Remark Text,
  LogTime Text Not Null
);
-- Quota groups with their price, and each customer's quota by year and group. A quota is
-- counted in small units of its product unit (ProductUnits), which names the product.
Create Table If Not Exists Tarvo_QuotaGroup (
  Id Integer Not Null Primary Key,
  Code Text Collate NoCase Not Null,
  NameThai Text Collate NoCase Not Null,
  GroupPrice Real Not Null Default 0
);
Create Unique Index If Not Exists IX_Tarvo_QuotaGroup_Code On Tarvo_QuotaGroup (Code);
Create Table If Not Exists Tarvo_CustomerQuota (
  Id Integer Primary Key AutoIncrement,
  Customer Integer Not Null,
  QuotaYear Integer Not Null,
  QuotaGroup Integer Not Null,
  ProductUnits Integer Not Null,
  Quantity Real Not Null
);
Create Unique Index If Not Exists IX_Tarvo_CustomerQuota_Year On Tarvo_CustomerQuota (QuotaYear, Customer, QuotaGroup);
