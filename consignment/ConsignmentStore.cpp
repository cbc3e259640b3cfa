#include "consignment/ConsignmentStore.h"

#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "platform/sql/Query.h"

ConsignmentStore::ConsignmentStore(Database *company)
    : m_save(std::make_unique<Query>(company))
{
    m_save->setObjectName(QStringLiteral("QSave"));
}

ConsignmentStore::~ConsignmentStore() = default;

SaveOutcome ConsignmentStore::save(const ConsignmentLine &line)
{
    Query &q = *m_save;
    q.setStatement(line.entry == ConsignmentLine::Entry::Adjustment ? ConsignmentSql::SaveAdjustment
                                                                    : ConsignmentSql::SaveConsignment);
    q.setParam(QStringLiteral("UserCode"), line.userCode);
    q.setParam(QStringLiteral("UserKeyIn"), line.userKeyIn);
    q.setParam(QStringLiteral("Customer"), line.customer);
    q.setParam(QStringLiteral("ConsigType"), line.consigType.toUpper().trimmed());
    q.setParam(QStringLiteral("Barcode"), line.barcode.trimmed());
    q.setParam(QStringLiteral("SerialNumber"), line.serialNumber);
    q.setParam(QStringLiteral("Quantity"), line.quantity);
    q.setParam(QStringLiteral("Price"), line.price);
    q.setParam(QStringLiteral("ChkFree"), line.chkFree());
    q.setParam(QStringLiteral("OldPrice"), line.oldPrice);
    q.setParam(QStringLiteral("EditDate"), line.editDate);
    q.execSql();
    return SaveOutcome::Stored;
}
