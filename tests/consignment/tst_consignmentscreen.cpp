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

namespace {

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

void showTab(TFrTarvoAdjAndConsignment *s, int index)
{
    clickTab(s, index);
    QCOMPARE(s->PageControl1->currentIndex(), index);
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
        QCOMPARE(Drive::focus(), s->CbBranch);
        auto walk = [](int steps) {
            QList<QWidget *> seen;
            for (int i = 0; i < steps; ++i) {
                Drive::enter();
                seen << Drive::focus();
            }
            return seen;
        };
        QCOMPARE(walk(4), (QList<QWidget *>{s->PageControl1->tabBar(), s->CBConsignType, s->EdBarcode1, s->BtOk1}));
        QCOMPARE(f.dialogs().texts(), QStringList{"ระบุบาร์โค้ด"}); // the empty barcode box was left
        // After the reset the quantity box is disabled and the serial box hidden; Enter does not
        // run on into the date.
        QCOMPARE(walk(2), (QList<QWidget *>{s->CBFree1, s->CBFree1}));

        // A serial-numbered product enables and shows them; the lookup puts the focus in the serial box.
        s->EdBarcode1->setFocus();
        s->EdBarcode1->setText(f.barcodeOfProduct(25));
        QCOMPARE(walk(1), QList<QWidget *>{s->EdSerialNo1});
        s->BtOk1->setFocus();
        QCOMPARE(walk(4), (QList<QWidget *>{s->CBFree1, s->EdQuantity1, s->EdSerialNo1, s->EdSerialNo1}));

        // Entering the adjustment page puts the focus into its barcode box, empty: leaving it says so.
        showTab(s, 1);
        QCOMPARE(Drive::focus(), s->EdBarcode2);
        s->DateTimePicker1->setFocus();
        QCOMPARE(walk(2), (QList<QWidget *>{s->CBAdjType, s->EdBarcode2}));
        s->EdBarcode2->setText(f.barcodeOfProduct(50));
        QCOMPARE(walk(1), QList<QWidget *>{s->EdSerialNo2});
        s->BTOk2->setFocus();
        QCOMPARE(walk(4), (QList<QWidget *>{s->EdQuantity2, s->CBFree2, s->EdSerialNo2, s->CbBranch}));
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
        QVERIFY(!keyboardFocus(s->CbBranch)); // nothing has moved the focus yet
        Drive::enter();
        QCOMPARE(Drive::focus(), s->PageControl1->tabBar());
        QVERIFY(keyboardFocus(s->PageControl1->tabBar()));
        Drive::enter();
        QCOMPARE(Drive::focus(), s->CBConsignType);
        QVERIFY(keyboardFocus(s->CBConsignType));
    }

    void showLoadsTheUserAndTheBranches()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        QCOMPARE(s->userKeyIn(), QString("SOMCHAI"));
        QCOMPARE(s->PageControl1->currentIndex(), 0);
        // Branches: users with a tablet customer code that matches a customer, except QLM, by user code.
        QCOMPARE(comboItems(s->CbBranch),
                 (QStringList{"สาขาเซ็นทรัลลาดพร้าว", "สาขาสยามพารากอน", "สาขาเชียงใหม่ นิมมาน", "สาขาขอนแก่น", "สาขาหาดใหญ่",
                              "สาขาพัทยากลาง"}));
        QCOMPARE(s->CbBranch->currentText(), QString("สาขาเซ็นทรัลลาดพร้าว"));
        QCOMPARE(s->QBranch->recNo(), 0);
        QCOMPARE(Drive::focus(), s->CbBranch);
        // No branch is current until the branch box is left.
        QCOMPARE(s->userCode(), QString());
        QCOMPARE(s->cusCode(), QString());
        QCOMPARE(s->cusId(), 0);

        const QDate today = QDate::currentDate();
        QCOMPARE(s->GetYear->text(), QString::number(today.year()));
        const QStringList periods{" ยกมาต้นปี", "  1", "  2", "  3", "  4", "  5", "  6", "  7", "  8", "  9", " 10", " 11", " 12"};
        QCOMPARE(TFrTarvoAdjAndConsignment::periodItems(), periods);
        QCOMPARE(comboItems(s->PeriodNo), periods);
        QCOMPARE(s->PeriodNo->currentIndex(), today.month());
        QVERIFY(!s->QRPOnhand->isOpen());
        // The daily grid is read with no branch and no dates yet: no rows.
        QVERIFY(s->QRPProdDay->isOpen());
        QCOMPARE(s->DBGRPProdDay->model()->rowCount(), 0);
        QVERIFY(f.dialogs().texts().isEmpty());
        QVERIFY(f.errors().isEmpty());

        // A user id without a row gives an empty key-in code.
        s = f.openScreen(555);
        d = ConsignmentDriver(s);
        QCOMPARE(s->userKeyIn(), QString());
    }

    void showReconnectsTheCompanyDatabase()
    {
        ScreenFixture f;
        DM->DMdata->close();
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        QVERIFY(DM->DMdata->connected());
        QVERIFY(DM->QConfig->isOpen()); // the connection's after-connect step ran
        QCOMPARE(s->CbBranch->count(), 6);
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
        QCOMPARE(s->CbBranch->currentText(), QString("สาขาสยามพารากอน"));
        QCOMPARE(s->cusId(), 2);
        Drive::enter();
        QCOMPARE(Drive::focus(), s->PageControl1->tabBar());
        QCOMPARE(s->userCode(), QString("BR02"));
        QCOMPARE(s->cusCode(), QString("C0002"));
        QCOMPARE(s->cusId(), 2);

        // The last branch, chosen from the drop-down list's model as a mouse choice makes it.
        s->CbBranch->setFocus();
        s->CbBranch->setCurrentIndex(5);
        Drive::enter();
        QCOMPARE(s->userCode(), QString("BR06"));
        QCOMPARE(s->cusCode(), QString("C0006"));
        QCOMPARE(s->cusId(), 6);
        // Opening the drop-down list is not leaving the box.
        s->CbBranch->setFocus();
        s->CbBranch->showPopup();
        QCOMPARE(s->userCode(), QString("BR06"));
        s->CbBranch->hidePopup();
    }

    // Each time the branch box is left, changed or not, the year and period go back to today
    // and the on-hand grid empties; the daily grid keeps its rows.
    void leavingTheBranchBoxResetsYearPeriodAndOnhand()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::enter(); // BR01 current
        showTab(s, 2);
        s->DateEdit1->setDate(QDate::currentDate().addDays(-40));
        Drive::click(s->BtOkConsign);
        const int dailyRows = s->DBGRPProdDay->model()->rowCount();
        QVERIFY(dailyRows > 0);

        const QDate today = QDate::currentDate();
        for (int round = 0; round < 2; ++round) {
            showTab(s, 3);
            Drive::clickInto(s->GetYear);
            Drive::key(Qt::Key_A, Qt::ControlModifier);
            Drive::type(QString::number(today.year() - 1));
            s->PeriodNo->setCurrentIndex(0);
            Drive::click(s->BkCustomrtOnhand);
            QVERIFY(s->QRPOnhand->isOpen());
            QVERIFY(s->DBGRPOnhand->model()->rowCount() > 0);

            s->CbBranch->setFocus(); // back into the branch box, from the button
            Drive::enter();
            QCOMPARE(s->userCode(), QString("BR01"));
            QVERIFY(!s->QRPOnhand->isOpen());
            QCOMPARE(s->DBGRPOnhand->model()->rowCount(), 0);
            QCOMPARE(s->GetYear->text(), QString::number(today.year()));
            QCOMPARE(s->PeriodNo->count(), 13);
            QCOMPARE(s->PeriodNo->currentIndex(), today.month());
            QCOMPARE(s->DBGRPProdDay->model()->rowCount(), dailyRows);
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
        QCOMPARE(s->CbBranch->count(), 0);
        QCOMPARE(s->CbBranch->currentText(), QString());
        Drive::enter();
        QCOMPARE(s->userCode(), QString());
        QCOMPARE(s->cusCode(), QString());
        QCOMPARE(s->cusId(), 0);
        QCOMPARE(s->GetYear->text(), QString::number(QDate::currentDate().year()));
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
        QCOMPARE(s->LbProdCode1->text(), QString("P0003"));
        QVERIFY(s->AcSave->isEnabled());
        auto consignmentKept = [&] {
            QCOMPARE(s->EdBarcode1->text(), product);
            QCOMPARE(s->LbProdCode1->text(), QString("P0003"));
            QVERIFY(s->EdQuantity1->isEnabled());
            QVERIFY(s->AcSave->isEnabled());
        };
        showTab(s, 2);
        consignmentKept();
        showTab(s, 3);
        consignmentKept();
        showTab(s, 0);
        consignmentKept();

        showTab(s, 1);
        QCOMPARE(s->EdBarcode1->text(), QString());
        QCOMPARE(s->LbProdCode1->text(), QString());
        QVERIFY(!s->AcSave->isEnabled());

        d.scan(product);
        QCOMPARE(s->DBText1->text(), QString("P0003"));
        showTab(s, 0);
        QCOMPARE(s->EdBarcode2->text(), product);
        QCOMPARE(s->DBText1->text(), QString("P0003"));
        showTab(s, 1); // entering it again resets again
        QCOMPARE(s->EdBarcode2->text(), QString());
        QCOMPARE(s->DBText1->text(), QString());
        // The keyboard's page change is the user's too.
        showTab(s, 0);
        d.scan(product);
        s->PageControl1->tabBar()->setFocus();
        Drive::key(Qt::Key_Right);
        QCOMPARE(s->PageControl1->currentIndex(), 1);
        QCOMPARE(s->EdBarcode1->text(), QString());
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

        showTab(s, 3);
        Drive::click(s->BkCustomrtOnhand);
        const int onhandRows = s->DBGRPOnhand->model()->rowCount();
        QVERIFY(onhandRows > 0);
        s->PeriodNo->setCurrentIndex(0);

        showTab(s, 2);
        s->DateEdit1->setDate(today.addDays(-40));
        s->DateEdit2->setDate(today.addDays(1));
        Drive::click(s->BtOkConsign);
        const int dailyRows = s->QRPProdDay->recordCount();
        QVERIFY(dailyRows > 0);
        QVERIFY(s->LbTotal->text() != "00.00");

        // Adjustment page: a product with a price, as a free decrease.
        showTab(s, 1);
        d.scan(f.barcodeOfProduct(4));
        s->CBAdjType->setCurrentIndex(1);
        Drive::click(s->CBFree2);
        QCOMPARE(s->LbPrice2->text(), QString("0"));
        Drive::clickInto(s->EdQuantity2);
        Drive::type("7");
        s->DateTimePicker1->setDate(today.addDays(-2));

        // Consignment page (entering it clears nothing): a serial-numbered product, taken back, free.
        showTab(s, 0);
        d.scan(f.barcodeOfProduct(25));
        QVERIFY(s->EdSerialNo1->isVisible());
        QVERIFY(s->EdQuantity1->isReadOnly());
        Drive::type("SN-1");
        s->CBConsignType->setCurrentIndex(1);
        Drive::click(s->CBFree1);
        QCOMPARE(s->LbPrice1->text(), QString("0"));
        s->DateTimePicker2->setDate(today.addDays(-3));
        const double oldPrice = s->oldPrice();
        QVERIFY(oldPrice > 0);
        QCOMPARE(s->useSerial(), QString("Y"));
        QVERIFY(s->AcSave->isEnabled());

        // A line stored meanwhile shows up when the daily grid is re-read by the reset.
        f.dbs().company().execute(QString("Insert Into Tarvo_Consignment (UserCode, UserKeyIn, Customer, ConsigType, Product,"
                                          " ProductUnits, Barcode, SerialNumber, Quantity, Price, ChkFree, OldPrice,"
                                          " ConsigDate, CreateTime) Values ('BR01', 'X', 1, 'S', 1, 1, '%1', '', 1, 10,"
                                          " 'N', 10, '%2', '%2 09:00:00')")
                                      .arg(f.barcodeOfProduct(1), today.toString("yyyy-MM-dd")));

        Drive::key(Qt::Key_F3);

        QCOMPARE(Drive::focus(), s->EdBarcode1);               // ready for the next scan
        QVERIFY(!s->AcSave->isEnabled());                      // 1
        QCOMPARE(s->QRPProdDay->recordCount(), dailyRows + 1); // 2
        QCOMPARE(s->DBGRPProdDay->model()->rowCount(), dailyRows + 1);
        QVERIFY(!s->QProduct->isOpen() && !s->QChkBarcode->isOpen()); // 3
        for (DataLabel *label : {s->LbProdCode1, s->LbProdName1, s->LbUnitName1, s->DBText1, s->DBText2, s->DBText3})
            QCOMPARE(label->text(), QString());
        for (DatePicker *picker : {s->DateEdit1, s->DateEdit2, s->DateTimePicker1, s->DateTimePicker2}) // 4
            QCOMPARE(picker->date(), today);
        QCOMPARE(s->CBConsignType->currentText(), QString("ขาย")); // 5
        QCOMPARE(s->CBAdjType->currentText(), QString("เพิ่ม"));
        for (QLineEdit *box : {s->EdBarcode1, s->EdBarcode2, s->EdSerialNo1, s->EdSerialNo2}) // 6
            QCOMPARE(box->text(), QString());
        QCOMPARE(s->useSerial(), QString());
        for (QWidget *w : {static_cast<QWidget *>(s->LbSerialNo1), static_cast<QWidget *>(s->EdSerialNo1),
                           static_cast<QWidget *>(s->LbSerialNo2), static_cast<QWidget *>(s->EdSerialNo2)}) // 7
            QVERIFY(w->isHidden());
        for (NumberEdit *q : {s->EdQuantity1, s->EdQuantity2}) {
            QVERIFY(!q->isEnabled());
            QVERIFY(!q->isReadOnly());
            QCOMPARE(q->text(), QString("0")); // 9
        }
        QCOMPARE(s->LbTotal->text(), QString("00.00")); // 8
        QCOMPARE(s->LbPrice1->text(), QString("0"));    // 9, 10: unticking ran no handler
        QCOMPARE(s->LbPrice2->text(), QString("0"));
        QVERIFY(!s->CBFree1->isChecked() && !s->CBFree2->isChecked());

        // What the reset leaves.
        QCOMPARE(s->userCode(), QString("BR01"));
        QCOMPARE(s->userKeyIn(), QString("SOMCHAI"));
        QCOMPARE(s->oldPrice(), oldPrice);
        QCOMPARE(s->PeriodNo->currentIndex(), 0);
        QCOMPARE(s->DBGRPOnhand->model()->rowCount(), onhandRows);
        QVERIFY(f.dialogs().texts().isEmpty());
        QVERIFY(f.errors().isEmpty());

        // Ticking afterwards runs the handler again: the list price, then 0.
        s->EdQuantity1->setEnabled(true);
        Drive::click(s->CBFree1);
        QCOMPARE(s->LbPrice1->text(), QString("0"));
        Drive::click(s->CBFree1);
        QCOMPARE(s->LbPrice1->text(), FloatToStr(oldPrice));
    }

    void theBarcodeSearchButtons()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        // Without a search the buttons cannot be pressed.
        QVERIFY(!s->BtBarCode1->isEnabled() && !s->BtBarCode2->isEnabled());

        SearchDialogStandIn::created = SearchDialogStandIn::shown = 0;
        s->setBarcodeSearchFactory(BarcodeSearch::forDialog<SearchDialogStandIn>());
        QVERIFY(s->BtBarCode1->isEnabled() && s->BtBarCode2->isEnabled());
        QCOMPARE(SearchDialogStandIn::created, 0); // made on first use
        QCOMPARE(s->BtBarCode1->focusPolicy(), Qt::NoFocus);

        Drive::enter(); // BR01; the focus is on the tab bar
        const QString chosen = f.barcodeOfProduct(8);
        answerSearch(chosen, true);
        Drive::click(s->BtBarCode1);
        reactivate(s);
        QCOMPARE(s->EdBarcode1->text(), chosen);
        QCOMPARE(Drive::focus(), s->EdBarcode1);
        QCOMPARE(s->LbProdCode1->text(), QString()); // looked up when the box is left
        Drive::enter();
        QCOMPARE(s->LbProdCode1->text(), QString("P0008"));

        // Cancel leaves the box as it was, text and focus.
        s->EdSerialNo1->show();
        s->EdSerialNo1->setFocus();
        answerSearch(f.barcodeOfProduct(9), false);
        Drive::click(s->BtBarCode1);
        reactivate(s);
        QCOMPARE(s->EdBarcode1->text(), chosen);
        QCOMPARE(Drive::focus(), s->EdSerialNo1);

        showTab(s, 1);
        answerSearch(f.barcodeOfProduct(10), true);
        Drive::click(s->BtBarCode2);
        reactivate(s);
        QCOMPARE(s->EdBarcode2->text(), f.barcodeOfProduct(10));
        QCOMPARE(Drive::focus(), s->EdBarcode2);
        QCOMPARE(s->EdBarcode1->text(), QString()); // entering the page reset page 0
        answerSearch(QString(), false);
        Drive::click(s->BtBarCode2);
        QCOMPARE(s->EdBarcode2->text(), f.barcodeOfProduct(10));

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
        QRawFont thai = QRawFont::fromFont(s->LbPrice1->font(), QFontDatabase::Thai);
        QVERIFY2(thai.supportsCharacter(QChar(u'ก')), qPrintable(thai.familyName()));

        Drive::enter();
        d.scan(f.barcodeOfProduct(25)); // serial controls shown
        Drive::type("SN-0001");
        QVERIFY(!s->LbProdName1->text().isEmpty());
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
            QTabBar *bar = s->PageControl1->tabBar();
            for (int i = 0; i < bar->count(); ++i)
                QVERIFY(bar->tabRect(i).width() >= bar->fontMetrics().horizontalAdvance(bar->tabText(i)));
            QVERIFY(bar->tabRect(bar->count() - 1).right() < s->PageControl1->width());
        };
        render(0);

        showTab(s, 1);
        d.scan(f.barcodeOfProduct(4));
        render(1);

        showTab(s, 2);
        s->DateEdit1->setDate(QDate::currentDate().addDays(-40));
        Drive::click(s->BtOkConsign);
        QVERIFY(s->DBGRPProdDay->model()->rowCount() > 10);
        render(2);

        showTab(s, 3);
        Drive::click(s->BkCustomrtOnhand);
        QVERIFY(s->DBGRPOnhand->model()->rowCount() > 10);
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
