#pragma once

#include "consignment/ConsignmentLine.h"

#include <memory>

class Database;
class Query;

// What became of a line handed to the store.
enum class SaveOutcome {
    Stored, // the procedure ran: the line is in the company database
};

// Where the consignment screen's lines go: one call of Save_Tarvo_Consignment on the company
// database per line, with the text of the line's page. A failure of the call leaves save() as
// the database's exception, for the application-wide handling; the store keeps nothing of a
// line between calls.
class ConsignmentStore
{
public:
    explicit ConsignmentStore(Database *company);
    ~ConsignmentStore();
    ConsignmentStore(const ConsignmentStore &) = delete;
    ConsignmentStore &operator=(const ConsignmentStore &) = delete;

    SaveOutcome save(const ConsignmentLine &line);

private:
    std::unique_ptr<Query> m_save; // QSave: its statement is set at each save
};
