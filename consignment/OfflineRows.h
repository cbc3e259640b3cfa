#pragma once

#include "consignment/OfflineJournal.h"
#include "consignment/ScanCopy.h"
#include "platform/sql/PreparedStatement.h"

#include <QSet>
#include <QUuid>
#include <optional>

// The rows the consignment screen shows while it works from this workstation's own files, shaped
// as the company database's statements answer them (the same columns, the same kinds of value),
// so that every label, box and grid over them behaves as online.
namespace OfflineRows {

// The entry pages' look-up (ConsignmentSql::QProduct) for a barcode the scan copy has; no row
// for one it does not have.
platform::ResultRows product(const std::optional<ScanProduct> &found);
// The branch list (ConsignmentSql::QBranch).
platform::ResultRows branches(const QList<ScanBranch> &list);

// The column the views add while the offline mode is on: empty for a row the company database
// stored, else the state of the journal's line (stateText).
inline const QString StateField = QStringLiteral("State");
// The column of the on-hand view with the change its waiting lines make.
inline const QString WaitingField = QStringLiteral("Waiting");
// "รอส่ง" for a line that waits (new, sending, held), "ถูกปฏิเสธ" for a refused one.
QString stateText(JournalState state);
// Whether a line's state counts as waiting (not refused, not settled).
bool waits(JournalState state);

// A line that may already be stored although the journal does not know it yet: it is being
// sent, or an earlier send had no answer.
bool mayBeStored(const JournalEntry &entry);
// The lines whose request id is not among those the company database has stored.
QList<JournalEntry> notAmong(const QList<JournalEntry> &lines, const QSet<QUuid> &stored);

// A line's type as the daily view words it: "ขาย", "รับคืน", "ปรับปรุง+", "ปรุบปรุง-" or "ไม่ระบุ".
QString typeText(const ConsignmentLine &line);
// A line's value as the daily view shows it once stored: quantity × price, negated for a take-back.
double dailyTotal(const ConsignmentLine &line);
// The daily view (ConsignmentSql::QRPProdDay): the stored rows (none when the company database
// could not be read) followed by the journal's lines as the statement would show them once
// stored, in the order they were saved, each marked with its state.
platform::ResultRows daily(const platform::ResultRows &stored, const QList<JournalEntry> &lines);
// The on-hand view (ConsignmentSql::QRPOnhand) for a year and period: the stored rows with the
// change of the waiting lines (refused ones change nothing) in the column Waiting, as the save
// procedure will carry it (into the line's month and every later period); a unit the stored rows
// do not list follows them with quantity 0.
platform::ResultRows onhand(const platform::ResultRows &stored, const QList<JournalEntry> &lines, int year, int period);
// The last day an on-hand period covers (period 0: the opening balance, the day before the year).
QDate lastDayOf(int year, int period);

} // namespace OfflineRows
