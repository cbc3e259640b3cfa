#pragma once

#include "consignment/LineStore.h"

class OfflineMode;

// The offline mode's store: a line is written to the workstation's journal first (on the disk
// before save() goes on), then the sender is woken and the store waits a moment (QLM.INI
// [OFFLINE] SaveWait) for that line to settle, the window painting meanwhile and the clerk's keys kept for afterwards: stored (or
// already stored) → Stored; refused → Refused with the server's words, the line parked in the
// journal for a person; otherwise, or at once while the link is known to be down → KeptLocally,
// and the sender sends it by itself later. A line held behind a refused line with its serial
// number is not sent until a person deals with that one → Held.
class JournalStore : public LineStore
{
public:
    explicit JournalStore(OfflineMode &mode);

    SaveOutcome save(const ConsignmentLine &line) override;
    QString refusal() const override { return m_refusal; }

private:
    OfflineMode &m_mode;
    QString m_refusal;
};
