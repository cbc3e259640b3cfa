// The consignment store alone, without a screen: each line is one call of the save procedure on
// a fresh demo company database, and the stored row carries the eleven values of the line.
#include "consignment/ConsignmentStore.h"

#include "platform/core/Exceptions.h"
#include "support/DemoDatabases.h"
#include "support/SaleLine.h"

#include <QTest>

using namespace platform;

namespace {

ConsignmentLine sale(DemoDatabases &dbs)
{
    return saleLine(QStringLiteral("BR02"), 2, dbs.barcodeOfProduct(3), 7, 12.5, QDate::currentDate().addDays(-2));
}

void compareStored(DemoDatabases &dbs, const ConsignmentLine &line)
{
    const QVariantMap stored = dbs.lastLine();
    QCOMPARE(stored.value("UserCode").toString(), line.userCode);
    QCOMPARE(stored.value("UserKeyIn").toString(), line.userKeyIn);
    QCOMPARE(stored.value("Customer").toInt(), line.customer);
    QCOMPARE(stored.value("ConsigType").toString(), line.consigType.toUpper().trimmed());
    QCOMPARE(stored.value("Barcode").toString(), line.barcode.trimmed());
    QCOMPARE(stored.value("SerialNumber").toString(), line.serialNumber);
    QCOMPARE(stored.value("Quantity").toDouble(), line.quantity);
    QCOMPARE(stored.value("Price").toDouble(), line.price);
    QCOMPARE(stored.value("ChkFree").toString(), line.free ? QString("Y") : QString("N"));
    QCOMPARE(stored.value("OldPrice").toDouble(), line.oldPrice);
    QCOMPARE(stored.value("ConsigDate").toString(), line.editDate.toString("yyyy-MM-dd"));
}

} // namespace

class TestConsignmentStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A line of each page, each stored once with its eleven values: a sale, a take-back typed
    // loosely, a free gift and a decrease of serial-numbered goods.
    void linesOfBothPages()
    {
        DemoDatabases dbs;
        ConsignmentStore store(&dbs.company());
        int count = dbs.consignmentCount();

        const ConsignmentLine plain = sale(dbs);
        QCOMPARE(store.save(plain), SaveOutcome::Stored);
        QCOMPARE(dbs.consignmentCount(), ++count);
        compareStored(dbs, plain);

        ConsignmentLine takeBack = sale(dbs);
        takeBack.consigType = QStringLiteral(" r ");
        takeBack.barcode = QStringLiteral("  ") + takeBack.barcode + QStringLiteral(" ");
        takeBack.quantity = 1234;
        QCOMPARE(store.save(takeBack), SaveOutcome::Stored);
        QCOMPARE(dbs.consignmentCount(), ++count);
        compareStored(dbs, takeBack);

        ConsignmentLine gift = sale(dbs);
        gift.free = true;
        gift.price = 0;
        QCOMPARE(store.save(gift), SaveOutcome::Stored);
        compareStored(dbs, gift);

        ConsignmentLine decrease = sale(dbs);
        decrease.entry = ConsignmentLine::Entry::Adjustment;
        decrease.consigType = QStringLiteral("A");
        decrease.barcode = dbs.barcodeOfProduct(25); // every 25th product has serial numbers
        decrease.serialNumber = QStringLiteral("SN 0043");
        decrease.quantity = -1;
        QCOMPARE(store.save(decrease), SaveOutcome::Stored);
        QCOMPARE(dbs.consignmentCount(), count + 2);
        compareStored(dbs, decrease);
    }

    // A line the procedure refuses leaves save() as the database's error, and nothing is stored;
    // the store saves the next line as usual.
    void aRefusedLine()
    {
        DemoDatabases dbs;
        ConsignmentStore store(&dbs.company());
        const int count = dbs.consignmentCount();
        ConsignmentLine unknownBranch = sale(dbs);
        unknownBranch.customer = 9999;
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, store.save(unknownBranch));
        QCOMPARE(dbs.consignmentCount(), count);

        const ConsignmentLine next = sale(dbs);
        QCOMPARE(store.save(next), SaveOutcome::Stored);
        compareStored(dbs, next);
    }
};

QTEST_GUILESS_MAIN(TestConsignmentStore)
#include "tst_consignmentstore.moc"
