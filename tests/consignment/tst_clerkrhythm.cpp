// The consignment screen at a fast clerk's rhythm, by keys only: a scan straight after a save,
// the focus after a message or an error, passing back through the barcode box, a scan after a
// barcode that is not found, the barcode search without the mouse, Tab through the grids.
#include "support/ScreenFixture.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "forms/Fr_SearchBarCode.h"
#include "platform/sql/Field.h"
#include "platform/sql/Query.h"
#include "support/ConsignmentDriver.h"
#include "support/Drive.h"
#include "support/ModalDialogs.h"
#include "support/ScriptedDialogService.h"

#include <QTest>
#include <cmath>
#include <tuple>

using C = ConsignmentDriver;
using Grid = ConsignmentDriver::Grid;

class TestClerkRhythm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The next item is scanned while the success box of the last one is still up: the scan lands
    // whole in the emptied page's barcode box and is looked up, on both entry pages; the line is
    // stored once.
    void aScanRightAfterSaveIsKept()
    {
        ScreenFixture f;
        ConsignmentDriver d(f.openScreen());
        d.chooseBranch();
        for (const ConsignmentDriver::Page page : {ConsignmentDriver::Consignment, ConsignmentDriver::Adjustment}) {
            d.showPage(page);
            d.scan(f.barcodeOfProduct(3));
            d.typeQuantity("2");
            const int stored = f.consignmentCount();
            const QString next = f.barcodeOfProduct(4);

            QCOMPARE(d.saveThenScanAtOnce(next), (QStringList{Saved}));

            QCOMPARE(f.consignmentCount(), stored + 1);
            QCOMPARE(f.lastLine().value("Barcode").toString(), f.barcodeOfProduct(3));
            QCOMPARE(d.text(C::Barcode), next);
            QCOMPARE(d.productCode(), QString("P0004"));
            QVERIFY(d.quantityEnabled());
            QVERIFY(d.saveEnabled());
            // The reset ran before the scan was taken: the quantity starts again.
            QCOMPARE(d.quantity(), QString("0"));
            d.typeQuantity("5");
            d.save();
            QCOMPARE(f.consignmentCount(), stored + 2);
            QCOMPARE(f.lastLine().value("Barcode").toString(), next);
            QCOMPARE(std::abs(f.lastLine().value("Quantity").toDouble()), 5.0);
            f.dialogs().clear();
        }
        // A plain Enter still closes the box and loses nothing.
        d.scan(f.barcodeOfProduct(3));
        d.typeQuantity("1");
        QCOMPARE(d.saveThenScanAtOnce(QString()), (QStringList{Saved}));
        QVERIFY(d.text(C::Barcode).isEmpty());
        QVERIFY(!d.saveEnabled());
    }

    // A barcode that is not found leaves the box with its text selected, on both pages: the next
    // scan, typed straight away, replaces it and is found.
    void aScanAfterANotFoundReplacesIt()
    {
        ScreenFixture f;
        ConsignmentDriver d(f.openScreen());
        d.chooseBranch();
        const QString found = f.barcodeOfProduct(3);
        d.showPage(ConsignmentDriver::Adjustment);
        d.scan("nope-1");
        QCOMPARE(f.dialogs().texts(), QStringList{"ไม่พบ Barcode !!"});
        QCOMPARE(d.focused(), C::Barcode);
        QCOMPARE(d.barcodeSelected(), QString("nope-1"));
        Drive::scanHere(found);
        QCOMPARE(d.text(C::Barcode), found);
        QCOMPARE(d.productCode(), QString("P0003"));

        f.dialogs().clear();
        d.showPage(ConsignmentDriver::Consignment);
        d.scan("nope-2");
        QCOMPARE(f.dialogs().texts(), QStringList{"ไม่พบ Barcode NOPE-2"});
        QCOMPARE(d.focused(), C::Barcode);
        Drive::scanHere(found);
        QCOMPARE(d.text(C::Barcode), found);
        QCOMPARE(d.productCode(), QString("P0003"));
    }

    // Shift+Tab back through the barcode box of a serial-numbered product shown looks nothing up
    // again: the type is changed after the scan and the line is stored as a take-back.
    void theTypeIsChosenAfterTheScan()
    {
        ScreenFixture f;
        ConsignmentDriver d(f.openScreen());
        d.chooseBranch();
        d.scan(f.barcodeOfProduct(25));
        QCOMPARE(d.focused(), C::Serial);
        Drive::type("SN-3001");
        d.backTab(5); // quantity, free goods, OK button, barcode, type
        QCOMPARE(d.focused(), C::Type);
        Drive::key(Qt::Key_Down);
        QCOMPARE(d.index(C::Type), 1);
        d.tab(2); // through the barcode box again, to the OK button
        QCOMPARE(d.focused(), C::Ok);
        QVERIFY(f.dialogs().texts().isEmpty());
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.lastLine().value("ConsigType").toString(), QString("R"));
        QCOMPARE(f.lastLine().value("SerialNumber").toString(), QString("SN-3001"));
    }

    // A serial number sold twice is refused; the focus is back in the serial box with the
    // refused number selected. Enter there does not run on into the date, so the corrected
    // number typed next replaces the refused one and the date stays today's. A date the clerk
    // does change is marked on the page until the reset.
    void theDateIsNeverChangedByRunningPastIt()
    {
        ScreenFixture f;
        ConsignmentDriver d(f.openScreen());
        d.chooseBranch();
        const QString serialGoods = f.barcodeOfProduct(25);
        d.scan(serialGoods);
        Drive::type("SN-1001");
        d.save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        d.scan(serialGoods);
        Drive::type("SN-1001");
        d.save();
        QCOMPARE(f.errors().size(), 1);
        QCOMPARE(d.focused(), C::Serial);
        QCOMPARE(d.selected(C::Serial), QString("SN-1001"));

        Drive::enter();
        Drive::type("SN-1002");
        QCOMPARE(d.date(), QDate::currentDate());
        QVERIFY(!d.dateMarked());
        QCOMPARE(d.text(C::Serial), QString("SN-1002"));
        d.save();
        QCOMPARE(f.dialogs().texts(), (QStringList{Saved, Saved}));
        QCOMPARE(f.lastLine().value("SerialNumber").toString(), QString("SN-1002"));

        // Enter after the quantity stays in the quantity box too.
        d.scan(f.barcodeOfProduct(3));
        d.typeQuantity("3");
        Drive::enter();
        QCOMPARE(d.focused(), C::Quantity);

        // Going to the date on purpose changes it, and the page marks it.
        d.tab();
        Drive::type("01/02/2026");
        QCOMPARE(d.date(), QDate(2026, 2, 1));
        QCOMPARE(d.dateMarked(), QDate::currentDate() != QDate(2026, 2, 1));
        Drive::key(Qt::Key_F3); // New
        QCOMPARE(d.date(), QDate::currentDate());
        QVERIFY(!d.dateMarked());
    }

    // Tab and Shift+Tab leave both read-only grids, holding rows, like any other control.
    void tabLeavesTheGrids()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        d.chooseBranch();
        d.scan(f.barcodeOfProduct(3));
        d.typeQuantity("2");
        d.save();
        d.showPage(ConsignmentDriver::Daily);
        d.focusOn(C::Summarise);
        Drive::key(Qt::Key_Space);
        QVERIFY(d.rows(ConsignmentDriver::Grid::Daily) > 0);
        d.showPage(ConsignmentDriver::Onhand);
        d.focusOn(C::ShowOnhand);
        Drive::key(Qt::Key_Space);
        QVERIFY(d.rows(ConsignmentDriver::Grid::Onhand) > 0);

        for (const auto &[page, grid, before] : {std::tuple{ConsignmentDriver::Daily, ConsignmentDriver::Grid::Daily,
                                                            static_cast<QWidget *>(d.control(C::Summarise))},
                                                 std::tuple{ConsignmentDriver::Onhand, ConsignmentDriver::Grid::Onhand,
                                                            static_cast<QWidget *>(d.control(C::ShowOnhand))}}) {
            d.showPage(page);
            before->setFocus();
            d.tab();
            QCOMPARE(Drive::focus(), static_cast<QWidget *>(d.grid(grid)));
            d.tab();
            QVERIFY(Drive::focus() != d.grid(grid));
            d.grid(grid)->setFocus();
            d.backTab();
            QCOMPARE(Drive::focus(), before);
        }
    }

    // F2 opens the barcode search from the barcode box (the buttons' hint names the key); the
    // clerk types a name, Enter searches, Down and Enter pick, and the barcode box holds the pick.
    void theSearchWorksByKeys()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        s->setBarcodeSearchFactory(BarcodeSearch::forDialog<TFrSearchBarCode>());
        ConsignmentDriver d(s);
        d.chooseBranch();
        QVERIFY(d.control(C::Search, C::Consignment)->toolTip().contains("F2"));
        QVERIFY(d.control(C::Search, C::Adjustment)->toolTip().contains("F2"));
        const QString name = f.scalar("Select ThaiName From Product Where Id = 3").toString();
        QString first, picked;
        ModalDialogs::whenOpens<TFrSearchBarCode>([&](TFrSearchBarCode *search) {
            Drive::type(name);
            Drive::enter();
            first = search->QSearch->fieldByName("BarCode").asString();
            Drive::key(Qt::Key_Down);
            picked = search->QSearch->fieldByName("BarCode").asString();
            Drive::enter();
        });
        Drive::key(Qt::Key_F2);
        settle();
        QVERIFY(!picked.isEmpty());
        QVERIFY(picked != first);
        QCOMPARE(d.text(C::Barcode), picked);
        QCOMPARE(s->focusWidget(), d.control(C::Barcode));
        // The window manager gives the screen back its activation; offscreen it is asked for.
        s->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s));
        Drive::enter();
        QCOMPARE(d.productCode(), QString("P0003"));
    }
};

QTEST_MAIN(TestClerkRhythm)
#include "tst_clerkrhythm.moc"
