Select U.BarCode , Cast(P.ThaiName As nVarchar(160)) Prodname
, Cast(U.UnitName As nVarchar(20)) UnitName ,
Dbo.Tarvo_RPFloat(Sum(H.Quantity)) Quantity
From  ProductOnhandCustomer H
Inner Join Customer C On (C.Code=H.CusCode)
Inner Join Product P On (P.Code=H.ProdCode)
Inner Join ProductUnits U On (U.BarCode=H.Barcode And P.Id=U.Product)
Where H.CusCode=:CusCode And (H.BalanceYear= :GetYear) And (H.PeriodNo = :GetPeriodNo)
Group By P.Id, U.Id , C.Id , U.BarCode , P.ThaiName , U.UnitName
Having Sum(H.Quantity) <> 0
Order By P.ThaiName , U.UnitName
