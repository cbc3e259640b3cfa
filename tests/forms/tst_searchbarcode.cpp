#include "data/U_DM.h"
#include "forms/Fr_SearchBarCode.h"
#include "platform/core/IniFile.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/ExceptionRouter.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ProgramOnDemo.h"
#include "support/ScriptedDialogService.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace platform;

namespace {

QWidget *focused()
{
    return QApplication::focusWidget();
}

bool showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The texts of one grid column, top to bottom.
QStringList columnTexts(const TFrSearchBarCode &dialog, int column)
{
    const QAbstractItemModel *model = dialog.DgSearch->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

// Types text (Thai included) into a control, key by key.
void typeText(QWidget *control, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

int rowCount(const TFrSearchBarCode &dialog)
{
    return dialog.DgSearch->model()->rowCount();
}

enum Column { BarCodeColumn, CodeColumn, ThaiNameColumn, UnitNameColumn, OnHandColumn, BackorderColumn };

void clickTitle(TFrSearchBarCode &dialog, int column)
{
    QHeaderView *titles = dialog.DgSearch->horizontalHeader();
    const QPoint at(titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2, titles->height() / 2);
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void doubleClickRow(TFrSearchBarCode &dialog, int row)
{
    const QRect cell = dialog.DgSearch->visualRect(dialog.DgSearch->model()->index(row, ThaiNameColumn));
    // As the platform delivers it: the first click, then the double-click.
    QTest::mouseClick(dialog.DgSearch->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(dialog.DgSearch->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

bool isSorted(const QStringList &texts)
{
    for (int i = 1; i < texts.size(); ++i)
        if (QString::compare(texts[i - 1], texts[i], Qt::CaseInsensitive) > 0)
            return false;
    return true;
}

QString artifactPath(const QString &name)
{
    QDir dir(qEnvironmentVariable("TARVO_BINARY_DIR", QDir::tempPath()));
    dir.mkpath("tests/artifacts");
    return dir.filePath("tests/artifacts/" + name);
}

} // namespace

class TestSearchBarCode : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramOnDemo> m_program;
    DemoDatabases *m_dbs = nullptr;

    // Shows the dialog modally, runs script once it is up and returns ShowModal's result. A
    // script that leaves the dialog open (a failed check) gets it closed, so the test goes on.
    int runModal(TFrSearchBarCode &dialog, const std::function<void()> &script)
    {
        auto *timer = new QTimer;
        timer->setInterval(5);
        connect(timer, &QTimer::timeout, [timer, &dialog, script] {
            if (QApplication::activeModalWidget() != &dialog || !dialog.isActiveWindow())
                return;
            timer->stop();
            timer->deleteLater();
            script();
            if (dialog.isVisible())
                dialog.reject();
        });
        timer->start();
        return dialog.ShowModal();
    }

    // Barcodes the company database lists for a where clause, straight from the tables.
    QStringList barcodesWhere(const QString &where, const QString &order = QStringLiteral("U.BarCode"))
    {
        Query q(&m_dbs->company());
        q.setSql({"Select U.BarCode From ProductUnits U Inner Join Product P On P.Id = U.Product Where " + where + " Order By " +
                  order});
        q.open();
        QStringList list;
        for (int i = 0; i < q.recordCount(); ++i)
            list << q.value(i, 0).toString();
        return list;
    }

    void setConfig(const QString &assignment)
    {
        m_dbs->company().execute("Update Config Set " + assignment);
        DM->OpenSettings();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_program = std::make_unique<ProgramOnDemo>(); // QLM.INI is in its current directory
        m_dbs = &m_program->dbs();

        // A product whose code sorts first and whose barcode sorts last, with quotes, % and _ in
        // its name; units without a barcode, which are never listed.
        Database &db = m_dbs->company();
        db.execute("Insert Into Product (Id, Code, ThaiName, EngName, UseSerial, Blocked) Values "
                   "(9001, 'P0000', 'ขนม ''พิเศษ'' 100% _แท้_', 'Special', 'N', 'N')");
        db.execute("Insert Into ProductUnits (Id, Product, UnitName, BarCode, Fraction, SmallUnitFlag) Values "
                   "(90001, 9001, 'ห่อ', '8859999999998', 1, 'Y')");
        db.execute("Insert Into ProductUnits (Id, Product, UnitName, BarCode, Fraction, SmallUnitFlag) Values "
                   "(90002, 1, 'กล่อง', Null, 30, 'N')");
        db.execute("Insert Into ProductUnits (Id, Product, UnitName, BarCode, Fraction, SmallUnitFlag) Values "
                   "(90003, 1, 'ถุง', '', 60, 'N')");
    }

    void cleanupTestCase() { m_program.reset(); }

    void init()
    {
        QFile::remove("QLM.INI");
        DM->LastSearchName.clear();
        setConfig("SearchProductMethod = 0, ShowLastSearch = 'Y'");
    }

    void aSearchWithNothingFoundKeepsTheFocusAndOkCancels()
    {
        TFrSearchBarCode dialog;
        dialog.SelectedBarCode = "left over";
        const int result = runModal(dialog, [&] {
            QCOMPARE(focused(), dialog.Name);
            QVERIFY(!dialog.QSearch->isOpen()); // nothing is searched by itself
            dialog.Code->setFocus();
            typeText(dialog.Code, "999");
            QTest::keyClick(focused(), Qt::Key_Return);
            QVERIFY(dialog.QSearch->isOpen());
            QCOMPARE(rowCount(dialog), 0);
            QVERIFY(dialog.isVisible());
            QCOMPARE(focused(), dialog.Code);
            dialog.Btok->click();
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(dialog.SelectedBarCode, QString());
        QVERIFY(!dialog.QSearch->isOpen());
    }

    void bothFieldsEmptyListEveryUnitWithABarcodeOfProductsNotBlocked()
    {
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        clickTitle(dialog, BarCodeColumn); // a title runs the search before any other
        const QStringList shown = columnTexts(dialog, BarCodeColumn);
        QCOMPARE(shown, barcodesWhere("P.Blocked <> 'Y' And U.BarCode Is Not Null And U.BarCode <> ''"));
        // The demo's 320 products less the blocked one, plus the extra product; units without a
        // barcode and the blocked product's units are missing.
        const QStringList all = barcodesWhere("1 = 1");
        const QStringList blocked = barcodesWhere("P.Id = 13");
        QVERIFY(!blocked.isEmpty());
        QCOMPARE(shown.size(), all.size() - blocked.size() - 2);
        for (const QString &barcode : blocked)
            QVERIFY2(!shown.contains(barcode), qPrintable(barcode));
        QVERIFY(!shown.contains(QString()));
        QCOMPARE(shown.first(), QString("8850000000001"));
        QCOMPARE(shown.last(), QString("8859999999998"));
        QCOMPARE(dialog.DgSearch->model()->columnCount(), 6);

        // The rows show product, unit, on hand and owed quantities with the smallest unit's name.
        const int row = int(shown.indexOf("8850000000001"));
        const auto cell = [&](int column) { return dialog.DgSearch->model()->index(row, column).data().toString(); };
        QCOMPARE(cell(CodeColumn), QString("P0001"));
        QCOMPARE(cell(UnitNameColumn), m_dbs->scalar("Select UnitName From ProductUnits Where Id = 1").toString());
        const double onhand = m_dbs->scalar("Select Quantity From ProductOnHand Where Product = 1").toDouble();
        QCOMPARE(cell(OnHandColumn), QString::number(onhand, 'f', 2) + "  " + cell(UnitNameColumn));
        QVERIFY(cell(BackorderColumn).endsWith("  " + cell(UnitNameColumn)));

        // Whatever is typed, the blocked product is not listed.
        const QString blockedName = m_dbs->scalar("Select ThaiName From Product Where Id = 13").toString();
        dialog.Name->setText(blockedName);
        dialog.Code->setText(blocked.first());
        dialog.BtSearch->click();
        QCOMPARE(rowCount(dialog), 0);
        dialog.SearchMethod->setCurrentIndex(1);
        dialog.Code->clear();
        dialog.BtSearch->click();
        QVERIFY(!columnTexts(dialog, CodeColumn).contains("P0013"));
        QTest::keyClick(focused(), Qt::Key_Escape);
    }

    void fieldsAreSearchedTrimmedAndTheNameIsKeptAsTyped()
    {
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        clickTitle(dialog, BarCodeColumn);
        dialog.Code->setText("  885000000001 ");
        dialog.Name->setFocus();
        typeText(dialog.Name, "  น้ำดื่ม  ");
        QTest::keyClick(dialog.Name, Qt::Key_Return);
        QCOMPARE(DM->LastSearchName, QString("  น้ำดื่ม  "));
        const QStringList barcodes = columnTexts(dialog, BarCodeColumn);
        QCOMPARE(barcodes, barcodesWhere("U.BarCode Like '885000000001%' And P.ThaiName Like 'น้ำดื่ม%' And P.Blocked <> 'Y'"));
        // The whole name list begins with the text; found rows move the focus to the first one.
        dialog.Code->clear();
        dialog.BtSearch->click();
        const QStringList names = columnTexts(dialog, ThaiNameColumn);
        QVERIFY(names.size() > 5);
        for (const QString &name : names)
            QVERIFY2(name.startsWith("น้ำดื่ม "), qPrintable(name));
        QCOMPARE(focused(), dialog.DgSearch);
        QCOMPARE(dialog.DgSearch->currentIndex().row(), 0);
        QCOMPARE(dialog.DgSearch->selectionModel()->selectedRows().size(), 1);
        QTest::keyClick(focused(), Qt::Key_Escape);
        QVERIFY(!dialog.QSearch->isOpen());

        // The next show starts over, with the untrimmed name.
        dialog.Code->setText("x");
        QVERIFY(showActive(dialog));
        QCOMPARE(dialog.Code->text(), QString());
        QCOMPARE(dialog.Name->text(), QString("  น้ำดื่ม  "));
        QCOMPARE(focused(), dialog.Name);
        QCOMPARE(rowCount(dialog), 0);
        dialog.reject();
    }

    void showLastSearchOnlyForExactlyY_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("prefilled");
        QTest::newRow("Y") << "'Y'" << true;
        QTest::newRow("y") << "'y'" << false;
        QTest::newRow("Y blank") << "'Y '" << false;
        QTest::newRow("N") << "'N'" << false;
        QTest::newRow("Null") << "Null" << false;
    }

    void showLastSearchOnlyForExactlyY()
    {
        QFETCH(QString, value);
        QFETCH(bool, prefilled);
        setConfig("ShowLastSearch = " + value);
        DM->LastSearchName = "ชาเขียว";
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        QCOMPARE(dialog.Name->text(), prefilled ? QString("ชาเขียว") : QString());
        dialog.reject();
    }

    void searchMethodFromTheSettings_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("item");
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("7") << "7" << -1;
        QTest::newRow("-1") << "-1" << -1;
        QTest::newRow("Null") << "Null" << 0;
    }

    void searchMethodFromTheSettings()
    {
        QFETCH(QString, value);
        QFETCH(int, item);
        setConfig("SearchProductMethod = " + value);
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        QCOMPARE(dialog.SearchMethod->currentIndex(), item);
        QCOMPARE(dialog.SearchMethod->count(), 2);

        // A brand is in the middle of the names: found only where the name may match anywhere.
        dialog.Name->setText("ตราช้าง");
        dialog.BtSearch->click();
        const QStringList names = columnTexts(dialog, ThaiNameColumn);
        if (item == 0) {
            QCOMPARE(names.size(), 0);
        } else {
            QCOMPARE(names.size(), barcodesWhere("P.ThaiName Like '%ตราช้าง%' And P.Blocked <> 'Y' And U.BarCode <> ''").size());
            QVERIFY(names.size() > 0);
            for (const QString &name : names)
                QVERIFY2(name.contains(" ตราช้าง "), qPrintable(name));
        }
        dialog.reject();
    }

    void theSortOrderIsKeptForTheRun()
    {
        {
            TFrSearchBarCode dialog;
            QVERIFY(showActive(dialog));
            clickTitle(dialog, CodeColumn);
            QVERIFY(isSorted(columnTexts(dialog, CodeColumn)));
            // Product code order puts P0000 (barcode 8859999999998) first.
            QCOMPARE(columnTexts(dialog, BarCodeColumn).first(), QString("8859999999998"));
            dialog.reject();
        }
        // Another opening, another dialog even: still by product code.
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        QTest::keyClick(dialog.Name, Qt::Key_Return);
        QCOMPARE(columnTexts(dialog, BarCodeColumn).first(), QString("8859999999998"));

        // Unit, on hand and owed titles search again with the current fields, in the same order
        // (each name takes in P0000, first by product code and last by barcode).
        const QList<std::pair<int, QString>> clicks{{UnitNameColumn, "ข"}, {OnHandColumn, "ขนม"}, {BackorderColumn, "ข"}};
        int previousRows = 0;
        for (const auto &[column, name] : clicks) {
            dialog.Name->setText(name);
            clickTitle(dialog, column);
            QCOMPARE(DM->LastSearchName, name);
            const QStringList names = columnTexts(dialog, ThaiNameColumn);
            QVERIFY(names.size() > 1 && names.size() != previousRows);
            previousRows = int(names.size());
            for (const QString &n : names)
                QVERIFY2(n.startsWith(name), qPrintable(n));
            QCOMPARE(columnTexts(dialog, BarCodeColumn).first(), QString("8859999999998"));
            QVERIFY(isSorted(columnTexts(dialog, CodeColumn)));
            QVERIFY(!isSorted(names));
        }

        // By Thai name, then back to barcode.
        dialog.Name->clear();
        clickTitle(dialog, ThaiNameColumn);
        QStringList expected;
        {
            Query q(&m_dbs->company());
            q.setSql({"Select P.ThaiName From ProductUnits U Inner Join Product P On P.Id = U.Product "
                      "Where P.Blocked <> 'Y' And U.BarCode <> '' Order By P.ThaiName"});
            q.open();
            for (int i = 0; i < q.recordCount(); ++i)
                expected << q.value(i, 0).toString();
        }
        QCOMPARE(columnTexts(dialog, ThaiNameColumn), expected);
        clickTitle(dialog, BarCodeColumn);
        QCOMPARE(columnTexts(dialog, BarCodeColumn).last(), QString("8859999999998"));
        QVERIFY(isSorted(columnTexts(dialog, BarCodeColumn)));
        dialog.reject();
    }

    void enterInTheGridSelectsTheCurrentRow()
    {
        TFrSearchBarCode dialog;
        QString third;
        const int result = runModal(dialog, [&] {
            dialog.Code->setFocus();
            typeText(dialog.Code, "885000000002");
            QTest::keyClick(focused(), Qt::Key_Return);
            QCOMPARE(focused(), dialog.DgSearch);
            QTest::keyClick(focused(), Qt::Key_Down);
            QTest::keyClick(focused(), Qt::Key_Down);
            third = dialog.DgSearch->model()->index(2, BarCodeColumn).data().toString();
            QTest::keyClick(focused(), Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(third.startsWith("885000000002"));
        QCOMPARE(dialog.SelectedBarCode, third);
        QVERIFY(!dialog.QSearch->isOpen());
        QCOMPARE(rowCount(dialog), 0);
    }

    void enterOutsideTheGridSearches()
    {
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        for (QWidget *control : std::initializer_list<QWidget *>{dialog.SearchMethod, dialog.BtCancel, dialog.Btok}) {
            dialog.Name->setText("กาแฟ");
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
            QVERIFY2(dialog.isVisible(), qPrintable(control->objectName()));
            QVERIFY(rowCount(dialog) > 0);
            QCOMPARE(focused(), dialog.DgSearch);
            dialog.Name->setText("ไม่มีสินค้านี้");
            dialog.Name->setFocus();
            QTest::keyClick(dialog.Name, Qt::Key_Return);
            QCOMPARE(rowCount(dialog), 0);
        }
        dialog.reject();
    }

    void doubleClickSelectsTheRowClicked()
    {
        TFrSearchBarCode dialog;
        QString fourth;
        const int result = runModal(dialog, [&] {
            typeText(dialog.Name, "ผงซักฟอก");
            dialog.BtSearch->click();
            QVERIFY(rowCount(dialog) > 4);
            fourth = dialog.DgSearch->model()->index(3, BarCodeColumn).data().toString();
            doubleClickRow(dialog, 3);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(!fourth.isEmpty());
        QCOMPARE(dialog.SelectedBarCode, fourth);
    }

    void selectingFromAnEmptyListCancels_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("OK button") << 0;
        QTest::newRow("Enter in the grid") << 1;
        QTest::newRow("double-click") << 2;
        QTest::newRow("Escape") << 3;
    }

    void selectingFromAnEmptyListCancels()
    {
        QFETCH(int, way);
        TFrSearchBarCode dialog;
        // A first use chooses a barcode.
        QCOMPARE(runModal(dialog,
                          [&] {
                              QTest::keyClick(dialog.Name, Qt::Key_Return);
                              QTest::keyClick(focused(), Qt::Key_Return);
                          }),
                 int(QDialog::Accepted));
        QVERIFY(!dialog.SelectedBarCode.isEmpty());

        const int result = runModal(dialog, [&] {
            if (way == 3) {
                QTest::keyClick(dialog.Name, Qt::Key_Return); // rows, but Escape
                QVERIFY(rowCount(dialog) > 0);
            }
            switch (way) {
            case 0:
                dialog.Btok->click();
                break;
            case 1:
                QTest::mouseClick(dialog.DgSearch->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
                QCOMPARE(focused(), dialog.DgSearch);
                QTest::keyClick(focused(), Qt::Key_Return);
                break;
            case 2:
                QTest::mouseDClick(dialog.DgSearch->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
                break;
            case 3:
                QTest::keyClick(focused(), Qt::Key_Escape);
                break;
            }
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(dialog.SelectedBarCode, QString());
        QVERIFY(!dialog.QSearch->isOpen());
    }

    void neverNarrowerThan700()
    {
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        QCOMPARE(dialog.size(), QSize(700, 287));
        QCOMPARE(dialog.windowTitle(), QString("ค้นหา Barcode สินค้า"));
        dialog.resize(500, 300);
        QCOMPARE(dialog.width(), 700);
        dialog.resize(900, 400);
        QCOMPARE(dialog.size(), QSize(900, 400));
        dialog.reject();
    }

    void placementAndColumnWidthsSurviveInQlmIni()
    {
        {
            IniFile ini("QLM.INI");
            ini.setValue("DATABASE", "Driver", "FreeTDS");
            QVERIFY(ini.save());
        }
        {
            TFrSearchBarCode first;
            QVERIFY(showActive(first));
            first.move(20, 30); // wholly on the 800-pixel-wide screen, frame included
            first.resize(760, 380);
            first.DgSearch->horizontalHeader()->resizeSection(BarCodeColumn, 150);
            first.DgSearch->horizontalHeader()->resizeSection(ThaiNameColumn, 260);
            QTest::keyClick(focused(), Qt::Key_Escape);
        }
        {
            const IniFile ini("QLM.INI");
            QCOMPARE(ini.value("DATABASE", "Driver"), QString("FreeTDS"));
            const QString placement = "SEARCHBARCODE";
            QCOMPARE(ini.value(placement, "Left"), QString("20"));
            QCOMPARE(ini.value(placement, "Top"), QString("30"));
            QCOMPARE(ini.value(placement, "Width"), QString("760"));
            QCOMPARE(ini.value(placement, "Height"), QString("380"));
            QCOMPARE(ini.value(placement, "DgSearch.BarCode"), QString("150"));
            QCOMPARE(ini.value(placement, "DgSearch.ThaiName"), QString("260"));
            QCOMPARE(ini.value(placement, "DgSearch.Backorder"), QString("80"));
        }
        {
            TFrSearchBarCode second;
            QVERIFY(showActive(second));
            QCOMPARE(second.pos(), QPoint(20, 30));
            QCOMPARE(second.size(), QSize(760, 380));
            const QHeaderView *titles = second.DgSearch->horizontalHeader();
            QCOMPARE(titles->sectionSize(BarCodeColumn), 150);
            QCOMPARE(titles->sectionSize(CodeColumn), 100);
            QCOMPARE(titles->sectionSize(ThaiNameColumn), 260);
            // A search keeps the widths.
            QTest::keyClick(focused(), Qt::Key_Return);
            QVERIFY(rowCount(second) > 0);
            QCOMPARE(titles->sectionSize(BarCodeColumn), 150);
            second.reject();
        }

        // Settings that cannot be used: too narrow, off every screen, not numbers.
        {
            IniFile ini("QLM.INI");
            ini.setValue("SEARCHBARCODE", "Width", "500");
            ini.setValue("SEARCHBARCODE", "Left", "-5000");
            ini.setValue("SEARCHBARCODE", "DgSearch.Code", "abc");
            ini.setValue("SEARCHBARCODE", "DgSearch.UnitName", "0");
            QVERIFY(ini.save());
        }
        TFrSearchBarCode third;
        QVERIFY(showActive(third));
        QCOMPARE(third.size(), QSize(700, 380));
        QVERIFY(third.screen()->availableGeometry().intersects(third.frameGeometry()));
        QCOMPARE(third.DgSearch->horizontalHeader()->sectionSize(CodeColumn), 100);
        QCOMPARE(third.DgSearch->horizontalHeader()->sectionSize(UnitNameColumn), 80);
        third.reject();

        // A settings file in Thai code page 874 keeps its bytes; the dialog's section is added
        // in the file's own line endings.
        const QByteArray tis620 = "[ERRORMAIL]\r\nSender=\xc3\xd0\xba\xba <qlm@example.com>\r\n";
        {
            QFile file("QLM.INI");
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(tis620);
        }
        TFrSearchBarCode fourth;
        QVERIFY(showActive(fourth));
        fourth.move(50, 60);
        fourth.reject();
        QFile file("QLM.INI");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QVERIFY2(written.startsWith(tis620 + "\r\n[SEARCHBARCODE]\r\nLeft=50\r\nTop=60\r\n"), written.constData());
    }

    // A size no screen has (written by hand, or by a much larger screen) opens the dialog at most
    // as large as the screen's free area, wholly on it, and is written back that way.
    void aHugeSizeIsClampedToTheScreen()
    {
        {
            QFile file("QLM.INI");
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("[SEARCHBARCODE]\nLeft=300\nTop=200\nWidth=2147483647\nHeight=2147483647\n");
        }
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        {
            TFrSearchBarCode dialog;
            QVERIFY(showActive(dialog));
            QCOMPARE(dialog.frameGeometry(), available);
            dialog.reject();
        }
        const IniFile ini("QLM.INI");
        QVERIFY(ini.value("SEARCHBARCODE", "Width").toInt() <= available.width());
        QVERIFY(ini.value("SEARCHBARCODE", "Height").toInt() <= available.height());

        // A position past the right edge, with a size that fits: moved back onto the screen.
        {
            QFile file("QLM.INI");
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("[SEARCHBARCODE]\nLeft=" + QByteArray::number(available.right() - 80) +
                       "\nTop=10\nWidth=700\nHeight=300\n");
        }
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        QVERIFY(available.contains(dialog.frameGeometry()));
        QCOMPARE(dialog.size(), QSize(700, 300));
        dialog.reject();
    }

    void quotesAndWildcardsAreSearchTexts()
    {
        ScriptedDialogService dialogs;
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        dialog.SearchMethod->setCurrentIndex(1);
        typeText(dialog.Name, "'พิเศษ' 100% _แท้");
        QTest::keyClick(dialog.Name, Qt::Key_Return);
        QCOMPARE(columnTexts(dialog, BarCodeColumn), QStringList{"8859999999998"});
        QCOMPARE(DM->LastSearchName, QString("'พิเศษ' 100% _แท้"));

        dialog.Name->setText("x' Or '1' = '1");
        dialog.Code->setText("88'; Drop Table Product; --");
        dialog.BtSearch->click();
        QCOMPARE(rowCount(dialog), 0);
        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(m_dbs->scalar("Select Count(*) From Product Where Id = 9001").toInt(), 1);

        // % and _ keep their LIKE meaning, as the user typed them.
        dialog.SearchMethod->setCurrentIndex(0);
        dialog.Code->clear();
        dialog.Name->setText("น้ำ%ตราช้าง");
        dialog.BtSearch->click();
        const QStringList names = columnTexts(dialog, ThaiNameColumn);
        QVERIFY(!names.isEmpty());
        for (const QString &name : names)
            QVERIFY2(name.startsWith("น้ำ") && name.contains("ตราช้าง"), qPrintable(name));
        dialog.reject();
    }

    void aDatabaseErrorGoesToTheHandlerAndTheDialogGoesOn()
    {
        QStringList errors;
        ExceptionRouter::setHandler([&](const QString &message) { errors << message; });
        Database &db = m_dbs->company();
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        QTest::keyClick(dialog.Name, Qt::Key_Return);
        QVERIFY(rowCount(dialog) > 0);
        dialog.Name->setFocus();

        db.execute("Alter Table ProductUnits Rename To ProductUnitsAway");
        typeText(dialog.Name, "กาแฟ");
        QTest::keyClick(dialog.Name, Qt::Key_Return);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains("ProductUnits"), qPrintable(errors.first()));
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.QSearch->isOpen());
        QCOMPARE(rowCount(dialog), 0);
        QCOMPARE(focused(), dialog.Name);
        dialog.BtSearch->click();
        QCOMPARE(errors.size(), 2);
        clickTitle(dialog, CodeColumn);
        QCOMPARE(errors.size(), 3);

        db.execute("Alter Table ProductUnitsAway Rename To ProductUnits");
        dialog.Name->setFocus();
        QTest::keyClick(dialog.Name, Qt::Key_Return);
        QCOMPARE(errors.size(), 3);
        QVERIFY(rowCount(dialog) > 0);
        const QString first = dialog.DgSearch->model()->index(0, BarCodeColumn).data().toString();
        QTest::keyClick(focused(), Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.SelectedBarCode, first);

        // The settings cannot be read when the dialog opens: the error is reported, the dialog
        // is up with empty fields and searches once the table is back.
        DM->QConfig->close();
        db.execute("Alter Table Config Rename To ConfigAway");
        DM->LastSearchName = "กาแฟ";
        QVERIFY(showActive(dialog));
        QCOMPARE(errors.size(), 4);
        QVERIFY2(errors.last().contains("Config"), qPrintable(errors.last()));
        QCOMPARE(dialog.Name->text(), QString());
        db.execute("Alter Table ConfigAway Rename To Config");
        dialog.Name->setFocus();
        typeText(dialog.Name, "กาแฟ");
        QTest::keyClick(dialog.Name, Qt::Key_Return);
        QVERIFY(rowCount(dialog) > 0);
        dialog.reject();
        ExceptionRouter::setHandler({});
    }

    void renderWithThaiRows()
    {
        TFrSearchBarCode dialog;
        QVERIFY(showActive(dialog));
        clickTitle(dialog, ThaiNameColumn);
        dialog.Code->setText("88500000001");
        QTest::keyClick(dialog.Code, Qt::Key_Return);
        QVERIFY(rowCount(dialog) > 5);
        const QImage image = dialog.grab().toImage();
        QVERIFY(image.save(artifactPath("Fr_SearchBarCode.png")));

        // Nothing clipped: captions fit their buttons and labels, titles their columns, Thai
        // rows their height.
        const QFrame *header = dialog.findChild<QFrame *>("PnHeader");
        QVERIFY(header);
        QCOMPARE(header->height(), 57);
        for (const QPushButton *button : {dialog.BtSearch, dialog.Btok, dialog.BtCancel}) {
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(), qPrintable(button->text()));
            QVERIFY(header->rect().contains(button->geometry()));
        }
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), qPrintable(label->text()));
        for (const QWidget *field : std::initializer_list<const QWidget *>{dialog.Code, dialog.SearchMethod, dialog.Name})
            QVERIFY(header->rect().contains(field->geometry()));
        const QHeaderView *titles = dialog.DgSearch->horizontalHeader();
        for (int i = 0; i < 6; ++i) {
            const QString title = dialog.DgSearch->model()->headerData(i, Qt::Horizontal).toString();
            QCOMPARE(title, TFrSearchBarCode::gridColumns().at(i).title);
            QVERIFY2(titles->fontMetrics().horizontalAdvance(title) + 8 <= titles->sectionSize(i), qPrintable(title));
        }
        QVERIFY(dialog.DgSearch->rowHeight(0) >= dialog.DgSearch->fontMetrics().height());
        // Barcodes, product codes and units fit their columns at the default widths.
        const int margins =
            2 * (dialog.DgSearch->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, dialog.DgSearch) + 1);
        for (int row = 0; row < rowCount(dialog); ++row) {
            for (int column : {BarCodeColumn, CodeColumn, UnitNameColumn}) {
                const QString text = dialog.DgSearch->model()->index(row, column).data().toString();
                QVERIFY2(dialog.DgSearch->fontMetrics().horizontalAdvance(text) + margins <= titles->sectionSize(column),
                         qPrintable(text));
            }
        }
        dialog.reject();
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestSearchBarCode test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_searchbarcode.moc"
