#include "support/ScreenHelpers.h"

#include "consignment/ConsignmentStore.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "data/U_DM.h"
#include "platform/sql/Query.h"
#include "support/DemoDatabases.h"

using namespace platform;

TFrTarvoAdjAndConsignment *newConsignmentScreen(int userId)
{
    auto *s = new TFrTarvoAdjAndConsignment(DM->DMdata, std::make_unique<ConsignmentStore>(DM->DMdata));
    s->UserId = userId;
    return s;
}

double listPrice(DemoDatabases &dbs, const QString &barcode)
{
    Query q(&dbs.company());
    q.setStatement(ConsignmentSql::QProduct);
    q.setParam(QStringLiteral("Barcode"), barcode);
    q.open();
    q.last();
    return q.fieldByName(QStringLiteral("Price")).asFloat();
}
