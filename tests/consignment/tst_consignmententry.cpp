// Consignment and adjustment entry on the consignment screen: lookups, checks and saves, driven
// with keys, clicks and focus changes on fresh demo databases. Every save is checked by reading
// the stored Tarvo_Consignment line back.
#include "support/ScreenFixture.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "platform/format/FormatFloat.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ConsignmentDriver.h"
#include "support/ScriptedDialogService.h"

#include "platform/ui/DataGrid.h"
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace platform;

namespace {

using C = ConsignmentDriver;
using Grid = ConsignmentDriver::Grid;

struct Line {
    QString userCode = "BR01";
    QString userKeyIn = "SOMCHAI";
    int customer = 1;
    QString type;
    QString barcode;
    QString serial;
    double quantity = 0;
    double price = 0;
    QString chkFree = "N";
    double oldPrice = 0;
    QDate date = QDate::currentDate();
};

// A sale of quantity at the list price of barcode: the line most cases store.
Line sale(ScreenFixture &f, const QString &barcode, double quantity)
{
    Line e;
    e.type = "S";
    e.barcode = barcode;
    e.quantity = quantity;
    e.price = e.oldPrice = listPrice(f.dbs(), barcode);
    return e;
}

void compareLine(ScreenFixture &f, const Line &e)
{
    const QVariantMap stored = f.lastLine();
    QCOMPARE(stored.value("UserCode").toString(), e.userCode);
    QCOMPARE(stored.value("UserKeyIn").toString(), e.userKeyIn);
    QCOMPARE(stored.value("Customer").toInt(), e.customer);
    QCOMPARE(stored.value("ConsigType").toString(), e.type);
    QCOMPARE(stored.value("Barcode").toString(), e.barcode);
    QCOMPARE(stored.value("SerialNumber").toString(), e.serial);
    QCOMPARE(stored.value("Quantity").toDouble(), e.quantity);
    QCOMPARE(stored.value("Price").toDouble(), e.price);
    QCOMPARE(stored.value("ChkFree").toString(), e.chkFree);
    QCOMPARE(stored.value("OldPrice").toDouble(), e.oldPrice);
    QCOMPARE(stored.value("ConsigDate").toString(), e.date.toString("yyyy-MM-dd"));
}

// The screen's state after a successful save: the reset has run.
void checkReset(const ConsignmentDriver &d)
{
    QVERIFY(!d.saveEnabled());
    QCOMPARE(d.text(C::Barcode, C::Consignment), QString());
    QCOMPARE(d.text(C::Barcode, C::Adjustment), QString());
    QCOMPARE(d.text(C::Code, C::Consignment), QString());
    QCOMPARE(d.text(C::Code, C::Adjustment), QString());
    QVERIFY(!d.enabled(C::Quantity, C::Consignment));
    QCOMPARE(d.text(C::Quantity, C::Consignment), QString("0"));
    QCOMPARE(d.text(C::Price, C::Consignment), QString("0"));
    QCOMPARE(d.index(C::Type, C::Consignment), 0);
    QCOMPARE(d.index(C::Type, C::Adjustment), 0);
    QCOMPARE(d.dateOf(C::Date, C::Consignment), QDate::currentDate());
    QVERIFY(d.hidden(C::Serial, C::Consignment));
}

// A search dialog stand-in that picks a given barcode.
class PickingDialog : public QDialog
{
public:
    explicit PickingDialog(QWidget *parent = nullptr)
        : QDialog(parent)
    {}
    int ShowModal()
    {
        QTimer::singleShot(0, this, [this] { accept(); });
        const int result = exec();
        SelectedBarCode = next;
        return result;
    }
    QString SelectedBarCode;
    static inline QString next;
};

} // namespace

class TestConsignmentEntry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aSale()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int before = f.consignmentCount();
        const QString barcode = f.barcodeOfProduct(3);
        d.scan(barcode);
        QCOMPARE(d.text(C::Code, C::Consignment), QString("P0003"));
        QCOMPARE(d.text(C::Name, C::Consignment), f.dbs().scalar("Select ThaiName From Product Where Id = 3").toString());
        QVERIFY(!d.text(C::Unit, C::Consignment).isEmpty());
        const double price = listPrice(f.dbs(), barcode);
        QVERIFY(price > 0);
        QCOMPARE(d.text(C::Price, C::Consignment), FloatToStr(price));
        QVERIFY(d.enabled(C::Quantity, C::Consignment));
        QVERIFY(d.saveEnabled());
        QVERIFY(d.hidden(C::Serial, C::Consignment));
        QCOMPARE(d.focused(), C::Ok);

        d.typeQuantity("5");
        bool waitCursorAtMessage = true;
        f.dialogs().onShow = [&](const ScriptedDialogService::Shown &) { waitCursorAtMessage = QApplication::overrideCursor(); };
        d.save();
        f.dialogs().onShow = nullptr;
        QVERIFY(!waitCursorAtMessage); // the message shows the normal cursor
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), before + 1);
        compareLine(f, sale(f, barcode, 5));
        checkReset(d);
        QVERIFY(f.errors().isEmpty());
    }

    void aTakeBackOnAnotherDay()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::key(Qt::Key_Down);
        Drive::key(Qt::Key_Down);
        Drive::enter(); // BR03
        Drive::enter(); // into the type box
        QCOMPARE(d.focused(), C::Type);
        Drive::key(Qt::Key_Down);
        QCOMPARE(d.text(C::Type, C::Consignment), QString("รับคืน"));
        const QDate day = QDate::currentDate().addDays(-6);
        d.setDateOf(C::Date, day, C::Consignment);
        const QString barcode = f.barcodeOfProduct(8);
        d.scan(barcode);
        d.typeQuantity("1234");
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        Line e;
        e.userCode = "BR03";
        e.customer = 3;
        e.type = "R";
        e.barcode = barcode;
        e.quantity = 1234; // as entered, no change of sign
        e.price = e.oldPrice = listPrice(f.dbs(), barcode);
        e.date = day;
        compareLine(f, e);
        checkReset(d);
    }

    void aFreeGift()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const QString barcode = f.barcodeOfProduct(11);
        const double price = listPrice(f.dbs(), barcode);
        d.scan(barcode);
        d.click(C::Free, C::Consignment);
        QCOMPARE(d.text(C::Price, C::Consignment), QString("0"));
        d.click(C::Free, C::Consignment); // unticked: the list price again
        QCOMPARE(d.text(C::Price, C::Consignment), FloatToStr(price));
        Drive::key(Qt::Key_Space); // the check box has the focus: ticked from the keyboard
        QVERIFY(d.checked(C::Free, C::Consignment));
        QCOMPARE(d.text(C::Price, C::Consignment), QString("0"));
        d.typeQuantity("2");
        d.save();
        Line e;
        e.type = "S";
        e.barcode = barcode;
        e.quantity = 2;
        e.price = 0;
        e.chkFree = "Y";
        e.oldPrice = price; // the list price is kept
        compareLine(f, e);
        QVERIFY(!d.checked(C::Free, C::Consignment));
    }

    void aProductWithoutAConsignmentPrice()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const QString barcode = f.barcodeOfProduct(17); // no type-19 price
        d.scan(barcode);
        QCOMPARE(d.text(C::Code, C::Consignment), QString("P0017"));
        QCOMPARE(d.text(C::Price, C::Consignment), QString("0"));
        d.typeQuantity("3");
        d.save();
        compareLine(f, sale(f, barcode, 3)); // at price 0
    }

    // Several type-19 prices: the last row of the lookup is used.
    void severalPrices()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const QString barcode = f.barcodeOfProduct(23);
        Query q(&f.dbs().company());
        q.setStatement(ConsignmentSql::QProduct);
        q.setParam("Barcode", barcode);
        q.open();
        QCOMPARE(q.recordCount(), 2);
        q.first();
        const double first = q.fieldByName("Price").asFloat();
        q.last();
        const double last = q.fieldByName("Price").asFloat();
        QVERIFY(first != last);

        d.scan(barcode);
        QCOMPARE(d.text(C::Price, C::Consignment), FloatToStr(last));
        QCOMPARE(d.current().oldPrice, last);
        QCOMPARE(d.lookupRow(C::Consignment), 1);
        d.save(); // quantity 0 is saved as 0
        Line e;
        e.type = "S";
        e.barcode = barcode;
        e.quantity = 0;
        e.price = e.oldPrice = last;
        compareLine(f, e);
    }

    void serialNumberedGoods()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const QString barcode = f.barcodeOfProduct(25);
        d.scan(barcode);
        QCOMPARE(d.current().useSerial, QString("Y"));
        QCOMPARE(d.text(C::Quantity, C::Consignment), QString("1"));
        QVERIFY(d.readOnly(C::Quantity, C::Consignment));
        QVERIFY(d.visible(C::SerialLabel, C::Consignment) && d.visible(C::Serial, C::Consignment));
        QCOMPARE(d.focused(), C::Serial);
        Drive::type("  SN 0042 "); // blanks around the serial number are kept
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        Line e;
        e.type = "S";
        e.barcode = barcode;
        e.serial = "  SN 0042 ";
        e.quantity = 1;
        e.price = e.oldPrice = listPrice(f.dbs(), barcode);
        compareLine(f, e);

        // The same serial number sold again is refused by the server; nothing is reset.
        f.dialogs().clear();
        const int count = f.consignmentCount();
        d.scan(barcode);
        Drive::type("  SN 0042 ");
        d.save();
        QCOMPARE(f.consignmentCount(), count);
        QCOMPARE(f.errors().size(), 1);
        QVERIFY2(f.errors().first().contains("Cannot insert duplicate"), qPrintable(f.errors().first()));
        QVERIFY(f.dialogs().texts().isEmpty());
        QCOMPARE(d.text(C::Barcode, C::Consignment), barcode);
        QCOMPARE(d.text(C::Serial, C::Consignment), QString("  SN 0042 "));
        QVERIFY(d.saveEnabled());
        // Corrected, it saves.
        d.focusOn(C::Serial, C::Consignment);
        Drive::key(Qt::Key_A, Qt::ControlModifier);
        Drive::type("SN 0043");
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.lastLine().value("SerialNumber").toString(), QString("SN 0043"));
    }

    // A barcode in lower case is searched and saved as typed (trimmed), reported upper-cased.
    void barcodeTextAsTyped()
    {
        ScreenFixture f;
        f.dbs().company().execute(
            "Insert Into ProductUnits (Id, Product, UnitName, BarCode, Fraction) Values (9001, 3, 'กล่อง', 'tv-lower-1', 1)");
        f.dbs().company().execute(
            "Insert Into ProductPrice (Id, Product, ProductUnits, PriceType, Price) Values (9001, 3, 9001, 19, 45.5)");
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        d.scan("  tv-lower-1  ");
        QCOMPARE(d.text(C::Unit, C::Consignment), QString("กล่อง"));
        QCOMPARE(d.text(C::Price, C::Consignment), QString("45.5"));
        d.typeQuantity("4");
        d.save();
        QCOMPARE(listPrice(f.dbs(), "tv-lower-1"), 45.5);
        compareLine(f, sale(f, "tv-lower-1", 4));

        f.dialogs().clear();
        d.scan(" xy-zz9 ");
        QCOMPARE(f.dialogs().texts(), QStringList{"ไม่พบ Barcode XY-ZZ9"});
        // The page was reset.
        QCOMPARE(d.text(C::Barcode, C::Consignment), QString());
        QVERIFY(!d.saveEnabled());
        QCOMPARE(d.focused(), C::Barcode); // ready for the next scan
    }

    // Each check of the consignment save, in its order, with its message and focus; nothing is
    // stored and what was typed stays.
    void consignmentChecks()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int count = f.consignmentCount();

        // Leaving the empty barcode box, and the OK button on it: every time.
        d.focusOn(C::Barcode, C::Consignment);
        Drive::enter();
        QCOMPARE(d.focused(), C::Ok);
        d.click(C::Ok, C::Consignment);
        d.focusOn(C::Barcode, C::Consignment);
        Drive::enter();
        QCOMPARE(f.dialogs().texts(), (QStringList{"ระบุบาร์โค้ด", "ระบุบาร์โค้ด", "ระบุบาร์โค้ด"}));
        QCOMPARE(d.focused(), C::Ok);

        // Empty barcode box at save: message only.
        f.dialogs().clear();
        const QString barcode = f.barcodeOfProduct(3);
        d.scan(barcode);
        d.typeQuantity("6");
        d.clickInto(C::Barcode, C::Consignment);
        Drive::key(Qt::Key_A, Qt::ControlModifier);
        Drive::key(Qt::Key_Delete);
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{"ระบุ Barcode"});
        QCOMPARE(d.focused(), C::Barcode);
        QCOMPARE(d.text(C::Quantity, C::Consignment), QString("6"));

        // Empty quantity box: message, then the focus goes to it.
        f.dialogs().clear();
        Drive::type(barcode);
        Drive::enter();
        d.typeQuantity("");
        Drive::key(Qt::Key_Delete);
        QCOMPARE(d.text(C::Quantity, C::Consignment), QString());
        Drive::key(Qt::Key_Backtab);
        QCOMPARE(d.focused(), C::Free);
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{"ระบุ จำนวน"});
        QCOMPARE(d.focused(), C::Quantity);
        QCOMPARE(d.text(C::Barcode, C::Consignment), barcode);

        // Serial-numbered goods without a serial number: message, then focus.
        f.dialogs().clear();
        d.scan(f.barcodeOfProduct(50));
        QCOMPARE(d.focused(), C::Serial);
        Drive::key(Qt::Key_Backtab);
        Drive::key(Qt::Key_Backtab);
        QCOMPARE(d.focused(), C::Free);
        C::Control focusAtMessage = C::NoControl;
        f.dialogs().onShow = [&](const ScriptedDialogService::Shown &) { focusAtMessage = d.focused(); };
        d.save();
        f.dialogs().onShow = nullptr;
        QCOMPARE(f.dialogs().texts(), QStringList{"ระบุ Serial Number"});
        QCOMPARE(focusAtMessage, C::Free);
        QCOMPARE(d.focused(), C::Serial);

        QCOMPARE(f.consignmentCount(), count);
        QVERIFY(d.saveEnabled());
        QVERIFY(f.errors().isEmpty());
    }

    void adjustments_data()
    {
        QTest::addColumn<int>("product");
        QTest::addColumn<int>("type"); // 0 increase, 1 decrease
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("free");
        QTest::addColumn<double>("quantity");
        QTest::newRow("increase 5") << 4 << 0 << "5" << false << 5.0;
        QTest::newRow("decrease 5") << 4 << 1 << "5" << false << -5.0;
        QTest::newRow("decrease 0") << 4 << 1 << "0" << false << 0.0;
        QTest::newRow("free increase") << 9 << 0 << "12" << true << 12.0;
        QTest::newRow("serial decrease") << 50 << 1 << "" << false << -1.0;
        QTest::newRow("serial increase") << 50 << 0 << "" << false << 1.0;
    }
    void adjustments()
    {
        QFETCH(int, product);
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(bool, free);
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        d.showPage(ConsignmentDriver::Adjustment);
        const QDate day = QDate::currentDate().addDays(-1);
        d.setDateOf(C::Date, day, C::Adjustment);
        d.choose(C::Type, type, C::Adjustment);
        const QString barcode = f.barcodeOfProduct(product);
        d.scan(barcode);
        QCOMPARE(d.text(C::Code, C::Adjustment), QString("P%1").arg(product, 4, 10, QChar('0')));
        const bool serial = product % 25 == 0;
        QCOMPARE(d.visible(C::Serial, C::Adjustment), serial);
        if (serial) {
            QCOMPARE(d.focused(), C::Serial);
            QCOMPARE(d.text(C::Quantity, C::Adjustment), QString("1"));
            QVERIFY(d.readOnly(C::Quantity, C::Adjustment));
            Drive::type("SN-9");
        } else {
            d.typeQuantity(typed);
        }
        if (free)
            d.click(C::Free, C::Adjustment);
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        Line e;
        e.type = "A";
        e.barcode = barcode;
        e.serial = serial ? "SN-9" : "";
        QFETCH(double, quantity);
        e.quantity = quantity;
        e.oldPrice = listPrice(f.dbs(), barcode);
        e.price = free ? 0 : e.oldPrice;
        e.chkFree = free ? "Y" : "N";
        e.date = day;
        compareLine(f, e);
        QVERIFY(!std::signbit(f.lastLine().value("Quantity").toDouble()) || quantity < 0);
        checkReset(d);
        QCOMPARE(d.page(), 1);
        QVERIFY(f.errors().isEmpty());
    }

    void adjustmentChecks()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        d.showPage(ConsignmentDriver::Adjustment);
        const int count = f.consignmentCount();

        // Lookup with an empty box, every time; the focus stays where it went.
        d.focusOn(C::Barcode, C::Adjustment);
        Drive::enter();
        QCOMPARE(d.focused(), C::Ok);
        d.click(C::Ok, C::Adjustment);
        QCOMPARE(f.dialogs().texts(), (QStringList{"ระบุ Barcode", "ระบุ Barcode"}));
        QCOMPARE(d.focused(), C::Ok);

        // Not found: message, the focus back in the box, the text kept; leaving again repeats it.
        f.dialogs().clear();
        d.scan("NOPE-1");
        QCOMPARE(f.dialogs().texts(), QStringList{"ไม่พบ Barcode !!"});
        QCOMPARE(d.focused(), C::Barcode);
        QCOMPARE(d.text(C::Barcode, C::Adjustment), QString("NOPE-1"));
        Drive::enter();
        QCOMPARE(f.dialogs().texts(), (QStringList{"ไม่พบ Barcode !!", "ไม่พบ Barcode !!"}));
        QCOMPARE(d.focused(), C::Barcode);

        // Empty barcode box at save: message and focus to the box.
        f.dialogs().clear();
        const QString barcode = f.barcodeOfProduct(5);
        Drive::key(Qt::Key_A, Qt::ControlModifier);
        Drive::type(barcode);
        Drive::enter();
        QCOMPARE(d.text(C::Code, C::Adjustment), QString("P0005"));
        d.typeQuantity("8");
        d.setText(C::Barcode, QString(), C::Adjustment);
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{"ระบุ Barcode"});
        QCOMPARE(d.focused(), C::Barcode);
        QCOMPARE(d.text(C::Quantity, C::Adjustment), QString("8"));

        // Empty quantity box: message and focus to it.
        f.dialogs().clear();
        Drive::type(barcode);
        Drive::enter();
        d.typeQuantity("");
        Drive::key(Qt::Key_Delete);
        Drive::enter();
        QCOMPARE(d.focused(), C::Free);
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{"ระบุ จำนวน"});
        QCOMPARE(d.focused(), C::Quantity);

        // Serial-numbered goods without a serial number: the focus goes first, then the message.
        f.dialogs().clear();
        d.scan(f.barcodeOfProduct(75));
        QCOMPARE(d.focused(), C::Serial);
        Drive::key(Qt::Key_Backtab);
        QCOMPARE(d.focused(), C::Free);
        C::Control focusAtMessage = C::NoControl;
        f.dialogs().onShow = [&](const ScriptedDialogService::Shown &) { focusAtMessage = d.focused(); };
        d.save();
        f.dialogs().onShow = nullptr;
        QCOMPARE(f.dialogs().texts(), QStringList{"ระบุ SerialNumber"});
        QCOMPARE(focusAtMessage, C::Serial);

        QCOMPARE(f.consignmentCount(), count);
        QVERIFY(f.errors().isEmpty());
    }

    // Before the branch box has ever been left, the line is stored for the branch it shows. With
    // an empty branch list no branch is current: the server refuses the line, the refusal goes
    // to the application-wide handling and the entries stay.
    void savingBeforeAnyBranch()
    {
        {
            ScreenFixture f;
            const QString barcode = f.barcodeOfProduct(3);
            // The user's first click goes into the barcode box while the window is being activated.
            TFrTarvoAdjAndConsignment *s = f.openScreen(1, false);
            ConsignmentDriver d(s);
            d.focusOn(C::Barcode, C::Consignment);
            QVERIFY(QTest::qWaitForWindowActive(s));
            QCOMPARE(d.focused(), C::Barcode);
            Drive::type(barcode);
            Drive::enter();
            d.typeQuantity("2");
            QCOMPARE(d.current().userCode, QString());
            d.save();
            QCOMPARE(f.dialogs().texts(), QStringList{Saved});
            QCOMPARE(f.lastLine().value("UserCode").toString(), QString("BR01"));
            QCOMPARE(f.lastLine().value("Customer").toInt(), 1);
        }
        {
            // With an empty branch list.
            ScreenFixture f;
            const int count = f.consignmentCount();
            const QString barcode = f.barcodeOfProduct(3);
            f.dbs().config().execute("Update Username Set CusCodeTablet = ''");
            TFrTarvoAdjAndConsignment *s = f.openScreen();
            ConsignmentDriver d(s);
            Drive::enter();
            d.scan(barcode);
            d.save();
            QCOMPARE(f.errors().size(), 1);
            QVERIFY(f.errors().first().contains("Cannot insert the value NULL into column 'Customer'"));
            QCOMPARE(f.consignmentCount(), count);
            QCOMPARE(d.text(C::Barcode, C::Consignment), barcode);
        }
    }

    void anInvalidNumber()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int count = f.consignmentCount();
        const QString barcode = f.barcodeOfProduct(3);
        d.scan(barcode);
        d.clickInto(C::Quantity, C::Consignment);
        d.setText(C::Quantity, "abc", C::Consignment); // the box refuses such keys; only code can put it there
        d.save();
        QCOMPARE(f.errors(), QStringList{"'abc' is not a valid floating point value"});
        QCOMPARE(f.consignmentCount(), count);
        QVERIFY(f.dialogs().texts().isEmpty());
        QCOMPARE(d.text(C::Quantity, C::Consignment), QString("abc"));
        QCOMPARE(d.text(C::Barcode, C::Consignment), barcode);

        // A price label that is not a number.
        f.errors().clear();
        d.setText(C::Quantity, "1", C::Consignment);
        d.setText(C::Price, "1,5", C::Consignment);
        d.save();
        QCOMPARE(f.errors(), QStringList{"'1,5' is not a valid floating point value"});
        QCOMPARE(f.consignmentCount(), count);
        QVERIFY(d.saveEnabled());

        // On the adjustment page.
        f.errors().clear();
        d.showPage(ConsignmentDriver::Adjustment);
        d.scan(barcode);
        d.setText(C::Quantity, "--", C::Adjustment);
        d.save();
        QCOMPARE(f.errors(), QStringList{"'--' is not a valid floating point value"});
        QCOMPARE(f.consignmentCount(), count);
        QCOMPARE(d.text(C::Barcode, C::Adjustment), barcode);
    }

    // A second Save right after the first never stores the line again: the first save disables
    // Save before its message and resets the page.
    void savingTwice()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int count = f.consignmentCount();
        d.scan(f.barcodeOfProduct(3));
        d.typeQuantity("2");
        bool pressedAgain = false;
        f.dialogs().onShow = [&](const ScriptedDialogService::Shown &shown) {
            if (shown.text == Saved && !pressedAgain) {
                pressedAgain = true;
                d.click(C::SaveButton); // the Save button pressed again while the message is up
            }
        };
        d.save();
        d.save();
        f.dialogs().onShow = nullptr;
        QCOMPARE(f.consignmentCount(), count + 1);
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QVERIFY(f.errors().isEmpty());
        // The toolbar button is disabled as well.
        QVERIFY(!d.enabled(C::SaveButton));
    }

    // A barcode changed in the box after its lookup, without leaving the box, is looked up when
    // Save is pressed, and the clerk is told to check the product and save again, the focus in
    // the quantity box; it is never saved with the price of the product shown before.
    void aBarcodeChangedAfterItsLookup()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int count = f.consignmentCount();
        const QString first = f.barcodeOfProduct(3);
        const QString second = f.barcodeOfProduct(4);
        d.scan(first);
        d.typeQuantity("2");
        d.clickInto(C::Barcode, C::Consignment);
        Drive::key(Qt::Key_A, Qt::ControlModifier);
        Drive::type(second);
        d.save();
        QCOMPARE(f.consignmentCount(), count);
        QCOMPARE(f.dialogs().texts(), QStringList{"ตรวจสอบสินค้า แล้วบันทึกอีกครั้ง"});
        QCOMPARE(d.focused(), C::Quantity);
        QCOMPARE(d.text(C::Code, C::Consignment), QString("P0004"));
        QCOMPARE(d.text(C::Price, C::Consignment), FloatToStr(listPrice(f.dbs(), second)));
        d.save();
        QCOMPARE(f.consignmentCount(), count + 1);
        compareLine(f, sale(f, second, 2));

        // The same on the adjustment page; a barcode that is not found is never saved.
        d.showPage(ConsignmentDriver::Adjustment);
        d.scan(first);
        d.typeQuantity("3");
        d.clickInto(C::Barcode, C::Adjustment);
        Drive::key(Qt::Key_A, Qt::ControlModifier);
        Drive::type("NOPE-2");
        f.dialogs().clear();
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{"ไม่พบ Barcode !!"});
        QCOMPARE(f.consignmentCount(), count + 1);
        QVERIFY(f.errors().isEmpty());
    }

    // A clerk with a scanner and the keyboard alone, line after line: scan, Tab, Tab, quantity,
    // F10. After each save the next scan goes into the barcode box; every line is stored once,
    // for the branch shown, dated today, with its quantity.
    void theScannerRhythm()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::key(Qt::Key_Down); // BR02
        d.clickInto(C::Barcode, C::Consignment);
        const int count = f.consignmentCount();
        const int scans = 12;
        for (int i = 0; i < scans; ++i) {
            QCOMPARE(d.focused(), C::Barcode);
            Drive::scanHere(f.barcodeOfProduct(3 + i));
            Drive::key(Qt::Key_Tab);
            Drive::key(Qt::Key_Tab);
            Drive::type(QString::number(10 + i));
            d.save();
        }
        QCOMPARE(f.consignmentCount(), count + scans);
        const QList<QVariantMap> lines = f.lastLines(scans);
        for (int i = 0; i < scans; ++i) {
            QCOMPARE(lines[i].value("Barcode").toString(), f.barcodeOfProduct(3 + i));
            QCOMPARE(lines[i].value("Quantity").toDouble(), 10.0 + i);
            QCOMPARE(lines[i].value("Customer").toInt(), 2);
            QCOMPARE(lines[i].value("ConsigDate").toString(), QDate::currentDate().toString("yyyy-MM-dd"));
        }
        QCOMPARE(f.dialogs().texts(), QStringList(scans, Saved));
        QVERIFY(f.errors().isEmpty());
    }

    // A branch chosen in the branch box, by keys or from its list, is the branch of the line
    // saved next, though the box has not been left.
    void aBranchChosenJustBeforeSaving()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        d.scan(f.barcodeOfProduct(3));
        d.typeQuantity("2");
        d.focusOn(C::Branch);
        Drive::key(Qt::Key_Down);
        d.save();
        QCOMPARE(f.lastLine().value("Customer").toInt(), 2);
        QCOMPARE(f.lastLine().value("UserCode").toString(), QString("BR02"));

        d.scan(f.barcodeOfProduct(4));
        d.typeQuantity("3");
        d.chooseBranchFromList(4);
        d.save();
        QCOMPARE(f.lastLine().value("Customer").toInt(), 5);
        QCOMPARE(f.lastLine().value("Quantity").toDouble(), 3.0);
        QCOMPARE(f.dialogs().texts(), (QStringList{Saved, Saved}));
    }

    // A product without serial numbers looked up after a serial-numbered one is entered plainly:
    // the quantity editable, the serial box hidden and empty; another serial-numbered product
    // starts with an empty serial box.
    void aPlainProductAfterASerialNumberedOne()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        d.scan(f.barcodeOfProduct(25));
        Drive::type("SN-77");
        d.scan(f.barcodeOfProduct(50));
        QCOMPARE(d.text(C::Serial, C::Consignment), QString());
        Drive::type("SN-78");
        const QString plain = f.barcodeOfProduct(4);
        d.scan(plain);
        QVERIFY(!d.readOnly(C::Quantity, C::Consignment));
        QVERIFY(d.hidden(C::Serial, C::Consignment));
        QCOMPARE(d.text(C::Serial, C::Consignment), QString());
        d.typeQuantity("3");
        d.save();
        compareLine(f, sale(f, plain, 3));
    }

    // Dates typed as clerks type them, after a click or after Tab; a date before 2000 or after
    // next year is refused with the focus in the date box, and nothing is stored.
    void typedAndImplausibleDates()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        // A click lands on the text inside the picker, at its start (the day).
        QWidget *dateText = d.control(C::Date, C::Consignment)->findChild<QLineEdit *>();
        Drive::clickInto(dateText);
        Drive::type("05122026");
        QCOMPARE(d.dateOf(C::Date, C::Consignment), QDate(2026, 12, 5));
        d.focusOn(C::Free, C::Consignment);
        Drive::key(Qt::Key_Tab);
        QCOMPARE(d.focused(), C::Date);
        Drive::type("5/3/2021");
        QCOMPARE(d.dateOf(C::Date, C::Consignment), QDate(2021, 3, 5));

        const QString barcode = f.barcodeOfProduct(3);
        d.scan(barcode);
        d.typeQuantity("4");
        const int count = f.consignmentCount();
        for (const QDate &wrong : {QDate(1999, 1, 1), QDate(QDate::currentDate().year() + 2, 1, 1)}) {
            f.dialogs().clear();
            Drive::clickInto(dateText);
            Drive::type(wrong.toString("dd/MM/yyyy"));
            QCOMPARE(d.dateOf(C::Date, C::Consignment), wrong);
            d.save();
            QCOMPARE(f.dialogs().texts(), QStringList{"วันที่ไม่ถูกต้อง !"});
            QCOMPARE(d.focused(), C::Date);
            QCOMPARE(f.consignmentCount(), count);
            QCOMPARE(d.text(C::Barcode, C::Consignment), barcode);
        }
        const QDate yesterday = QDate::currentDate().addDays(-1);
        Drive::clickInto(dateText);
        Drive::type(yesterday.toString("dd/MM/yyyy"));
        d.save();
        QCOMPARE(f.consignmentCount(), count + 1);
        QCOMPARE(f.lastLine().value("ConsigDate").toString(), yesterday.toString("yyyy-MM-dd"));
    }

    // Choosing another branch and going straight to the barcode search makes that branch current.
    void branchChosenThenSearch()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        PickingDialog::next = f.barcodeOfProduct(3);
        s->setBarcodeSearchFactory(BarcodeSearch::forDialog<PickingDialog>());
        d.focusOn(C::Branch);
        Drive::key(Qt::Key_Down);
        Drive::key(Qt::Key_Down);
        QCOMPARE(d.text(C::Branch), QString("สาขาเชียงใหม่ นิมมาน"));
        d.click(C::Search, C::Consignment);
        QCOMPARE(d.text(C::Barcode, C::Consignment), f.barcodeOfProduct(3));
        QCOMPARE(d.current().userCode, QString("BR03"));
        s->activateWindow();
        QCoreApplication::processEvents();
        QCOMPARE(d.focused(), C::Barcode);
        Drive::enter();
        d.typeQuantity("1");
        d.save();
        QCOMPARE(f.lastLine().value("Customer").toInt(), 3);
        QCOMPARE(f.lastLine().value("UserCode").toString(), QString("BR03"));
    }

    // The whole road of one line: branch chosen, barcode scanned, quantity, F10, the line
    // stored and the daily grid re-read with it.
    void endToEnd()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::key(Qt::Key_Down);
        Drive::enter(); // BR02
        d.showPage(ConsignmentDriver::Daily);
        d.click(C::Summarise); // today's movements of BR02
        const int rowsBefore = d.rows(Grid::Daily);
        d.showPage(ConsignmentDriver::Consignment);

        const QString barcode = f.barcodeOfProduct(6);
        d.clickInto(C::Barcode, C::Consignment);
        for (const QChar c : barcode) // a scanner types the digits, then Enter
            QTest::keyClick(Drive::focus(), c.toLatin1());
        Drive::enter();
        QCOMPARE(d.text(C::Code, C::Consignment), QString("P0006"));
        Drive::enter(); // OK button -> free goods
        Drive::enter(); // -> quantity
        QCOMPARE(d.focused(), C::Quantity);
        Drive::key(Qt::Key_A, Qt::ControlModifier);
        Drive::type("1500");
        Drive::key(Qt::Key_F10);
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        Line e = sale(f, barcode, 1500);
        e.userCode = "BR02";
        e.customer = 2;
        compareLine(f, e);
        checkReset(d);

        const DataGrid *grid = d.grid(Grid::Daily);
        QCOMPARE(grid->model()->rowCount(), rowsBefore + 1);
        bool found = false;
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            auto at = [&](int column) { return grid->model()->index(row, column).data().toString(); };
            if (at(2) == barcode && at(1) == "ขาย" && at(4) == "1500") {
                found = true;
                QCOMPARE(at(0), QDate::currentDate().toString("dd/MM/yyyy"));
                QCOMPARE(at(7), FloatToStr(1500 * e.price));
            }
        }
        QVERIFY(found);
        QVERIFY(f.errors().isEmpty());
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestConsignmentEntry test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_consignmententry.moc"
