#pragma once

#include "consignment/ConsignmentLine.h"

// What became of a line handed to a store.
enum class SaveOutcome {
    Stored,      // the line is in the company database
    KeptLocally, // written to this workstation's journal; it is sent by itself later
    Held,        // written to the journal, but it waits for a person: an earlier line with its
                 // serial number was refused and is not dealt with yet
    Refused,     // the company database refused it; the store's refusal() gives its words
};

// Where the consignment screen's lines go. ConsignmentStore sends each line to the company
// database; JournalStore writes it to the workstation's journal first (the offline mode).
// A failure the store cannot settle leaves save() as the database's exception.
class LineStore
{
public:
    virtual ~LineStore() = default;
    virtual SaveOutcome save(const ConsignmentLine &line) = 0;
    // The company database's words for the last line it refused (SaveOutcome::Refused).
    virtual QString refusal() const { return QString(); }
};
