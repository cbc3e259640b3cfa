#include "ReportFixture.h"
#include "SqliteReportProvider.h"

#include "platform/report/ReportCsvExporter.h"
#include "platform/report/ReportEngine.h"
#include "platform/reportview/ReportPreviewWindow.h"
#include "platform/reportview/ReportPrintDialog.h"
#include "platform/reportview/ReportSetupDialog.h"
#include "platform/reportview/ReportViewer.h"
#include "support/ModalDialogs.h"
#include "support/PdfTools.h"
#include "support/ScriptedDialogService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QtTest>

using namespace platform;

using namespace ReportFixture;

// The preview window, driven through its actions and rendered offscreen.
class TestReportPreview : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SqliteReportProvider> m_provider;

    void prepareSales(ReportEngine &engine)
    {
        QVERIFY(engine.loadFromFile(definitionPath(QStringLiteral("sales.xml"))));
        engine.setDataProvider(m_provider.get());
        engine.setVariable(QStringLiteral("GetYear"), QStringLiteral("2024"));
        engine.setVariable(QStringLiteral("CONDITION"), QStringLiteral("''"));
        QVERIFY(engine.prepare().ok);
    }

    static int pageOf(const ReportDocument &document, const QString &text)
    {
        for (int p = 0; p < document.pages.size(); ++p) {
            for (const ReportPageItem &item : document.pages.at(p).items) {
                if (item.text.contains(text))
                    return p;
            }
        }
        return -1;
    }

    // The preview of the prepared report, shown at 1000 x 800 pixels; nullptr if it does not show.
    static ReportPreviewWindow *exposedPreview(ReportViewer &viewer)
    {
        ReportPreviewWindow *preview = viewer.showPreview();
        preview->resize(1000, 800);
        return QTest::qWaitForWindowExposed(preview) ? preview : nullptr;
    }

    static int countColour(const QImage &image, const std::function<bool(QColor)> &test)
    {
        int count = 0;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2)
                count += test(image.pixelColor(x, y)) ? 1 : 0;
        }
        return count;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(m_dir.isValid());
        createSales(QStringLiteral("preview"), m_dir.filePath(QStringLiteral("sales.sqlite")), 300);
        m_provider = std::make_unique<SqliteReportProvider>(QStringLiteral("preview"));
    }

    void opensNonModalAndPages()
    {
        ReportEngine engine;
        ReportViewer viewer(engine);
        QVERIFY(!viewer.showPreview()); // nothing prepared yet
        prepareSales(engine);
        QPointer<ReportPreviewWindow> preview = viewer.showPreview();
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QVERIFY(!preview->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        const int pages = preview->pageCount();
        QCOMPARE(pages, int(engine.document().pages.size()));

        QCOMPARE(preview->currentPage(), 0);
        QVERIFY(!preview->previousPageAction()->isEnabled());
        preview->nextPageAction()->trigger();
        QCOMPARE(preview->currentPage(), 1);
        preview->lastPageAction()->trigger();
        QCOMPARE(preview->currentPage(), pages - 1);
        QVERIFY(!preview->nextPageAction()->isEnabled());
        preview->nextPageAction()->trigger();
        QCOMPARE(preview->currentPage(), pages - 1);
        preview->previousPageAction()->trigger();
        QCOMPARE(preview->currentPage(), pages - 2);
        preview->firstPageAction()->trigger();
        QCOMPARE(preview->currentPage(), 0);

        // The engine can be cleared and prepared again while the preview stays open with its copy.
        engine.clear();
        QCOMPARE(preview->pageCount(), pages);

        preview->close();
        QTRY_VERIFY(!preview);
    }

    // Find moves to the page holding the text and marks it; pressing on goes to the next place.
    void findMarksText()
    {
        ReportEngine engine;
        prepareSales(engine);
        ReportViewer viewer(engine);
        ReportPreviewWindow *preview = viewer.showPreview();
        const QString branch = branches().at(0); // the last group in sort order
        const int page = pageOf(engine.document(), branch);
        QVERIFY(page > 0);
        preview->findEdit()->setText(branch);
        QTest::keyClick(preview->findEdit(), Qt::Key_Return);
        QCOMPARE(preview->currentPage(), page);
        QCOMPARE(preview->highlights().size(), 1);
        const QRectF first = preview->highlights().first();
        QVERIFY(preview->find(branch));
        QVERIFY(preview->currentPage() > page || preview->highlights().first() != first);
        QVERIFY(!preview->find(QStringLiteral("ไม่มีคำนี้ในรายงาน")));
        QVERIFY(preview->highlights().isEmpty());
        preview->close();
    }

    // Rendered offscreen: the page shows, a found text is marked, zoom and fit change the scale.
    void rendersOffscreen()
    {
        ReportEngine engine;
        prepareSales(engine);
        ReportViewer viewer(engine);
        ReportPreviewWindow *preview = exposedPreview(viewer);
        QVERIFY(preview);
        preview->fitWidth();
        const qreal widthZoom = preview->zoom();
        preview->fitPage();
        QVERIFY(preview->zoom() < widthZoom);
        preview->setZoom(1.0);
        QVERIFY(preview->find(QStringLiteral("ข้าวหอมมะลิ")));
        const QImage image = preview->grab().toImage();
        const QString out = qEnvironmentVariable("TARVO_REPORT_OUTPUT_DIR", m_dir.path());
        QDir().mkpath(out);
        QVERIFY(image.save(out + QStringLiteral("/preview.png")));
        const int dark = countColour(image, [](QColor c) { return c.lightness() < 60; });
        const int marked = countColour(image, [](QColor c) { return c.red() > 230 && c.green() > 200 && c.blue() < 120; });
        QVERIFY2(dark > 500, qPrintable(QString::number(dark)));
        QVERIFY2(marked > 20, qPrintable(QString::number(marked)));
        preview->close();
    }

    // Page set-up in the preview: the dialog, in the user's language, chooses other paper and
    // the report is laid out again on it from the data it already has. Margins that leave no
    // room are refused with a message and change nothing.
    void pageSetupLaysTheReportOutAgain_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("Thai") << int(ReportLanguage::Thai)
                              << QStringList{QStringLiteral("ตั้งค่าหน้ากระดาษ"), QStringLiteral("ตกลง"), QStringLiteral("แนวนอน"),
                                             QStringLiteral("ขอบกระดาษกว้างเกินไป ไม่เหลือที่พิมพ์บนกระดาษ")};
        QTest::newRow("English") << int(ReportLanguage::English)
                                 << QStringList{QStringLiteral("Page Setup"), QStringLiteral("OK"), QStringLiteral("Landscape"),
                                                QStringLiteral("The margins leave no room on the paper")};
    }

    void pageSetupLaysTheReportOutAgain()
    {
        QFETCH(int, language);
        QFETCH(QStringList, captions);
        ScriptedDialogService dialogs;
        ReportEngine engine;
        engine.setLanguage(ReportLanguage(language));
        prepareSales(engine);
        ReportViewer viewer(engine);
        ReportPreviewWindow *preview = viewer.showPreview();
        const int portraitPages = preview->pageCount();
        const qsizetype fetches = m_provider->calls.size();
        QCOMPARE(preview->pageSetupAction()->text(), captions.at(0));

        QStringList seen;
        ModalDialogs::whenOpens<ReportSetupDialog>([&](ReportSetupDialog *dialog) {
            seen << dialog->windowTitle() << dialog->okButton()->text() << dialog->landscapeButton()->text();
            QTest::mouseClick(dialog->landscapeButton(), Qt::LeftButton);
            QDoubleSpinBox *top = dialog->marginBoxes().at(1);
            top->selectAll();
            QTest::keyClicks(top, QStringLiteral("200"));
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton); // refused: 200 + 12 of 210 mm
            seen << QString::number(dialog->isVisible());
            top->selectAll();
            QTest::keyClicks(top, QStringLiteral("12"));
            dialog->paperBox()->setFocus();
            QTest::keyClick(dialog->paperBox(), Qt::Key_Down); // A4 -> A5
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        });
        preview->pageSetupAction()->trigger();
        QCOMPARE(seen, (QStringList{captions.at(0), captions.at(1), captions.at(2), QStringLiteral("1")}));
        QCOMPARE(dialogs.texts(), QStringList{captions.at(3)});
        QCOMPARE(preview->document().pages.first().size, QSizeF(210, 148));
        QCOMPARE(preview->document().pageLayout.orientation(), QPageLayout::Landscape);
        QVERIFY2(preview->pageCount() > portraitPages, qPrintable(QString::number(preview->pageCount())));
        QCOMPARE(preview->currentPage(), 0);
        QCOMPARE(m_provider->calls.size(), fetches);
        // The engine's own report keeps its paper.
        QCOMPARE(int(engine.document().pages.size()), portraitPages);
        preview->close();
    }

    // The preview prints on the printer of the printer set-up. Before one is chosen (a PDF
    // printer without a file) the print dialog asks for the file before it prints, and a print
    // that cannot start says so and leaves the printer as it was: the set-up chosen next keeps
    // its file and the next print writes it.
    void aFailedPrintLeavesThePrinterReady()
    {
        ScriptedDialogService dialogs;
        ReportEngine engine;
        prepareSales(engine);
        ReportViewer viewer(engine);
        QPrinter &printer = viewer.printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString());
        const QPageLayout paper = printer.pageLayout();
        ReportPreviewWindow *preview = viewer.showPreview();
        bool stayed = false;
        ModalDialogs::whenOpens<ReportPrintDialog>([&](ReportPrintDialog *dialog) {
            QVERIFY(dialog->pdfFileEdit());
            QVERIFY(dialog->pdfFileEdit()->text().isEmpty());
            QTest::mouseClick(dialog->printButton(), Qt::LeftButton);
            stayed = dialog->isVisible();
            dialog->reject();
        });
        preview->printAction()->trigger();
        QVERIFY(stayed);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("กรุณาระบุชื่อไฟล์ PDF")});

        // Printing itself refuses what is not ready without starting the printer.
        const auto failure = [&](const QString &file) {
            printer.setOutputFileName(file);
            try {
                preview->print(printer, {});
            } catch (const EInOutError &error) {
                return error.message();
            }
            return QString();
        };
        QCOMPARE(failure(QString()), QStringLiteral("ยังไม่ได้เลือกเครื่องพิมพ์ กรุณากำหนดเครื่องพิมพ์ก่อน"));
        const QString noFolder = m_dir.filePath(QStringLiteral("no/such/folder/x.pdf"));
        QVERIFY2(failure(noFolder).startsWith(QStringLiteral("บันทึกไฟล์ \"%1\" ไม่ได้").arg(QDir::toNativeSeparators(noFolder))),
                 qPrintable(failure(noFolder)));
        QVERIFY(!QFile::exists(noFolder));
        QCOMPARE(printer.printerState(), QPrinter::Idle);
        QVERIFY(printer.pageLayout().isEquivalentTo(paper));
        QCOMPARE(printer.copyCount(), 1);
        printer.setOutputFileName(QString());

        const QString pdf = m_dir.filePath(QStringLiteral("after-failure.pdf"));
        QString reopened;
        ModalDialogs::whenOpens<ReportSetupDialog>([&](ReportSetupDialog *dialog) {
            dialog->printerBox()->setFocus();
            QTest::keyClick(dialog->printerBox(), Qt::Key_End); // the PDF file
            QTest::keyClicks(dialog->fileEdit(), pdf);
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        });
        QVERIFY(viewer.printerSetup(preview));
        ModalDialogs::whenOpens<ReportSetupDialog>([&](ReportSetupDialog *dialog) {
            reopened = dialog->fileEdit()->text();
            dialog->reject();
        });
        viewer.printerSetup(preview);
        QCOMPARE(reopened, pdf);
        preview->close();

        ReportPreviewWindow *next = viewer.showPreview();
        QString offered;
        ModalDialogs::whenOpens<ReportPrintDialog>([&](ReportPrintDialog *dialog) {
            offered = dialog->pdfFileName();
            QTest::mouseClick(dialog->printButton(), Qt::LeftButton);
        });
        next->printAction()->trigger();
        QCOMPARE(offered, pdf);
        QCOMPARE(dialogs.texts().size(), 1);
        QCOMPARE(PdfTools::pageCount(pdf), next->pageCount());
        next->close();
    }

    // A preview opens at page width and then at the zoom chosen last; page width follows the
    // window's size. A find that finds nothing says so.
    void zoomIsRememberedAndAFailedFindIsSaid()
    {
        ScriptedDialogService dialogs;
        ReportEngine engine;
        prepareSales(engine);
        ReportViewer viewer(engine);
        ReportPreviewWindow *preview = exposedPreview(viewer);
        QVERIFY(preview);
        const qreal pageWidth = preview->zoom();
        const QScrollArea *scroll = preview->findChild<QScrollArea *>();
        QCOMPARE(preview->zoomChoice(), -1);
        QVERIFY2(scroll->widget()->width() <= scroll->viewport()->width() &&
                     scroll->widget()->width() > scroll->viewport()->width() * 0.9,
                 qPrintable(QStringLiteral("%1 of %2").arg(scroll->widget()->width()).arg(scroll->viewport()->width())));
        preview->resize(700, 800);
        QTRY_VERIFY(preview->zoom() < pageWidth);
        preview->zoomBox()->setFocus();
        QTest::keyClick(preview->zoomBox(), Qt::Key_Home); // 50 %
        QCOMPARE(preview->zoom(), 0.5);

        preview->findEdit()->setText(QStringLiteral("ไม่มีคำนี้ในรายงาน"));
        QTest::keyClick(preview->findEdit(), Qt::Key_Return);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("ไม่พบข้อความ \"ไม่มีคำนี้ในรายงาน\" ในรายงาน")});
        preview->close();

        ReportPreviewWindow *next = viewer.showPreview();
        QCOMPARE(next->zoomChoice(), 50);
        QCOMPARE(next->zoom(), 0.5);
        next->zoomBox()->setFocus();
        QTest::keyClick(next->zoomBox(), Qt::Key_End); // whole page
        QCOMPARE(next->zoomChoice(), -2);
        QTest::keyClick(next->zoomBox(), Qt::Key_Up); // back to page width for the other cases
        QCOMPARE(next->zoomChoice(), -1);
        next->close();
    }

    // Printing and export from the preview reach the same output as the engine's.
    void printsAndExportsFromPreview()
    {
        ReportEngine engine;
        prepareSales(engine);
        ReportViewer viewer(engine);
        ReportPreviewWindow *preview = viewer.showPreview();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath(QStringLiteral("from-preview.pdf")));
        ReportPrintOptions options;
        options.pageList = QStringLiteral("2");
        options.copies = 3;
        QCOMPARE(preview->print(printer, options), 3);
        QVERIFY(QFileInfo(printer.outputFileName()).size() > 1000);

        const QString csv = m_dir.filePath(QStringLiteral("from-preview.csv"));
        preview->exportTo(ReportExport::formatOf(csv), csv);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), ReportCsvExporter::toCsv(engine.document()));
        QCOMPARE(ReportExport::formatOf(QStringLiteral("a.RTF")), ReportExport::Format::Rtf);
        QCOMPARE(ReportExport::formatOf(QStringLiteral("a.pdf")), ReportExport::Format::Pdf);
        QCOMPARE(ReportExport::formatOf(QStringLiteral("a.txt")), ReportExport::Format::Csv);
        QVERIFY_THROWS_EXCEPTION(
            EInOutError, preview->exportTo(ReportExport::Format::Csv, m_dir.filePath(QStringLiteral("no/such/dir/x.csv"))));
        preview->close();
    }
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
