SELECT C.Company, C.PicturePath, C.Public_Price_IE, C.DefaultWh,
  C.POS1_Wh, C.POS1_TaxCode, C.POS1_Price_IE, C.POS1_PriceType,
  C.POS1_SumDetail, C.DefaultPosComPort,C.DefaultTax,
  C.DefaultPosMenuId,M.Command,M.MenuOption,
  O.Description, O.YearNo,
  P.Id, P.Code, P.Password, P.NameThai, P.NameEng, P.ShortName,
  P.Address1, P.Address2, P.Address3, P.Address4, P.Province, P.Zip,
  P.Telephone, P.Fax, P.EMail, P.Logo, P.TaxNo, P.InstallDate, P.RunYear,
  P.LocalServer,P.FUNDNAME, P.TaxBranchHead, P.TaxBranchCode, P.TaxBranchName
FROM CompanyConfig C
Inner Join DatabaseList O On (O.Company = C.Company) 
Inner Join Company P On (P.Id = O.Company)
Left Outer Join Menu M On (M.Id = C.DefaultPosMenuId)
Where (O.DatabaseName = :GetName)
