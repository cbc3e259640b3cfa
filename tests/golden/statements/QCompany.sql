SELECT ID,CODE, PASSWORD, NAMETHAI, NAMEENG, SHORTNAME, 
  ADDRESS1, ADDRESS2, ADDRESS3, ADDRESS4, PROVINCE, ZIP, 
  TELEPHONE, FAX, EMAIL, LOGO, TAXNO, RUNYEAR,FUNDNAME, Coalesce(TaxBranchHead, 'N') TaxBranchHead, Coalesce(TaxBranchCode, '') TaxBranchCode, TaxBranchName
FROM COMPANY
Where (Id = (Select Distinct Company From DatabaseList Where DatabaseName = :GetName))
