Select 1 DocType, H.IvDate DocDate, U.BarCode, 'รับสินค้าจาก สนญ 'ConsigTypeText, P.ThaiName ProdName, U.UnitName, -D.Quantity Quantity, D.Price, 0 Total
From IvHd H
Inner Join Customer C On (C.Id = H.Customer)
Inner Join IvDt D On (D.IvHD = H.Id)
Inner Join Product P On (P.Id = D.product)
Inner Join Productunits u On (U.Id = D.ProductUnits)
Where (H.Delflag = 'N') And (C.Code = :CusCode)
And (H.IvDate Between :BeginConsigDate And :EndConsigDate)
Union All
Select 2 DocType, Y.ConsigDate DocDate, Y.Barcode
,(Case
When  Y.ConsigType = 'S' Then 'ขาย'
When Y.ConsigType= 'R' Then 'รับคืน'
When (Y.ConsigType= 'A') And (Y.Quantity>0)Then 'ปรับปรุง+'
When (Y.ConsigType= 'A') And (Y.Quantity<0)Then 'ปรุบปรุง-'
Else 'ไม่ระบุ'
End) ConsigTypeText
,Cast(P.ThaiName As nVarchar(160)) Prodname
,Cast(U.UnitName As nVarchar(20)) UnitName
,(Case When Y.ConsigType = 'R'Then Dbo.Tarvo_RPFloat((Y.Quantity))*(-1)
Else  Dbo.Tarvo_RPFloat((Y.Quantity))
End)Quantity
,Dbo.Tarvo_RPFloat((Coalesce(Y.Price,0)))  Price
,(Case When Y.ConsigType = 'R' Then Dbo.Tarvo_RPFloat(((Y.Quantity)* (Coalesce(Y.Price,0))))*(-1)
Else  Dbo.Tarvo_RPFloat(((Y.Quantity)* (Coalesce(Y.Price,0))))
End) Total
From Tarvo_Consignment Y
Inner Join Product P On (Y.Product=P.Id)
Inner Join ProductUnits U On (Y.ProductUnits=U.Id)
Where ( Y.ConsigDate Between :BeginConsigDate And :EndConsigDate )
And ((Select Code From Customer Where Id = Y.Customer) = :CusCode)
Union All
Select 3 DocType, H.SrDate DocDate, U.BarCode, 'ส่งคืน สนญ'ConsigTypeText, P.ThaiName ProdName, U.UnitName, D.Quantity Quantity, D.Price, 0 Total
From SrHd H
Inner Join Customer C On (C.Id = H.Customer)
Inner Join SrDt D On (D.SrHd = H.Id)
Inner Join Product P On (P.Id = D.product)
Inner Join Productunits u On (U.Id = D.ProductUnits)
Where (H.Delflag = 'N') And (C.Code = :CusCode)
And (H.SrDate Between :BeginConsigDate And :EndConsigDate)
Order By Prodname, DocDate, DocType
