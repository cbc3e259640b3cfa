// The consignment screen's layout, show, branch choice, page change, reset and barcode search,
// driven through its real widgets on fresh demo databases.
#include "support/ScreenFixture.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "data/U_DM.h"
#include "platform/format/FormatFloat.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/DataLabel.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/NumberEdit.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ConsignmentDriver.h"
#include "support/ScriptedDialogService.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QStatusBar>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace platform;

namespace {

using C = ConsignmentDriver;
using Grid = ConsignmentDriver::Grid;

// A stand-in for the barcode search dialog with its interface: a real modal dialog whose
// barcode the test types while it is open.
class SearchDialogStandIn : public QDialog
{
public:
    explicit SearchDialogStandIn(QWidget *parent = nullptr)
        : QDialog(parent)
        , edit(new QLineEdit(this))
    {
        ++created;
    }
    int ShowModal()
    {
        ++shown;
        return exec();
    }
    void accept() override
    {
        SelectedBarCode = edit->text();
        QDialog::accept();
    }
    QString SelectedBarCode;
    QLineEdit *edit;
    static inline int created = 0;
    static inline int shown = 0;
};

// While the next modal dialog is open: type barcode into it and close it with OK, or Cancel.
void answerSearch(const QString &barcode, bool ok)
{
    QTimer::singleShot(0, [barcode, ok] {
        auto *dialog = dynamic_cast<SearchDialogStandIn *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTest::keyClicks(dialog->edit, barcode);
        if (ok)
            dialog->accept();
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
    });
}

void showTab(ConsignmentDriver &d, int index)
{
    d.showPage(ConsignmentDriver::Page(index));
    QCOMPARE(d.page(), index);
}

// The offscreen platform does not give the activation back to the screen when a modal dialog
// closes, as a window manager does; this does it.
void reactivate(QWidget *screen)
{
    screen->activateWindow();
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeWindow(), screen);
}

QStringList comboItems(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QStringList gridTitles(const DataGrid *grid)
{
    QStringList titles;
    for (int i = 0; i < grid->model()->columnCount(); ++i)
        titles << grid->model()->headerData(i, Qt::Horizontal).toString() + "/" + QString::number(grid->columnWidth(i));
    return titles;
}

} // namespace

class TestConsignmentScreen : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layout()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        QCOMPARE(s->windowTitle(), QString("Tarvo ฝากขาย"));
        QCOMPARE(ApplicationTitle::text(), QString("Tarvo ฝากขาย"));
        QCOMPARE(s->size(), QSize(885, 504));
        QCOMPARE(s->GroupBox1->height(), 43);
        QCOMPARE(s->GroupBox1->width(), 885);
        QCOMPARE(s->CbBranch->width(), 607);
        QCOMPARE(s->Label1->text(), QString("สาขา"));
        QCOMPARE(s->Label2->text(), QString("*"));
        QVERIFY(!s->CbBranch->isEditable());
        // The page control fills what the branch group, the toolbar and the status bar leave.
        QCOMPARE(s->PageControl1->geometry().bottom() + 1, s->clientArea()->height());
        QCOMPARE(s->PageControl1->width(), 885);

        QStringList captions;
        for (int i = 0; i < s->PageControl1->count(); ++i)
            captions << s->PageControl1->tabText(i);
        QCOMPARE(captions, (QStringList{"โปรแกรมฝากขาย", "โปรแกรมปรับปรุง", "สรุปสินค้าเข้าออกประจำวัน", "สรุปสินค้าคงเหลือ"}));
        QCOMPARE(s->PageControl1->widget(0), s->TabSheet1);
        QCOMPARE(s->PageControl1->widget(3), s->TabSheet4);

        QCOMPARE(comboItems(s->CBConsignType), (QStringList{"ขาย", "รับคืน"}));
        QCOMPARE(comboItems(s->CBAdjType), (QStringList{"เพิ่ม", "ลด"}));
        QCOMPARE(s->BtOk1->text(), QString("ตกลง"));
        QCOMPARE(s->BTOk2->text(), QString("ตกลง"));
        QCOMPARE(s->CBFree1->text(), QString("ของแถม"));
        QCOMPARE(s->LbSerialNo2->text(), QString("SerialNo :"));
        for (NumberEdit *q : {s->EdQuantity1, s->EdQuantity2}) {
            QCOMPARE(q->decimalPlaces(), 0);
            QCOMPARE(q->displayFormat(), QString(",0"));
        }
        QCOMPARE(s->GetYear->displayFormat(), QString("0000"));
        QCOMPARE(s->GetYear->maxLength(), 4);
        QCOMPARE(s->PeriodNo->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(s->LbProdName1->dataQuery(), s->QProduct);
        QCOMPARE(s->DBText2->dataQuery(), s->QChkBarcode);
        QCOMPARE(s->LbUnitName1->fieldName(), QString("UnitName"));
        QVERIFY(s->LbTotal->font().bold() && s->LbTotal->font().underline());

        QCOMPARE(gridTitles(s->DBGRPProdDay),
                 (QStringList{"วันที่/86", "ประเภท/60", "BarCode/120", "สินค้า/200", "จำนวน/100", "หน่วย/80", "ราคา/100", "รวม/100"}));
        QCOMPARE(gridTitles(s->DBGRPOnhand), (QStringList{"BarCode/150", "สินค้า/300", "หน่วย/150", "จำนวน/150"}));

        // The base form's toolbar and keys: only New, Delete, Save and Exit are shown.
        QVERIFY(!s->BHist->isVisible() && !s->BCopy->isVisible() && !s->BPrint->isVisible() && !s->BChgCode->isVisible());
        QVERIFY(s->BSave->isVisible());
        QVERIFY(!s->AcSave->isEnabled());
    }

    // Enter walks the controls of each entry page in their order; controls that are hidden or
    // disabled are passed over.
    void enterFollowsTheTabOrder()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        QCOMPARE(d.focused(), C::Branch);
        auto walk = [&d](int steps) {
            QList<C::Control> seen;
            for (int i = 0; i < steps; ++i) {
                Drive::enter();
                seen << d.focused();
            }
            return seen;
        };
        QCOMPARE(walk(4), (QList<C::Control>{C::Tabs, C::Type, C::Barcode, C::Ok}));
        QCOMPARE(f.dialogs().texts(), QStringList{"ระบุบาร์โค้ด"}); // the empty barcode box was left
        // After the reset the quantity box is disabled and the serial box hidden; Enter does not
        // run on into the date.
        QCOMPARE(walk(2), (QList<C::Control>{C::Free, C::Free}));

        // A serial-numbered product enables and shows them; the lookup puts the focus in the serial box.
        d.focusOn(C::Barcode, C::Consignment);
        d.setText(C::Barcode, f.barcodeOfProduct(25), C::Consignment);
        QCOMPARE(walk(1), QList<C::Control>{C::Serial});
        d.focusOn(C::Ok, C::Consignment);
        QCOMPARE(walk(4), (QList<C::Control>{C::Free, C::Quantity, C::Serial, C::Serial}));

        // Entering the adjustment page puts the focus into its barcode box, empty: leaving it says so.
        showTab(d, 1);
        QCOMPARE(d.focused(), C::Barcode);
        d.focusOn(C::Date, C::Adjustment);
        QCOMPARE(walk(2), (QList<C::Control>{C::Type, C::Barcode}));
        d.setText(C::Barcode, f.barcodeOfProduct(50), C::Adjustment);
        QCOMPARE(walk(1), QList<C::Control>{C::Serial});
        d.focusOn(C::Ok, C::Adjustment);
        QCOMPARE(walk(4), (QList<C::Control>{C::Quantity, C::Free, C::Serial, C::Branch}));
        QCOMPARE(f.dialogs().texts(), (QStringList{"ระบุบาร์โค้ด", "ระบุ Barcode"}));
        QVERIFY(f.errors().isEmpty());
    }

    // Moving with Enter shows the focus mark as Tab does: the control reached reports the
    // keyboard focus that styles draw the mark of a tab, a combo box or a button for.
    void enterShowsTheFocusMark()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        auto keyboardFocus = [](QWidget *w) {
            QStyleOption option;
            option.initFrom(w);
            return (option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange);
        };
        QVERIFY(!keyboardFocus(d.control(C::Branch))); // nothing has moved the focus yet
        Drive::enter();
        QCOMPARE(d.focused(), C::Tabs);
        QVERIFY(keyboardFocus(d.control(C::Tabs)));
        Drive::enter();
        QCOMPARE(d.focused(), C::Type);
        QVERIFY(keyboardFocus(d.control(C::Type, C::Consignment)));
    }

    void showLoadsTheUserAndTheBranches()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        QCOMPARE(d.current().userKeyIn, QString("SOMCHAI"));
        QCOMPARE(d.page(), 0);
        // Branches: users with a tablet customer code that matches a customer, except QLM, by user code.
        QCOMPARE(d.items(C::Branch),
                 (QStringList{"สาขาเซ็นทรัลลาดพร้าว", "สาขาสยามพารากอน", "สาขาเชียงใหม่ นิมมาน", "สาขาขอนแก่น", "สาขาหาดใหญ่",
                              "สาขาพัทยากลาง"}));
        QCOMPARE(d.text(C::Branch), QString("สาขาเซ็นทรัลลาดพร้าว"));
        QCOMPARE(d.branchRow(), 0);
        QCOMPARE(d.focused(), C::Branch);
        // No branch is current until the branch box is left.
        QCOMPARE(d.current().userCode, QString());
        QCOMPARE(d.current().cusCode, QString());
        QCOMPARE(d.current().cusId, 0);

        const QDate today = QDate::currentDate();
        QCOMPARE(d.text(C::Year), QString::number(today.year()));
        const QStringList periods{" ยกมาต้นปี", "  1", "  2", "  3", "  4", "  5", "  6", "  7", "  8", "  9", " 10", " 11", " 12"};
        QCOMPARE(TFrTarvoAdjAndConsignment::periodItems(), periods);
        QCOMPARE(d.items(C::Period), periods);
        QCOMPARE(d.index(C::Period), today.month());
        QVERIFY(!d.read(Grid::Onhand));
        // The daily grid is read with no branch and no dates yet: no rows.
        QVERIFY(d.read(Grid::Daily));
        QCOMPARE(d.rows(Grid::Daily), 0);
        QVERIFY(f.dialogs().texts().isEmpty());
        QVERIFY(f.errors().isEmpty());

        // A user id without a row gives an empty key-in code.
        s = f.openScreen(555);
        d = ConsignmentDriver(s);
        QCOMPARE(d.current().userKeyIn, QString());
    }

    void showReconnectsTheCompanyDatabase()
    {
        ScreenFixture f;
        DM->DMdata->close();
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        QVERIFY(DM->DMdata->connected());
        QVERIFY(DM->QConfig->isOpen()); // the connection's after-connect step ran
        QCOMPARE(d.items(C::Branch).size(), 6);
        QVERIFY(f.errors().isEmpty());
    }

    // Choosing a branch in the box makes it current at once; leaving the box makes the branch
    // it shows current again.
    void leavingTheBranchBoxMakesItsBranchCurrent()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::key(Qt::Key_Down); // the second branch
        QCOMPARE(d.text(C::Branch), QString("สาขาสยามพารากอน"));
        QCOMPARE(d.current().cusId, 2);
        Drive::enter();
        QCOMPARE(d.focused(), C::Tabs);
        QCOMPARE(d.current().userCode, QString("BR02"));
        QCOMPARE(d.current().cusCode, QString("C0002"));
        QCOMPARE(d.current().cusId, 2);

        // The last branch, chosen from the drop-down list's model as a mouse choice makes it.
        d.focusOn(C::Branch);
        d.choose(C::Branch, 5);
        Drive::enter();
        QCOMPARE(d.current().userCode, QString("BR06"));
        QCOMPARE(d.current().cusCode, QString("C0006"));
        QCOMPARE(d.current().cusId, 6);
        // Opening the drop-down list is not leaving the box.
        d.focusOn(C::Branch);
        d.dropDown(C::Branch);
        QCOMPARE(d.current().userCode, QString("BR06"));
        d.dropDown(C::Branch, false);
    }

    // Each time the branch box is left, changed or not, the year and period go back to today
    // and the on-hand grid empties; the daily grid keeps its rows.
    void leavingTheBranchBoxResetsYearPeriodAndOnhand()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::enter(); // BR01 current
        showTab(d, 2);
        d.setDateOf(C::From, QDate::currentDate().addDays(-40));
        d.click(C::Summarise);
        const int dailyRows = d.rows(Grid::Daily);
        QVERIFY(dailyRows > 0);

        const QDate today = QDate::currentDate();
        for (int round = 0; round < 2; ++round) {
            showTab(d, 3);
            d.clickInto(C::Year);
            Drive::key(Qt::Key_A, Qt::ControlModifier);
            Drive::type(QString::number(today.year() - 1));
            d.choose(C::Period, 0);
            d.click(C::ShowOnhand);
            QVERIFY(d.read(Grid::Onhand));
            QVERIFY(d.rows(Grid::Onhand) > 0);

            d.focusOn(C::Branch); // back into the branch box, from the button
            Drive::enter();
            QCOMPARE(d.current().userCode, QString("BR01"));
            QVERIFY(!d.read(Grid::Onhand));
            QCOMPARE(d.rows(Grid::Onhand), 0);
            QCOMPARE(d.text(C::Year), QString::number(today.year()));
            QCOMPARE(d.items(C::Period).size(), 13);
            QCOMPARE(d.index(C::Period), today.month());
            QCOMPARE(d.rows(Grid::Daily), dailyRows);
        }
        QVERIFY(f.dialogs().texts().isEmpty());
        QVERIFY(f.errors().isEmpty());
    }

    void anEmptyBranchList()
    {
        ScreenFixture f;
        f.dbs().config().execute("Update Username Set CusCodeTablet = Null");
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        QCOMPARE(d.items(C::Branch).size(), 0);
        QCOMPARE(d.text(C::Branch), QString());
        Drive::enter();
        QCOMPARE(d.current().userCode, QString());
        QCOMPARE(d.current().cusCode, QString());
        QCOMPARE(d.current().cusId, 0);
        QCOMPARE(d.text(C::Year), QString::number(QDate::currentDate().year()));
        QVERIFY(f.errors().isEmpty());
    }

    // Entering the adjustment page resets both entry pages; entering any other page clears nothing.
    void changingThePage()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::enter();
        const QString product = f.barcodeOfProduct(3);
        d.scan(product);
        QCOMPARE(d.text(C::Code, C::Consignment), QString("P0003"));
        QVERIFY(d.saveEnabled());
        auto consignmentKept = [&] {
            QCOMPARE(d.text(C::Barcode, C::Consignment), product);
            QCOMPARE(d.text(C::Code, C::Consignment), QString("P0003"));
            QVERIFY(d.enabled(C::Quantity, C::Consignment));
            QVERIFY(d.saveEnabled());
        };
        showTab(d, 2);
        consignmentKept();
        showTab(d, 3);
        consignmentKept();
        showTab(d, 0);
        consignmentKept();

        showTab(d, 1);
        QCOMPARE(d.text(C::Barcode, C::Consignment), QString());
        QCOMPARE(d.text(C::Code, C::Consignment), QString());
        QVERIFY(!d.saveEnabled());

        d.scan(product);
        QCOMPARE(d.text(C::Code, C::Adjustment), QString("P0003"));
        showTab(d, 0);
        QCOMPARE(d.text(C::Barcode, C::Adjustment), product);
        QCOMPARE(d.text(C::Code, C::Adjustment), QString("P0003"));
        showTab(d, 1); // entering it again resets again
        QCOMPARE(d.text(C::Barcode, C::Adjustment), QString());
        QCOMPARE(d.text(C::Code, C::Adjustment), QString());
        // The keyboard's page change is the user's too.
        showTab(d, 0);
        d.scan(product);
        d.focusOn(C::Tabs);
        Drive::key(Qt::Key_Right);
        QCOMPARE(d.page(), 1);
        QCOMPARE(d.text(C::Barcode, C::Consignment), QString());
        QVERIFY(f.errors().isEmpty());
    }

    // The reset (New, F3) and its ten steps, from a screen where everything has been touched.
    void theReset()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::enter(); // BR01
        const QDate today = QDate::currentDate();

        showTab(d, 3);
        d.click(C::ShowOnhand);
        const int onhandRows = d.rows(Grid::Onhand);
        QVERIFY(onhandRows > 0);
        d.choose(C::Period, 0);

        showTab(d, 2);
        d.setDateOf(C::From, today.addDays(-40));
        d.setDateOf(C::To, today.addDays(1));
        d.click(C::Summarise);
        const int dailyRows = d.rowsRead(Grid::Daily);
        QVERIFY(dailyRows > 0);
        QVERIFY(d.text(C::Total) != "00.00");

        // Adjustment page: a product with a price, as a free decrease.
        showTab(d, 1);
        d.scan(f.barcodeOfProduct(4));
        d.choose(C::Type, 1, C::Adjustment);
        d.click(C::Free, C::Adjustment);
        QCOMPARE(d.text(C::Price, C::Adjustment), QString("0"));
        d.clickInto(C::Quantity, C::Adjustment);
        Drive::type("7");
        d.setDateOf(C::Date, today.addDays(-2), C::Adjustment);

        // Consignment page (entering it clears nothing): a serial-numbered product, taken back, free.
        showTab(d, 0);
        d.scan(f.barcodeOfProduct(25));
        QVERIFY(d.visible(C::Serial, C::Consignment));
        QVERIFY(d.readOnly(C::Quantity, C::Consignment));
        Drive::type("SN-1");
        d.choose(C::Type, 1, C::Consignment);
        d.click(C::Free, C::Consignment);
        QCOMPARE(d.text(C::Price, C::Consignment), QString("0"));
        d.setDateOf(C::Date, today.addDays(-3), C::Consignment);
        const double oldPrice = d.current().oldPrice;
        QVERIFY(oldPrice > 0);
        QCOMPARE(d.current().useSerial, QString("Y"));
        QVERIFY(d.saveEnabled());

        // A line stored meanwhile shows up when the daily grid is re-read by the reset.
        f.dbs().company().execute(QString("Insert Into Tarvo_Consignment (UserCode, UserKeyIn, Customer, ConsigType, Product,"
                                          " ProductUnits, Barcode, SerialNumber, Quantity, Price, ChkFree, OldPrice,"
                                          " ConsigDate, CreateTime) Values ('BR01', 'X', 1, 'S', 1, 1, '%1', '', 1, 10,"
                                          " 'N', 10, '%2', '%2 09:00:00')")
                                      .arg(f.barcodeOfProduct(1), today.toString("yyyy-MM-dd")));

        Drive::key(Qt::Key_F3);

        QCOMPARE(d.focused(), C::Barcode);                // ready for the next scan
        QVERIFY(!d.saveEnabled());                        // 1
        QCOMPARE(d.rowsRead(Grid::Daily), dailyRows + 1); // 2
        QCOMPARE(d.rows(Grid::Daily), dailyRows + 1);
        QVERIFY(!d.lookedUp(C::Consignment) && !d.lookedUp(C::Adjustment)); // 3
        for (C::Page page : {C::Consignment, C::Adjustment})
            for (C::Control label : {C::Code, C::Name, C::Unit})
                QCOMPARE(d.text(label, page), QString());
        for (const auto &[picker, page] :
             {std::pair{C::From, C::InUse}, {C::To, C::InUse}, {C::Date, C::Adjustment}, {C::Date, C::Consignment}}) // 4
            QCOMPARE(d.dateOf(picker, page), today);
        QCOMPARE(d.text(C::Type, C::Consignment), QString("ขาย")); // 5
        QCOMPARE(d.text(C::Type, C::Adjustment), QString("เพิ่ม"));
        for (C::Control box : {C::Barcode, C::Serial}) // 6
            for (C::Page page : {C::Consignment, C::Adjustment})
                QCOMPARE(d.text(box, page), QString());
        QCOMPARE(d.current().useSerial, QString());
        for (C::Page page : {C::Consignment, C::Adjustment}) // 7
            for (C::Control serial : {C::SerialLabel, C::Serial})
                QVERIFY(d.hidden(serial, page));
        for (C::Page page : {C::Consignment, C::Adjustment}) {
            QVERIFY(!d.enabled(C::Quantity, page));
            QVERIFY(!d.readOnly(C::Quantity, page));
            QCOMPARE(d.text(C::Quantity, page), QString("0")); // 9
        }
        QCOMPARE(d.text(C::Total), QString("00.00"));             // 8
        QCOMPARE(d.text(C::Price, C::Consignment), QString("0")); // 9, 10: unticking ran no handler
        QCOMPARE(d.text(C::Price, C::Adjustment), QString("0"));
        QVERIFY(!d.checked(C::Free, C::Consignment) && !d.checked(C::Free, C::Adjustment));

        // What the reset leaves.
        QCOMPARE(d.current().userCode, QString("BR01"));
        QCOMPARE(d.current().userKeyIn, QString("SOMCHAI"));
        QCOMPARE(d.current().oldPrice, oldPrice);
        QCOMPARE(d.index(C::Period), 0);
        QCOMPARE(d.rows(Grid::Onhand), onhandRows);
        QVERIFY(f.dialogs().texts().isEmpty());
        QVERIFY(f.errors().isEmpty());

        // Ticking afterwards runs the handler again: the list price, then 0.
        d.control(C::Quantity, C::Consignment)->setEnabled(true);
        d.click(C::Free, C::Consignment);
        QCOMPARE(d.text(C::Price, C::Consignment), QString("0"));
        d.click(C::Free, C::Consignment);
        QCOMPARE(d.text(C::Price, C::Consignment), FloatToStr(oldPrice));
    }

    void theBarcodeSearchButtons()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        // Without a search the buttons cannot be pressed.
        QVERIFY(!d.enabled(C::Search, C::Consignment) && !d.enabled(C::Search, C::Adjustment));

        SearchDialogStandIn::created = SearchDialogStandIn::shown = 0;
        s->setBarcodeSearchFactory(BarcodeSearch::forDialog<SearchDialogStandIn>());
        QVERIFY(d.enabled(C::Search, C::Consignment) && d.enabled(C::Search, C::Adjustment));
        QCOMPARE(SearchDialogStandIn::created, 0); // made on first use
        QCOMPARE(d.control(C::Search, C::Consignment)->focusPolicy(), Qt::NoFocus);

        Drive::enter(); // BR01; the focus is on the tab bar
        const QString chosen = f.barcodeOfProduct(8);
        answerSearch(chosen, true);
        d.click(C::Search, C::Consignment);
        reactivate(s);
        QCOMPARE(d.text(C::Barcode, C::Consignment), chosen);
        QCOMPARE(d.focused(), C::Barcode);
        QCOMPARE(d.text(C::Code, C::Consignment), QString()); // looked up when the box is left
        Drive::enter();
        QCOMPARE(d.text(C::Code, C::Consignment), QString("P0008"));

        // Cancel leaves the box as it was, text and focus.
        d.control(C::Serial, C::Consignment)->show();
        d.focusOn(C::Serial, C::Consignment);
        answerSearch(f.barcodeOfProduct(9), false);
        d.click(C::Search, C::Consignment);
        reactivate(s);
        QCOMPARE(d.text(C::Barcode, C::Consignment), chosen);
        QCOMPARE(d.focused(), C::Serial);

        showTab(d, 1);
        answerSearch(f.barcodeOfProduct(10), true);
        d.click(C::Search, C::Adjustment);
        reactivate(s);
        QCOMPARE(d.text(C::Barcode, C::Adjustment), f.barcodeOfProduct(10));
        QCOMPARE(d.focused(), C::Barcode);
        QCOMPARE(d.text(C::Barcode, C::Consignment), QString()); // entering the page reset page 0
        answerSearch(QString(), false);
        d.click(C::Search, C::Adjustment);
        QCOMPARE(d.text(C::Barcode, C::Adjustment), f.barcodeOfProduct(10));

        // One dialog for the whole run.
        QCOMPARE(SearchDialogStandIn::shown, 4);
        QCOMPARE(SearchDialogStandIn::created, 1);
        QVERIFY(f.dialogs().texts().isEmpty());
        QVERIFY(f.errors().isEmpty());
    }

    // Each page with demo data, rendered offscreen to a PNG beside the tests; nothing that
    // shows text is narrower or lower than its text needs.
    void pagesRenderUnclipped()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        QRawFont thai = QRawFont::fromFont(d.control(C::Price, C::Consignment)->font(), QFontDatabase::Thai);
        QVERIFY2(thai.supportsCharacter(QChar(u'ก')), qPrintable(thai.familyName()));

        Drive::enter();
        d.scan(f.barcodeOfProduct(25)); // serial controls shown
        Drive::type("SN-0001");
        QVERIFY(!d.text(C::Name, C::Consignment).isEmpty());
        auto render = [&](int page) {
            const QString dir = qEnvironmentVariable("TARVO_BINARY_DIR", QDir::tempPath());
            const QString file = dir + QString("/consignment_page%1.png").arg(page);
            QCoreApplication::processEvents(); // pending layout requests, as the event loop runs them
            QVERIFY(s->grab().save(file));
            const QList<QWidget *> widgets = s->findChildren<QWidget *>();
            for (QWidget *w : widgets) {
                if (!w->isVisible() || w->window() != s)
                    continue;
                const bool text = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) || qobject_cast<QComboBox *>(w);
                if (!text || qobject_cast<QToolButton *>(w))
                    continue;
                const QSize need = w->sizeHint();
                QVERIFY2(need.width() <= w->width() && need.height() <= w->height(),
                         qPrintable(QString("%1 \"%2\" needs %3x%4, has %5x%6")
                                        .arg(w->objectName(), qobject_cast<QLabel *>(w) ? qobject_cast<QLabel *>(w)->text() : "")
                                        .arg(need.width())
                                        .arg(need.height())
                                        .arg(w->width())
                                        .arg(w->height())));
            }
            auto *bar = qobject_cast<QTabBar *>(d.control(C::Tabs));
            for (int i = 0; i < bar->count(); ++i)
                QVERIFY(bar->tabRect(i).width() >= bar->fontMetrics().horizontalAdvance(bar->tabText(i)));
            QVERIFY(bar->tabRect(bar->count() - 1).right() < s->PageControl1->width());
        };
        render(0);

        showTab(d, 1);
        d.scan(f.barcodeOfProduct(4));
        render(1);

        showTab(d, 2);
        d.setDateOf(C::From, QDate::currentDate().addDays(-40));
        d.click(C::Summarise);
        QVERIFY(d.rows(Grid::Daily) > 10);
        render(2);

        showTab(d, 3);
        d.click(C::ShowOnhand);
        QVERIFY(d.rows(Grid::Onhand) > 10);
        render(3);
        QVERIFY(f.errors().isEmpty());
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestConsignmentScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_consignmentscreen.moc"
