Select Count(*) N From SysColumns Where Id = Object_Id('Menu') And Upper(Name) = 'VERSION'
