-- Company database: tables and indexes. Every statement is guarded, so a second run changes
-- nothing. Statements are separated by lines holding only "/".
If Not Exists (Select * From sys.tables Where name = 'Config')
  Create Table Config (
    Id Int Not Null Primary Key,
    IvRefSO Char(1) Null,
    MrRefPO Char(1) Null,
    EditPricePO Char(1) Null,
    ShowProductPriceList Char(1) Null,
    SearchProductMethod Int Null,
    ShowLastSearch NVarChar(5) Null,
    OnhandDecimal Int Null,
    UnitLeft NVarChar(10) Null,
    UnitRight NVarChar(10) Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'AccountPeriod')
  Create Table AccountPeriod (
    AccountYear Int Not Null Primary Key,
    BeginDate DateTime Not Null,
    EndDate DateTime Not Null,
    Closed Char(1) Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'ProgramSetup')
  Create Table ProgramSetup (
    Id Int Not Null Primary Key,
    ConfigString NVarChar(500) Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'Customer')
  Create Table Customer (
    Id Int Not Null Primary Key,
    Code NVarChar(20) Not Null,
    NameThai NVarChar(200) Null,
    NameShort NVarChar(100) Null
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_Customer_Code')
  Create Unique Index IX_Customer_Code On Customer (Code)
/
If Not Exists (Select * From sys.tables Where name = 'Product')
  Create Table Product (
    Id Int Not Null Primary Key,
    Code NVarChar(30) Not Null,
    ThaiName NVarChar(160) Not Null,
    EngName NVarChar(160) Null,
    UseSerial Char(1) Not Null Default 'N',
    Blocked Char(1) Not Null Default 'N'
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_Product_Code')
  Create Unique Index IX_Product_Code On Product (Code)
/
If Not Exists (Select * From sys.indexes Where name = 'IX_Product_ThaiName')
  Create Index IX_Product_ThaiName On Product (ThaiName)
/
If Not Exists (Select * From sys.tables Where name = 'ProductUnits')
  Create Table ProductUnits (
    Id Int Not Null Primary Key,
    Product Int Not Null,
    UnitName NVarChar(20) Not Null,
    BarCode NVarChar(30) Null,
    Fraction Int Not Null Default 1,
    SmallUnitFlag Char(1) Not Null Default 'N'
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_ProductUnits_BarCode')
  Create Index IX_ProductUnits_BarCode On ProductUnits (BarCode)
/
If Not Exists (Select * From sys.indexes Where name = 'IX_ProductUnits_Product')
  Create Index IX_ProductUnits_Product On ProductUnits (Product, Fraction)
/
If Not Exists (Select * From sys.tables Where name = 'ProductPrice')
  Create Table ProductPrice (
    Id Int Not Null Primary Key,
    Product Int Not Null,
    ProductUnits Int Not Null,
    PriceType Int Not Null,
    Price Float Null
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_ProductPrice_Unit')
  Create Index IX_ProductPrice_Unit On ProductPrice (ProductUnits, PriceType)
/
If Not Exists (Select * From sys.tables Where name = 'IvHd')
  Create Table IvHd (
    Id Int Not Null Primary Key,
    DocNo NVarChar(20) Null,
    IvDate DateTime Not Null,
    Customer Int Not Null,
    IvType Char(1) Not Null Default 'N',
    NotCutStock Char(1) Not Null Default 'N',
    Delflag Char(1) Not Null Default 'N'
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_IvHd_Customer')
  Create Index IX_IvHd_Customer On IvHd (Customer, IvDate)
/
If Not Exists (Select * From sys.tables Where name = 'IvDt')
  Create Table IvDt (
    Id Int Not Null Primary Key,
    IvHd Int Not Null,
    Product Int Not Null,
    ProductUnits Int Not Null,
    Quantity Float Not Null,
    Fraction Int Not Null Default 1,
    Price Float Null,
    SoDt Int Null,
    IvdtB Int Null
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_IvDt_IvHd')
  Create Index IX_IvDt_IvHd On IvDt (IvHd)
/
If Not Exists (Select * From sys.indexes Where name = 'IX_IvDt_SoDt')
  Create Index IX_IvDt_SoDt On IvDt (SoDt)
/
-- A product's invoice lines with what the back-order sums read (replaces IX_IvDt_Product).
If Exists (Select * From sys.indexes Where name = 'IX_IvDt_Product' And object_id = Object_Id('IvDt'))
  Drop Index IX_IvDt_Product On IvDt
/
If Not Exists (Select * From sys.indexes Where name = 'IX_IvDt_ProductLines')
  Create Index IX_IvDt_ProductLines On IvDt (Product) Include (IvHd, SoDt, IvdtB, Quantity, Fraction)
/
If Not Exists (Select * From sys.tables Where name = 'SrHd')
  Create Table SrHd (
    Id Int Not Null Primary Key,
    DocNo NVarChar(20) Null,
    SrDate DateTime Not Null,
    Customer Int Not Null,
    Delflag Char(1) Not Null Default 'N'
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_SrHd_Customer')
  Create Index IX_SrHd_Customer On SrHd (Customer, SrDate)
/
If Not Exists (Select * From sys.tables Where name = 'SrDt')
  Create Table SrDt (
    Id Int Not Null Primary Key,
    SrHd Int Not Null,
    Product Int Not Null,
    ProductUnits Int Not Null,
    Quantity Float Not Null,
    Price Float Null
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_SrDt_SrHd')
  Create Index IX_SrDt_SrHd On SrDt (SrHd)
/
If Not Exists (Select * From sys.tables Where name = 'SoHd')
  Create Table SoHd (
    Id Int Not Null Primary Key,
    DocNo NVarChar(20) Null,
    SoDate DateTime Not Null,
    Customer Int Not Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'SoDt')
  Create Table SoDt (
    Id Int Not Null Primary Key,
    SoHd Int Not Null,
    Product Int Not Null,
    ProductUnits Int Not Null,
    Quantity Float Not Null,
    Fraction Int Not Null Default 1,
    Clear Char(1) Not Null Default 'N'
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_SoDt_Product')
  Create Index IX_SoDt_Product On SoDt (Product)
/
If Not Exists (Select * From sys.tables Where name = 'PosHeader')
  Create Table PosHeader (
    Id Int Not Null Primary Key,
    SoHd Int Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'ProductOnHand')
  Create Table ProductOnHand (
    Id Int Not Null Primary Key,
    Product Int Not Null,
    BalanceYear Int Not Null,
    PeriodNo Int Not Null,
    Quantity Float Not Null
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_ProductOnHand_Product')
  Create Index IX_ProductOnHand_Product On ProductOnHand (Product, BalanceYear)
/
If Not Exists (Select * From sys.tables Where name = 'ProductOnhandCustomer')
  Create Table ProductOnhandCustomer (
    CusCode NVarChar(20) Not Null,
    ProdCode NVarChar(30) Not Null,
    Barcode NVarChar(30) Not Null,
    BalanceYear Int Not Null,
    PeriodNo Int Not Null,
    Quantity Float Not Null,
    Constraint PK_ProductOnhandCustomer Primary Key (CusCode, BalanceYear, PeriodNo, ProdCode, Barcode)
  )
/
If Not Exists (Select * From sys.tables Where name = 'Tarvo_Consignment')
  Create Table Tarvo_Consignment (
    Id Int Identity(1, 1) Not Null Primary Key,
    UserCode NVarChar(20) Not Null,
    UserKeyIn NVarChar(20) Null,
    Customer Int Not Null,
    ConsigType Char(1) Not Null,
    Product Int Not Null,
    ProductUnits Int Not Null,
    Barcode NVarChar(30) Not Null,
    SerialNumber NVarChar(60) Null,
    Quantity Float Not Null,
    Price Float Null,
    ChkFree Char(1) Not Null,
    OldPrice Float Null,
    ConsigDate DateTime Not Null,
    CreateTime DateTime Not Null
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_Tarvo_Consignment_Customer')
  Create Index IX_Tarvo_Consignment_Customer On Tarvo_Consignment (Customer, ConsigDate)
/
If Not Exists (Select * From sys.indexes Where name = 'IX_Tarvo_Consignment_Serial')
  Create Index IX_Tarvo_Consignment_Serial On Tarvo_Consignment (Customer, Product, SerialNumber)
/
-- The request id of each consignment line saved with one: Save_Tarvo_Consignment stores the id
-- in the line's transaction and answers "already stored" when the same id comes again, so a
-- workstation that lost the answer can send the line once more without storing it twice. A
-- table of its own: Tarvo_Consignment and the suite's other programs that insert there stay
-- as they are.
If Not Exists (Select * From sys.tables Where name = 'Tarvo_ConsignmentRequest')
  Create Table Tarvo_ConsignmentRequest (
    RequestId UniqueIdentifier Not Null Primary Key,
    Consignment Int Not Null,
    Workstation NVarChar(128) Null,
    CreateTime DateTime Not Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'UserLog')
  Create Table UserLog (
    Id Int Identity(1, 1) Not Null Primary Key,
    UserId Int Not Null,
    MenuId Int Not Null,
    FunctionListId Int Not Null,
    DocumentId Int Null,
    Remark NVarChar(500) Null,
    LogTime DateTime Not Null
  )
/
-- Quota groups with their price, and each customer's quota by year and group. A quota is
-- counted in small units of its product unit (ProductUnits), which names the product.
If Not Exists (Select * From sys.tables Where name = 'Tarvo_QuotaGroup')
  Create Table Tarvo_QuotaGroup (
    Id Int Not Null Primary Key,
    Code NVarChar(20) Not Null,
    NameThai NVarChar(100) Not Null,
    GroupPrice Float Not Null Default 0
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_Tarvo_QuotaGroup_Code')
  Create Unique Index IX_Tarvo_QuotaGroup_Code On Tarvo_QuotaGroup (Code)
/
If Not Exists (Select * From sys.tables Where name = 'Tarvo_CustomerQuota')
  Create Table Tarvo_CustomerQuota (
    Id Int Identity(1, 1) Not Null Primary Key,
    Customer Int Not Null,
    QuotaYear Int Not Null,
    QuotaGroup Int Not Null,
    ProductUnits Int Not Null,
    Quantity Float Not Null
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_Tarvo_CustomerQuota_Year')
  Create Unique Index IX_Tarvo_CustomerQuota_Year On Tarvo_CustomerQuota (QuotaYear, Customer, QuotaGroup)
/
