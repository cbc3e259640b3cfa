#include "consignment/ConsignmentStore.h"

#include "consignment/ConsignmentRequestSql.h"
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/ServerErrors.h"

using namespace platform;

ConsignmentStore::ConsignmentStore(Database *company)
    : m_company(company)
    , m_save(std::make_unique<Query>(company))
    , m_requestIds(company)
{
    m_save->setObjectName(QStringLiteral("QSave"));
}

ConsignmentStore::~ConsignmentStore() = default;

SaveOutcome ConsignmentStore::save(const ConsignmentLine &line)
{
    if (!m_pendingLine || !(*m_pendingLine == line)) {
        m_pendingLine = line;
        m_pendingId = QUuid::createUuid();
    }
    for (int attempt = 0;; ++attempt) {
        bool withId = false;
        try {
            withId = m_requestIds.saveTakesRequestId();
            send(*m_save, line, withId ? m_pendingId : QUuid());
        } catch (const EOutcomeUnknown &e) {
            if (withId && attempt == 0)
                continue; // the same line, the same id, on the connection opened again
            // Still not known: the line stays pending with its id. The clerk is told which of
            // the two cases it is, and the log keeps the driver's words and the id.
            if (!withId)
                throw EOutcomeUnknown(QStringLiteral("%1: %2").arg(SaveRequestAnswer::lostWithoutId(), e.message()));
            throw EOutcomeUnknown(
                QStringLiteral("%1 (%2): %3")
                    .arg(SaveRequestAnswer::lostKeptWithId(), m_pendingId.toString(QUuid::WithoutBraces), e.message()));
        }
        // Only an answer ends the id: after a refusal, or a failure before anything was sent,
        // the unchanged line goes again with the same id, which the server has not stored.
        m_pendingLine.reset(); // stored now, or stored before under the same id
        return SaveOutcome::Stored;
    }
}

SaveRequestAnswer ConsignmentStore::send(Query &q, const ConsignmentLine &line, const QUuid &requestId)
{
    const bool withId = !requestId.isNull();
    if (withId)
        q.setStatement(ConsignmentRequestSql::SaveLineWithRequestId);
    else
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
    q.setTimeLimit(q.database()->settings().saveTimeoutSeconds);
    if (!withId) {
        q.execSql();
        return {};
    }
    q.setParam(QStringLiteral("RequestId"), requestId);
    q.open();
    const SaveRequestAnswer answer = SaveRequestAnswer::read(q);
    q.close();
    return answer;
}
