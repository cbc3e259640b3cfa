#include "consignment/OfflineJournalSql.h"

namespace OfflineJournalSql {

// One row per line saved on this workstation, in the order of saving (Seq). The eleven values
// are kept as the line carried them; the Shown columns are what the page showed. State is one
// of new, sending, stored, already-stored, refused, held. A serial number is compared as the
// company database compares it: without regard to case or trailing blanks.
const QString CreateSchema =
    QStringLiteral("Create Table If Not Exists JournalLine ("
                   " Seq Integer Primary Key AutoIncrement,"
                   " RequestId Text Not Null Unique,"
                   " Entry Text Not Null,"
                   " UserCode Text Not Null, UserKeyIn Text Not Null, Customer Integer Not Null, ConsigType Text Not Null,"
                   " Barcode Text Not Null, SerialNumber Text Not Null, Quantity Real Not Null, Price Real Not Null,"
                   " ChkFree Text Not Null, OldPrice Real Not Null, EditDate Text Not Null,"
                   " ShownProductCode Text Not Null, ShownProductName Text Not Null, ShownUnitName Text Not Null,"
                   " ShownQuantity Text Not Null, ShownPrice Text Not Null,"
                   " State Text Not Null, Reason Text, HeldBehind Integer,"
                   " Attempts Integer Not Null Default 0, OutcomeUnknown Integer Not Null Default 0, ConsignmentId Integer,"
                   " CreatedAt Text Not Null, LastAttemptAt Text, SettledAt Text);"
                   "Create Index If Not Exists IX_JournalLine_State On JournalLine (State, Seq);"
                   "Create Index If Not Exists IX_JournalLine_Serial On JournalLine (Upper(RTrim(SerialNumber, ' ')), State)");

// A line a crash left while it was being sent may or may not be stored: it is sent again with
// its request id, which the company database answers with "already stored" when it has it.
const QString ReopenSending = QStringLiteral("Update JournalLine Set State = 'new', OutcomeUnknown = 1 Where State = 'sending'");

const QString Insert = QStringLiteral(
    "Insert Into JournalLine (RequestId, Entry, UserCode, UserKeyIn, Customer, ConsigType, Barcode, SerialNumber,"
    " Quantity, Price, ChkFree, OldPrice, EditDate, ShownProductCode, ShownProductName, ShownUnitName, ShownQuantity,"
    " ShownPrice, State, HeldBehind, CreatedAt)"
    " Values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

const QString SelectColumns = QStringLiteral(
    "Select Seq, RequestId, Entry, UserCode, UserKeyIn, Customer, ConsigType, Barcode, SerialNumber, Quantity, Price,"
    " ChkFree, OldPrice, EditDate, ShownProductCode, ShownProductName, ShownUnitName, ShownQuantity, ShownPrice,"
    " State, Reason, HeldBehind, Attempts, OutcomeUnknown, ConsignmentId, CreatedAt, LastAttemptAt, SettledAt,"
    " DiscardReason, DiscardedAt, DiscardedBy"
    " From JournalLine");

const QString ById = SelectColumns + QStringLiteral(" Where Seq = ?");
const QString InOrder = SelectColumns + QStringLiteral(" Order By Seq");
const QString Waiting = SelectColumns + QStringLiteral(" Where State = 'new' Order By Seq");
const QString CountByState = QStringLiteral("Select State, Count(*) From JournalLine Group By State");

// The earliest refused line with this serial number that a person has not dealt with yet.
const QString BlockingRefusal = QStringLiteral(
    "Select Min(Seq) From JournalLine Where State = 'refused' And Upper(RTrim(SerialNumber, ' ')) = Upper(RTrim(?, ' '))");

// Reason holds, while the line is under way and after a send without an answer, whether it went
// without its request id (OfflineJournal::sentWithoutRequestId).
const QString ToSending = QStringLiteral("Update JournalLine Set State = 'sending', Attempts = Attempts + 1, Reason = ?,"
                                         " LastAttemptAt = ? Where Seq = ? And State = 'new'");
const QString ToSettled = QStringLiteral(
    "Update JournalLine Set State = ?, ConsignmentId = ?, Reason = Null, SettledAt = ? Where Seq = ? And State = 'sending'");
const QString ToRefused =
    QStringLiteral("Update JournalLine Set State = 'refused', Reason = ?, SettledAt = ? Where Seq = ? And State = 'sending'");
const QString HoldBehind = QStringLiteral("Update JournalLine Set State = 'held', HeldBehind = ? Where Seq > ? And State = 'new'"
                                          " And Upper(RTrim(SerialNumber, ' ')) = Upper(RTrim(?, ' '))");
// Back to waiting: a link failure while sending (the outcome is not known) or a person's resend
// of a refused line.
const QString BackToNew =
    QStringLiteral("Update JournalLine Set State = 'new', OutcomeUnknown = ?, SettledAt = Null Where Seq = ? And State = ?");
const QString ReleaseHeld =
    QStringLiteral("Update JournalLine Set State = 'new', HeldBehind = Null Where State = 'held' And HeldBehind = ?");

const QString LastSeq = QStringLiteral("Select last_insert_rowid()");
const QString SerialOf = QStringLiteral("Select SerialNumber From JournalLine Where Seq = ?");

const QString SchemaVersion = QStringLiteral("PRAGMA user_version");
const QString SetSchemaVersion = QStringLiteral("PRAGMA user_version = %1");
// Added to files of the first version; the lines they hold get no discard.
const QString AddDiscardColumns = QStringLiteral("Alter Table JournalLine Add Column DiscardReason Text;"
                                                 "Alter Table JournalLine Add Column DiscardedAt Text;"
                                                 "Alter Table JournalLine Add Column DiscardedBy Text");
// Only a line the company database refused, or one held behind a refusal, may be discarded: a
// waiting line may be on its way (or stored, its answer lost).
const QString ToDiscarded =
    QStringLiteral("Update JournalLine Set State = 'discarded', DiscardReason = ?, DiscardedAt = ?, DiscardedBy = ?,"
                   " HeldBehind = Null Where Seq = ? And State In ('refused', 'held')");

namespace {
const QString notStored = QStringLiteral("'new', 'sending', 'held', 'refused'");
}
const QString UnsettledOfCustomer = SelectColumns + QStringLiteral(" Where State In (") + notStored +
    QStringLiteral(") And Customer = ? And EditDate Between ? And ? Order By Seq");
const QString NotStored = SelectColumns + QStringLiteral(" Where State In (") + notStored + QStringLiteral(") Order By Seq");
const QString NotStoredOrDiscarded =
    SelectColumns + QStringLiteral(" Where State In (") + notStored + QStringLiteral(", 'discarded') Order By Seq");
const QString SameSerialOfCustomer = SelectColumns +
    QStringLiteral(" Where Upper(RTrim(SerialNumber, ' ')) = Upper(RTrim(?, ' ')) And Customer = ?"
                   " And (State In ('new', 'sending', 'held')"
                   " Or (State In ('stored', 'already-stored') And SettledAt >= ?)) Order By Seq");

} // namespace OfflineJournalSql
