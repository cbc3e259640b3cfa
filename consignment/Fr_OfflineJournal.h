#pragma once

#include "consignment/OfflineJournal.h"

#include <QDialog>

namespace platform {
class DataGrid;
class Query;
} // namespace platform
class QCheckBox;
class QLineEdit;
class QPushButton;

// The supervisor's list of the offline journal: the lines of this workstation that the company
// database has not stored (waiting, being sent, held behind a refusal, refused with the server's
// reason), with their attempts and times, and on request the discarded ones. A refused line may
// be sent again (the sender takes it up with the waiting ones); a refused or held line may be
// discarded with a reason, which is kept with the line, as is who discarded it and when. The
// list is exported to Excel as any grid of the program (Ctrl+E or the export button).
class TFrOfflineJournal : public QDialog
{
    Q_OBJECT
public:
    // who: the code of the user who runs the screen, kept with each discard.
    TFrOfflineJournal(OfflineJournal &journal, const QString &who, QWidget *parent = nullptr);

    QCheckBox *CBDiscarded = nullptr; // the discarded lines too
    QPushButton *BtRefresh = nullptr;
    platform::DataGrid *DgJournal = nullptr;
    QLineEdit *EdReason = nullptr;
    QPushButton *BtDiscard = nullptr;
    QPushButton *BtResend = nullptr;
    QPushButton *BtExport = nullptr;
    QPushButton *BtClose = nullptr;
    platform::Query *QJournal = nullptr; // the lines listed, read from the journal's file

    // Reads the journal again, keeping the selected line where it is still listed.
    void refresh();
    void BtDiscardClick();
    void BtResendClick();

    // The supervisor's word for a line's state.
    static QString stateText(const JournalEntry &entry);

private:
    void build();
    // The line of the selected row; none (with a message) when no row is selected.
    std::optional<JournalEntry> selected();

    OfflineJournal &m_journal;
    QString m_who;
};
