#include "ReportTestUtil.h"

#include "platform/report/ReportEngine.h"
#include "reports/Fa_ButtonReport.h"
#include "reports/Fa_GetYearReport.h"
#include "reports/Fr_CustomerQuotaGroupPrice.h"
#include "support/OfficeTools.h"
#include "support/PdfTools.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <memory>

using namespace platform;

// The quota report's exports opened by an office suite (LibreOffice, headless) and printed to
// PDF there: the RTF shows the report's pages as the report's own PDF does, the Excel sheet
// prints one page wide with its column header on every page.
class TestReportOffice : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramOnDemo> m_program;
    // Kept after the run, to be looked at.
    const QDir m_dir{QDir(qEnvironmentVariable("TARVO_BINARY_DIR")).filePath(QStringLiteral("tests/office-output"))};

    // The report of this year, prepared by the screen.
    const ReportDocument &prepare(TFrCustomerQuotaGroupPrice &screen)
    {
        screen.show();
        screen.FaButtonReport1BtPreviewClick();
        return screen.frfReport->document();
    }

    QString converted(const QString &path)
    {
        QString error;
        const QString pdf = OfficeTools::convertToPdf(path, m_dir.filePath(QStringLiteral("office")), &error);
        if (pdf.isEmpty())
            qWarning("%s", qPrintable(error));
        return pdf;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("office"))));
        // The checks need the office suite: without it they fail rather than pass unchecked.
        QVERIFY2(OfficeTools::available(), "soffice (LibreOffice) is not installed");
        QVERIFY2(PdfTools::available(), "poppler-utils is not installed");
        m_program = std::make_unique<ProgramOnDemo>(std::function<void()>(), reportLaunch(1));
        m_program->copyReportDefinitions();
        m_program->signIn(reportLaunch(1));
    }
    void cleanupTestCase() { m_program.reset(); }

    // Every word of the report's PDF stands in the office suite's PDF of the RTF on the same page
    // at the same place (within 2.5 mm), in type of the same size; bold stays bold; the pages
    // are as many and of the same paper.
    void rtfShowsTheReportsPages()
    {
        TFrCustomerQuotaGroupPrice screen;
        const ReportDocument &doc = prepare(screen);
        QVERIFY(doc.pages.size() >= 2);
        const QString own = m_dir.filePath(QStringLiteral("quota.pdf"));
        const QString rtf = m_dir.filePath(QStringLiteral("quota.rtf"));
        screen.frfReport->exportTo(ReportExport::Format::Pdf, own);
        screen.frfReport->exportTo(ReportExport::Format::Rtf, rtf);
        const QString office = converted(rtf);
        QVERIFY2(!office.isEmpty(), "the office suite did not convert the RTF");
        QCOMPARE(PdfTools::pageCount(office), PdfTools::pageCount(own));
        const QSizeF ownPaper = PdfTools::pageSize(own);
        const QSizeF officePaper = PdfTools::pageSize(office);
        QVERIFY2(qAbs(ownPaper.width() - officePaper.width()) < 2 && qAbs(ownPaper.height() - officePaper.height()) < 2,
                 qPrintable(QStringLiteral("%1x%2 against %3x%4")
                                .arg(officePaper.width())
                                .arg(officePaper.height())
                                .arg(ownPaper.width())
                                .arg(ownPaper.height())));

        const QList<OfficeTools::Word> expected = OfficeTools::words(own);
        const QList<OfficeTools::Word> shown = OfficeTools::words(office);
        QVERIFY(expected.size() > 200);
        constexpr qreal tolerance = 2.5 * 72 / 25.4;
        QStringList officePages = PdfTools::pageTexts(office);
        for (QString &page : officePages)
            page.remove(QRegularExpression(QStringLiteral("\\s")));
        int unplaced = 0;
        QStringList misplaced;
        QList<qreal> sizes;
        for (const OfficeTools::Word &word : expected) {
            // The print time differs between the two exports by the seconds between them.
            if (word.text.contains(QLatin1Char(':')))
                continue;
            const OfficeTools::Word *nearest = nullptr;
            qreal distance = 1e9;
            for (const OfficeTools::Word &candidate : shown) {
                if (candidate.page != word.page || candidate.text != word.text)
                    continue;
                const QPointF d = candidate.box.center() - word.box.center();
                if (d.manhattanLength() < distance) {
                    distance = d.manhattanLength();
                    nearest = &candidate;
                }
            }
            // Poppler splits some Thai words of the office suite's PDF at their upper marks (its
            // PDF has no actual texts): such a word has to be in the page's text as written, but
            // for the spaces poppler puts in.
            static const QRegularExpression thai(QStringLiteral("[\\x{0E00}-\\x{0E7F}]"));
            if (!nearest && word.text.contains(thai) && officePages.value(word.page).contains(word.text)) {
                ++unplaced;
                continue;
            }
            if (!nearest || qAbs(nearest->box.center().x() - word.box.center().x()) > tolerance ||
                qAbs(nearest->box.center().y() - word.box.center().y()) > tolerance) {
                misplaced << QStringLiteral("page %1 \"%2\" at %3,%4: %5")
                                 .arg(word.page + 1)
                                 .arg(word.text)
                                 .arg(word.box.left(), 0, 'f', 1)
                                 .arg(word.box.top(), 0, 'f', 1)
                                 .arg(nearest ? QStringLiteral("%1,%2")
                                                    .arg(nearest->box.left(), 0, 'f', 1)
                                                    .arg(nearest->box.top(), 0, 'f', 1)
                                              : QStringLiteral("missing"));
                continue;
            }
            // The type's size by the width of words in Latin letters and digits.
            if (!word.text.contains(thai) && word.text.size() >= 4)
                sizes << nearest->box.width() / word.box.width();
        }
        QVERIFY2(misplaced.isEmpty(),
                 qPrintable(QStringLiteral("%1 of %2 words:\n").arg(misplaced.size()).arg(expected.size()) +
                            misplaced.mid(0, 40).join(QLatin1Char('\n'))));
        QVERIFY2(unplaced < expected.size() / 10, qPrintable(QString::number(unplaced)));
        std::sort(sizes.begin(), sizes.end());
        QVERIFY2(sizes.size() > 50 && sizes.first() > 0.9 && sizes.last() < 1.1,
                 qPrintable(QStringLiteral("%1 .. %2").arg(sizes.first()).arg(sizes.last())));
        const QString fonts = PdfTools::runTool(QStringLiteral("pdffonts"), {office});
        QVERIFY2(fonts.contains(QStringLiteral("Bold")), qPrintable(fonts));
    }

    // The Excel export printed by the spreadsheet: across the paper as the report, one page
    // wide (the amount column on every page) and the column header at the top of every page.
    void xlsxPrintsAsTheReport()
    {
        TFrCustomerQuotaGroupPrice screen;
        const ReportDocument &doc = prepare(screen);
        const QString xlsx = m_dir.filePath(QStringLiteral("quota-sheet.xlsx"));
        screen.frfReport->exportTo(ReportExport::Format::Xlsx, xlsx);
        const QString office = converted(xlsx);
        QVERIFY2(!office.isEmpty(), "the office suite did not convert the workbook");
        const QSizeF paper = PdfTools::pageSize(office);
        QVERIFY2(paper.width() > paper.height(), qPrintable(QStringLiteral("%1x%2").arg(paper.width()).arg(paper.height())));
        const QStringList pages = PdfTools::pageTexts(office);
        QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
        for (int p = 0; p < pages.size(); ++p) {
            for (const QString &label : {QStringLiteral("ลำดับ"), QStringLiteral("จำนวนเงิน")})
                QVERIFY2(pages.at(p).contains(label),
                         qPrintable(QStringLiteral("page %1: %2\n%3").arg(p + 1).arg(label, pages.at(p))));
        }
        QVERIFY(pages.join(QLatin1Char('\n')).contains(doc.pages.last().items.isEmpty() ? QString() : QStringLiteral("รวมทั้งสิ้น")));
    }
};

QTEST_MAIN(TestReportOffice)
#include "tst_reportoffice.moc"
