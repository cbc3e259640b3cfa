Select Count(*) TakesRequestId
From sys.parameters
Where object_id = Object_Id('dbo.Save_Tarvo_Consignment') And name = '@RequestId'
