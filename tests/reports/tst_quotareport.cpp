// The customer quota group price report screen over the demo data: the screen, the variables
// it passes, the report it produces (compared with a kept CSV export), printing and the
// program's selector 2.
#include "ReportTestUtil.h"

#include "app/Screens.h"
#include "data/LaunchContext.h"
#include "platform/report/ReportEngine.h"
#include "platform/report/ReportTextMeasurer.h"
#include "platform/reportview/ReportPreviewWindow.h"
#include "platform/reportview/ReportPrintDialog.h"
#include "platform/reportview/ReportSetupDialog.h"
#include "platform/ui/NumberEdit.h"
#include "platform/ui/TarvoApplication.h"
#include "reports/Fa_ButtonReport.h"
#include "reports/Fa_GetYearReport.h"
#include "reports/Fr_CustomerQuotaGroupPrice.h"
#include "support/ModalDialogs.h"
#include "support/PdfTools.h"
#include "support/ReportLines.h"
#include "support/ScriptedDialogService.h"
#include "support/XlsxReader.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <memory>

using namespace platform;

namespace {

QString outputDir()
{
    const QString dir = qEnvironmentVariable("TARVO_BINARY_DIR") + "/tests/reports-output";
    QDir().mkpath(dir);
    return dir;
}

QString sourceFile(const QString &relative)
{
    return qEnvironmentVariable("TARVO_SOURCE_DIR") + u'/' + relative;
}

// The CSV export with what depends on the day the test runs taken out: the print time and the
// year, which the screen takes from today's date.
QString comparableCsv(const QString &path, int year)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QString text = QString::fromUtf8(f.readAll());
    text.replace(QRegularExpression("พิมพ์เมื่อ \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d"), "พิมพ์เมื่อ <print time>");
    text.replace("ปี ค.ศ. " + QString::number(year), "ปี ค.ศ. <year>");
    return text;
}

} // namespace

class TestQuotaReport : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramOnDemo> m_program;
    const int m_year = QDate::currentDate().year();

    std::unique_ptr<TFrCustomerQuotaGroupPrice> shownScreen()
    {
        auto screen = std::make_unique<TFrCustomerQuotaGroupPrice>();
        screen->show();
        return screen;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_program = std::make_unique<ProgramOnDemo>(std::function<void()>(), reportLaunch(1));
        m_program->copyReportDefinitions();
    }
    void cleanupTestCase() { m_program.reset(); }
    void init() { m_program->signIn(reportLaunch(1)); }

    void opening()
    {
        ScriptedDialogService dialogs;
        auto screen = shownScreen();
        QCOMPARE(screen->FaGetYearReport1->GetYear->text(), QString::number(m_year));
        QCOMPARE(screen->ReportFile, QString("RP_CustomerQuotaGroupPrice_Tarvo.frf"));
        QCOMPARE(screen->FastFileName, screen->ReportFile);
        QCOMPARE(screen->ReportTitle, QString("รายงานแสกงจำนวน โควต้า"));
        QCOMPARE(screen->windowTitle(), QString("รายงานโควต้าลูกค้าตามกลุ่มราคา"));
        QVERIFY(screen->frfReport->isLoaded());
        // The year on top, the buttons below it, the form as high as both.
        QCOMPARE(screen->FaGetYearReport1->y(), 0);
        QCOMPARE(screen->FaButtonReport1->y(), TFaGetYearReport::FrameHeight);
        QCOMPARE(screen->size(), QSize(457, TFaGetYearReport::FrameHeight + TFaButtonReport::FrameHeight));
        QCOMPARE(screen->FaGetYearReport1->width(), 457);

        screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        QCOMPARE(QApplication::focusWidget(), screen->FaGetYearReport1->GetYear);
        screen->grab().save(outputDir() + "/quota-screen.png");

        QTest::mouseDClick(screen->FaButtonReport1->statusPanel(0), Qt::LeftButton);
        QCOMPARE(dialogs.texts(), QStringList{"Fast File : RP_CustomerQuotaGroupPrice_Tarvo.frf"});
    }

    void titleWithoutMenuCaption()
    {
        launchContext().MenuCaption = "  ";
        auto screen = shownScreen();
        QCOMPARE(screen->windowTitle(), QString("รายงานแสกงจำนวน โควต้า"));
        screen->FaButtonReport1BtPreviewClick();
        QCOMPARE(screen->frfReport->variable("RPTITLE"), QString("'รายงานแสกงจำนวน โควต้า'"));
        QCOMPARE(itemText(screen->frfReport->document(), "Title"), QString("รายงานแสกงจำนวน โควต้า"));
    }

    void variablesOfEveryRun()
    {
        auto screen = shownScreen();
        screen->FaGetYearReport1->GetYear->setText(QString::number(m_year - 1));
        screen->ReportCondition = "เงื่อนไขเดิม";
        screen->FaButtonReport1BtPreviewClick();
        QVERIFY2(screen->lastRun().ok, qPrintable(screen->lastRun().message));
        QCOMPARE(screen->frfReport->variable("GetYear"), QString::number(m_year - 1));
        QCOMPARE(screen->frfReport->variable("CONDITION"), QString("''"));
        QCOMPARE(screen->frfReport->variable("PNTDATESET"), QString("true"));
        QCOMPARE(screen->frfReport->variable("RPTITLE"), QString("'รายงานโควต้าลูกค้าตามกลุ่มราคา'"));
        QCOMPARE(screen->ReportCondition, QString());
        QCOMPARE(screen->previews().size(), 1);
    }

    void totalsAgreeWithTheData_data()
    {
        // The demo quotas do not depend on the year: the amounts are the same every year, one with
        // satang and one without.
        QTest::addColumn<int>("yearsBack");
        QTest::addColumn<QString>("amountText");
        QTest::addColumn<QString>("wordsEnd");
        QTest::newRow("this year") << 0 << "424,214.25"
                                   << "สตางค์)";
        QTest::newRow("last year") << 1 << "287,605.00"
                                   << "บาทถ้วน)";
    }
    void totalsAgreeWithTheData()
    {
        QFETCH(int, yearsBack);
        QFETCH(QString, amountText);
        QFETCH(QString, wordsEnd);
        const int year = m_year - yearsBack;
        auto screen = shownScreen();
        screen->FaGetYearReport1->GetYear->setText(QString::number(year));
        screen->FaButtonReport1BtPreviewClick();
        QVERIFY2(screen->lastRun().ok, qPrintable(screen->lastRun().message));
        const ReportDocument &doc = screen->frfReport->document();
        const double amount = m_program
                                  ->scalar(QString("select sum(Q.Quantity * G.GroupPrice) from Tarvo_CustomerQuota Q"
                                                   " inner join Tarvo_QuotaGroup G on G.Id = Q.QuotaGroup"
                                                   " where Q.QuotaYear = %1")
                                               .arg(year))
                                  .toDouble();
        const int rows =
            m_program->scalar(QString("select count(*) from Tarvo_CustomerQuota where QuotaYear = %1").arg(year)).toInt();
        QVERIFY(rows > 20);
        QCOMPARE(QString::number(amount, 'f', 2), QString(amountText).remove(',')); // the data's own sum
        QCOMPARE(itemText(doc, "GrandAmount"), amountText);
        QCOMPARE(itemText(doc, "GrandTotalCaption"), QString("รวมทั้งสิ้น %1 รายการ").arg(rows));
        QCOMPARE(itemText(doc, "CompanyName"), QString("บริษัท ทาร์โว่ เทรดดิ้ง จำกัด"));
        QCOMPARE(itemText(doc, "Condition"), QString("ปี ค.ศ. %1").arg(year));
        QVERIFY(itemText(doc, "PrintTime").startsWith("พิมพ์เมื่อ "));
        QVERIFY2(itemText(doc, "GrandAmountWords").endsWith(wordsEnd), qPrintable(itemText(doc, "GrandAmountWords")));
    }

    // The page: the header's first and last labels stand clear of the header box; later pages
    // are headed by the report's title and condition; a year without data shows no empty
    // parentheses after its total.
    void pageIsHeadedAndClear()
    {
        auto screen = shownScreen();
        screen->FaButtonReport1BtPreviewClick();
        const ReportDocument &doc = screen->frfReport->document();
        QVERIFY(doc.pages.size() >= 2);
        QRectF box;
        QMap<QString, ReportPageItem> first;
        for (const ReportPageItem &item : doc.pages.first().items) {
            first.insert(item.objectName, item);
            if (item.band == ReportBandDefinition::Kind::ColumnHeader && item.kind == ReportPageItem::Kind::Rectangle)
                box = item.rect;
        }
        QVERIFY(box.width() > 200);
        const auto inkOf = [](const ReportPageItem &item) {
            const ReportTextLine &line = item.lines.first();
            const qreal width = ReportTextMeasurer::lines(line.text, item.font, 1000, false).first().width;
            const qreal left = item.alignment & Qt::AlignRight ? line.rect.right() - width
                : item.alignment & Qt::AlignHCenter            ? line.rect.center().x() - width / 2
                                                               : line.rect.left();
            return QPair<qreal, qreal>(left, left + width);
        };
        QVERIFY2(inkOf(first.value("HLine")).first - box.left() >= 1,
                 qPrintable(QString::number(inkOf(first.value("HLine")).first)));
        QVERIFY2(box.right() - inkOf(first.value("HAmount")).second >= 1,
                 qPrintable(QString::number(inkOf(first.value("HAmount")).second)));
        for (int p = 1; p < doc.pages.size(); ++p) {
            QMap<QString, ReportPageItem> head;
            qreal columnHeader = 0;
            for (const ReportPageItem &item : doc.pages.at(p).items) {
                if (item.band == ReportBandDefinition::Kind::ReportTitle && item.repeated)
                    head.insert(item.objectName, item);
                if (item.band == ReportBandDefinition::Kind::ColumnHeader)
                    columnHeader = std::max(columnHeader, item.rect.top());
            }
            QCOMPARE(head.value("Title").text, QString("รายงานโควต้าลูกค้าตามกลุ่มราคา"));
            QCOMPARE(head.value("Condition").text, QString("ปี ค.ศ. %1").arg(m_year));
            QVERIFY(head.value("Condition").rect.bottom() <= columnHeader);
        }

        screen->FaGetYearReport1->GetYear->setText(QString::number(m_year - 40));
        screen->FaButtonReport1BtPreviewClick();
        QVERIFY2(screen->lastRun().ok, qPrintable(screen->lastRun().message));
        const ReportDocument &empty = screen->frfReport->document();
        QCOMPARE(itemText(empty, "GrandTotalCaption"), QString("รวมทั้งสิ้น 0 รายการ"));
        const QString words = itemText(empty, "GrandAmountWords");
        QVERIFY2(!words.contains("()") && (words.isEmpty() || (words.startsWith('(') && words.endsWith(')'))), qPrintable(words));
    }

    // The landscape report on portrait paper is fitted to the paper's width: every column, the
    // print time and the page number stay between the margins, in smaller type.
    void portraitIsFittedToTheWidth()
    {
        auto screen = shownScreen();
        screen->FaButtonReport1BtPreviewClick();
        ReportPreviewWindow *preview = screen->previews().value(0);
        QVERIFY(preview);
        const qreal landscapeSize = preview->document().pages.first().items.first().font.pointSizeF();
        preview->setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        const ReportDocument &doc = preview->document();
        QCOMPARE(doc.pages.first().size, QSizeF(210, 297));
        QCOMPARE(doc.pageLayout.orientation(), QPageLayout::Portrait);
        QStringList seen;
        for (const ReportPage &page : doc.pages) {
            for (const ReportPageItem &item : page.items) {
                const QRectF box = item.kind == ReportPageItem::Kind::Line
                    ? QRectF(item.segment.p1(), item.segment.p2()).normalized()
                    : item.rect;
                QVERIFY2(box.left() >= 10 - 0.01 && box.right() <= 200 + 0.01,
                         qPrintable(QString("%1 at %2..%3").arg(item.objectName).arg(box.left()).arg(box.right())));
                QVERIFY2(box.bottom() <= 287 + 0.01, qPrintable(item.objectName));
                seen << item.objectName;
            }
        }
        for (const char *name : {"PageNo", "PrintTime", "HAmount", "Amount", "GrandAmount"})
            QVERIFY2(seen.contains(name), name);
        QVERIFY(doc.pages.first().items.first().font.pointSizeF() < landscapeSize * 0.8);
        preview->resize(900, 1000);
        preview->show();
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        preview->grab().save(outputDir() + "/quota-portrait-fitted.png");
    }

    void reportMatchesTheKeptExport()
    {
        auto screen = shownScreen();
        screen->FaButtonReport1BtPreviewClick();
        QVERIFY2(screen->lastRun().ok, qPrintable(screen->lastRun().message));
        const QString csv = outputDir() + "/quota.csv";
        screen->frfReport->exportTo(ReportExport::Format::Csv, csv);
        const QString actual = comparableCsv(csv, m_year);
        QFile actualOut(outputDir() + "/quota-comparable.csv");
        if (actualOut.open(QIODevice::WriteOnly))
            actualOut.write(actual.toUtf8());
        QFile expected(sourceFile("tests/reports/expected/RP_CustomerQuotaGroupPrice_Tarvo.csv"));
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(actual.split("\r\n"), QString::fromUtf8(expected.readAll()).split("\r\n"));
    }

    void exportsAsPdf()
    {
        auto screen = shownScreen();
        screen->FaButtonReport1BtPreviewClick();
        const QString pdf = outputDir() + "/quota.pdf";
        QFile::remove(pdf);
        screen->frfReport->exportTo(ReportExport::Format::Pdf, pdf);
        QVERIFY(QFile::exists(pdf));
        if (ReportPreviewWindow *preview = screen->previews().value(0))
            preview->grab().save(outputDir() + "/quota-preview.png");

        if (!PdfTools::available())
            QSKIP("poppler-utils (pdftotext, pdftoppm) is not installed");
        // Every Thai word of every page is found by search as viewers do it (tone marks over
        // short consonants, SARA AM, marks placed left of their consonant).
        const QStringList missing = PdfTools::missingThaiWords(pdf, reportLinesByPage(screen->frfReport->document()));
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join('\n')));
        QProcess p;
        p.start("pdftoppm", {"-r", "70", "-png", pdf, outputDir() + "/quota-page"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QFile::exists(outputDir() + "/quota-page-1.png"));
    }

    // Every customer's header stands on the page of its rows and its total: none is left alone
    // at the foot of a page, none is cut from its total.
    void customersAreKeptTogether_data() { totalsAgreeWithTheData_data(); }
    void customersAreKeptTogether()
    {
        QFETCH(int, yearsBack);
        auto screen = shownScreen();
        screen->FaGetYearReport1->GetYear->setText(QString::number(m_year - yearsBack));
        screen->FaButtonReport1BtPreviewClick();
        const ReportDocument &doc = screen->frfReport->document();
        QVERIFY(doc.pages.size() >= 2);
        QList<int> headerPages;
        QList<int> totalPages;
        for (int p = 0; p < doc.pages.size(); ++p) {
            for (const ReportPageItem &item : doc.pages.at(p).items) {
                if (item.objectName == "Customer" && !item.repeated)
                    headerPages << p;
                if (item.objectName == "CustomerTotalCaption")
                    totalPages << p;
            }
        }
        QCOMPARE(headerPages.size(),
                 m_program
                     ->scalar(QString("select count(distinct Customer) from Tarvo_CustomerQuota"
                                      " where QuotaYear = %1")
                                  .arg(m_year - yearsBack))
                     .toInt());
        QCOMPARE(headerPages, totalPages);
    }

    // The preview's export to Excel: the report's rows on one sheet, numbers as numbers in their
    // patterns, Thai as written, customer totals and the grand total bold.
    void exportsAsExcel()
    {
        auto screen = shownScreen();
        screen->FaButtonReport1BtPreviewClick();
        ReportPreviewWindow *preview = screen->previews().value(0);
        QVERIFY(preview);
        const QString path = outputDir() + "/quota.xlsx";
        QFile::remove(path);
        ModalDialogs::saveAs(path);
        preview->exportAction()->trigger();
        XlsxReader xlsx;
        QVERIFY2(xlsx.read(path), qPrintable(xlsx.error()));
        QCOMPARE(xlsx.sheetName(), QString("รายงานโควต้าลูกค้าตามกลุ่มราคา"));
        QCOMPARE(xlsx.rowText(0), QString("บริษัท ทาร์โว่ เทรดดิ้ง จำกัด"));

        enum { LineNo, GroupCode, GroupName, Product, Quantity, Large, Small, Onhand, Price, Amount };
        int rows = 0;
        double amount = 0;
        double customerAmounts = 0;
        for (int r = 0; r < xlsx.rowCount(); ++r) {
            const auto row = xlsx.row(r);
            if (row.value(LineNo).type == "n") {
                ++rows;
                QCOMPARE(row.value(LineNo).number, double(rows));
                QVERIFY2(row.value(GroupName).text.startsWith("กลุ่ม"), qPrintable(xlsx.rowText(r)));
                QCOMPARE(row.value(Quantity).type, QString("n"));
                QCOMPARE(row.value(Quantity).numberFormat, QString("#,##0"));
                QCOMPARE(row.value(Price).numberFormat, QString("#,##0.00"));
                QCOMPARE(row.value(Amount).type, QString("n"));
                QVERIFY(qAbs(row.value(Quantity).number * row.value(Price).number - row.value(Amount).number) < 0.005);
                amount += row.value(Amount).number;
            } else if (row.value(GroupName).text.startsWith("รวม C")) {
                QVERIFY(row.value(Amount).bold);
                QCOMPARE(row.value(Amount).type, QString("n"));
                customerAmounts += row.value(Amount).number;
            }
        }
        const double expected = m_program
                                    ->scalar(QString("select sum(Q.Quantity * G.GroupPrice) from Tarvo_CustomerQuota Q"
                                                     " inner join Tarvo_QuotaGroup G on G.Id = Q.QuotaGroup"
                                                     " where Q.QuotaYear = %1")
                                                 .arg(m_year))
                                    .toDouble();
        QCOMPARE(rows,
                 m_program->scalar(QString("select count(*) from Tarvo_CustomerQuota where QuotaYear = %1").arg(m_year)).toInt());
        QVERIFY(qAbs(amount - expected) < 0.005);
        QVERIFY(qAbs(customerAmounts - expected) < 0.005);
        const auto grand = xlsx.row(xlsx.rowCount() - 2);
        QCOMPARE(grand.value(GroupName).text, QString("รวมทั้งสิ้น %1 รายการ").arg(rows));
        QVERIFY(grand.value(Amount).bold);
        QVERIFY(qAbs(grand.value(Amount).number - expected) < 0.005);
    }

    // The printer set-up in the user's language chooses a PDF file and A3 paper; the paper stays
    // chosen for later runs (which read the definition again), and the preview's print puts the
    // pages on it.
    void printerSetupReachesThePrintedPaper_data()
    {
        QTest::addColumn<int>("languageNo");
        QTest::addColumn<QStringList>("captions"); // the set-up's title and OK, the print dialog's title and button
        QTest::newRow("Thai") << 1 << QStringList{"กำหนดเครื่องพิมพ์", "ตกลง", "พิมพ์รายงาน", "พิมพ์"};
        QTest::newRow("English") << 2 << QStringList{"Printer Setup", "OK", "Print Report", "Print"};
    }
    void printerSetupReachesThePrintedPaper()
    {
        QFETCH(int, languageNo);
        QFETCH(QStringList, captions);
        if (!PdfTools::available())
            QSKIP("poppler-utils is not installed");
        m_program->setLanguage(1, languageNo);
        m_program->signIn(reportLaunch(1));
        const auto thaiAgain = qScopeGuard([&] { m_program->setLanguage(1, 1); });
        ScriptedDialogService dialogs;
        auto screen = shownScreen();
        const QString pdf = outputDir() + QString("/quota-a3-%1.pdf").arg(languageNo);
        QFile::remove(pdf);

        QStringList seen;
        ModalDialogs::whenOpens<ReportSetupDialog>([&](ReportSetupDialog *dialog) {
            seen << dialog->windowTitle() << dialog->okButton()->text();
            dialog->printerBox()->setFocus();
            QTest::keyClick(dialog->printerBox(), Qt::Key_End); // the PDF file
            dialog->fileEdit()->clear();
            QTest::keyClicks(dialog->fileEdit(), pdf);
            dialog->paperBox()->setFocus();
            QTest::keyClick(dialog->paperBox(), Qt::Key_Up); // A4 -> A3
            QTest::mouseClick(dialog->landscapeButton(), Qt::LeftButton);
            dialog->grab().save(outputDir() + QString("/printer-setup-%1.png").arg(languageNo));
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        });
        QTest::mouseClick(screen->FaButtonReport1->BtPrintSetup, Qt::LeftButton);
        QTest::mouseClick(screen->FaButtonReport1->BtPreview, Qt::LeftButton);
        QTest::mouseClick(screen->FaButtonReport1->BtPreview, Qt::LeftButton);
        QCOMPARE(screen->previews().size(), 2);
        ReportPreviewWindow *preview = screen->previews().last();
        QCOMPARE(preview->document().pages.first().size, QSizeF(420, 297));
        preview->grab().save(outputDir() + QString("/preview-a3-%1.png").arg(languageNo));

        preview->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(preview));
        ModalDialogs::whenOpens<ReportPrintDialog>([&](ReportPrintDialog *dialog) {
            seen << dialog->windowTitle() << dialog->printButton()->text();
            dialog->grab().save(outputDir() + QString("/print-%1.png").arg(languageNo));
            QTest::mouseClick(dialog->printButton(), Qt::LeftButton);
        });
        QTest::keyClick(preview, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(seen, captions);
        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(PdfTools::pageCount(pdf), preview->pageCount());
        const QSizeF size = PdfTools::pageSize(pdf); // A3 landscape: 1190.55 x 841.89 points
        QVERIFY2(qAbs(size.width() - 1190.55) < 1 && qAbs(size.height() - 841.89) < 1,
                 qPrintable(QString("%1 x %2").arg(size.width()).arg(size.height())));
    }

    void definitionIsReadAgainForEveryRun()
    {
        const QString copy = m_program->dir() + "/RP_CustomerQuotaGroupPrice_Tarvo.frf";
        QFile f(copy);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray original = f.readAll();
        f.close();
        auto screen = shownScreen();
        screen->FaButtonReport1BtPreviewClick();
        QCOMPARE(screen->frfReport->document().title, QString("รายงานโควต้าลูกค้าตามกลุ่มราคา"));

        QByteArray changed = original;
        changed.replace("name=\"รายงานโควต้าลูกค้าตามกลุ่มราคา\"", "name=\"ฉบับแก้ไข\"");
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(changed);
        f.close();
        screen->FaButtonReport1BtPreviewClick();
        QCOMPARE(screen->frfReport->document().title, QString("ฉบับแก้ไข"));

        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(original);
    }

    void captionsByLanguage_data()
    {
        QTest::addColumn<int>("languageNo");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("label");
        QTest::newRow("1") << 1 << "แสดง/พิมพ์ รายงาน"
                           << "แสดง/พิมพ์ รายงาน"
                           << "ปี ค.ศ.     ";
        QTest::newRow("2") << 2 << "Preview/Print Report"
                           << "Preview Report"
                           << "Year";
        QTest::newRow("3") << 3 << "แสดง/พิมพ์ รายงาน"
                           << "Preview Report"
                           << "Year";
    }
    void captionsByLanguage()
    {
        QFETCH(int, languageNo);
        m_program->setLanguage(1, languageNo);
        m_program->signIn(reportLaunch(1));
        auto screen = shownScreen();
        QTEST(screen->FaButtonReport1->BtPreview->text(), "shown");
        screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        QTEST(screen->FaGetYearReport1->LbYear->text(), "label");
        QTEST(screen->FaButtonReport1->BtPreview->text(), "shown");
        QTest::keyClick(screen->FaGetYearReport1->GetYear, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), screen->FaButtonReport1->BtPreview);
        QTEST(screen->FaButtonReport1->BtPreview->text(), "entered");
        m_program->setLanguage(1, 1);
    }

    void enterMovesOnAndRunsNothing()
    {
        ScriptedDialogService dialogs;
        const int logged = m_program->scalar("select count(*) from UserLog").toInt();
        auto screen = shownScreen();
        screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        NumberEdit *year = screen->FaGetYearReport1->GetYear;
        year->selectAll();
        QTest::keyClicks(year, "2023");
        QTest::keyClick(year, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), screen->FaButtonReport1->BtPreview);
        QTest::keyClick(screen->FaButtonReport1->BtPreview, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), screen->FaButtonReport1->BtPrintSetup);
        QVERIFY(screen->previews().isEmpty());
        QCOMPARE(m_program->scalar("select count(*) from UserLog").toInt(), logged);
        QCOMPARE(dialogs.count(), 0);
    }

    void selectorTwoOpensTheQuotaReport()
    {
        std::unique_ptr<QWidget> screen(createScreen(2, 1));
        QVERIFY(qobject_cast<TFrCustomerQuotaGroupPrice *>(screen.get()));
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestQuotaReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_quotareport.moc"
