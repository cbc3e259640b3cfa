-- Configuration database QLM_CONFIG on the embedded engine: the same tables as on SQL Server.
-- Text compares without regard to case, as on SQL Server; dates are stored as
-- 'YYYY-MM-DD HH:MM:SS' text. A second run changes nothing.
Create Table If Not Exists Menu (
  Id Integer Not Null Primary Key,
  Description Text Collate NoCase,
  Command Text Collate NoCase,
  MenuOption Text Collate NoCase
);
Create Table If Not Exists Username (
  Id Integer Not Null Primary Key,
  Code Text Collate NoCase Not Null,
  FullName Text Collate NoCase,
  LanguageNo Integer,
  SalesId Integer,
  CusCodeTablet Text Collate NoCase,
  EditSalePrice Text, Approve_Quo Text, Approve_SO Text, Approve_IV Text, Approve_PO Text,
  Approved_PORQ Text, ApproveTranWH Text, ApproveTranBranch Text, ApproveWorkOrder Text,
  CanSeeCost Text, CanSeeSalePrice Text, CanModifyCusSale Text, Approve_PreIs Text,
  ApproveCustomerDropUse Text, ApproveCustomerDropCredit Text, CanModifyCredit Text,
  CanSetProductBlock Text, CanSetProductMinus Text, CanSaleCreditOnReturnCheque Text
);
Create Index If Not Exists IX_Username_Code On Username (Code);
Create Table If Not Exists UserMenuRight (
  UserId Integer Not Null,
  MenuId Integer Not Null,
  Access_R Text,
  Add_R Text,
  Modify_R Text,
  Delete_R Text,
  Primary Key (UserId, MenuId)
);
Create Table If Not Exists Company (
  Id Integer Not Null Primary Key,
  Code Text Collate NoCase, Password Text,
  NameThai Text Collate NoCase, NameEng Text Collate NoCase, ShortName Text Collate NoCase,
  Address1 Text, Address2 Text, Address3 Text, Address4 Text,
  Province Text, Zip Text, Telephone Text, Fax Text, EMail Text,
  Logo Text, TaxNo Text, InstallDate Text, RunYear Integer, LocalServer Text, FUNDNAME Text,
  TaxBranchHead Text, TaxBranchCode Text, TaxBranchName Text
);
Create Table If Not Exists DatabaseList (
  DatabaseName Text Collate NoCase Not Null Primary Key,
  Company Integer Not Null,
  Description Text,
  YearNo Integer
);
Create Table If Not Exists CompanyConfig (
  Company Integer Not Null Primary Key,
  PicturePath Text, Public_Price_IE Text, DefaultWh Integer, POS1_Wh Integer,
  POS1_TaxCode Integer, POS1_Price_IE Text, POS1_PriceType Integer, POS1_SumDetail Text,
  DefaultPosComPort Text, DefaultTax Integer, DefaultPosMenuId Integer
);
Create Table If Not Exists SoftwareConfig (
  Id Integer Not Null Primary Key,
  SoftwareName Text,
  VersionNo Text
);
Create Table If Not Exists ErrorLog (
  Id Integer Primary Key AutoIncrement,
  CompName Text,
  LogName Text,
  Username Integer,
  Menu Integer,
  ErrorDate Text Not Null,
  ErrorMsg Text
);
