Select P.Code , Cast(P.ThaiName As nVarchar(160)) Prodname , P.UseSerial ,
Cast(U.UnitName As nVarchar(20))  UnitName  , U.BarCode , Coalesce( PP.Price,0) Price
From Product P
Left Join ProductUnits U On (P.Id = U.Product)
Left Join ProductPrice PP On (P.Id=PP.Product And U.Id=PP.ProductUnits And PP.PriceType=19)
Where U.BarCode <>'' And U.Barcode = :Barcode
