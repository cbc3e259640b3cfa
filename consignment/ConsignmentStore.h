#pragma once

#include "consignment/LineStore.h"
#include "data/RequestIdSupport.h"
#include "data/SaveRequestAnswer.h"

#include <QUuid>
#include <memory>
#include <optional>

namespace platform {
class Database;
class Query;
} // namespace platform

// Where the consignment screen's lines go: one call of Save_Tarvo_Consignment on the company
// database per line, with the text of the line's page, bounded by QLM.INI's SaveTimeout.
//
// When the server's procedure takes a request id, a line gets one when it is first handed over
// and keeps it until it is stored (handed over again unchanged after a refusal, it keeps it too:
// the server never stored it under that id). A lost answer (EOutcomeUnknown: the link broke, the
// wait ran out) is resolved by sending the same line with the same id once more on the connection
// opened again: the procedure stores it or says it already has. If that answer is lost too,
// EOutcomeUnknown leaves save() with SaveRequestAnswer::lostKeptWithId()'s words and the line
// stays pending: handed over again unchanged, it goes with the same id. Without the id the
// eleven-value call is never sent twice by the store; its lost answer leaves save() with
// lostWithoutId()'s words. A failure leaves save() as the database's exception, for the
// application-wide handling.
class ConsignmentStore : public LineStore
{
public:
    explicit ConsignmentStore(platform::Database *company);
    ~ConsignmentStore() override;
    ConsignmentStore(const ConsignmentStore &) = delete;
    ConsignmentStore &operator=(const ConsignmentStore &) = delete;

    SaveOutcome save(const ConsignmentLine &line) override;
    // The id of the line whose outcome is not known yet (null: none).
    QUuid pendingRequestId() const { return m_pendingLine ? m_pendingId : QUuid(); }

    // One call of Save_Tarvo_Consignment for the line on save's connection, bounded by QLM.INI's
    // SaveTimeout: with a request id the twelve-value call, whose answer it returns; with a null
    // id the eleven-value call of the line's page (the answer then says nothing).
    static SaveRequestAnswer send(platform::Query &save, const ConsignmentLine &line, const QUuid &requestId);

private:
    platform::Database *m_company;
    std::unique_ptr<platform::Query> m_save; // QSave: its statement is set at each save
    RequestIdSupport m_requestIds;
    std::optional<ConsignmentLine> m_pendingLine;
    QUuid m_pendingId;
};
