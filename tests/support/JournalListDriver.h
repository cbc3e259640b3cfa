#pragma once

#include <QString>

class TFrOfflineJournal;

// The supervisor's journal list as its tests work it: rows and cells as shown, a line chosen by
// its number, the reason typed, the buttons clicked.
class JournalListDriver
{
public:
    explicit JournalListDriver(TFrOfflineJournal *list);

    int rows() const;
    // The text shown in the column of field (the journal's column names: Seq, State, Reason, ...).
    QString cell(int row, const QString &field) const;
    // The row of the line with this number; -1 when it is not listed.
    int rowOf(qint64 seq) const;

    void showDiscarded(bool shown);
    void select(qint64 seq);             // a click on the line's row
    void discard(const QString &reason); // the reason typed, then the discard button
    void resend();

private:
    TFrOfflineJournal *m_list;
};
