Exec Save_Tarvo_Consignment :UserCode, :UserKeyIn, :Customer, :ConsigType, :Barcode, :SerialNumber, :Quantity, :Price, :Chkfree, :OldPrice, :EditDate, :RequestId
