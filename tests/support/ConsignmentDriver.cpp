#include "support/ConsignmentDriver.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/DataLabel.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/MessageBoxDialogService.h"
#include "platform/ui/NumberEdit.h"
#include "support/Drive.h"
#include "support/ScreenHelpers.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

ConsignmentDriver::ConsignmentDriver(TFrTarvoAdjAndConsignment *screen)
    : m_screen(screen)
{}

void ConsignmentDriver::chooseBranch(int downs)
{
    for (int i = 0; i < downs; ++i)
        Drive::key(Qt::Key_Down);
    Drive::enter();
}

QString ConsignmentDriver::branchShown() const
{
    return m_screen->CbBranch->currentText();
}

void ConsignmentDriver::showPage(Page page)
{
    clickTab(m_screen, page);
}

ConsignmentDriver::Page ConsignmentDriver::page() const
{
    return Page(m_screen->PageControl1->currentIndex());
}

ConsignmentDriver::Entry ConsignmentDriver::entry(Page page) const
{
    TFrTarvoAdjAndConsignment *s = m_screen;
    if (page == Adjustment)
        return {s->CBAdjType, s->EdBarcode2, s->BTOk2, s->EdQuantity2, s->LbPrice2, s->CBFree2, s->EdSerialNo2};
    return {s->CBConsignType, s->EdBarcode1, s->BtOk1, s->EdQuantity1, s->LbPrice1, s->CBFree1, s->EdSerialNo1};
}

ConsignmentDriver::Entry ConsignmentDriver::entry() const
{
    return entry(page());
}

void ConsignmentDriver::scan(const QString &barcode)
{
    Drive::scan(entry().barcode, barcode);
}

void ConsignmentDriver::retypeBarcode(const QString &barcode)
{
    Drive::retype(entry().barcode, barcode);
}

void ConsignmentDriver::lookUp()
{
    Drive::click(entry().ok);
}

void ConsignmentDriver::chooseType(int index)
{
    entry().type->setCurrentIndex(index);
}

void ConsignmentDriver::setDate(const QDate &date)
{
    (page() == Adjustment ? m_screen->DateTimePicker1 : m_screen->DateTimePicker2)->setDate(date);
}

void ConsignmentDriver::typeQuantity(const QString &text)
{
    Drive::clickInto(entry().quantity);
    Drive::key(Qt::Key_A, Qt::ControlModifier);
    Drive::type(text);
}

void ConsignmentDriver::typeSerial(const QString &text)
{
    Drive::retype(entry().serial, text);
}

void ConsignmentDriver::toggleFree()
{
    Drive::click(entry().free);
}

void ConsignmentDriver::save()
{
    Drive::save();
}

QString ConsignmentDriver::productCode() const
{
    return (page() == Adjustment ? m_screen->DBText1 : m_screen->LbProdCode1)->text();
}

QString ConsignmentDriver::productName() const
{
    return (page() == Adjustment ? m_screen->DBText2 : m_screen->LbProdName1)->text();
}

QString ConsignmentDriver::price() const
{
    return entry().price->text();
}

QString ConsignmentDriver::quantity() const
{
    return entry().quantity->text();
}

bool ConsignmentDriver::quantityEnabled() const
{
    return entry().quantity->isEnabled();
}

bool ConsignmentDriver::serialShown() const
{
    return !entry().serial->isHidden();
}

bool ConsignmentDriver::saveEnabled() const
{
    return m_screen->AcSave->isEnabled();
}

void ConsignmentDriver::summarise(const QDate &from, const QDate &to)
{
    m_screen->DateEdit1->setDate(from);
    m_screen->DateEdit2->setDate(to);
    Drive::click(m_screen->BtOkConsign);
}

void ConsignmentDriver::showOnhand(const QString &year, int period)
{
    Drive::retype(m_screen->GetYear, year);
    m_screen->PeriodNo->setCurrentIndex(period);
    Drive::click(m_screen->BkCustomrtOnhand);
}

QString ConsignmentDriver::total() const
{
    return m_screen->LbTotal->text();
}

DataGrid *ConsignmentDriver::grid(Grid grid) const
{
    return grid == Grid::Daily ? m_screen->DBGRPProdDay : m_screen->DBGRPOnhand;
}

int ConsignmentDriver::rows(Grid which) const
{
    return grid(which)->model()->rowCount();
}

QString ConsignmentDriver::cell(Grid which, int row, int column, int role) const
{
    return grid(which)->model()->index(row, column).data(role).toString();
}

// ---- The clerk's rhythm -----------------------------------------------------------------------

namespace {

// Records the texts of the real message boxes it shows.
class RecordingMessageBoxes : public MessageBoxDialogService
{
public:
    RecordingMessageBoxes()
        : m_previous(DialogService::setInstance(this))
    {}
    ~RecordingMessageBoxes() override { DialogService::setInstance(m_previous); }
    RecordingMessageBoxes(const RecordingMessageBoxes &) = delete;
    RecordingMessageBoxes &operator=(const RecordingMessageBoxes &) = delete;
    void showMessage(const QString &text) override
    {
        texts << text;
        MessageBoxDialogService::showMessage(text);
    }
    QStringList texts;

private:
    DialogService *m_previous;
};

} // namespace

QStringList ConsignmentDriver::saveThenScanAtOnce(const QString &barcode)
{
    RecordingMessageBoxes boxes;
    QObject guard;
    // The scanner: as soon as the event loop runs again (inside the box, once it is up).
    QTimer::singleShot(0, &guard, [barcode] {
        QWidget *modal = QApplication::activeModalWidget();
        QWidget *target = modal && modal->focusWidget() ? modal->focusWidget() : (modal ? modal : Drive::focus());
        QTest::keyClicks(target, barcode);
        QTest::keyClick(target, Qt::Key_Return);
    });
    // A box the scan did not close is closed here, so that the test goes on to its checks.
    QTimer::singleShot(3000, &guard, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    Drive::save();
    settle();
    return boxes.texts;
}

void ConsignmentDriver::tab(int times)
{
    for (int i = 0; i < times; ++i)
        Drive::key(Qt::Key_Tab);
}

void ConsignmentDriver::backTab(int times)
{
    for (int i = 0; i < times; ++i)
        Drive::key(Qt::Key_Backtab, Qt::ShiftModifier);
}

QString ConsignmentDriver::barcodeSelected() const
{
    return entry().barcode->selectedText();
}

QDate ConsignmentDriver::date() const
{
    return (page() == Adjustment ? m_screen->DateTimePicker1 : m_screen->DateTimePicker2)->date();
}

bool ConsignmentDriver::dateMarked() const
{
    return (page() == Adjustment ? m_screen->DateTimePicker1 : m_screen->DateTimePicker2)->property("notToday").toBool();
}
