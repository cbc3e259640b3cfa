-- Configuration database QLM_CONFIG: tables. Every statement is guarded, so a second run
-- changes nothing. Statements are separated by lines holding only "/".
If Not Exists (Select * From sys.tables Where name = 'Menu')
  Create Table Menu (
    Id Int Not Null Primary Key,
    Description NVarChar(200) Null,
    Command NVarChar(200) Null,
    MenuOption NVarChar(50) Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'Username')
  Create Table Username (
    Id Int Not Null Primary Key,
    Code NVarChar(20) Not Null,
    FullName NVarChar(100) Null,
    LanguageNo Int Null,
    SalesId Int Null,
    CusCodeTablet NVarChar(20) Null,
    EditSalePrice Char(1) Null, Approve_Quo Char(1) Null, Approve_SO Char(1) Null,
    Approve_IV Char(1) Null, Approve_PO Char(1) Null, Approved_PORQ Char(1) Null,
    ApproveTranWH Char(1) Null, ApproveTranBranch Char(1) Null, ApproveWorkOrder Char(1) Null,
    CanSeeCost Char(1) Null, CanSeeSalePrice Char(1) Null, CanModifyCusSale Char(1) Null,
    Approve_PreIs Char(1) Null, ApproveCustomerDropUse Char(1) Null,
    ApproveCustomerDropCredit Char(1) Null, CanModifyCredit Char(1) Null,
    CanSetProductBlock Char(1) Null, CanSetProductMinus Char(1) Null,
    CanSaleCreditOnReturnCheque Char(1) Null
  )
/
If Not Exists (Select * From sys.indexes Where name = 'IX_Username_Code')
  Create Index IX_Username_Code On Username (Code)
/
If Not Exists (Select * From sys.tables Where name = 'UserMenuRight')
  Create Table UserMenuRight (
    UserId Int Not Null,
    MenuId Int Not Null,
    Access_R Char(1) Null,
    Add_R Char(1) Null,
    Modify_R Char(1) Null,
    Delete_R Char(1) Null,
    Constraint PK_UserMenuRight Primary Key (UserId, MenuId)
  )
/
If Not Exists (Select * From sys.tables Where name = 'Company')
  Create Table Company (
    Id Int Not Null Primary Key,
    Code NVarChar(20) Null, Password NVarChar(50) Null,
    NameThai NVarChar(200) Null, NameEng NVarChar(200) Null, ShortName NVarChar(50) Null,
    Address1 NVarChar(200) Null, Address2 NVarChar(200) Null,
    Address3 NVarChar(200) Null, Address4 NVarChar(200) Null,
    Province NVarChar(100) Null, Zip NVarChar(10) Null,
    Telephone NVarChar(50) Null, Fax NVarChar(50) Null, EMail NVarChar(100) Null,
    Logo NVarChar(200) Null, TaxNo NVarChar(20) Null, InstallDate DateTime Null,
    RunYear Int Null, LocalServer NVarChar(100) Null, FUNDNAME NVarChar(200) Null,
    TaxBranchHead Char(1) Null, TaxBranchCode NVarChar(10) Null, TaxBranchName NVarChar(100) Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'DatabaseList')
  Create Table DatabaseList (
    DatabaseName NVarChar(100) Not Null Primary Key,
    Company Int Not Null,
    Description NVarChar(200) Null,
    YearNo Int Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'CompanyConfig')
  Create Table CompanyConfig (
    Company Int Not Null Primary Key,
    PicturePath NVarChar(200) Null, Public_Price_IE Char(1) Null, DefaultWh Int Null,
    POS1_Wh Int Null, POS1_TaxCode Int Null, POS1_Price_IE Char(1) Null,
    POS1_PriceType Int Null, POS1_SumDetail Char(1) Null, DefaultPosComPort NVarChar(10) Null,
    DefaultTax Int Null, DefaultPosMenuId Int Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'SoftwareConfig')
  Create Table SoftwareConfig (
    Id Int Not Null Primary Key,
    SoftwareName NVarChar(100) Null,
    VersionNo NVarChar(20) Null
  )
/
If Not Exists (Select * From sys.tables Where name = 'ErrorLog')
  Create Table ErrorLog (
    Id Int Identity(1, 1) Not Null Primary Key,
    CompName NVarChar(50) Null,
    LogName NVarChar(100) Null,
    Username Int Null,
    Menu Int Null,
    ErrorDate DateTime Not Null,
    ErrorMsg NVarChar(Max) Null
  )
/
