If (Not Exists(Select Name From SysColumns
               Where Id = (Select Id From SysObjects Where Ltrim(Rtrim(Upper(Name))) = 'MENU') And
                     Ltrim(Rtrim(Upper(Name)))='VERSION'))
  Begin
    Alter Table Menu Add Version Integer
  End
