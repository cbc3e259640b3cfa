#include "support/JournalListDriver.h"

#include "consignment/Fr_OfflineJournal.h"
#include "platform/ui/DataGrid.h"
#include "support/Drive.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace platform;

JournalListDriver::JournalListDriver(TFrOfflineJournal *list)
    : m_list(list)
{}

int JournalListDriver::rows() const
{
    return m_list->DgJournal->model()->rowCount();
}

QString JournalListDriver::cell(int row, const QString &field) const
{
    const DataGrid *g = m_list->DgJournal;
    for (int c = 0; c < g->model()->columnCount(); ++c)
        if (g->fieldOf(c) == field)
            return g->model()->index(row, c).data().toString();
    return QString();
}

int JournalListDriver::rowOf(qint64 seq) const
{
    for (int r = 0; r < rows(); ++r)
        if (cell(r, QStringLiteral("Seq")) == QString::number(seq))
            return r;
    return -1;
}

void JournalListDriver::showDiscarded(bool shown)
{
    if (m_list->CBDiscarded->isChecked() != shown)
        Drive::click(m_list->CBDiscarded);
}

void JournalListDriver::select(qint64 seq)
{
    DataGrid *g = m_list->DgJournal;
    const QRect cell = g->visualRect(g->model()->index(rowOf(seq), 0));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

void JournalListDriver::discard(const QString &reason)
{
    Drive::retype(m_list->EdReason, reason);
    Drive::click(m_list->BtDiscard);
}

void JournalListDriver::resend()
{
    Drive::click(m_list->BtResend);
}
