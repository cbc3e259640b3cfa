-- Company database: procedures and functions. tarvo-dbinit creates one only where it is missing,
-- and replaces an existing one only when told to (--force, which runs the statement as Alter).
-- A float as it should be shown: rounded half away from zero to 6 decimals, which removes the
-- binary noise of sums and products (0.1 * 3 gives 0.3, not 0.30000000000000004).
Create Function dbo.Tarvo_RPFloat(@Value Float)
Returns Float
As
Begin
  Return Round(@Value, 6)
End
/
-- The server's clock.
Create Procedure dbo.ServerTime
  @ServerTime DateTime Output
As
Begin
  Set NoCount On
  Set @ServerTime = GetDate()
  Return 0
End
/
-- One usage row, stamped with the server's clock.
Create Procedure dbo.UserAddLog
  @UserId Int,
  @MenuId Int,
  @FunctionListId Int,
  @DocumentId Int,
  @Remark NVarChar(500)
As
Begin
  Set NoCount On
  Insert Into UserLog (UserId, MenuId, FunctionListId, DocumentId, Remark, LogTime)
  Values (@UserId, @MenuId, @FunctionListId, @DocumentId, @Remark, GetDate())
  Return 0
End
/
-- Stores one consignment or adjustment line of a branch and keeps the branch's on-hand
-- balances in step with it. Refuses, storing nothing: an unknown customer, a type other than
-- S, R or A, an unknown barcode, a serial-numbered product without a serial number, and a serial
-- number that the branch has sold and not taken back since.
-- On-hand rule: the line changes the branch's balance of the product unit by -Quantity for a
-- sale (S) and by +Quantity for a take-back (R) and an adjustment (A, signed). The balance rows
-- of the line's year from the line's month (period) to period 12, and every row of a later year,
-- move by that amount; a missing row of those periods of the line's year is first created with
-- the balance of the latest earlier period of that year (0 when there is none).
-- Texts are trimmed of blanks (LTrim/RTrim) and compared as the server compares them: without
-- regard to trailing blanks or case. The embedded engine's twin (db/ServerObjects.cpp) does the
-- same. The serial check, the line and the balances are one transaction, and the rows checked or
-- created are locked (UpdLock, HoldLock) until it ends: two workstations saving the same serial
-- number or the same new balance row wait for each other instead of both passing the check.
-- Request id (optional, last): a caller that passes one learns what happened from one result
-- row, RequestOutcome 'Stored' (the line was stored now) or 'AlreadyStored' (a line was stored
-- for this id before: nothing changes), with ConsignmentId, the line's Id. The id is stored in
-- Tarvo_ConsignmentRequest in the line's transaction; the key row is read there with UpdLock,
-- HoldLock, so two sends of one id wait for each other and the second answers 'AlreadyStored'.
-- A known id is answered before the checks too: a line stored once is never refused on a resend
-- (its serial number is on sale now). Without an id the procedure returns no rows and behaves
-- as it always has.
Create Procedure dbo.Save_Tarvo_Consignment
  @UserCode NVarChar(20),
  @UserKeyIn NVarChar(20),
  @Customer Int,
  @ConsigType NVarChar(10),
  @Barcode NVarChar(30),
  @SerialNumber NVarChar(60),
  @Quantity Float,
  @Price Float,
  @ChkFree NVarChar(1),
  @OldPrice Float,
  @EditDate DateTime,
  @RequestId UniqueIdentifier = Null
As
Begin
  Set NoCount On
  Set Xact_Abort On
  Declare @Stored Int
  Declare @Line Int
  Declare @CusCode NVarChar(20)
  Declare @Type NVarChar(10)
  Declare @Code NVarChar(30)
  Declare @Unit Int
  Declare @Product Int
  Declare @ProdCode NVarChar(30)
  Declare @UseSerial Char(1)
  Declare @OnSale Int
  Declare @Day DateTime
  Declare @Year Int
  Declare @Period Int
  Declare @P Int
  Declare @Delta Float

  If @RequestId Is Not Null
  Begin
    Select @Stored = Consignment From Tarvo_ConsignmentRequest Where RequestId = @RequestId
    If @Stored Is Not Null
    Begin
      Select 'AlreadyStored' As RequestOutcome, @Stored As ConsignmentId
      Return 0
    End
  End

  Select @CusCode = Code From Customer Where Id = @Customer
  If @CusCode Is Null
  Begin
    RaisError('Cannot insert the value NULL into column ''Customer'', table ''Tarvo_Consignment''; column does not allow nulls. INSERT fails. Customer id %d is not a customer.', 16, 1, @Customer)
    Return 1
  End

  Set @Type = Upper(LTrim(RTrim(Coalesce(@ConsigType, ''))))
  If @Type Not In ('S', 'R', 'A')
  Begin
    RaisError('Consignment type ''%s'' is not S, R or A.', 16, 1, @Type)
    Return 1
  End

  Set @Code = LTrim(RTrim(Coalesce(@Barcode, '')))
  Select Top 1 @Unit = U.Id, @Product = P.Id, @ProdCode = P.Code, @UseSerial = P.UseSerial
  From ProductUnits U
  Inner Join Product P On (P.Id = U.Product)
  Where U.BarCode = @Code And U.BarCode <> ''
  Order By U.Id
  If @Unit Is Null
  Begin
    RaisError('Barcode ''%s'' is not a product unit.', 16, 1, @Code)
    Return 1
  End

  If @UseSerial = 'Y' And LTrim(RTrim(Coalesce(@SerialNumber, ''))) = ''
  Begin
    RaisError('Product %s has serial numbers: the serial number is missing.', 16, 1, @ProdCode)
    Return 1
  End

  Set @Day = DateAdd(Day, DateDiff(Day, 0, @EditDate), 0)
  Set @Year = Year(@Day)
  Set @Period = Month(@Day)
  Set @Delta = Case When @Type = 'S' Then -@Quantity Else @Quantity End

  Begin Transaction
  If @RequestId Is Not Null
  Begin
    Select @Stored = Consignment From Tarvo_ConsignmentRequest With (UpdLock, HoldLock)
    Where RequestId = @RequestId
    If @Stored Is Not Null
    Begin
      Commit Transaction
      Select 'AlreadyStored' As RequestOutcome, @Stored As ConsignmentId
      Return 0
    End
  End

  If @UseSerial = 'Y' And @Type = 'S'
  Begin
    Select @OnSale = Coalesce(Sum(Case ConsigType When 'S' Then 1 When 'R' Then -1 Else 0 End), 0)
    From Tarvo_Consignment With (UpdLock, HoldLock)
    Where Customer = @Customer And Product = @Product And SerialNumber = @SerialNumber
    If @OnSale > 0
    Begin
      Rollback Transaction
      RaisError('Cannot insert duplicate key row in object ''dbo.Tarvo_Consignment'' with unique index ''IX_Tarvo_Consignment_Serial''. The duplicate key value is (%d, %s, %s).', 16, 1, @Customer, @ProdCode, @SerialNumber)
      Return 1
    End
  End

  Insert Into Tarvo_Consignment (UserCode, UserKeyIn, Customer, ConsigType, Product, ProductUnits, Barcode,
    SerialNumber, Quantity, Price, ChkFree, OldPrice, ConsigDate, CreateTime)
  Values (Coalesce(@UserCode, ''), @UserKeyIn, @Customer, @Type, @Product, @Unit, @Code,
    @SerialNumber, @Quantity, @Price, Upper(Coalesce(@ChkFree, 'N')), @OldPrice, @Day, GetDate())
  Set @Line = Scope_Identity()
  If @RequestId Is Not Null
    Insert Into Tarvo_ConsignmentRequest (RequestId, Consignment, Workstation, CreateTime)
    Values (@RequestId, @Line, Host_Name(), GetDate())

  Set @P = @Period
  While @P <= 12
  Begin
    If Not Exists (Select Quantity From ProductOnhandCustomer With (UpdLock, HoldLock)
                   Where CusCode = @CusCode And ProdCode = @ProdCode And Barcode = @Code
                     And BalanceYear = @Year And PeriodNo = @P)
      Insert Into ProductOnhandCustomer (CusCode, ProdCode, Barcode, BalanceYear, PeriodNo, Quantity)
      Select @CusCode, @ProdCode, @Code, @Year, @P,
        Coalesce((Select Top 1 Quantity From ProductOnhandCustomer
                  Where CusCode = @CusCode And ProdCode = @ProdCode And Barcode = @Code
                    And BalanceYear = @Year And PeriodNo < @P
                  Order By PeriodNo Desc), 0)
    Set @P = @P + 1
  End

  Update ProductOnhandCustomer Set Quantity = Quantity + @Delta
  Where CusCode = @CusCode And ProdCode = @ProdCode And Barcode = @Code
    And ((BalanceYear = @Year And PeriodNo >= @Period) Or BalanceYear > @Year)
  Commit Transaction
  If @RequestId Is Not Null
    Select 'Stored' As RequestOutcome, @Line As ConsignmentId
  Return 0
End
/
