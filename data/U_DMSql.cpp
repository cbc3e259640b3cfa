#include "data/U_DMSql.h"

namespace UDMSql {

const Statement QConfig{"QConfig", {"SELECT   *", "FROM Config"}, {}};

const Statement QchkPeriod{"QchkPeriod", {"select  * ", "from accountperiod", "order by accountyear desc"}, {}};

const Statement QProgramSetup{"QProgramSetup", {"SELECT ConfigString", "FROM ProgramSetup"}, {}};

const Statement QUnitFraction{
    "QUnitFraction",
    {
        "SELECT U.UnitName LUnit, U.Fraction, M.UnitName SUnit, U.Product IdProd",
        "FROM ProductUnits U",
        "Inner Join ProductUnits M On ((U.Product = M.Product) And (M.SmallUnitFlag = 'Y'))",
        "Where (U.Id = :GetUnit)",
    },
    {},
};

QList<const Statement *> all()
{
    return {&QConfig, &QchkPeriod, &QProgramSetup, &QUnitFraction};
}

} // namespace UDMSql
