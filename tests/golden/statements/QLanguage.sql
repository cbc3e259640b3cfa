Select LanguageNo
From UserName
Where (Id = :IdUser)
