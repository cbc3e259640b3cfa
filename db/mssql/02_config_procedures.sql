-- Configuration database QLM_CONFIG: procedures. The suite's other programs use them too:
-- tarvo-dbinit creates one only where it is missing, and replaces an existing one only when told
-- to (--force, which runs the statement as Alter Procedure).
-- The caption of a menu entry and the user's rights on it. A user or menu that does not exist
-- gives empty outputs (and so no access).
Create Procedure dbo.MENUCAPTION
  @MENUID Int,
  @USERID Int,
  @CAPTION NVarChar(200) Output,
  @ACCESS_R NVarChar(1) Output,
  @ADD_R NVarChar(1) Output,
  @MODIFY_R NVarChar(1) Output,
  @DELETE_R NVarChar(1) Output,
  @USERCODE NVarChar(20) Output,
  @SALESID Int Output
As
Begin
  Set NoCount On
  Select @CAPTION = '', @ACCESS_R = '', @ADD_R = '', @MODIFY_R = '', @DELETE_R = '', @USERCODE = '', @SALESID = 0
  If Not Exists (Select Id From Menu Where Id = @MENUID) Return 0
  If Not Exists (Select Id From Username Where Id = @USERID) Return 0
  Select @CAPTION = Coalesce(Description, '') From Menu Where Id = @MENUID
  Select @USERCODE = Code, @SALESID = Coalesce(SalesId, 0) From Username Where Id = @USERID
  Select @ACCESS_R = Coalesce(Access_R, ''), @ADD_R = Coalesce(Add_R, ''),
         @MODIFY_R = Coalesce(Modify_R, ''), @DELETE_R = Coalesce(Delete_R, '')
    From UserMenuRight Where UserId = @USERID And MenuId = @MENUID
  Return 0
End
/
-- One error-log row, stamped with the server's clock.
Create Procedure dbo.AddErrorLog
  @CompName NVarChar(50),
  @LogName NVarChar(100),
  @UserId Int,
  @MenuId Int,
  @ErrorMsg NVarChar(Max)
As
Begin
  Set NoCount On
  Insert Into ErrorLog (CompName, LogName, Username, Menu, ErrorDate, ErrorMsg)
  Values (@CompName, @LogName, @UserId, @MenuId, GetDate(), @ErrorMsg)
  Return 0
End
/
