#pragma once

#include <QString>

// The statements of the offline journal's file (OfflineJournal), all on the embedded engine.
namespace OfflineJournalSql {
extern const QString CreateSchema; // several statements
extern const QString ReopenSending;
extern const QString Insert;
extern const QString SelectColumns; // the columns JournalEntry is read from, "From JournalLine"
extern const QString ById;
extern const QString InOrder;
extern const QString Waiting;
extern const QString CountByState;
extern const QString BlockingRefusal;
extern const QString ToSending;
extern const QString ToSettled;
extern const QString ToRefused;
extern const QString HoldBehind;
extern const QString BackToNew;
extern const QString ReleaseHeld;
extern const QString LastSeq;
extern const QString SerialOf;
// Version 1: a person may discard a line (State 'discarded' with its reason, time and who).
constexpr int CurrentSchemaVersion = 1;
extern const QString SchemaVersion;
extern const QString SetSchemaVersion;  // %1: the version
extern const QString AddDiscardColumns; // several statements
extern const QString ToDiscarded;
extern const QString UnsettledOfCustomer;
extern const QString NotStored;
extern const QString NotStoredOrDiscarded;
extern const QString SameSerialOfCustomer;
} // namespace OfflineJournalSql
