#pragma once

#include "consignment/ConsignmentLine.h"
#include "consignment/LocalSqliteFile.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QUuid>
#include <optional>

// Where a line is on its way to the company database.
enum class JournalState {
    New,           // waiting to be sent (also a line whose earlier send had no known outcome)
    Sending,       // handed to the company database, no answer yet
    Stored,        // the company database stored it
    AlreadyStored, // the company database had it from an earlier send of the same request id
    Refused,       // the company database refused it; Reason holds its words
    Held,          // waits behind a refused line with the same serial number
    Discarded,     // a person took it out of sending, with a reason; it stays in the journal
};

// One line of the journal.
struct JournalEntry {
    qint64 seq = 0; // the order of saving
    QUuid requestId;
    ConsignmentLine line; // the eleven values as they are sent, and what the page showed
    JournalState state = JournalState::New;
    QString reason;        // the company database's refusal
    qint64 heldBehind = 0; // the refused line a held line waits for
    int attempts = 0;
    bool outcomeUnknown = false;                   // an earlier send ended without an answer: resent with the same id
    qint64 consignmentId = 0;                      // the stored line's id in the company database
    QDateTime createdAt, lastAttemptAt, settledAt; // UTC
    QString discardReason, discardedBy;            // who took the line out of sending, and why
    QDateTime discardedAt;                         // UTC
};

// The offline journal: every line saved on this workstation, written to a file of its own before
// anything is sent, so that a line confirmed to the clerk survives a crash or a power cut (WAL,
// synchronous FULL: each commit is on the disk before it returns). The sender takes the waiting
// lines in order and moves each through the transitions below; each transition is one committed
// write and refuses a line that is not in the state it starts from.
// Raises EDatabaseError on every failure. One object per thread: the sender opens its own on
// the same file.
class OfflineJournal
{
public:
    explicit OfflineJournal(const QString &file);

    const LocalSqliteFile &file() const { return m_file; }

    // Counts the lines left in "sending" when the program ended (a crash, a power cut) as
    // waiting with an unknown outcome: they are sent again with their request id, which the
    // company database answers with "already stored" when it has them. The program calls it
    // once at start-up, before its sender starts (not on the sender's own journal object, whose
    // line in "sending" is genuinely under way). Returns how many lines it put back.
    int recoverUnfinishedSends();

    // Writes a new line with a new request id. It waits (New), or is Held when an earlier line
    // with the same serial number is refused and not yet dealt with.
    JournalEntry add(const ConsignmentLine &line);

    // New → Sending, one more attempt. A line sent without its request id (the company database's
    // procedure does not take one) keeps that in its Reason, sentWithoutRequestId, until it is
    // settled: its outcome, if unknown, cannot be resolved by sending it again.
    void markSending(qint64 seq, bool withRequestId = true);
    static const QString sentWithoutRequestId;
    void markStored(qint64 seq, bool alreadyStored, qint64 consignmentId); // Sending → (Already)Stored
    // Sending → Refused; the waiting lines after it with the same serial number become Held.
    void markRefused(qint64 seq, const QString &reason);
    void markNoAnswer(qint64 seq); // Sending → New with an unknown outcome (the link failed)
    // A person sends a refused line again: Refused → New, and the lines held behind it wait again.
    void resend(qint64 seq);
    // A person takes a refused or held line out of sending, saying why (not empty) and who they
    // are: Refused/Held → Discarded. The line stays, with its reason; the lines held behind a
    // discarded refusal wait again.
    void discard(qint64 seq, const QString &reason, const QString &who);

    std::optional<JournalEntry> entry(qint64 seq) const;
    QList<JournalEntry> entries() const; // every line, in order
    QList<JournalEntry> waiting() const; // the lines to send, in order
    QMap<JournalState, int> counts() const;
    // The lines of a customer dated from..to that the company database has not stored (waiting,
    // sending, held, refused), in order: what the views add to the stored rows.
    QList<JournalEntry> unsettled(int customer, const QDate &from, const QDate &to) const;
    // The lines a supervisor deals with (waiting, sending, held, refused; and the discarded ones
    // when asked), in order.
    QList<JournalEntry> forSupervisor(bool withDiscarded) const;
    // A customer's lines with a serial number (compared as the company database compares it)
    // that waiting or were stored from settledSince on, in order.
    QList<JournalEntry> withSerial(int customer, const QString &serialNumber, const QDateTime &settledSince) const;

    static QString stateName(JournalState state);

private:
    QList<JournalEntry> read(const QString &sql, const QVariantList &values = {}) const;
    void transition(const QString &sql, const QVariantList &values, qint64 seq, const char *what);
    void migrate();

    LocalSqliteFile m_file;
};
