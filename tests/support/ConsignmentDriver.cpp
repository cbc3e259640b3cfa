#include "support/ConsignmentDriver.h"

#include "consignment/Fr_OfflineJournal.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "platform/sql/Query.h"
#include "platform/sql/QueryModel.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/DataLabel.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/MessageBoxDialogService.h"
#include "platform/ui/NumberEdit.h"
#include "support/Drive.h"
#include "support/ScreenHelpers.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace platform;

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
    return text(Branch);
}

void ConsignmentDriver::showPage(Page page)
{
    QTabBar *bar = m_screen->PageControl1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(page).center());
}

ConsignmentDriver::Page ConsignmentDriver::page() const
{
    return Page(m_screen->PageControl1->currentIndex());
}

void ConsignmentDriver::scan(const QString &barcode)
{
    scanInto(Barcode, barcode);
}

void ConsignmentDriver::retypeBarcode(const QString &barcode)
{
    retype(Barcode, barcode);
}

void ConsignmentDriver::lookUp()
{
    click(Ok);
}

void ConsignmentDriver::chooseType(int index)
{
    choose(Type, index);
}

void ConsignmentDriver::setDate(const QDate &date)
{
    setDateOf(Date, date);
}

void ConsignmentDriver::typeQuantity(const QString &text)
{
    clickInto(Quantity);
    Drive::key(Qt::Key_A, Qt::ControlModifier);
    Drive::type(text);
}

void ConsignmentDriver::typeSerial(const QString &text)
{
    retype(Serial, text);
}

void ConsignmentDriver::toggleFree()
{
    click(Free);
}

void ConsignmentDriver::save()
{
    Drive::save();
}

QString ConsignmentDriver::productCode() const
{
    return text(Code);
}

QString ConsignmentDriver::productName() const
{
    return text(Name);
}

QString ConsignmentDriver::price() const
{
    return text(Price);
}

QString ConsignmentDriver::quantity() const
{
    return text(Quantity);
}

bool ConsignmentDriver::quantityEnabled() const
{
    return enabled(Quantity);
}

bool ConsignmentDriver::serialShown() const
{
    return !hidden(Serial);
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
    // The scanner: as soon as the box is up (a save may first wait a moment for the server,
    // while the window's input waits too), or into the screen if no box comes within 2 s.
    int looks = 0;
    QTimer scanner;
    QObject::connect(&scanner, &QTimer::timeout, &guard, [&scanner, &looks, barcode] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal && ++looks < 100)
            return;
        scanner.stop();
        QWidget *target = modal && modal->focusWidget() ? modal->focusWidget() : (modal ? modal : Drive::focus());
        QTest::keyClicks(target, barcode);
        QTest::keyClick(target, Qt::Key_Return);
    });
    scanner.start(20);
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
    return selected(Barcode);
}

QString ConsignmentDriver::selected(Control c, Page page) const
{
    auto *box = qobject_cast<QLineEdit *>(control(c, page));
    return box ? box->selectedText() : QString();
}

QDate ConsignmentDriver::date() const
{
    return dateOf(Date);
}

bool ConsignmentDriver::dateMarked() const
{
    return control(Date)->property("notToday").toBool();
}

// ---- Any control by its role --------------------------------------------------------------------

ConsignmentDriver::Page ConsignmentDriver::pageOf(Page page) const
{
    if (page != InUse)
        return page;
    return this->page() == Adjustment ? Adjustment : Consignment;
}

QWidget *ConsignmentDriver::control(Control c, Page page) const
{
    TFrTarvoAdjAndConsignment *s = m_screen;
    const bool adjustment = pageOf(page) == Adjustment;
    switch (c) {
    case NoControl:
        return nullptr;
    case Branch:
        return s->CbBranch;
    case Tabs:
        return s->PageControl1->tabBar();
    case Date:
        return adjustment ? s->DateTimePicker1 : s->DateTimePicker2;
    case Type:
        return adjustment ? s->CBAdjType : s->CBConsignType;
    case Barcode:
        return adjustment ? s->EdBarcode2 : s->EdBarcode1;
    case Search:
        return adjustment ? s->BtBarCode2 : s->BtBarCode1;
    case Ok:
        return adjustment ? s->BTOk2 : s->BtOk1;
    case Code:
        return adjustment ? s->DBText1 : s->LbProdCode1;
    case Name:
        return adjustment ? s->DBText2 : s->LbProdName1;
    case Unit:
        return adjustment ? s->DBText3 : s->LbUnitName1;
    case Quantity:
        return adjustment ? s->EdQuantity2 : s->EdQuantity1;
    case Price:
        return adjustment ? s->LbPrice2 : s->LbPrice1;
    case Free:
        return adjustment ? s->CBFree2 : s->CBFree1;
    case SerialLabel:
        return adjustment ? s->LbSerialNo2 : s->LbSerialNo1;
    case Serial:
        return adjustment ? s->EdSerialNo2 : s->EdSerialNo1;
    case SaveButton:
        return s->BSave;
    case From:
        return s->DateEdit1;
    case To:
        return s->DateEdit2;
    case Summarise:
        return s->BtOkConsign;
    case DailyGrid:
        return s->DBGRPProdDay;
    case Total:
        return s->LbTotal;
    case Year:
        return s->GetYear;
    case Period:
        return s->PeriodNo;
    case ShowOnhand:
        return s->BkCustomrtOnhand;
    case OnhandGrid:
        return s->DBGRPOnhand;
    }
    return nullptr;
}

ConsignmentDriver::Control ConsignmentDriver::focused() const
{
    QWidget *focus = Drive::focus();
    for (int c = Branch; c <= OnhandGrid; ++c)
        if (focus && control(Control(c)) == focus)
            return Control(c);
    return NoControl;
}

void ConsignmentDriver::focusOn(Control c, Page page)
{
    control(c, page)->setFocus();
}

void ConsignmentDriver::click(Control c, Page page)
{
    Drive::click(control(c, page));
}

void ConsignmentDriver::clickInto(Control c, Page page)
{
    Drive::clickInto(control(c, page));
}

void ConsignmentDriver::retype(Control c, const QString &text, Page page)
{
    auto *box = qobject_cast<QLineEdit *>(control(c, page));
    QVERIFY(box);
    Drive::retype(box, text);
}

void ConsignmentDriver::scanInto(Control c, const QString &text, Page page)
{
    auto *box = qobject_cast<QLineEdit *>(control(c, page));
    QVERIFY(box);
    Drive::scan(box, text);
}

void ConsignmentDriver::dropDown(Control c, bool open)
{
    auto *combo = qobject_cast<QComboBox *>(control(c));
    QVERIFY(combo);
    if (open)
        combo->showPopup();
    else
        combo->hidePopup();
}

void ConsignmentDriver::chooseBranchFromList(int row)
{
    LookupCombo *branch = m_screen->CbBranch;
    Drive::click(branch);
    QTRY_VERIFY(branch->view()->isVisible());
    branch->view()->setCurrentIndex(branch->model()->index(row, branch->modelColumn()));
    QTest::keyClick(branch->view(), Qt::Key_Return);
    QTRY_VERIFY(!branch->view()->isVisible());
}

void ConsignmentDriver::setText(Control c, const QString &text, Page page)
{
    QWidget *w = control(c, page);
    if (auto *box = qobject_cast<QLineEdit *>(w))
        box->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(w))
        label->setText(text);
    else
        QFAIL("no text to set");
}

QString ConsignmentDriver::text(Control c, Page page) const
{
    QWidget *w = control(c, page);
    if (auto *box = qobject_cast<QLineEdit *>(w))
        return box->text();
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->currentText();
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return button->text();
    return QString();
}

bool ConsignmentDriver::enabled(Control c, Page page) const
{
    return control(c, page)->isEnabled();
}

bool ConsignmentDriver::visible(Control c, Page page) const
{
    return control(c, page)->isVisible();
}

bool ConsignmentDriver::hidden(Control c, Page page) const
{
    return control(c, page)->isHidden();
}

bool ConsignmentDriver::readOnly(Control c, Page page) const
{
    auto *box = qobject_cast<QLineEdit *>(control(c, page));
    return box && box->isReadOnly();
}

bool ConsignmentDriver::checked(Control c, Page page) const
{
    auto *button = qobject_cast<QAbstractButton *>(control(c, page));
    return button && button->isChecked();
}

int ConsignmentDriver::index(Control c, Page page) const
{
    auto *combo = qobject_cast<QComboBox *>(control(c, page));
    return combo ? combo->currentIndex() : -1;
}

void ConsignmentDriver::choose(Control c, int index, Page page)
{
    auto *combo = qobject_cast<QComboBox *>(control(c, page));
    QVERIFY(combo);
    combo->setCurrentIndex(index);
}

QStringList ConsignmentDriver::items(Control c, Page page) const
{
    QStringList items;
    if (auto *combo = qobject_cast<QComboBox *>(control(c, page)))
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    return items;
}

QDate ConsignmentDriver::dateOf(Control c, Page page) const
{
    auto *picker = qobject_cast<QDateEdit *>(control(c, page));
    return picker ? picker->date() : QDate();
}

void ConsignmentDriver::setDateOf(Control c, const QDate &date, Page page)
{
    auto *picker = qobject_cast<QDateEdit *>(control(c, page));
    QVERIFY(picker);
    picker->setDate(date);
}

// ---- What the screen holds behind its controls ----------------------------------------------------

ConsignmentDriver::Current ConsignmentDriver::current() const
{
    const TFrTarvoAdjAndConsignment *s = m_screen;
    return {s->userKeyIn(), s->userCode(), s->cusCode(), s->cusId(), s->useSerial(), s->oldPrice()};
}

int ConsignmentDriver::branchRow() const
{
    return m_screen->QBranch->recNo();
}

QString ConsignmentDriver::branchCustomerCode() const
{
    return m_screen->QBranch->fieldByName(QStringLiteral("CusCode")).asString();
}

bool ConsignmentDriver::lookedUp(Page page) const
{
    return (pageOf(page) == Adjustment ? m_screen->QChkBarcode : m_screen->QProduct)->isOpen();
}

int ConsignmentDriver::lookupRow(Page page) const
{
    return (pageOf(page) == Adjustment ? m_screen->QChkBarcode : m_screen->QProduct)->recNo();
}

namespace {
Query *datasetOf(TFrTarvoAdjAndConsignment *s, ConsignmentDriver::Grid grid)
{
    return grid == ConsignmentDriver::Grid::Daily ? s->QRPProdDay : s->QRPOnhand;
}
} // namespace

bool ConsignmentDriver::read(Grid grid) const
{
    return datasetOf(m_screen, grid)->isOpen();
}

int ConsignmentDriver::rowsRead(Grid grid) const
{
    return datasetOf(m_screen, grid)->recordCount();
}

int ConsignmentDriver::datasetRow(Grid grid) const
{
    return datasetOf(m_screen, grid)->recNo();
}

QAbstractItemModel *ConsignmentDriver::datasetModel(Grid grid) const
{
    return datasetOf(m_screen, grid)->model();
}

int ConsignmentDriver::currentRow(Grid which) const
{
    return grid(which)->currentIndex().row();
}

QStringList ConsignmentDriver::state() const
{
    QStringList lines;
    auto add = [&](const char *name, const QVariant &value) { lines << QString::fromLatin1(name) + u'=' + value.toString(); };
    const Current now = current();
    add("Branch", text(Branch));
    add("page", page());
    add("Save.enabled", saveEnabled());
    for (Page p : {Consignment, Adjustment}) {
        const QString prefix = p == Consignment ? QStringLiteral("consignment.") : QStringLiteral("adjustment.");
        auto addOf = [&](const char *name, const QVariant &value) {
            lines << prefix + QString::fromLatin1(name) + u'=' + value.toString();
        };
        addOf("Date", dateOf(Date, p));
        addOf("Type", index(Type, p));
        addOf("Barcode", text(Barcode, p));
        addOf("Code", text(Code, p));
        addOf("Name", text(Name, p));
        addOf("Unit", text(Unit, p));
        addOf("Quantity", text(Quantity, p));
        addOf("Quantity.enabled", enabled(Quantity, p));
        addOf("Quantity.readOnly", readOnly(Quantity, p));
        addOf("Price", text(Price, p));
        addOf("Free", checked(Free, p));
        addOf("Serial.visible", !hidden(Serial, p));
        addOf("Serial", text(Serial, p));
    }
    add("From", dateOf(From));
    add("To", dateOf(To));
    add("Total", text(Total));
    add("Year", text(Year));
    add("Period", index(Period));
    add("userCode", now.userCode);
    add("cusId", now.cusId);
    add("useSerial", now.useSerial);
    add("oldPrice", now.oldPrice);
    return lines;
}

// ---- The offline mode -------------------------------------------------------------------------

QString ConsignmentDriver::cellOf(Grid which, int row, const QString &field) const
{
    DataGrid *g = grid(which);
    for (int c = 0; c < g->model()->columnCount(); ++c)
        if (g->fieldOf(c) == field)
            return cell(which, row, c);
    return QString();
}

QString ConsignmentDriver::waitingText() const
{
    return m_screen->LbWaiting ? m_screen->LbWaiting->text() : QString();
}

TFrOfflineJournal *ConsignmentDriver::openJournalList()
{
    Drive::key(TFrTarvoAdjAndConsignment::JournalKey);
    settle();
    TFrOfflineJournal *list = m_screen->journalList();
    return list && list->isVisible() ? list : nullptr;
}

bool ConsignmentDriver::offline() const
{
    return m_screen->offline() != nullptr;
}

bool ConsignmentDriver::offlineControls() const
{
    return m_screen->AcJournal && m_screen->BtJournal && m_screen->LbWaiting &&
        m_screen->findChild<QPushButton *>(QStringLiteral("BtJournal"));
}
