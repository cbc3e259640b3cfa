#include "consignment/ConsignmentRequestSql.h"

using namespace platform;

namespace ConsignmentRequestSql {

const Statement SaveLineWithRequestId{
    "SaveLineWithRequestId",
    {
        "Exec Save_Tarvo_Consignment :UserCode, :UserKeyIn, :Customer, :ConsigType, :Barcode, :SerialNumber, :Quantity, :Price, "
        ":Chkfree, :OldPrice, :EditDate, :RequestId",
    },
    {},
};

QList<const Statement *> all()
{
    return {&SaveLineWithRequestId};
}

} // namespace ConsignmentRequestSql
