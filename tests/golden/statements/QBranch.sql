Select U.Code UserCode, C.Code CusCode, LTrim(RTrim(C.NameShort)) CusName , C.Id CusId
from QLM_Config.Dbo.Username U
Inner Join Customer C On (C.Code = U.CusCodeTablet)
Where (LTrim(Rtrim(Coalesce(U.CusCodeTablet, ''))) <> '')
And(U.Code <> 'QLM')
Order By U.Code
