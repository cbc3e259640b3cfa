Select Y.Customer, P.Code, Upper(RTrim(Y.SerialNumber)) SerialKey
From Tarvo_Consignment Y
Inner Join Product P On (P.Id = Y.Product)
Where P.UseSerial = 'Y' And RTrim(Coalesce(Y.SerialNumber, '')) <> ''
Group By Y.Customer, P.Code, Upper(RTrim(Y.SerialNumber))
Having Sum(Case Upper(Y.ConsigType) When 'S' Then 1 When 'R' Then -1 Else 0 End) > 0
