SELECT U.UnitName LUnit, U.Fraction, M.UnitName SUnit, U.Product IdProd
FROM ProductUnits U
Inner Join ProductUnits M On ((U.Product = M.Product) And (M.SmallUnitFlag = 'Y'))
Where (U.Id = :GetUnit)
