#include "consignment/Fr_TarvoAdjAndConsignment.h"

#include "consignment/ExactTotal.h"
#include "consignment/Fr_OfflineJournal.h"
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "consignment/LineStore.h"
#include "consignment/OfflineRows.h"
#include "consignment/OfflineSerialCheck.h"
#include "consignment/OfflineWorkstation.h"
#include "consignment/ScanCatcher.h"
#include "platform/core/Exceptions.h"
#include "platform/format/Conversions.h"
#include "platform/format/FormatFloat.h"
#include "platform/sql/CodePage874.h"
#include "platform/sql/Database.h"
#include "platform/sql/Field.h"
#include "platform/sql/Query.h"
#include "platform/ui/ConnectGuarded.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/DataLabel.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/EnterAsTab.h"
#include "platform/ui/FocusExit.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/NumberEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>

#include <exception>

using namespace platform;

namespace {

const QString TotalFormat = QStringLiteral("#,##0.00;-#,##0.00");

// The wait cursor while a statement runs; the message boxes after it show the normal one.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

void showMessage(const QString &text)
{
    DialogService::instance().showMessage(text);
}

} // namespace

TFrTarvoAdjAndConsignment::TFrTarvoAdjAndConsignment(Database *company, std::unique_ptr<LineStore> store, QWidget *parent)
    : TFrForm(parent)
    , m_company(company)
    , m_store(std::move(store))
{
    setObjectName(QStringLiteral("FrTarvoAdjAndConsignment"));
    setWindowTitle(QStringLiteral("Tarvo ฝากขาย"));
    setClientSize(ClientWidth, ClientHeight);

    Database *db = m_company;
    QBranch = new Query(db, this);
    QBranch->setObjectName(QStringLiteral("QBranch"));
    QBranch->setStatement(ConsignmentSql::QBranch);
    QUserKeyIn = new Query(db, this);
    QUserKeyIn->setObjectName(QStringLiteral("QUserKeyIn"));
    QUserKeyIn->setStatement(ConsignmentSql::QUserKeyIn);
    QProduct = new Query(db, this);
    QProduct->setObjectName(QStringLiteral("QProduct"));
    QProduct->setStatement(ConsignmentSql::QProduct);
    QChkBarcode = new Query(db, this);
    QChkBarcode->setObjectName(QStringLiteral("QChkBarcode"));
    QChkBarcode->setStatement(ConsignmentSql::QProduct);
    QRPProdDay = new Query(db, this);
    QRPProdDay->setObjectName(QStringLiteral("QRPProdDay"));
    QRPProdDay->setStatement(ConsignmentSql::QRPProdDay);
    // Until the first summary the parameters hold no values: the grid is re-read with them by
    // every reset and shows no rows.
    QRPProdDay->setParam(QStringLiteral("CusCode"), QVariant(QMetaType::fromType<QString>()));
    QRPProdDay->setParam(QStringLiteral("BeginConsigDate"), QVariant(QMetaType::fromType<QDate>()));
    QRPProdDay->setParam(QStringLiteral("EndConsigDate"), QVariant(QMetaType::fromType<QDate>()));
    QRPOnhand = new Query(db, this);
    QRPOnhand->setObjectName(QStringLiteral("QRPOnhand"));
    QRPOnhand->setStatement(ConsignmentSql::QRPOnhand);

    buildLayout();
    makeSearchAction();
    wireHandlers();
    setBarcodeSearchFactory(nullptr);
}

TFrTarvoAdjAndConsignment::~TFrTarvoAdjAndConsignment() = default;

void TFrTarvoAdjAndConsignment::wireHandlers()
{
    FocusExit::watch(CbBranch, [this] { CbBranchExit(); });
    // A branch chosen is current at once: a line saved without leaving the box is stored for
    // the branch it shows.
    connectGuarded(CbBranch, &LookupCombo::chosen, this, [this] { CbBranchExit(); });
    FocusExit::watch(EdBarcode1, [this] { EdBarcode1Exit(); });
    FocusExit::watch(EdBarcode2, [this] { EdBarcode2Exit(); });
    FocusExit::watch(GetYear, [this] { GetYearExit(); });
    // Only the user's changes of the page count; the screen's own (at show) do not.
    connectGuarded(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_settingPage == 0)
            PageControl1Change(index);
    });
    connectGuarded(AcSearchBarCode, &QAction::triggered, this, &TFrTarvoAdjAndConsignment::AcSearchBarCodeExecute);
    connectGuarded(BtBarCode1, &QToolButton::clicked, this, &TFrTarvoAdjAndConsignment::BtBarCode1Click);
    connectGuarded(BtBarCode2, &QToolButton::clicked, this, &TFrTarvoAdjAndConsignment::BtBarCode2Click);
    connectGuarded(BtOk1, &QPushButton::clicked, this, &TFrTarvoAdjAndConsignment::BtOk1Click);
    connectGuarded(BTOk2, &QPushButton::clicked, this, &TFrTarvoAdjAndConsignment::BTOk2Click);
    connectGuarded(CBFree1, &QCheckBox::toggled, this, &TFrTarvoAdjAndConsignment::CBFree1Click);
    connectGuarded(CBFree2, &QCheckBox::toggled, this, &TFrTarvoAdjAndConsignment::CBFree2Click);
    connectGuarded(BtOkConsign, &QPushButton::clicked, this, &TFrTarvoAdjAndConsignment::BtOkConsignClick);
    connectGuarded(BkCustomrtOnhand, &QPushButton::clicked, this, &TFrTarvoAdjAndConsignment::BkCustomrtOnhandClick);
    for (EntryPage &page : m_page)
        connectGuarded(page.date, &QDateEdit::dateChanged, this, [this, &page] { markDate(page); });
}

void TFrTarvoAdjAndConsignment::setBarcodeSearchFactory(BarcodeSearch::Factory factory)
{
    m_searchFactory = std::move(factory);
    m_search.reset();
    BtBarCode1->setEnabled(bool(m_searchFactory));
    BtBarCode2->setEnabled(bool(m_searchFactory));
    AcSearchBarCode->setEnabled(bool(m_searchFactory));
}

// An action of the screen's window run by a key.
QAction *TFrTarvoAdjAndConsignment::keyAction(const QString &name, Qt::Key key)
{
    auto *action = new QAction(this);
    action->setObjectName(name);
    action->setShortcut(QKeySequence(key));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

QString TFrTarvoAdjAndConsignment::keyText(Qt::Key key)
{
    return QKeySequence(key).toString(QKeySequence::NativeText);
}

// The barcode search by key, so that a clerk searches without the mouse; its key is named in
// the search buttons' hint.
void TFrTarvoAdjAndConsignment::makeSearchAction()
{
    AcSearchBarCode = keyAction(QStringLiteral("AcSearchBarCode"), BarcodeSearchKey);
    const QString hint = QStringLiteral("ค้นหา Barcode (%1)").arg(keyText(BarcodeSearchKey));
    BtBarCode1->setToolTip(hint);
    BtBarCode2->setToolTip(hint);
}

QStringList TFrTarvoAdjAndConsignment::periodItems()
{
    QStringList items{QStringLiteral(" ยกมาต้นปี")};
    for (int month = 1; month <= 12; ++month)
        items << QStringLiteral("%1").arg(month, 3);
    return items;
}

void TFrTarvoAdjAndConsignment::setActivePage(int index)
{
    ++m_settingPage;
    PageControl1->setCurrentIndex(index);
    --m_settingPage;
}

void TFrTarvoAdjAndConsignment::decodeToday()
{
    const QDate today = QDate::currentDate();
    CurYear = quint16(today.year());
    CurMonth = quint16(today.month());
    CurDay = quint16(today.day());
}

void TFrTarvoAdjAndConsignment::fillYearAndPeriod()
{
    decodeToday();
    GetYear->setText(QString::number(CurYear));
    PeriodNo->clear();
    PeriodNo->addItems(periodItems());
    PeriodNo->setCurrentIndex(CurMonth);
}

// ---------------------------------------------------------------------------------------------
// Show, branch, pages, reset, barcode search

void TFrTarvoAdjAndConsignment::FormShow()
{
    // The base show runs the base form's New only; this screen's reset is its last step.
    m_inBaseShow = true;
    try {
        TFrForm::FormShow();
    } catch (...) {
        m_inBaseShow = false;
        throw;
    }
    m_inBaseShow = false;

    Database *db = m_company;
    // With the offline mode and the link down, the screen shows again from its own files; the
    // user's code stays the one the first show read (the program starts only on the server).
    bool userRead = true;
    if (!db->connected()) {
        WaitCursor wait;
        userRead = readOnline([db] {
            db->close();
            db->open();
        });
    }

    if (userRead) {
        WaitCursor wait;
        QUserKeyIn->close();
        QUserKeyIn->setParam(QStringLiteral("UserId"), UserId);
        userRead = readOnline([this] { QUserKeyIn->open(); });
    }
    if (userRead)
        UserKeyIn = QUserKeyIn->fieldByName(QStringLiteral("UserCode")).asString();

    setActivePage(ConsignmentPage);

    {
        WaitCursor wait;
        QBranch->close();
        if (!readOnline([this] { QBranch->open(); }))
            QBranch->openRows(OfflineRows::branches(m_offline->scanCopy().branches()));
    }
    QBranch->first();
    CbBranch->setValue(QBranch->fieldByName(QStringLiteral("CusName")).asString());

    fillYearAndPeriod();

    AcNewExecute();
    // The branch box has the initial focus (the reset has put it into the barcode box).
    FocusExit::refocus(CbBranch);
}

void TFrTarvoAdjAndConsignment::takeShownBranch()
{
    UserCode = QBranch->fieldByName(QStringLiteral("UserCode")).asString();
    CusCode = QBranch->fieldByName(QStringLiteral("CusCode")).asString();
    CusId = QBranch->fieldByName(QStringLiteral("CusId")).asInteger();
}

void TFrTarvoAdjAndConsignment::CbBranchExit()
{
    takeShownBranch();
    QRPOnhand->close();
    fillYearAndPeriod();
}

void TFrTarvoAdjAndConsignment::PageControl1Change(int index)
{
    if (index == AdjustmentPage)
        AcNewExecute();
}

TFrTarvoAdjAndConsignment::EntryPage *TFrTarvoAdjAndConsignment::activeEntryPage()
{
    const int index = PageControl1->currentIndex();
    return index == ConsignmentPage || index == AdjustmentPage ? &m_page[index] : nullptr;
}

void TFrTarvoAdjAndConsignment::AcNewExecute()
{
    TFrForm::AcNewExecute();
    if (m_inBaseShow)
        return;

    {
        WaitCursor wait;
        readDaily();
    }

    // The next scan goes into the barcode box of the page in use, not into whatever control the
    // reset would leave the focus in (a disabled quantity box passes it on to the date).
    if (EntryPage *page = activeEntryPage())
        FocusExit::refocus(page->barcode);

    for (EntryPage &page : m_page)
        resetEntryPage(page);
    const QDate today = QDate::currentDate();
    DateEdit1->setDate(today);
    DateEdit2->setDate(today);
    UseSerial.clear();
    LbTotal->setText(QStringLiteral("00.00"));
}

void TFrTarvoAdjAndConsignment::resetEntryPage(EntryPage &page)
{
    page.lookup->close();
    page.foundBarcode.clear();
    page.date->setDate(QDate::currentDate());
    page.type->setCurrentIndex(0);
    page.barcode->clear();
    page.serial->clear();
    page.serialLabel->hide();
    page.serial->hide();
    page.quantity->setEnabled(false);
    page.quantity->setReadOnly(false);
    page.quantity->setText(QStringLiteral("0"));
    page.price->setText(QStringLiteral("0"));
    const QSignalBlocker block(page.free); // unticked without its handler: the price stays "0"
    page.free->setChecked(false);
}

void TFrTarvoAdjAndConsignment::searchBarcode(QLineEdit *barcodeBox)
{
    if (!m_searchFactory)
        return;
    if (!m_search)
        m_search = m_searchFactory(this);
    // The search buttons take no focus: this is the control the user was in.
    const QPointer<QWidget> before = focusWidget();
    const std::optional<QString> chosen = m_search->choose();
    if (!chosen)
        return;
    barcodeBox->setText(*chosen);
    FocusExit::refocus(barcodeBox);
    // Going from the branch box into the barcode box is leaving the branch box, even with the
    // dialog in between.
    if (before == CbBranch)
        CbBranchExit();
}

void TFrTarvoAdjAndConsignment::BtBarCode1Click()
{
    searchBarcode(EdBarcode1);
}

void TFrTarvoAdjAndConsignment::BtBarCode2Click()
{
    searchBarcode(EdBarcode2);
}

void TFrTarvoAdjAndConsignment::AcSearchBarCodeExecute()
{
    if (EntryPage *page = activeEntryPage())
        searchBarcode(page->barcode);
}

// ---------------------------------------------------------------------------------------------
// Entry pages: the consignment page (0) and the adjustment page (1) differ only in their texts,
// in what a barcode that is not found does, in the sign of the quantity and in the order of the
// serial-number check.

TFrTarvoAdjAndConsignment::Lookup TFrTarvoAdjAndConsignment::lookUp(EntryPage &page, const QString &noBarcodeMessage)
{
    if (page.barcode->text().isEmpty()) {
        showMessage(noBarcodeMessage);
        return Lookup::NoBarcode;
    }
    const QString barcode = page.barcode->text().trimmed();
    {
        WaitCursor wait;
        page.lookup->close();
        page.lookup->setParam(QStringLiteral("Barcode"), barcode);
        if (!readOnline([&page] { page.lookup->open(); }))
            page.lookup->openRows(OfflineRows::product(m_offline->scanCopy().product(barcode)));
    }
    page.lookup->last();
    if (page.lookup->isEmpty()) {
        page.foundBarcode.clear();
        return Lookup::NotFound;
    }
    const bool anotherProduct = barcode != page.foundBarcode;
    page.foundBarcode = barcode;
    page.quantity->setEnabled(true);
    AcSave->setEnabled(true);
    UseSerial = page.lookup->fieldByName(QStringLiteral("UseSerial")).asString();
    OldPrice = page.lookup->fieldByName(QStringLiteral("Price")).asFloat();
    page.price->setText(page.lookup->fieldByName(QStringLiteral("Price")).asString());
    if (UseSerial == QLatin1String("Y")) {
        // A serial number belongs to one item of one product: it never passes to another.
        if (anotherProduct)
            page.serial->clear();
        page.quantity->setText(QStringLiteral("1"));
        page.quantity->setReadOnly(true);
        page.serialLabel->show();
        page.serial->show();
        FocusExit::refocus(page.serial);
    } else {
        // Goods without serial numbers are entered plainly, whatever was looked up before: the
        // quantity fixed for serial-numbered goods and their serial number do not carry over.
        if (page.quantity->isReadOnly()) {
            page.quantity->setReadOnly(false);
            page.quantity->setText(QStringLiteral("0"));
        }
        page.serialLabel->hide();
        page.serial->hide();
        page.serial->clear();
    }
    return Lookup::Found;
}

void TFrTarvoAdjAndConsignment::showFreeGiftPrice(const EntryPage &page)
{
    page.price->setText(page.free->isChecked() ? QStringLiteral("0") : FloatToStr(OldPrice));
}

// Passing through a barcode box whose product is shown (Shift+Tab back to the type, Tab on to
// the OK button) looks nothing up again: the clerk may change the type after the scan.
bool TFrTarvoAdjAndConsignment::unchangedSinceLookUp(const EntryPage &page) const
{
    return !page.foundBarcode.isEmpty() && page.barcode->text().trimmed() == page.foundBarcode;
}

// After a barcode that is not found or refused, the box holds the focus with its text selected:
// the next scan replaces it rather than being appended to it.
void TFrTarvoAdjAndConsignment::backToBarcode(EntryPage &page)
{
    backToField(page.barcode);
}

// After a message, the focus is in the field to correct with its text selected, so that what
// the clerk types next replaces the mistake.
void TFrTarvoAdjAndConsignment::backToField(QWidget *field)
{
    FocusExit::refocus(field);
    if (auto *box = qobject_cast<QLineEdit *>(field))
        box->selectAll();
}

// A line the server refused (a serial number already sold, ...): the field to correct is the
// serial number of serial-numbered goods, else the quantity.
void TFrTarvoAdjAndConsignment::backToFieldOfRefusedLine(EntryPage &page)
{
    backToField(page.serial->isVisible() ? static_cast<QWidget *>(page.serial) : page.quantity);
}

// Enter never runs on into the date of the page it is pressed in: the date changes only when the
// clerk goes to it (Tab, Shift+Tab, a click). Enter in the control before it keeps the focus
// there and selects its text.
bool TFrTarvoAdjAndConsignment::FormKeyDown(QKeyEvent *event)
{
    EntryPage *page = activeEntryPage();
    QWidget *focus = focusWidget();
    if (page && focus && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        EnterAsTab::nextTabStop(this, focus) == page->date && PageControl1->currentWidget()->isAncestorOf(focus)) {
        if (auto *box = qobject_cast<QLineEdit *>(focus))
            box->selectAll();
        return true;
    }
    return TFrForm::FormKeyDown(event);
}

// A line dated another day than today is marked on its page, so that the clerk sees it before
// saving.
void TFrTarvoAdjAndConsignment::markDate(EntryPage &page)
{
    const bool notToday = page.date->date() != QDate::currentDate();
    if (page.date->property("notToday").toBool() == notToday)
        return;
    page.date->setProperty("notToday", notToday);
    page.date->setStyleSheet(notToday ? QStringLiteral("QDateEdit { background: #ffd84d; color: #b00000; font-weight: bold; "
                                                       "border: 2px solid #d00000; }")
                                      : QString());
    page.date->setToolTip(notToday ? QStringLiteral("ไม่ใช่วันที่วันนี้") : QString());
}

void TFrTarvoAdjAndConsignment::EdBarcode1Exit()
{
    if (!unchangedSinceLookUp(m_page[ConsignmentPage]))
        BtOk1Click();
}

void TFrTarvoAdjAndConsignment::BtOk1Click()
{
    if (lookUp(m_page[ConsignmentPage], QStringLiteral("ระบุบาร์โค้ด")) == Lookup::NotFound) {
        showMessage(QStringLiteral("ไม่พบ Barcode ") + EdBarcode1->text().toUpper().trimmed());
        AcNewExecute();
        backToBarcode(m_page[ConsignmentPage]);
    }
}

void TFrTarvoAdjAndConsignment::CBFree1Click()
{
    showFreeGiftPrice(m_page[ConsignmentPage]);
}

void TFrTarvoAdjAndConsignment::EdBarcode2Exit()
{
    if (!unchangedSinceLookUp(m_page[AdjustmentPage]))
        BTOk2Click();
}

void TFrTarvoAdjAndConsignment::BTOk2Click()
{
    if (lookUp(m_page[AdjustmentPage], QStringLiteral("ระบุ Barcode")) == Lookup::NotFound) {
        showMessage(QStringLiteral("ไม่พบ Barcode !!"));
        backToBarcode(m_page[AdjustmentPage]);
    }
}

void TFrTarvoAdjAndConsignment::CBFree2Click()
{
    showFreeGiftPrice(m_page[AdjustmentPage]);
}

void TFrTarvoAdjAndConsignment::AcSaveExecute()
{
    const int index = PageControl1->currentIndex();
    if (index != ConsignmentPage && index != AdjustmentPage)
        return;
    // The line is stored for the branch the box shows, whether or not the box has been left
    // since the branch was chosen.
    takeShownBranch();
    // A save that raises an error leaves the focus in the field to correct (in the barcode box
    // when the line has left the page: refused after it was kept in the offline journal).
    struct OnError {
        TFrTarvoAdjAndConsignment *screen;
        EntryPage &page;
        int before = std::uncaught_exceptions();
        ~OnError()
        {
            if (std::uncaught_exceptions() <= before)
                return;
            if (page.foundBarcode.isEmpty())
                screen->backToBarcode(page);
            else
                screen->backToFieldOfRefusedLine(page);
        }
    } onError{this, m_page[index]};
    if (index == ConsignmentPage)
        consignmentSave();
    else
        adjustmentSave();
}

void TFrTarvoAdjAndConsignment::consignmentSave()
{
    EntryPage &page = m_page[ConsignmentPage];
    const QString consigType = page.type->currentIndex() == 1 ? QStringLiteral("R") : QStringLiteral("S");
    if (page.barcode->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุ Barcode"));
        return;
    }
    if (!checkEntry(page))
        return;
    if (UseSerial == QLatin1String("Y") && page.serial->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุ Serial Number"));
        backToField(page.serial);
        return;
    }
    const ConsignmentLine line = readLine(page, ConsignmentLine::Entry::Consignment, consigType, 1);
    refuseSerialOnSaleOffline(line);
    saveLine(line);
}

void TFrTarvoAdjAndConsignment::adjustmentSave()
{
    EntryPage &page = m_page[AdjustmentPage];
    if (page.barcode->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุ Barcode"));
        backToField(page.barcode);
        return;
    }
    if (!checkEntry(page))
        return;
    const ConsignmentLine line =
        readLine(page, ConsignmentLine::Entry::Adjustment, QStringLiteral("A"), page.type->currentIndex() == 1 ? -1 : 1);
    if (UseSerial == QLatin1String("Y") && page.serial->text().isEmpty()) {
        backToField(page.serial);
        showMessage(QStringLiteral("ระบุ SerialNumber"));
        return;
    }
    saveLine(line);
}

// The checks both pages make before a line is read: the product shown is the one of the barcode
// in the box, a quantity is given and keeps to what a branch can hold, the date is one a line
// can have. Each failed check says so and leaves the focus where the clerk must act.
bool TFrTarvoAdjAndConsignment::checkEntry(EntryPage &page)
{
    if (page.barcode->text().trimmed() != page.foundBarcode) {
        // The barcode was changed without leaving the box: its product is looked up and shown
        // for the clerk to check before saving, never saved with what was shown for another.
        (this->*page.lookUpClick)();
        if (!page.foundBarcode.isEmpty()) {
            showMessage(QStringLiteral("ตรวจสอบสินค้า แล้วบันทึกอีกครั้ง"));
            backToField(UseSerial == QLatin1String("Y") ? page.serial : static_cast<QWidget *>(page.quantity));
        }
        return false;
    }
    if (page.quantity->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุ จำนวน"));
        backToField(page.quantity);
        return false;
    }
    if (!page.quantity->checkRange())
        return false;
    const int year = page.date->date().year();
    if (year < FirstLineYear || year > QDate::currentDate().year() + 1) {
        showMessage(QStringLiteral("วันที่ไม่ถูกต้อง !"));
        backToField(page.date);
        return false;
    }
    // The company database keeps text in the Thai code page: a character it cannot hold (a
    // Chinese one, say) would never reach it.
    const QString serial = page.serial->text();
    const qsizetype unholdable = CodePage874::firstUnencodable(serial);
    if (unholdable >= 0) {
        showMessage(QStringLiteral("SerialNo มีตัวอักษร \"%1\" ที่ฐานข้อมูลเก็บไม่ได้ แก้ไข SerialNo แล้วบันทึกอีกครั้ง")
                        .arg(serial.mid(unholdable, serial.at(unholdable).isHighSurrogate() ? 2 : 1)));
        FocusExit::refocus(page.serial);
        return false;
    }
    return true;
}

// The line the page shows, for the branch and user current: the quantity with the sign given,
// the price shown (0 for a free gift); a blank quantity or price counts as 0.
ConsignmentLine TFrTarvoAdjAndConsignment::readLine(const EntryPage &page, ConsignmentLine::Entry entry,
                                                    const QString &consigType, int sign) const
{
    ConsignmentLine line;
    line.entry = entry;
    line.userCode = UserCode;
    line.userKeyIn = UserKeyIn;
    line.customer = CusId;
    line.consigType = consigType;
    line.barcode = page.barcode->text().trimmed();
    line.serialNumber = page.serial->text();
    line.quantity = page.quantity->value() * sign;
    if (line.quantity == 0)
        line.quantity = 0; // a decrease of 0 is 0, not -0
    if (!page.price->text().trimmed().isEmpty())
        line.price = StrToFloat(page.price->text());
    line.free = page.free->isChecked();
    if (line.free)
        line.price = 0;
    line.oldPrice = OldPrice;
    line.editDate = page.date->date();
    line.shown = {page.code->text(), page.name->text(), page.unit->text(), page.quantity->text(), page.price->text()};
    return line;
}

void TFrTarvoAdjAndConsignment::saveLine(const ConsignmentLine &line)
{
    SaveOutcome outcome;
    {
        WaitCursor wait;
        outcome = m_store->save(line);
    }
    // Until the reset below has emptied the page, Save must not store the line a second time.
    AcSave->setEnabled(false);
    switch (outcome) {
    case SaveOutcome::Stored:
    case SaveOutcome::KeptLocally:
    case SaveOutcome::Held: {
        const QString scan = showSaved(savedText(outcome));
        AcNewExecute();
        takeScan(scan);
        break;
    }
    case SaveOutcome::Refused:
        // The line is kept in the offline journal for a person with the server's reason: the
        // page is emptied as after every save, so that the item is never entered twice, and the
        // refusal takes the application-wide path as any refusal does.
        AcNewExecute();
        throw EDatabaseError(m_store->refusal());
    }
}

// What the box after a save tells the clerk: stored, or kept on this workstation and sent by
// itself later, or kept but waiting for the supervisor (it would not be true to say it goes by
// itself while an earlier line with its serial number stands refused).
QString TFrTarvoAdjAndConsignment::savedText(SaveOutcome outcome)
{
    switch (outcome) {
    case SaveOutcome::KeptLocally:
        return QStringLiteral("บันทึกไว้ในเครื่องแล้ว จะส่งให้อัตโนมัติ");
    case SaveOutcome::Held:
        return QStringLiteral("บันทึกไว้ในเครื่องแล้ว แต่ยังไม่ส่ง: SerialNo นี้มีรายการที่ถูกปฏิเสธ "
                              "รอหัวหน้าจัดการใน รายการรอส่ง (F9)");
    default:
        return QStringLiteral("บันทึกเรียบร้อย");
    }
}

// The box after a save, and what a scanner typed while it was up (the next item's barcode).
QString TFrTarvoAdjAndConsignment::showSaved(const QString &text)
{
    const ScanCatcher catcher;
    showMessage(text);
    return catcher.scan();
}

// A scan typed while the success box was up goes into the emptied page's barcode box and is
// looked up as its Enter would have done; a product found moves the focus on as that Enter
// would have (the serial box for serial-numbered goods, else the next control).
void TFrTarvoAdjAndConsignment::takeScan(const QString &scan)
{
    EntryPage *page = activeEntryPage();
    if (scan.isEmpty() || !page)
        return;
    FocusExit::refocus(page->barcode);
    page->barcode->setText(scan);
    (this->*page->lookUpClick)();
    if (page->foundBarcode.isEmpty() || focusWidget() != page->barcode)
        return;
    const FocusExit::Suppressor looked; // the product is shown: leaving the box looks up nothing more
    EnterAsTab::focusNext(this);
}

// ---------------------------------------------------------------------------------------------
// Views (pages 2 and 3)

void TFrTarvoAdjAndConsignment::BtOkConsignClick()
{
    // The grid neither paints nor follows the rows while they are walked; it follows again
    // whether or not the reading succeeds.
    DBGRPProdDay->disableControls();
    struct FollowAgain {
        DataGrid *grid;
        ~FollowAgain() { grid->enableControls(); }
    } followAgain{DBGRPProdDay};

    QRPProdDay->close();
    QRPProdDay->setParam(QStringLiteral("BeginConsigDate"), DateEdit1->date());
    QRPProdDay->setParam(QStringLiteral("EndConsigDate"), DateEdit2->date());
    QRPProdDay->setParam(QStringLiteral("CusCode"), CusCode);
    m_dailyCustomer = CusId;
    {
        WaitCursor wait;
        readDaily();
    }
    // The total is the stored rows' total; the journal's lines have their own (LbWaiting).
    const int state = QRPProdDay->fieldIndex(OfflineRows::StateField);
    ExactTotal total;
    if (!QRPProdDay->isEmpty()) {
        QRPProdDay->first();
        while (!QRPProdDay->eof()) {
            if (state < 0 || QRPProdDay->value(QRPProdDay->recNo(), state).toString().isEmpty())
                total.add(QRPProdDay->fieldByName(QStringLiteral("Total")).asFloat());
            QRPProdDay->next();
        }
    }
    DBGRPProdDay->enableControls();
    QRPProdDay->first();
    LbTotal->setText(FormatFloat(TotalFormat, total.value()));
}

void TFrTarvoAdjAndConsignment::BkCustomrtOnhandClick()
{
    QRPOnhand->close();
    QRPOnhand->setParam(QStringLiteral("CusCode"), CusCode);
    QRPOnhand->setParam(QStringLiteral("GetYear"), StrToInt(GetYear->text()));
    QRPOnhand->setParam(QStringLiteral("GetPeriodNo"), PeriodNo->currentIndex());
    WaitCursor wait;
    if (!m_offline) {
        QRPOnhand->open();
        return;
    }
    readOnhand(QRPOnhand->params().value(QStringLiteral("GetYear")).toInt(), PeriodNo->currentIndex());
}

void TFrTarvoAdjAndConsignment::GetYearExit()
{
    if (GetYear->text().trimmed().size() != 4) {
        showMessage(QStringLiteral("ใส่จำนวนหลัก ปี ค.ศ. ไม่ถูกต้อง !"));
        backToField(GetYear);
    }
}

// ---------------------------------------------------------------------------------------------
// Offline mode. The views read the journal before the company database: a line the server
// stores meanwhile is then either among the server's rows, with its request id among those read
// after them (and left out of the journal's), or shown from the journal only. So a line shows
// once while it waits and once when it is stored, never twice (it may miss one reading in the
// instant between the server's rows and its ids).

void TFrTarvoAdjAndConsignment::setOffline(OfflineWorkstation *offline)
{
    if (m_offline || !offline)
        return;
    m_offline = offline;
    m_storedRequests = new Query(m_company, this);
    m_storedRequests->setObjectName(QStringLiteral("QStoredRequests"));
    m_storedRequests->setStatement(ConsignmentSql::QStoredRequests);
    buildOfflineControls();
    connectGuarded(AcJournal, &QAction::triggered, this, &TFrTarvoAdjAndConsignment::AcJournalExecute);
    connectGuarded(BtJournal, &QPushButton::clicked, this, &TFrTarvoAdjAndConsignment::AcJournalExecute);
}

bool TFrTarvoAdjAndConsignment::readOnline(const std::function<void()> &read)
{
    if (!m_offline) {
        read();
        return true;
    }
    CompanyLink &link = m_offline->link();
    if (!link.online())
        return false; // the sender finds out when it is back
    try {
        read();
    } catch (const EDatabaseError &) {
        // A refusal leaves the connection open: the server answered, and the error is its own.
        // A link that failed has closed it.
        if (m_company->connected()) {
            link.reportAnswered();
            throw;
        }
        link.reportLost();
        return false;
    }
    link.reportAnswered();
    return true;
}

QList<JournalEntry> TFrTarvoAdjAndConsignment::notStored(const QList<JournalEntry> &lines, int customer, bool serverRead)
{
    QDate first, last;
    QList<JournalEntry> doubtful;
    for (const JournalEntry &e : lines)
        if (OfflineRows::mayBeStored(e)) {
            doubtful << e;
            first = first.isValid() ? std::min(first, e.line.editDate) : e.line.editDate;
            last = last.isValid() ? std::max(last, e.line.editDate) : e.line.editDate;
        }
    // Without the server's rows every line is shown from the journal alone.
    if (doubtful.isEmpty() || !serverRead)
        return lines;
    m_storedRequests->close();
    m_storedRequests->setParam(QStringLiteral("Customer"), customer);
    m_storedRequests->setParam(QStringLiteral("FirstDate"), first);
    m_storedRequests->setParam(QStringLiteral("LastDate"), last);
    QSet<QUuid> stored;
    if (readOnline([this] { m_storedRequests->open(); })) {
        for (int r = 0; r < m_storedRequests->recordCount(); ++r)
            stored.insert(QUuid::fromString(m_storedRequests->value(r, 0).toString()));
    } else {
        // Not known whether the server has them: shown with its rows or not at all, never twice.
        for (const JournalEntry &e : doubtful)
            stored.insert(e.requestId);
    }
    m_storedRequests->close();
    return OfflineRows::notAmong(lines, stored);
}

void TFrTarvoAdjAndConsignment::readDaily()
{
    QRPProdDay->close();
    if (!m_offline) {
        QRPProdDay->open();
        return;
    }
    const ParamList &read = QRPProdDay->params();
    const QDate from = read.value(QStringLiteral("BeginConsigDate")).toDate();
    const QDate to = read.value(QStringLiteral("EndConsigDate")).toDate();
    QList<JournalEntry> lines;
    if (from.isValid() && to.isValid())
        lines = m_offline->journal().unsettled(m_dailyCustomer, from, to);
    const bool serverRead = readOnline([this] { QRPProdDay->open(); });
    const ResultRows stored = serverRead ? QRPProdDay->rows() : ResultRows();
    lines = notStored(lines, m_dailyCustomer, serverRead);
    QRPProdDay->openRows(OfflineRows::daily(stored, lines));

    ExactTotal waiting;
    int waitingCount = 0, refusedCount = 0;
    for (const JournalEntry &e : lines) {
        if (OfflineRows::waits(e.state)) {
            ++waitingCount;
            waiting.add(OfflineRows::dailyTotal(e.line));
        } else {
            ++refusedCount;
        }
    }
    QString text = QStringLiteral("รอส่ง %1 รายการ มูลค่า %2").arg(waitingCount).arg(FormatFloat(TotalFormat, waiting.value()));
    if (refusedCount > 0)
        text += QStringLiteral(" ถูกปฏิเสธ %1 รายการ").arg(refusedCount);
    if (!serverRead)
        text = QStringLiteral("ติดต่อเครื่องแม่ข่ายไม่ได้ แสดงเฉพาะรายการในเครื่อง: ") + text;
    LbWaiting->setText(text);
}

void TFrTarvoAdjAndConsignment::readOnhand(int year, int period)
{
    QList<JournalEntry> lines = m_offline->journal().unsettled(CusId, QDate(1, 1, 1), OfflineRows::lastDayOf(year, period));
    const bool serverRead = readOnline([this] { QRPOnhand->open(); });
    const ResultRows stored = serverRead ? QRPOnhand->rows() : ResultRows();
    lines = notStored(lines, CusId, serverRead);
    QRPOnhand->openRows(OfflineRows::onhand(stored, lines, year, period));
}

// While the link is down the save procedure cannot refuse a serial number already on sale; the
// copy and the journal do it with its words.
void TFrTarvoAdjAndConsignment::refuseSerialOnSaleOffline(const ConsignmentLine &line)
{
    if (m_offline && !m_offline->link().online())
        OfflineSerialCheck(m_offline->scanCopy(), m_offline->journal()).check(line);
}

void TFrTarvoAdjAndConsignment::AcJournalExecute()
{
    if (!m_offline)
        return;
    if (!m_journalList) {
        m_journalList = new TFrOfflineJournal(m_offline->journal(), UserKeyIn, this);
        m_journalList->setWindowFlag(Qt::Window);
    } else {
        m_journalList->refresh();
    }
    m_journalList->show();
    m_journalList->raise();
    m_journalList->activateWindow();
}
