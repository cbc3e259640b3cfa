// Input that is not what it should be, on the real consignment screen with the program's own
// error handling: quantities and years that are not whole numbers, barcodes with quotes, percent
// signs and underscores, very long texts and Thai digits. Each is refused or explained, nothing is
// stored that was not meant, and what the clerk typed stays for correcting.
#include "FaultFixture.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "data/ErrorHandler.h"
#include "db/setup/DemoData.h"
#include "platform/sql/Query.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ConsignmentDriver.h"
#include "support/ScriptedDialogService.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace platform;

using C = ConsignmentDriver;
using Grid = ConsignmentDriver::Grid;

namespace {

const QString NotFound1 = QStringLiteral("ไม่พบ Barcode ");
const QString NotFound2 = QStringLiteral("ไม่พบ Barcode !!");
const QString YearDigits = QStringLiteral("ใส่จำนวนหลัก ปี ค.ศ. ไม่ถูกต้อง !");
const QString TooManyDigits = QStringLiteral("ระบุ จำนวน ไม่เกิน 7 หลัก");
const QString ThaiDigits = QStringLiteral("๐๑๒๓๔๕๖๗๘๙");

void paste(const QString &text)
{
    QApplication::clipboard()->setText(text);
    Drive::key(Qt::Key_V, Qt::ControlModifier);
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The quantity box takes digits only: letters, Thai digits, separators and decimals are
    // refused as they are typed or pasted. A text that is not a number all the same (only code
    // can put one there) is explained through the error road on Save and on leaving the box.
    void aQuantityThatIsNotANumber()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QString barcode = f.barcodeOfProduct(3);
        d.scan(barcode);
        d.retype(C::Quantity, "12abc", C::Consignment);
        QCOMPARE(d.text(C::Quantity, C::Consignment), QString("12"));
        Drive::type(ThaiDigits + "1.5,e");
        QCOMPARE(d.text(C::Quantity, C::Consignment), QString("1215"));
        Drive::key(Qt::Key_A, Qt::ControlModifier);
        paste("1,000");
        paste("๕๐");
        paste("3 ชิ้น");
        QCOMPARE(d.text(C::Quantity, C::Consignment), QString("1215"));
        QVERIFY(f.shownErrors().isEmpty());

        d.setText(C::Quantity, "abc", C::Consignment);
        const QStringList before = d.state();
        Drive::save();
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(f.logRows(), logged + 1);
        QCOMPARE(f.lastLogMessage(), QString("'abc' is not a valid floating point value"));
        QCOMPARE(f.shownErrors().first().errorText, QString("\r'ABC' IS NOT A VALID FLOATING POINT VALUE\r"));
        QCOMPARE(d.state(), before);
        QVERIFY(f.dialogs().texts().isEmpty());

        // Leaving the box with it: one dialog, and the clerk is kept in the box.
        f.clearShownErrors();
        d.clickInto(C::Quantity, C::Consignment);
        d.clickInto(C::Barcode, C::Consignment);
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(f.shownErrors().first().errorText, QString("\r'ABC' IS NOT A VALID FLOATING POINT VALUE\r"));
        QCOMPARE(d.focused(), C::Quantity);
        QCOMPARE(d.state(), before);
        QCOMPARE(f.consignmentCount(), stored);

        // Corrected, it is stored once with the number typed.
        f.clearShownErrors();
        d.retype(C::Quantity, "12", C::Consignment);
        Drive::save();
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.lastLine().value("Quantity").toDouble(), 12.0);
    }

    // A quantity beyond what a branch can hold, more than seven digits (a barcode scanned into
    // the box, a number too large for a double or close to it), is refused with a message on
    // Save and on leaving the box; the clerk stays in the box, nothing is stored or logged.
    void aQuantityTooLargeForANumber()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        d.scan(f.barcodeOfProduct(3));
        for (const QString &typed : {f.barcodeOfProduct(4), "1" + QString(308, u'0'), QString(400, u'9')}) {
            f.dialogs().clear();
            d.retype(C::Quantity, typed, C::Consignment);
            QCOMPARE(d.text(C::Quantity, C::Consignment), typed);
            const QStringList before = d.state();
            Drive::save();
            d.clickInto(C::Barcode, C::Consignment);
            QCOMPARE(f.dialogs().texts(), (QStringList{TooManyDigits, TooManyDigits}));
            QCOMPARE(d.focused(), C::Quantity);
            QCOMPARE(d.state(), before);
        }
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.logRows(), logged);
        QCOMPARE(f.consignmentCount(), stored);

        d.retype(C::Quantity, "9999999", C::Consignment);
        Drive::save();
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.lastLine().value("Quantity").toDouble(), 9999999.0);
    }

    // The year of the on-hand summary: only digits get into the box, at most four; an empty box
    // or a text that is not a whole number is explained and the grid stays closed.
    void aYearThatIsNotAWholeNumber()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        d.showPage(ConsignmentDriver::Onhand);
        const QString thisYear = QString::number(QDate::currentDate().year());
        QCOMPARE(d.text(C::Year), thisYear);
        d.retype(C::Year, "20.5x" + ThaiDigits.left(2));
        QCOMPARE(d.text(C::Year), QString("205"));
        d.retype(C::Year, "202612");
        QCOMPARE(d.text(C::Year), QString("2026"));

        for (const QString &text : {QStringLiteral("20.5"), QStringLiteral("๒๐๒๖"), QStringLiteral("2 26")}) {
            f.clearShownErrors();
            const int logged = f.logRows();
            d.setText(C::Year, text);
            const QStringList before = d.state();
            d.click(C::ShowOnhand);
            f.backToScreen();
            QCOMPARE(f.shownErrors().size(), 1);
            QCOMPARE(f.logRows(), logged + 1);
            QCOMPARE(f.lastLogMessage(), "'" + text + "' is not a valid integer value");
            QCOMPARE(f.shownErrors().first().errorText, "\r'" + text + "' IS NOT A VALID INTEGER VALUE\r");
            QCOMPARE(d.state(), before);
            QVERIFY(!d.read(Grid::Onhand));
            QCOMPARE(d.rows(Grid::Onhand), 0);
        }

        // Emptied and OK pressed: the year box says so and keeps the clerk; no grid.
        f.clearShownErrors();
        f.dialogs().clear();
        d.retype(C::Year, "");
        d.click(C::ShowOnhand);
        f.backToScreen();
        QCOMPARE(f.dialogs().texts(), QStringList{YearDigits});
        // The press of OK ends with the year box taking the focus back: the clerk has been told
        // why, and the empty text is never converted, so no error follows.
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(d.focused(), C::Year);
        QCOMPARE(d.text(C::Year), QString());
        QVERIFY(!d.read(Grid::Onhand));

        // A good year shows the branch's rows.
        f.clearShownErrors();
        f.dialogs().clear();
        d.retype(C::Year, thisYear);
        d.click(C::ShowOnhand);
        QVERIFY(f.shownErrors().isEmpty());
        QVERIFY(f.dialogs().texts().isEmpty());
        QVERIFY(d.read(Grid::Onhand));
    }

    // Barcodes with quotes, percent signs, underscores and other signs are looked up as plain
    // text: none matches a product (no pattern, no statement text), nothing is stored.
    void barcodesWithSigns_data()
    {
        QTest::addColumn<QString>("text");
        const QString real = DemoData::barcodeOfUnit(5); // a real barcode, disguised
        QTest::newRow("quote") << QString("'");
        QTest::newRow("quoted or") << QString("' Or '1'='1");
        QTest::newRow("double quote") << QString("\"885\"");
        QTest::newRow("percent") << QString("%");
        QTest::newRow("prefix and percent") << real.left(6) + "%";
        QTest::newRow("underscore") << QString("_");
        QTest::newRow("underscore for a digit") << real.left(real.size() - 1) + "_";
        QTest::newRow("comment") << real + "'--";
        QTest::newRow("statement") << QString("1; Delete From Product");
        QTest::newRow("backslash") << QString("885\\");
        QTest::newRow("Thai digits") << QString("๘๘๕") + real.mid(3);
    }
    void barcodesWithSigns()
    {
        QFETCH(QString, text);
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const int products = f.dbs().scalar("Select Count(*) From Product").toInt();
        const int logged = f.logRows();

        d.scan(text);
        QCOMPARE(f.dialogs().texts(), QStringList{NotFound1 + text.toUpper().trimmed()});
        QCOMPARE(d.text(C::Barcode, C::Consignment), QString()); // the page is reset
        QVERIFY(!d.saveEnabled());
        Drive::save();

        d.showPage(ConsignmentDriver::Adjustment);
        f.dialogs().clear();
        d.scan(text);
        QCOMPARE(f.dialogs().texts(), QStringList{NotFound2});
        QCOMPARE(d.text(C::Barcode, C::Adjustment), text); // kept for correcting
        QCOMPARE(d.focused(), C::Barcode);
        QVERIFY(!d.saveEnabled());
        Drive::save();

        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.logRows(), logged);
        QCOMPARE(f.consignmentCount(), stored);
        QCOMPARE(f.dbs().scalar("Select Count(*) From Product").toInt(), products);
    }

    // Very long texts: a barcode of thousands of characters is simply not found; a serial number
    // is held to what the database keeps of it (60 characters), so what is stored is what the
    // clerk sees.
    void veryLongTexts()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const QString longBarcode = f.barcodeOfProduct(3) + QString(5000, u'7');
        d.scan(longBarcode);
        QCOMPARE(f.dialogs().texts(), QStringList{NotFound1 + longBarcode});

        f.dialogs().clear();
        d.scan(f.barcodeOfProduct(25));
        const QString longSerial = QString("SN-") + QString(100, u'ก') + QString(100, u'9');
        Drive::type(longSerial);
        QCOMPARE(d.text(C::Serial, C::Consignment), longSerial.left(60));
        Drive::save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.lastLine().value("SerialNumber").toString(), longSerial.left(60));

        // Pasted on the adjustment page: the same.
        d.showPage(ConsignmentDriver::Adjustment);
        d.scan(f.barcodeOfProduct(25));
        paste(longSerial);
        QCOMPARE(d.text(C::Serial, C::Adjustment), longSerial.left(60));
        Drive::save();
        QCOMPARE(f.consignmentCount(), stored + 2);
        QCOMPARE(f.lastLine().value("SerialNumber").toString(), longSerial.left(60));
        QVERIFY(f.shownErrors().isEmpty());
    }

    // Thai digits are text, not numbers: a serial number made of them is stored as typed.
    void thaiDigitsInASerialNumber()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        d.scan(f.barcodeOfProduct(25));
        Drive::type("SN-" + ThaiDigits);
        Drive::save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.lastLine().value("SerialNumber").toString(), "SN-" + ThaiDigits);
        // The same serial number in Arabic digits is another one.
        d.scan(f.barcodeOfProduct(25));
        Drive::type("SN-0123456789");
        Drive::save();
        QCOMPARE(f.dialogs().texts(), (QStringList{Saved, Saved}));
        QVERIFY(f.shownErrors().isEmpty());
    }

    // What cannot be seen is taken out of a pasted serial number (line breaks, tabs, zero-width
    // spaces), so it cannot pass for another number: sold twice, it is refused as a duplicate.
    void invisibleCharactersInASerialNumber()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        d.scan(f.barcodeOfProduct(25));
        Drive::type("SN-55");
        Drive::save();
        d.scan(f.barcodeOfProduct(25));
        paste(QStringLiteral("SN-\t5\u200B5\r\n"));
        QCOMPARE(d.text(C::Serial, C::Consignment), QString("SN-55"));
        Drive::save();
        f.backToScreen();
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.shownErrors().size(), 1);
        QVERIFY(f.lastLogMessage().contains("Cannot insert duplicate"));
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestBadInput test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_badinput.moc"
