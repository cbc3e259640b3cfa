Select Cast(R.RequestId As VarChar(36)) RequestId
From Tarvo_ConsignmentRequest R
Inner Join Tarvo_Consignment Y On (Y.Id = R.Consignment)
Where (Y.Customer = :Customer)
And (Y.ConsigDate Between :FirstDate And :LastDate)
