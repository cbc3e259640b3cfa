#pragma once

#include "consignment/OfflineJournal.h"
#include "data/RequestIdSupport.h"

#include <functional>
#include <memory>

namespace platform {
class Database;
class Query;
} // namespace platform

// Sends the journal's waiting lines to the company database, in order, one at a time, each with
// its request id, on a worker thread's own company connection and its own journal object on the
// same file (CompanyThread). A round asks the company database first whether its procedure
// takes the id (the question is also the probe of a link that was lost), then sends line after
// line:
//  - stored, or already stored under the id: the line is settled;
//  - refused: the line is parked with the server's words (later lines with its serial number
//    are held behind it) and the round goes on;
//  - the link fails: the line waits again with an unknown outcome and the round ends; the next
//    round sends it again with the same id, which the server answers "already stored" if it had
//    it.
// A procedure that does not take the id gets a line the eleven-value call, once: a line whose
// outcome is unknown and that went, or would now have to go, without its id is never sent again
// by itself (it could be stored twice); it is parked as refused for a person to check.
class OfflineSender
{
public:
    // What the sender tells the program; each is called on the sender's thread (one left unset
    // tells nobody).
    struct Reports {
        std::function<void()> answered = [] {}; // the company database answered
        std::function<void()> lost = [] {};     // the link failed
        std::function<void(const JournalEntry &settled)> settled = [](const JournalEntry &) {
        };                                            // a line stored, already stored or refused
        std::function<void()> journalChanged = [] {}; // the journal's counts may have changed
    };

    OfflineSender(platform::Database &company, const QString &journalFile, Reports reports);
    ~OfflineSender();
    OfflineSender(const OfflineSender &) = delete;
    OfflineSender &operator=(const OfflineSender &) = delete;

    // One round: every waiting line until the journal has none left or the link fails. With
    // nothing waiting it only asks the company database, when probe is set (the link is down).
    void round(bool probe);

    // The reason a line is parked with when its outcome is unknown and cannot be resolved.
    static const QString unresolvableReason;

private:
    enum class Sent { Settled, LinkFailed };
    Sent send(const JournalEntry &entry, bool takesId);

    platform::Database &m_company;
    OfflineJournal m_journal;
    RequestIdSupport m_requestIds;
    std::unique_ptr<platform::Query> m_save;
    Reports m_reports;
};
