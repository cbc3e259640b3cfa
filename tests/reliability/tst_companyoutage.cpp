// The company database goes away while the consignment screen is open: during a save, a barcode
// lookup on either entry page and a daily summary. Each failure must go the program's whole error
// road (error-log row with the raw message, Thai explanation, error dialog), leave the screen as
// it was and store nothing; once the database is back the same screen reconnects on its next
// action and stores the line exactly once.
#include "FaultFixture.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "data/ErrorHandler.h"
#include "data/U_DM.h"
#include "platform/format/FormatFloat.h"
#include "platform/sql/Database.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ConsignmentDriver.h"
#include "support/ScriptedDialogService.h"

#include "platform/ui/DataGrid.h"
#include <QTest>

using namespace platform;

using C = ConsignmentDriver;
using Grid = ConsignmentDriver::Grid;

namespace {

// What the embedded engine says when the company database file is not there.
const QString NoDatabase = QStringLiteral("Cannot open database \"DEMO\" requested by the login. The login failed.");

// One failure seen through the whole error road: one more log row holding the raw message,
// written before the dialog came up, and one modal dialog with the composed text.
void checkErrorRoad(FaultFixture &f, int logBefore, const QString &message)
{
    QCOMPARE(f.shownErrors().size(), 1);
    const FaultFixture::ShownError &shown = f.shownErrors().first();
    QCOMPARE(shown.errorText, ErrorHandler::composeErrorText(message));
    QVERIFY(shown.screenBlocked);
    QCOMPARE(shown.logRowsWhileShown, logBefore + 1);
    QCOMPARE(f.logRows(), logBefore + 1);
    QCOMPARE(f.lastLogMessage(), message);
}

} // namespace

class TestCompanyOutage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A take-back of a free gift on another day, typed in full, then Save with the database gone.
    void saveWhileTheDatabaseIsGone()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QString barcode = f.barcodeOfProduct(3);
        const QDate day = QDate::currentDate().addDays(-2);
        d.setDateOf(C::Date, day, C::Consignment);
        d.choose(C::Type, 1, C::Consignment);
        d.scan(barcode);
        d.retype(C::Quantity, "7", C::Consignment);
        d.click(C::Free, C::Consignment);
        QVERIFY(d.saveEnabled());
        const QStringList before = d.state();

        f.takeCompanyAway();
        Drive::save();
        f.backToScreen();

        checkErrorRoad(f, logged, NoDatabase);
        QCOMPARE(d.state(), before);
        QVERIFY(f.dialogs().texts().isEmpty()); // no "saved"
        QVERIFY(!DM->DMdata->connected());

        // Pressed again while it is still gone: the same again, still nothing stored.
        f.clearShownErrors();
        Drive::save();
        f.backToScreen();
        checkErrorRoad(f, logged + 1, NoDatabase);
        QCOMPARE(d.state(), before);

        f.bringCompanyBack();
        QCOMPARE(f.consignmentCount(), stored);

        // Back: the same screen reconnects on Save and stores the line once.
        f.clearShownErrors();
        Drive::save();
        QVERIFY(f.shownErrors().isEmpty());
        QVERIFY(DM->DMdata->connected());
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        const QVariantMap line = f.lastLine();
        QCOMPARE(line.value("ConsigType").toString(), QString("R"));
        QCOMPARE(line.value("Barcode").toString(), barcode);
        QCOMPARE(line.value("Quantity").toDouble(), 7.0);
        QCOMPARE(line.value("ChkFree").toString(), QString("Y"));
        QCOMPARE(line.value("Price").toDouble(), 0.0);
        QCOMPARE(line.value("OldPrice").toDouble(), listPrice(f.dbs(), barcode));
        QCOMPARE(line.value("ConsigDate").toString(), day.toString("yyyy-MM-dd"));
        QCOMPARE(line.value("Customer").toInt(), 1);
        // Save again: the page was reset, nothing more is stored.
        Drive::save();
        QCOMPARE(f.consignmentCount(), stored + 1);
        QVERIFY(!d.saveEnabled());
        QCOMPARE(f.logRows(), logged + 2);
    }

    // The same on the adjustment page: a decrease of a serial-numbered product.
    void adjustmentSaveWhileTheDatabaseIsGone()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        d.showPage(ConsignmentDriver::Adjustment);
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QString barcode = f.barcodeOfProduct(25);
        d.choose(C::Type, 1, C::Adjustment);
        d.scan(barcode);
        QCOMPARE(d.focused(), C::Serial);
        Drive::type("SN-OUT-1");
        const QStringList before = d.state();

        f.takeCompanyAway();
        Drive::save();
        f.backToScreen();
        checkErrorRoad(f, logged, NoDatabase);
        QCOMPARE(d.state(), before);
        f.bringCompanyBack();
        QCOMPARE(f.consignmentCount(), stored);

        Drive::save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.lastLine().value("ConsigType").toString(), QString("A"));
        QCOMPARE(f.lastLine().value("Quantity").toDouble(), -1.0);
        QCOMPARE(f.lastLine().value("SerialNumber").toString(), QString("SN-OUT-1"));
    }

    // A barcode scanned (Enter leaves the box) with the database gone: the lookup fails on the
    // way out of the box. Nothing is enabled, the barcode stays; once back, OK looks it up.
    void lookupWhileTheDatabaseIsGone()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QString barcode = f.barcodeOfProduct(4);

        f.takeCompanyAway();
        d.retype(C::Barcode, barcode, C::Consignment);
        const QStringList before = d.state();
        Drive::enter();
        f.backToScreen();
        checkErrorRoad(f, logged, NoDatabase);
        QCOMPARE(d.state(), before);
        QVERIFY(!d.saveEnabled());
        QVERIFY(!d.enabled(C::Quantity, C::Consignment));
        QVERIFY(f.dialogs().texts().isEmpty()); // not reported as "not found"

        f.bringCompanyBack();
        f.clearShownErrors();
        d.click(C::Ok, C::Consignment);
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(d.text(C::Code, C::Consignment), QString("P0004"));
        QVERIFY(d.saveEnabled());
        d.retype(C::Quantity, "3", C::Consignment);
        Drive::save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.lastLine().value("Barcode").toString(), barcode);
        QCOMPARE(f.lastLine().value("Quantity").toDouble(), 3.0);
        QCOMPARE(f.lastLine().value("Price").toDouble(), listPrice(f.dbs(), barcode));
    }

    // A product already shown, then another barcode whose lookup fails: the line can never be
    // stored with the first product's price under the second barcode.
    void lookupOfASecondProductFails()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const QString first = f.barcodeOfProduct(3);
        const QString second = f.barcodeOfProduct(6);
        QVERIFY(listPrice(f.dbs(), first) != listPrice(f.dbs(), second));
        d.scan(first);
        d.retype(C::Quantity, "2", C::Consignment);

        f.takeCompanyAway();
        d.scan(second);
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(d.text(C::Barcode, C::Consignment), second);
        QCOMPARE(d.text(C::Quantity, C::Consignment), QString("2"));
        f.bringCompanyBack();

        // Save looks the second barcode up first (nothing stored), then stores it at its own price.
        f.clearShownErrors();
        Drive::save();
        QCOMPARE(f.consignmentCount(), stored);
        QCOMPARE(d.text(C::Code, C::Consignment), QString("P0006"));
        QCOMPARE(d.text(C::Price, C::Consignment), FloatToStr(listPrice(f.dbs(), second)));
        Drive::save();
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.lastLine().value("Barcode").toString(), second);
        QCOMPARE(f.lastLine().value("Price").toDouble(), listPrice(f.dbs(), second));
        QCOMPARE(f.lastLine().value("Quantity").toDouble(), 2.0);
    }

    void adjustmentLookupWhileTheDatabaseIsGone()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        d.showPage(ConsignmentDriver::Adjustment);
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QString barcode = f.barcodeOfProduct(5);

        f.takeCompanyAway();
        d.retype(C::Barcode, barcode, C::Adjustment);
        const QStringList before = d.state();
        Drive::enter();
        f.backToScreen();
        checkErrorRoad(f, logged, NoDatabase);
        QCOMPARE(d.state(), before);
        QVERIFY(f.dialogs().texts().isEmpty()); // not "ไม่พบ Barcode !!"

        f.bringCompanyBack();
        f.clearShownErrors();
        d.click(C::Ok, C::Adjustment);
        QCOMPARE(d.text(C::Code, C::Adjustment), QString("P0005"));
        d.retype(C::Quantity, "4", C::Adjustment);
        Drive::save();
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.lastLine().value("Quantity").toDouble(), 4.0);
    }

    // The daily summary with a file that is no database in the company database's place; the
    // grid keeps following its rows, and once the database is back the summary and the grid's
    // re-read after a save show the stored line.
    void dailySummaryWhileTheDatabaseIsBroken()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        // Two lines today, so the summary has rows and a total.
        for (const char *quantity : {"2", "5"}) {
            d.scan(f.barcodeOfProduct(3));
            d.retype(C::Quantity, quantity, C::Consignment);
            Drive::save();
        }
        QCOMPARE(f.dialogs().texts(), (QStringList{Saved, Saved}));
        d.showPage(ConsignmentDriver::Daily);
        d.setDateOf(C::From, QDate::currentDate().addDays(-1));
        d.click(C::Summarise);
        const int rows = d.rows(Grid::Daily);
        QVERIFY(rows >= 2);
        const QString total = d.text(C::Total);
        QVERIFY(total != "00.00");
        const int logged = f.logRows();
        const QStringList before = d.state();

        f.replaceCompanyWithJunk();
        d.click(C::Summarise);
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(f.logRows(), logged + 1);
        const QString raw = f.lastLogMessage();
        QVERIFY2(raw.contains("not a database"), qPrintable(raw));
        QCOMPARE(f.shownErrors().first().errorText, ErrorHandler::composeErrorText(raw));
        QCOMPARE(d.state(), before); // dates and the total stay
        QCOMPARE(d.rows(Grid::Daily), 0);
        QVERIFY(d.grid(Grid::Daily)->updatesEnabled());

        f.bringCompanyBack();
        f.clearShownErrors();
        d.click(C::Summarise);
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(d.rows(Grid::Daily), rows);
        QCOMPARE(d.text(C::Total), total);

        // A save re-reads the grid with the same dates: one more row.
        d.showPage(ConsignmentDriver::Consignment);
        d.scan(f.barcodeOfProduct(3));
        d.retype(C::Quantity, "1", C::Consignment);
        Drive::save();
        QCOMPARE(d.rows(Grid::Daily), rows + 1);
        QVERIFY(f.shownErrors().isEmpty());
    }

    // Entering the adjustment page runs the reset, which re-reads the daily grid: with the
    // database gone the reset stops there, Save stays off, and nothing typed can be stored
    // before a lookup has succeeded again.
    void enteringTheAdjustmentPageWhileTheDatabaseIsGone()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QString barcode = f.barcodeOfProduct(3);
        d.scan(barcode);
        d.retype(C::Quantity, "8", C::Consignment);

        f.takeCompanyAway();
        d.showPage(ConsignmentDriver::Adjustment);
        f.backToScreen();
        checkErrorRoad(f, logged, NoDatabase);
        QCOMPARE(d.page(), 1);
        QVERIFY(!d.saveEnabled());
        Drive::save();
        d.showPage(ConsignmentDriver::Consignment);
        Drive::save();
        QCOMPARE(f.shownErrors().size(), 1);
        f.bringCompanyBack();
        QCOMPARE(f.consignmentCount(), stored);

        // Back: the barcode still in the box is looked up again, then the line is stored once.
        f.clearShownErrors();
        d.click(C::Ok, C::Consignment);
        QVERIFY(d.saveEnabled());
        Drive::save();
        Drive::save();
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.lastLine().value("Quantity").toDouble(), 8.0);
        // And the adjustment page resets as it should.
        d.showPage(ConsignmentDriver::Adjustment);
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(d.text(C::Barcode, C::Consignment), QString());
    }

    // On-hand summary with the database gone, then back.
    void onhandSummaryWhileTheDatabaseIsGone()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        d.showPage(ConsignmentDriver::Onhand);
        const int logged = f.logRows();
        const QStringList before = d.state();
        f.takeCompanyAway();
        d.click(C::ShowOnhand);
        f.backToScreen();
        checkErrorRoad(f, logged, NoDatabase);
        QCOMPARE(d.state(), before);
        QVERIFY(!d.read(Grid::Onhand));
        f.bringCompanyBack();
        f.clearShownErrors();
        d.click(C::ShowOnhand);
        QVERIFY(f.shownErrors().isEmpty());
        QVERIFY(d.read(Grid::Onhand));
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestCompanyOutage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_companyoutage.moc"
