// The consignment screen at a fast clerk's rhythm, by keys only: a scan straight after a save,
// the focus after a message or an error, passing back through the barcode box, a scan after a
// barcode that is not found, the barcode search without the mouse, Tab through the grids.
#include "support/ScreenFixture.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "platform/ui/NumberEdit.h"
#include "support/ConsignmentDriver.h"
#include "support/ScriptedDialogService.h"

#include <QLineEdit>
#include <QTest>
#include <cmath>

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
            QCOMPARE(d.entry().barcode->text(), next);
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
        QVERIFY(d.entry().barcode->text().isEmpty());
        QVERIFY(!d.saveEnabled());
    }
};

QTEST_MAIN(TestClerkRhythm)
#include "tst_clerkrhythm.moc"
