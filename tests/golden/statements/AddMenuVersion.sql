Alter Table Menu Add Version Integer
