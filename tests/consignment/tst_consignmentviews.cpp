// The daily summary and on-hand pages of the consignment screen, driven through the real widgets
// on fresh demo databases. The demo data lies around today; the cases here use lines of 2001
// that each test stores itself.
#include "support/ScreenFixture.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "platform/format/FormatFloat.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/QueryModel.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ConsignmentDriver.h"
#include "support/ModalDialogs.h"
#include "support/ScriptedDialogService.h"
#include "support/XlsxReader.h"

#include "platform/ui/DataGrid.h"
#include <QAbstractItemModel>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

using namespace platform;

using C = ConsignmentDriver;

namespace {

const QDate Jan1(2001, 1, 1);

// Opens the screen with branch 1 (customer C0001) current and the page shown.
TFrTarvoAdjAndConsignment *openOnBranch1(ScreenFixture &f, ConsignmentDriver::Page page)
{
    TFrTarvoAdjAndConsignment *s = f.openScreen();
    ConsignmentDriver d(s);
    d.chooseBranch();
    d.showPage(page);
    return s;
}

void addLine(ScreenFixture &f, int customer, const char *type, int product, double quantity, double price, const QDate &day)
{
    const int unit = f.firstUnitOf(product);
    f.dbs().company().execute(QString("Insert Into Tarvo_Consignment (UserCode, UserKeyIn, Customer, ConsigType, Product,"
                                      " ProductUnits, Barcode, SerialNumber, Quantity, Price, ChkFree, OldPrice, ConsigDate,"
                                      " CreateTime) Values ('BR%1', 'SOMCHAI', %2, '%3', %4, %5, '%6', '', %7, %8, 'N', %8,"
                                      " '%9', '%9 10:00:00')")
                                  .arg(customer, 2, 10, QChar('0'))
                                  .arg(customer)
                                  .arg(QLatin1String(type))
                                  .arg(product)
                                  .arg(unit)
                                  .arg(f.barcodeOfProduct(product))
                                  .arg(quantity, 0, 'g', 17)
                                  .arg(price, 0, 'g', 17)
                                  .arg(day.toString("yyyy-MM-dd")));
}

using Grid = ConsignmentDriver::Grid;

enum DailyColumn { DocDate, TypeText, BarCode, ProdName, Quantity, UnitName, Price, Total };

} // namespace

class TestConsignmentViews : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void emptyAndReversedRanges()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Daily);
        ConsignmentDriver d(s);
        addLine(f, 1, "S", 3, 2, 10, Jan1.addDays(5));

        d.summarise(Jan1.addDays(10), Jan1.addDays(20));
        QCOMPARE(d.rows(Grid::Daily), 0);
        QCOMPARE(d.total(), QString("0.00"));

        d.summarise(Jan1.addDays(6), Jan1.addDays(4)); // first day after the last
        QCOMPARE(d.rows(Grid::Daily), 0);
        QCOMPARE(d.total(), QString("0.00"));

        d.summarise(Jan1.addDays(5), Jan1.addDays(5)); // both ends belong to the range
        QCOMPARE(d.rows(Grid::Daily), 1);
        QCOMPARE(d.total(), QString("20.00"));
        QVERIFY(f.errors().isEmpty());
    }

    // What each kind of movement shows and adds to the total.
    void movementsAndTheirTotal()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Daily);
        ConsignmentDriver d(s);
        const QDate day = Jan1.addDays(9);
        addLine(f, 1, "S", 3, 5, 100, day);                 // 500
        addLine(f, 1, "R", 3, 2, 100, day);                 // -200
        addLine(f, 1, "A", 3, 4, 10, day);                  // 40
        addLine(f, 1, "A", 3, -1, 10, day);                 // -10
        addLine(f, 1, "A", 3, 0, 10, day);                  // 0, type unknown
        addLine(f, 2, "S", 3, 1000, 100, day);              // another branch: not shown
        addLine(f, 1, "S", 3, 1000, 100, Jan1.addDays(40)); // outside the range
        // An invoice to the branch and a return from it: quantity and price, no money.
        f.dbs().company().execute(
            QString("Insert Into IvHd (Id, DocNo, IvDate, Customer, Delflag) Values (9001, 'IVX', '%1', 1, 'N')")
                .arg(day.toString("yyyy-MM-dd")));
        f.dbs().company().execute(
            QString("Insert Into IvDt (Id, IvHd, Product, ProductUnits, Quantity, Price) Values (9001, 9001, 3, %1, 3, 50)")
                .arg(f.firstUnitOf(3)));
        f.dbs().company().execute(
            QString("Insert Into IvHd (Id, DocNo, IvDate, Customer, Delflag) Values (9002, 'IVD', '%1', 1, 'Y')")
                .arg(day.toString("yyyy-MM-dd")));
        f.dbs().company().execute(
            QString("Insert Into IvDt (Id, IvHd, Product, ProductUnits, Quantity, Price) Values (9002, 9002, 3, %1, 9, 50)")
                .arg(f.firstUnitOf(3)));
        f.dbs().company().execute(
            QString("Insert Into SrHd (Id, DocNo, SrDate, Customer, Delflag) Values (9001, 'SRX', '%1', 1, 'N')")
                .arg(day.toString("yyyy-MM-dd")));
        f.dbs().company().execute(
            QString("Insert Into SrDt (Id, SrHd, Product, ProductUnits, Quantity, Price) Values (9001, 9001, 3, %1, 1, 50)")
                .arg(f.firstUnitOf(3)));

        d.summarise(Jan1, Jan1.addDays(30));
        const DataGrid *grid = d.grid(Grid::Daily);
        QCOMPARE(grid->model()->rowCount(), 7);
        QCOMPARE(d.total(), QString("330.00"));

        QMultiMap<QString, QString> shown; // type text -> quantity / total
        for (int row = 0; row < 7; ++row) {
            QCOMPARE(d.cell(Grid::Daily, row, DocDate), day.toString("dd/MM/yyyy"));
            QCOMPARE(d.cell(Grid::Daily, row, BarCode), f.barcodeOfProduct(3));
            shown.insert(d.cell(Grid::Daily, row, TypeText),
                         d.cell(Grid::Daily, row, Quantity) + " / " + d.cell(Grid::Daily, row, Total));
            for (int column : {Quantity, Price, Total})
                QCOMPARE(grid->model()->index(row, column).data(Qt::TextAlignmentRole).toInt(),
                         int(Qt::AlignRight | Qt::AlignVCenter));
        }
        QCOMPARE(shown.value("รับสินค้าจาก สนญ "), QString("-3 / 0"));
        QCOMPARE(shown.value("ส่งคืน สนญ"), QString("1 / 0"));
        QCOMPARE(shown.value("ขาย"), QString("5 / 500"));
        QCOMPARE(shown.value("รับคืน"), QString("-2 / -200"));
        QCOMPARE(shown.value("ปรับปรุง+"), QString("4 / 40"));
        QCOMPARE(shown.value("ปรุบปรุง-"), QString("-1 / -10"));
        QCOMPARE(shown.value("ไม่ระบุ"), QString("0 / 0"));
        // Same product and day: by DocType (invoice, lines, return).
        QCOMPARE(d.cell(Grid::Daily, 0, TypeText), QString("รับสินค้าจาก สนญ "));
        QCOMPARE(d.cell(Grid::Daily, 6, TypeText), QString("ส่งคืน สนญ"));
        // The grid is back on the first row.
        QCOMPARE(d.datasetRow(Grid::Daily), 0);
        QCOMPARE(grid->currentIndex().row(), 0);
        QVERIFY(f.errors().isEmpty());
    }

    void totalFormat_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("total");
        QTest::newRow("minus 1,250") << "R" << 12.5 << 100.0 << "-1,250.00";
        QTest::newRow("1,234,567.5") << "S" << 1.0 << 1234567.5 << "1,234,567.50";
        QTest::newRow("R of 2 at 100") << "R" << 2.0 << 100.0 << "-200.00";
        QTest::newRow("small") << "S" << 3.0 << 0.125 << "0.38";
        QTest::newRow("decrease") << "A" << -3.0 << 1000.0 << "-3,000.00";
    }
    void totalFormat()
    {
        QFETCH(QString, type);
        QFETCH(double, quantity);
        QFETCH(double, price);
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Daily);
        ConsignmentDriver d(s);
        addLine(f, 1, qPrintable(type), 7, quantity, price, Jan1);
        d.summarise(Jan1, Jan1);
        QTEST(d.total(), "total");
    }

    // Lines adding up to a half satang are totalled exactly, then rounded: adding their totals
    // as doubles gives 212,737.25499999998, a satang short.
    void anExactTotal()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Daily);
        ConsignmentDriver d(s);
        addLine(f, 1, "S", 3, 6, 7364.555, Jan1);
        addLine(f, 1, "S", 3, 17, 8529.982, Jan1.addDays(1));
        addLine(f, 1, "S", 3, 13, 1810.787, Jan1.addDays(2));
        d.summarise(Jan1, Jan1.addDays(2));
        QCOMPARE(d.total(), QString("212,737.26"));
    }

    // The total adds every row over a long result; the grid does not
    // paint or follow while the rows are walked, and shows the first row afterwards.
    void aLongSummary()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Daily);
        ConsignmentDriver d(s);
        f.dbs().company().beginTransaction();
        for (int i = 0; i < 3000; ++i)
            addLine(f, 1, i % 4 == 3 ? "R" : "S", 1 + i % 60, 1 + i % 5, 0.25 * (1 + i % 7), Jan1.addDays(i % 28));
        f.dbs().company().commit();
        double expected = 0;
        for (int i = 0; i < 3000; ++i)
            expected += (i % 4 == 3 ? -1 : 1) * (1 + i % 5) * 0.25 * (1 + i % 7);

        bool paintedWhileRead = true;
        int currentMoves = 0;
        bool waitCursor = false;
        connect(d.datasetModel(Grid::Daily), &QAbstractItemModel::modelReset, this, [&] {
            paintedWhileRead = d.grid(Grid::Daily)->updatesEnabled();
            waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        connect(d.grid(Grid::Daily)->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [&] { ++currentMoves; });
        d.summarise(Jan1, Jan1.addDays(27));
        QVERIFY(!paintedWhileRead);
        QVERIFY(waitCursor);                      // while the statement ran
        QVERIFY(!QApplication::overrideCursor()); // and not after
        QVERIFY(currentMoves <= 2);               // not one move per row
        QVERIFY(d.grid(Grid::Daily)->updatesEnabled());
        QCOMPARE(d.rows(Grid::Daily), 3000);
        QCOMPARE(d.total(), FormatFloat("#,##0.00;-#,##0.00", expected));
        QCOMPARE(d.currentRow(Grid::Daily), 0);

        // The user moves in the grid: the query follows.
        d.focusOn(C::DailyGrid);
        Drive::key(Qt::Key_PageDown);
        QVERIFY(d.datasetRow(Grid::Daily) > 0);
        QCOMPARE(d.datasetRow(Grid::Daily), d.currentRow(Grid::Daily));
        Drive::key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(d.datasetRow(Grid::Daily), 2999);
        QVERIFY(f.errors().isEmpty());
    }

    // A failing summary goes to the application-wide handling; the grid follows its dataset
    // again, so the next summary shows normally.
    void aFailingSummary()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Daily);
        ConsignmentDriver d(s);
        addLine(f, 1, "S", 3, 2, 10, Jan1);
        d.summarise(Jan1, Jan1);
        QCOMPARE(d.total(), QString("20.00"));

        f.dbs().company().execute("Alter Table Tarvo_Consignment Rename To Tarvo_Consignment_Away");
        d.summarise(Jan1, Jan1);
        QCOMPARE(f.errors().size(), 1);
        QVERIFY2(f.errors().first().contains("Tarvo_Consignment"), qPrintable(f.errors().first()));
        QVERIFY(d.grid(Grid::Daily)->updatesEnabled());
        QVERIFY(!d.grid(Grid::Daily)->controlsDisabled());
        QVERIFY(!d.read(Grid::Daily));
        QCOMPARE(d.total(), QString("20.00")); // no new total
        QVERIFY(f.dialogs().texts().isEmpty());

        f.dbs().company().execute("Alter Table Tarvo_Consignment_Away Rename To Tarvo_Consignment");
        addLine(f, 1, "S", 3, 1, 10, Jan1);
        d.summarise(Jan1, Jan1);
        QCOMPARE(f.errors().size(), 1);
        QCOMPARE(d.rows(Grid::Daily), 2);
        QCOMPARE(d.currentRow(Grid::Daily), 0);
        QCOMPARE(d.total(), QString("30.00"));
    }

    void copyingRows()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Daily);
        ConsignmentDriver d(s);
        addLine(f, 1, "S", 3, 2, 10.5, Jan1);
        addLine(f, 1, "R", 3, 1, 10.5, Jan1.addDays(1));
        addLine(f, 1, "S", 3, 4, 10.5, Jan1.addDays(2));
        d.summarise(Jan1, Jan1.addDays(2));
        QCOMPARE(d.rows(Grid::Daily), 3);
        QString name = d.cell(Grid::Daily, 0, ProdName);
        QString unit = d.cell(Grid::Daily, 0, UnitName);
        QString barcode = f.barcodeOfProduct(3);

        QGuiApplication::clipboard()->clear();
        d.focusOn(C::DailyGrid);
        Drive::key(Qt::Key_Down, Qt::ShiftModifier); // rows 0 and 1
        Drive::key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString("01/01/2001\tขาย\t%1\t%2\t2\t%3\t10.5\t21\n02/01/2001\tรับคืน\t%1\t%2\t-1\t%3\t10.5\t-10.5\n")
                     .arg(barcode, name, unit));
        QCOMPARE(d.focused(), C::DailyGrid);

        Drive::key(Qt::Key_A, Qt::ControlModifier);
        Drive::key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().count('\n'), 3);
        QVERIFY(f.errors().isEmpty());
    }

    // Ctrl+E on the daily grid asks for a file and writes an Excel sheet: the column titles in
    // bold, then the rows as shown, dates as dates, quantities and money as numbers, barcodes
    // and Thai as text. A folder that does not exist is said in a message; nothing is written.
    void exportingRowsToExcel()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Daily);
        ConsignmentDriver d(s);
        addLine(f, 1, "S", 3, 2, 10.5, Jan1);
        addLine(f, 1, "R", 3, 1, 10.5, Jan1.addDays(1));
        d.summarise(Jan1, Jan1.addDays(2));
        const QString path = f.dbs().dir() + "/daily.xlsx";
        QCOMPARE(d.grid(Grid::Daily)->contextMenuPolicy(), Qt::ActionsContextMenu);
        QVERIFY(d.grid(Grid::Daily)->actions().contains(d.grid(Grid::Daily)->exportAction()));
        d.focusOn(C::DailyGrid);
        QString offered;
        ModalDialogs::whenOpens<QFileDialog>([&](QFileDialog *dialog) {
            auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
            offered = name->text();
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
        });
        Drive::key(Qt::Key_E, Qt::ControlModifier);
        // The caption and the file offered say which branch and which dates; a total row under
        // the rows sums the money as the screen does.
        const QString code = d.branchCustomerCode();
        const QString branch = d.text(C::Branch);
        QCOMPARE(offered,
                 QString("ความเคลื่อนไหวรายวัน %1 %2 %3 ถึง %4.xlsx")
                     .arg(code, branch, Jan1.toString("yyyy-MM-dd"), Jan1.addDays(2).toString("yyyy-MM-dd")));
        XlsxReader xlsx;
        QVERIFY2(xlsx.read(path), qPrintable(xlsx.error()));
        QCOMPARE(xlsx.sheetName(), QString("ความเคลื่อนไหวรายวัน"));
        QCOMPARE(xlsx.rowCount(), 6);
        QCOMPARE(xlsx.rowText(0),
                 QString("ความเคลื่อนไหวรายวัน สาขา %1 %2 วันที่ %3 ถึง %4")
                     .arg(code, branch, Jan1.toString("dd/MM/yyyy"), Jan1.addDays(2).toString("dd/MM/yyyy")));
        const int header = 2;
        QCOMPARE(xlsx.rowText(header), QString("วันที่|ประเภท|BarCode|สินค้า|จำนวน|หน่วย|ราคา|รวม"));
        QVERIFY(xlsx.cell(header, ProdName).bold);
        const auto row = xlsx.row(header + 2);
        QCOMPARE(row.value(Price).numberFormat, QString("#,##0.00"));
        QCOMPARE(row.value(Total).numberFormat, QString("#,##0.00;-#,##0.00"));
        const auto total = xlsx.row(header + 3);
        QCOMPARE(total.value(0).text, QString("สรุปยอดรวมมูลค่า"));
        QCOMPARE(total.value(Total).number, 10.5);
        QVERIFY(total.value(Total).bold);
        QCOMPARE(d.text(C::Total), QString("10.50"));
        // Frozen under the column titles, which print at the top of every page, one page wide.
        const QByteArray sheet = xlsx.entry("xl/worksheets/sheet1.xml");
        QVERIFY2(sheet.contains("ySplit=\"3\"") && sheet.contains("fitToPage=\"1\"") && sheet.contains("fitToHeight=\"0\"") &&
                     sheet.contains("paperSize=\"9\""),
                 sheet.constData());
        QVERIFY(xlsx.entry("xl/workbook.xml").contains("_xlnm.Print_Titles"));
        QCOMPARE(row.value(DocDate).number, double(QDate(1899, 12, 30).daysTo(Jan1.addDays(1))));
        QCOMPARE(row.value(DocDate).numberFormat, QString("dd/mm/yyyy"));
        QCOMPARE(row.value(TypeText).text, QString("รับคืน"));
        QCOMPARE(row.value(BarCode).type, QString("s"));
        QCOMPARE(row.value(BarCode).text, f.barcodeOfProduct(3));
        QCOMPARE(row.value(ProdName).text, d.cell(Grid::Daily, 1, ProdName));
        for (const auto &[column, number] : {std::pair{Quantity, -1.0}, std::pair{Price, 10.5}, std::pair{Total, -10.5}}) {
            QCOMPARE(row.value(column).type, QString("n"));
            QCOMPARE(row.value(column).number, number);
        }

        const QString nowhere = f.dbs().dir() + "/no-such-folder/daily.xlsx";
        ModalDialogs::saveAs(nowhere);
        d.grid(Grid::Daily)->exportAction()->trigger();
        QCOMPARE(f.dialogs().texts(),
                 QStringList{QString("บันทึกไฟล์ \"%1\" ไม่ได้: ไม่พบโฟลเดอร์ \"%2\"").arg(nowhere, f.dbs().dir() + "/no-such-folder")});
        QVERIFY(!QFileInfo::exists(nowhere));
        QVERIFY(f.errors().isEmpty());
    }

    void onhandByYearAndPeriod()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Onhand);
        ConsignmentDriver d(s);
        auto onhand = [&](int product, int period, double quantity) {
            const int unit = f.firstUnitOf(product);
            f.dbs().company().execute(
                QString("Insert Into ProductOnhandCustomer (CusCode, ProdCode, Barcode, BalanceYear, PeriodNo,"
                        " Quantity) Values ('C0001', 'P%1', '%2', 2001, %3, %4)")
                    .arg(product, 4, 10, QChar('0'))
                    .arg(f.barcodeOfProduct(product))
                    .arg(period)
                    .arg(quantity));
            Q_UNUSED(unit);
        };
        onhand(3, 0, 12);
        onhand(4, 0, 0); // a zero sum is left out
        onhand(5, 0, 7.5);
        onhand(3, 5, 30);
        f.dbs().company().execute(QString("Insert Into ProductOnhandCustomer (CusCode, ProdCode, Barcode, BalanceYear, PeriodNo,"
                                          " Quantity) Values ('C0002', 'P0003', '%1', 2001, 0, 99)")
                                      .arg(f.barcodeOfProduct(3)));

        d.clickInto(C::Year);
        Drive::key(Qt::Key_A, Qt::ControlModifier);
        Drive::type("2001");
        d.focusOn(C::Period); // leaving the year box checks it
        QCOMPARE(d.text(C::Period), QString("%1").arg(QDate::currentDate().month(), 3));
        d.choose(C::Period, 0);
        QCOMPARE(d.text(C::Period), QString(" ยกมาต้นปี"));
        d.click(C::ShowOnhand);
        const QAbstractItemModel *m = d.grid(Grid::Onhand)->model();
        QCOMPARE(m->rowCount(), 2);
        QStringList rows;
        for (int r = 0; r < m->rowCount(); ++r)
            rows << m->index(r, 0).data().toString() + " " + m->index(r, 3).data().toString();
        // Ordered by product name: product 3 and 5 (see the demo names).
        const QString name3 = f.dbs().scalar("Select ThaiName From Product Where Id = 3").toString();
        const QString name5 = f.dbs().scalar("Select ThaiName From Product Where Id = 5").toString();
        const QStringList expected = name3 < name5 ? QStringList{f.barcodeOfProduct(3) + " 12", f.barcodeOfProduct(5) + " 7.5"}
                                                   : QStringList{f.barcodeOfProduct(5) + " 7.5", f.barcodeOfProduct(3) + " 12"};
        QCOMPARE(rows, expected);
        QCOMPARE(m->headerData(3, Qt::Horizontal).toString(), QString("จำนวน"));
        QCOMPARE(m->index(0, 3).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));

        d.choose(C::Period, 5);
        d.click(C::ShowOnhand);
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->index(0, 3).data().toString(), QString("30"));
        QCOMPARE(m->index(0, 1).data().toString(), name3);

        // Another branch.
        d.focusOn(C::Branch);
        Drive::key(Qt::Key_Down);
        Drive::enter();
        QCOMPARE(m->rowCount(), 0); // leaving the branch box empties the grid
        d.clickInto(C::Year);
        Drive::key(Qt::Key_A, Qt::ControlModifier);
        Drive::type("2001");
        d.focusOn(C::Period);
        d.choose(C::Period, 0);
        d.click(C::ShowOnhand);
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->index(0, 3).data().toString(), QString("99"));
        QVERIFY(f.dialogs().texts().isEmpty());
        QVERIFY(f.errors().isEmpty());
    }

    void aYearThatIsNotANumber()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Onhand);
        ConsignmentDriver d(s);
        d.click(C::ShowOnhand);
        QVERIFY(d.read(Grid::Onhand));
        d.setText(C::Year, "20x1"); // only code can put such a text there
        d.click(C::ShowOnhand);
        QCOMPARE(f.errors(), QStringList{"'20x1' is not a valid integer value"});
        QVERIFY(!d.read(Grid::Onhand));
        QCOMPARE(d.rows(Grid::Onhand), 0);
    }

    void theYearCheck_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::newRow("26") << "26" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("202") << "202" << true;
        QTest::newRow("2026") << "2026" << false;
        QTest::newRow("0001") << "0001" << false; // no range test
        QTest::newRow("-999") << "-999" << false;
    }
    void theYearCheck()
    {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f, ConsignmentDriver::Onhand);
        ConsignmentDriver d(s);
        d.clickInto(C::Year);
        Drive::key(Qt::Key_A, Qt::ControlModifier);
        Drive::key(Qt::Key_Delete);
        Drive::type(typed);
        Drive::enter();
        if (refused) {
            QCOMPARE(f.dialogs().texts(), QStringList{"ใส่จำนวนหลัก ปี ค.ศ. ไม่ถูกต้อง !"});
            QCOMPARE(d.focused(), C::Year);
            QCOMPARE(d.text(C::Year), typed);
            // Every time it is left.
            Drive::enter();
            QCOMPARE(f.dialogs().count(), 2);
            QCOMPARE(d.focused(), C::Year);
            // Left by a click on the show button: the same one message, and the button does nothing.
            const int rowsBefore = d.rows(Grid::Onhand);
            d.click(C::ShowOnhand);
            QCOMPARE(f.dialogs().count(), 3);
            QCOMPARE(d.focused(), C::Year);
            QCOMPARE(d.rows(Grid::Onhand), rowsBefore);
        } else {
            QVERIFY(f.dialogs().texts().isEmpty());
            QCOMPARE(d.focused(), C::Period);
        }
        QVERIFY(f.errors().isEmpty());
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestConsignmentViews test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_consignmentviews.moc"
