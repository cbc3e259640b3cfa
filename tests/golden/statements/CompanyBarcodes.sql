Select U.BarCode, P.Code, Cast(P.ThaiName As nVarchar(160)) ProdName, P.UseSerial,
Cast(U.UnitName As nVarchar(20)) UnitName, Coalesce(PP.Price, 0) Price, P.Blocked
From Product P
Inner Join ProductUnits U On (P.Id = U.Product)
Left Join ProductPrice PP On (P.Id = PP.Product And U.Id = PP.ProductUnits And PP.PriceType = 19)
Where U.BarCode <> ''
Order By U.Id, PP.Id
