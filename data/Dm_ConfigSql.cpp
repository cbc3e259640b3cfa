#include "data/Dm_ConfigSql.h"

using namespace platform;

namespace DmConfigSql {

const Statement QCompanyConfig{
    "QCompanyConfig",
    {
        "SELECT C.Company, C.PicturePath, C.Public_Price_IE, C.DefaultWh,",
        "  C.POS1_Wh, C.POS1_TaxCode, C.POS1_Price_IE, C.POS1_PriceType,",
        "  C.POS1_SumDetail, C.DefaultPosComPort,C.DefaultTax,",
        "  C.DefaultPosMenuId,M.Command,M.MenuOption,",
        "  O.Description, O.YearNo,",
        "  P.Id, P.Code, P.Password, P.NameThai, P.NameEng, P.ShortName,",
        "  P.Address1, P.Address2, P.Address3, P.Address4, P.Province, P.Zip,",
        "  P.Telephone, P.Fax, P.EMail, P.Logo, P.TaxNo, P.InstallDate, P.RunYear,",
        "  P.LocalServer,P.FUNDNAME, P.TaxBranchHead, P.TaxBranchCode, P.TaxBranchName",
        "FROM CompanyConfig C",
        "Inner Join DatabaseList O On (O.Company = C.Company) ",
        "Inner Join Company P On (P.Id = O.Company)",
        "Left Outer Join Menu M On (M.Id = C.DefaultPosMenuId)",
        "Where (O.DatabaseName = :GetName)",
    },
    {},
};

const Statement QCompany{
    "QCompany",
    {
        "SELECT ID,CODE, PASSWORD, NAMETHAI, NAMEENG, SHORTNAME, ",
        "  ADDRESS1, ADDRESS2, ADDRESS3, ADDRESS4, PROVINCE, ZIP, ",
        "  TELEPHONE, FAX, EMAIL, LOGO, TAXNO, RUNYEAR,FUNDNAME, Coalesce(TaxBranchHead, 'N') TaxBranchHead, "
        "Coalesce(TaxBranchCode, '') TaxBranchCode, TaxBranchName",
        "FROM COMPANY",
        "Where (Id = (Select Distinct Company From DatabaseList Where DatabaseName = :GetName))",
    },
    {},
};

const Statement QSoftware{"QSoftware", {"select *", "from softwareconfig"}, {}};

const Statement QUser{
    "QUser",
    {
        "select fullname,languageno,EditSalePrice,Approve_Quo,Approve_SO,Approve_IV,Approve_PO, Approved_PORQ,",
        "       ApproveTranWH,ApproveTranBranch,ApproveWorkOrder,CanSeeCost,CanSeeSalePrice,CanModifyCusSale,",
        "       Approve_PreIs, CanModifyCusSale, ApproveCustomerDropUse, ApproveCustomerDropCredit,",
        "       CanModifyCredit, CanSetProductBlock, CanSetProductMinus, CanSaleCreditOnReturnCheque",
        "from  username",
        "where id=:uid",
    },
    {},
};

const Statement QError{
    "QError",
    {
        "select u.code,m.description,errordate,errormsg",
        "from errorlog e",
        "inner join menu m on m.id=e.menu",
        "inner join username u on u.id=e.username",
        "order by errordate desc",
    },
    {},
};

const Statement SQLUpdateMenuVersion{
    "SQLUpdateMenuVersion",
    {
        "If (Not Exists(Select Name From SysColumns",
        "               Where Id = (Select Id From SysObjects Where Ltrim(Rtrim(Upper(Name))) = 'MENU') And",
        "                     Ltrim(Rtrim(Upper(Name)))='VERSION'))",
        "  Begin",
        "    Alter Table Menu Add Version Integer",
        "  End",
    },
    {},
};

const Statement SQLUpdateMenuFill{
    "SQLUpdateMenuFill",
    {"Update Menu Set Version = 3 Where Version Is Null And Command Is Not Null"},
    {},
};

const Statement MenuVersionColumn{
    "MenuVersionColumn",
    {"Select Count(*) N From SysColumns Where Id = Object_Id('Menu') And Upper(Name) = 'VERSION'"},
    {"Select Count(*) N From pragma_table_info('Menu') Where Upper(name) = 'VERSION'"},
};

const Statement AddMenuVersion{"AddMenuVersion", {"Alter Table Menu Add Version Integer"}, {}};

QList<const Statement *> all()
{
    return {&QCompanyConfig,       &QCompany,          &QSoftware,         &QUser,         &QError,
            &SQLUpdateMenuVersion, &SQLUpdateMenuFill, &MenuVersionColumn, &AddMenuVersion};
}

} // namespace DmConfigSql
