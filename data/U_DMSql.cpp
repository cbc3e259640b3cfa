#include "data/U_DMSql.h"

using namespace platform;

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

// On the embedded engine the procedure is the program's own and always takes the id; it needs
// the key table, which a database file made before it lacks until tarvo-dbinit has run on it.
const Statement QTakesRequestId{
    "QTakesRequestId",
    {
        "Select Count(*) TakesRequestId",
        "From sys.parameters",
        "Where object_id = Object_Id('dbo.Save_Tarvo_Consignment') And name = '@RequestId'",
    },
    {
        "Select Count(*) TakesRequestId",
        "From sqlite_master",
        "Where type = 'table' And name = 'Tarvo_ConsignmentRequest'",
    },
};

QList<const Statement *> all()
{
    return {&QConfig, &QchkPeriod, &QProgramSetup, &QUnitFraction, &QTakesRequestId};
}

} // namespace UDMSql
