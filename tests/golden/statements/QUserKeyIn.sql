Select U.Code UserCode
from QLM_Config.Dbo.Username U
Where U.Id = :UserId
