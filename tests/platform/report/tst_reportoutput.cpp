#include "ReportFixture.h"
#include "SqliteReportProvider.h"

#include "platform/report/ReportCsvExporter.h"
#include "platform/report/ReportEngine.h"
#include "platform/report/ReportRtfExporter.h"
#include "platform/report/ReportXlsxWriter.h"
#include "platform/reportview/ReportViewer.h"
#include "support/PdfTools.h"
#include "support/ReportLines.h"
#include "support/XlsxReader.h"

#include <QLocale>
#include <QPrinter>
#include <QStandardPaths>
#include <QtTest>

using namespace platform;

using namespace ReportFixture;

namespace {

using PdfTools::pageCount;
using PdfTools::pageTexts;
using PdfTools::runTool;

QString withoutSpaces(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

// A small RTF reader for the checks: the text of each table row, cells split by a tab;
// \uN escapes decoded, destination groups (font table and the like) skipped.
struct RtfTable {
    QStringList rows;
    int pageBreaks = 0;
    QList<int> cellBoundaries; // \cellx of the first row
};

RtfTable readRtf(const QByteArray &rtf)
{
    RtfTable table;
    QString row;
    QString cell;
    QList<bool> skipStack{false};
    bool firstRowDone = false;
    int skipChars = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf.at(i);
        if (c == '{') {
            skipStack.append(skipStack.last());
            continue;
        }
        if (c == '}') {
            skipStack.removeLast();
            continue;
        }
        if (c == '\\') {
            qsizetype j = i + 1;
            if (j < rtf.size() && !QChar::isLetter(uchar(rtf.at(j)))) {
                if (!skipStack.last())
                    cell.append(QLatin1Char(rtf.at(j)));
                i = j;
                continue;
            }
            while (j < rtf.size() && QChar::isLetter(uchar(rtf.at(j))))
                ++j;
            const QByteArray word = rtf.mid(i + 1, j - i - 1);
            qsizetype k = j;
            if (k < rtf.size() && (rtf.at(k) == '-' || QChar::isDigit(uchar(rtf.at(k)))))
                ++k;
            while (k < rtf.size() && QChar::isDigit(uchar(rtf.at(k))))
                ++k;
            const int number = rtf.mid(j, k - j).toInt();
            if (k < rtf.size() && rtf.at(k) == ' ')
                ++k;
            i = k - 1;
            if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info")
                skipStack.last() = true;
            if (skipStack.last())
                continue;
            if (word == "u") {
                cell.append(QChar(ushort(qint16(number))));
                // Skip the fallback: one character or one \'xx escape.
                if (i + 1 < rtf.size() && rtf.at(i + 1) == '\\')
                    i += 4;
                else
                    skipChars = 1;
            } else if (word == "cell") {
                row += (row.isEmpty() && cell.isEmpty() && table.rows.size() == -1 ? QString() : cell) + QLatin1Char('\t');
                cell.clear();
            } else if (word == "row") {
                row.chop(1);
                table.rows.append(row);
                row.clear();
                firstRowDone = true;
            } else if (word == "cellx" && !firstRowDone) {
                table.cellBoundaries.append(number);
            } else if (word == "page") {
                ++table.pageBreaks;
            } else if (word == "line") {
                cell.append(QLatin1Char('\n'));
            }
            continue;
        }
        if (c == '\n' || c == '\r')
            continue;
        if (skipChars > 0) {
            --skipChars;
            continue;
        }
        if (!skipStack.last())
            cell.append(QLatin1Char(c));
    }
    return table;
}

} // namespace

// What leaves the engine: PDF with searchable Thai, RTF tables, printing with copies.
class TestReportOutput : public QObject
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
        engine.setVariable(QStringLiteral("CONDITION"), QStringLiteral("'(ทุกสาขา)'"));
        engine.setFunctionHandler(
            [](const QString &name, const QStringList &arguments, ReportExpressionEvaluator &evaluator, QVariant &result) {
                if (name.compare(QLatin1String("TELL_REAL_THAI"), Qt::CaseInsensitive) == 0)
                    result = QStringLiteral("ยอดรวม %1 บาทถ้วน").arg(evaluator.evaluate(arguments.at(0)).toDouble(), 0, 'f', 2);
            });
        const ReportPrepareResult result = engine.prepare();
        QVERIFY2(result.ok, qPrintable(result.message));
    }

    void prepareGroups(ReportEngine &engine, int rows)
    {
        QVERIFY(engine.loadFromFile(definitionPath(QStringLiteral("groups.xml"))));
        engine.setDataProvider(m_provider.get());
        engine.setVariable(QStringLiteral("Rows"), QString::number(rows));
        const ReportPrepareResult result = engine.prepare();
        QVERIFY2(result.ok, qPrintable(result.message));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(m_dir.isValid());
        createSales(QStringLiteral("output"), m_dir.filePath(QStringLiteral("sales.sqlite")), 300);
        m_provider = std::make_unique<SqliteReportProvider>(QStringLiteral("output"));
        if (!PdfTools::available())
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
    }

    // The PDF holds one page per prepared page and its Thai text can be extracted as written.
    void pdfHoldsSearchableThai()
    {
        ReportEngine engine;
        prepareSales(engine);
        const QString path = m_dir.filePath(QStringLiteral("sales.pdf"));
        engine.exportTo(ReportExport::Format::Pdf, path);
        QCOMPARE(pageCount(path), int(engine.document().pages.size()));
        const QStringList pages = pageTexts(path);
        QCOMPARE(pages.size(), int(engine.document().pages.size()));
        // Lowered tone marks, SARA AM and marks over short consonants all come back as written.
        const QStringList firstLines = pages.first().split(QLatin1Char('\n'));
        for (const QString &expected : {QStringLiteral("รายงานยอดขาย"), QStringLiteral("ปี 2024 (ทุกสาขา)"),
                                        QStringLiteral("บริษัท ตัวอย่าง จำกัด หน้า 1 จาก %1").arg(pages.size()),
                                        QStringLiteral("ลำดับ สินค้า จำนวน ราคา จำนวนเงิน ชำระ")}) {
            QVERIFY2(firstLines.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + pages.first()));
        }
        QVERIFY2(firstLines.contains(QStringLiteral("1 ข้าวหอมมะลิ 8 47.25 378.00")), qPrintable(pages.first()));
        QVERIFY2(withoutSpaces(pages.first()).contains(QStringLiteral("สาขากรุงเทพรวมทั้งสาขา")), qPrintable(pages.first()));
        const QString all = pages.join(QLatin1Char('\n'));
        for (const QString &product : products())
            QCOMPARE(all.count(product), 40);
        for (const QString &branch : branches())
            QVERIFY2(all.contains(branch), qPrintable(branch));
        const QString last = withoutSpaces(pages.last());
        QVERIFY2(last.contains(QStringLiteral("รวมทั้งสิ้น240รายการ")), qPrintable(pages.last()));
        QVERIFY2(last.contains(QStringLiteral("บาทถ้วน")), qPrintable(pages.last()));
        QVERIFY(last.contains(QStringLiteral("หน้า%1จาก%1").arg(pages.size())));
        const QStringList missing = PdfTools::missingThaiWords(path, reportLinesByPage(engine.document()));
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }

    // The RTF export is one table per page, laid out as the page, with Thai intact.
    void rtfIsATableWithThai()
    {
        ReportEngine engine;
        prepareGroups(engine, 12);
        const QString path = m_dir.filePath(QStringLiteral("groups.rtf"));
        engine.exportTo(ReportExport::Format::Rtf, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray rtf = file.readAll();
        QVERIFY(rtf.startsWith("{\\rtf1"));
        // Only ASCII in the file: Thai travels as \u escapes.
        for (const char c : rtf)
            QVERIFY(uchar(c) < 0x80);
        const RtfTable table = readRtf(rtf);
        QCOMPARE(table.pageBreaks, 2);
        // Each page as printed: its header and footer, the texts in their columns with the
        // space between them, the header bold, quantities right-aligned, the footer total's
        // rule as a cell border, every row at its height.
        QCOMPARE(table.cellBoundaries.size(), 1);
        QCOMPARE(table.rows.value(0), QStringLiteral("page 1 of 3"));
        QCOMPARE(table.rows.value(1), QStringLiteral("Product\t\tQty"));
        QCOMPARE(table.rows.value(2), QStringLiteral("สาขากรุงเทพ\t30"));
        QCOMPARE(table.rows.value(3), QStringLiteral("1 ข้าวหอมมะลิ\t\t8"));
        QCOMPARE(table.rows.value(12), QStringLiteral("page 2 of 3"));
        QCOMPARE(table.rows.value(table.rows.size() - 2), QStringLiteral("Total 90 in 12 rows"));
        QCOMPARE(table.rows.last(), QStringLiteral("- 3 / 3 -"));
        QCOMPARE(table.rows.size(), 32);
        for (const char *control : {"\\ab\\ltrch", "\\b ", "\\qr", "\\clbrdrt", "\\trrh-", "\\paperw5669\\paperh4535"})
            QVERIFY2(rtf.contains(control), control);

        // Where unrtf is installed, an independent reader shows the same Thai.
        if (QStandardPaths::findExecutable(QStringLiteral("unrtf")).isEmpty())
            QSKIP("unrtf is not installed; checked with the reader above only");
        // unrtf's HTML output writes every Unicode character as a numeric entity.
        QString html = runTool(QStringLiteral("unrtf"), {QStringLiteral("--html"), path});
        QString text;
        static const QRegularExpression entity(QStringLiteral("&#(\\d+);"));
        qsizetype at = 0;
        for (const QRegularExpressionMatch &m : entity.globalMatch(html)) {
            text += html.mid(at, m.capturedStart() - at) + QChar(char16_t(m.captured(1).toUInt()));
            at = m.capturedEnd();
        }
        text += html.mid(at);
        text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
        QVERIFY2(html.contains(QLatin1String("<table")), qPrintable(html.left(2000)));
        for (const QString &expected : {QStringLiteral("สาขากรุงเทพ"), QStringLiteral("ข้าวหอมมะลิ"), QStringLiteral("สาขาเชียงใหม่"),
                                        QStringLiteral("Total 90 in 12 rows")})
            QVERIFY2(text.contains(expected), qPrintable(text));
    }

    // The Excel export: one sheet named after the report with the rows of the CSV export, a
    // number field as a number in its pattern, Thai text as written, bold where printed bold.
    void xlsxHoldsNumbersAndThai()
    {
        ReportEngine engine;
        prepareSales(engine);
        const QString path = m_dir.filePath(QStringLiteral("sales.xlsx"));
        engine.exportTo(ReportExport::Format::Xlsx, path);
        XlsxReader xlsx;
        QVERIFY2(xlsx.read(path), qPrintable(xlsx.error()));
        QCOMPARE(xlsx.sheetName(), QStringLiteral("ยอดขายตามสาขา"));
        const QStringList csv = QString::fromUtf8(ReportCsvExporter::toCsv(engine.document()).mid(3))
                                    .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(xlsx.rowCount(), csv.size());
        QCOMPARE(xlsx.rowText(0), QStringLiteral("รายงานยอดขาย"));
        QCOMPARE(xlsx.rowText(2), QStringLiteral("ลำดับ|สินค้า|จำนวน|ราคา|จำนวนเงิน|ชำระ"));
        QVERIFY(xlsx.cell(2, 1).bold);
        QCOMPARE(xlsx.rowText(3).section(QLatin1Char('|'), 0, 0), QStringLiteral("สาขากรุงเทพ"));

        // The first row: 1 ข้าวหอมมะลิ 8 47.25 378.00.
        const auto row = xlsx.row(4);
        QCOMPARE(row.value(1).type, QStringLiteral("s"));
        QCOMPARE(row.value(1).text, QStringLiteral("ข้าวหอมมะลิ"));
        for (const auto &[column, number, format] :
             {std::tuple{0, 1.0, QStringLiteral("General")}, std::tuple{2, 8.0, QStringLiteral("#,##0")},
              std::tuple{3, 47.25, QStringLiteral("#,##0.00")}, std::tuple{4, 378.0, QStringLiteral("#,##0.00")}}) {
            QCOMPARE(row.value(column).type, QStringLiteral("n"));
            QCOMPARE(row.value(column).number, number);
            QCOMPARE(row.value(column).numberFormat, format);
        }

        // Group totals and the grand total are numbers, bold as printed.
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("output")));
        QVERIFY(query.exec(QStringLiteral("SELECT SUM(Qty * Price) FROM Sales WHERE SaleYear = 2024")) && query.next());
        double groupTotals = 0;
        for (int r = 0; r < xlsx.rowCount(); ++r) {
            if (xlsx.cell(r, 1).text.endsWith(QStringLiteral(" รายการ"))) {
                QCOMPARE(xlsx.cell(r, 4).type, QStringLiteral("n"));
                QVERIFY(xlsx.cell(r, 4).bold);
                groupTotals += xlsx.cell(r, 4).number;
            }
        }
        QVERIFY(qAbs(groupTotals - query.value(0).toDouble()) < 0.001);
        const int summary = xlsx.rowCount() - 2;
        QCOMPARE(xlsx.cell(summary, 0).text, QStringLiteral("รวมทั้งสิ้น 240 รายการ"));
        QVERIFY(xlsx.cell(summary, 0).bold);
        QCOMPARE(xlsx.cell(summary, 3).type, QStringLiteral("n"));
        QVERIFY(qAbs(xlsx.cell(summary, 3).number - query.value(0).toDouble()) < 0.001);

        // Printed from the spreadsheet as the report: its orientation, one page wide, the column
        // header frozen and at the top of every page; the document says what it is and whose.
        const QByteArray sheet = xlsx.entry(QStringLiteral("xl/worksheets/sheet1.xml"));
        for (const char *expected : {"ySplit=\"3\"", "fitToPage=\"1\"", "fitToHeight=\"0\"", "orientation=\"portrait\""})
            QVERIFY2(sheet.contains(expected), expected);
        QVERIFY(xlsx.entry(QStringLiteral("xl/workbook.xml")).contains("$3:$3"));
        ReportXlsxWriter::setOwnerSource([] {
            return ReportXlsxWriter::Owner{QStringLiteral("ANNA"), QStringLiteral("บริษัท ตัวอย่าง จำกัด")};
        });
        engine.exportTo(ReportExport::Format::Xlsx, path);
        ReportXlsxWriter::setOwnerSource({});
        QVERIFY(xlsx.read(path));
        const QString core = QString::fromUtf8(xlsx.entry(QStringLiteral("docProps/core.xml")));
        QVERIFY2(core.contains(QStringLiteral("<dc:title>ยอดขายตามสาขา</dc:title>")) &&
                     core.contains(QStringLiteral("<dc:creator>ANNA</dc:creator>")),
                 qPrintable(core));
        QVERIFY(QString::fromUtf8(xlsx.entry(QStringLiteral("docProps/app.xml")))
                    .contains(QStringLiteral("<Company>บริษัท ตัวอย่าง จำกัด</Company>")));
    }

    // Printing through QPrinter into a PDF file: the page list, copies and collation decide
    // which pages come out in which order. A PDF printer makes no copies itself, so the
    // engine sends them.
    void printsPageListCopiesAndCollation_data()
    {
        QTest::addColumn<QString>("pageList");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QList<int>>("printed");
        QTest::newRow("all") << QString() << 1 << true << 0 << QList<int>{1, 2, 3};
        QTest::newRow("collated copies") << QString() << 2 << true << 0 << QList<int>{1, 2, 3, 1, 2, 3};
        QTest::newRow("uncollated copies") << QStringLiteral("2-3") << 2 << false << 0 << QList<int>{2, 2, 3, 3};
        QTest::newRow("odd pages of a list") << QStringLiteral("1,3") << 1 << true << 1 << QList<int>{1, 3};
        QTest::newRow("even pages") << QString() << 1 << true << 2 << QList<int>{2};
    }

    void printsPageListCopiesAndCollation()
    {
        QFETCH(QString, pageList);
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(int, choice);
        QFETCH(QList<int>, printed);
        ReportEngine engine;
        prepareGroups(engine, 12);
        QCOMPARE(engine.document().pages.size(), 3);
        const QString path = m_dir.filePath(
            QStringLiteral("printed-%1.pdf").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        ReportViewer viewer(engine);
        viewer.printer().setOutputFormat(QPrinter::PdfFormat);
        viewer.printer().setOutputFileName(path);
        ReportPrintOptions options;
        options.pageList = pageList;
        options.copies = copies;
        options.collate = collate;
        options.choice = ReportPrintOptions::PageChoice(choice);
        QCOMPARE(viewer.printPreparedReport(options), int(printed.size()));
        const QStringList pages = pageTexts(path);
        QCOMPARE(pages.size(), int(printed.size()));
        for (int i = 0; i < printed.size(); ++i) {
            const QString marker = QStringLiteral("page %1 of 3").arg(printed.at(i));
            QVERIFY2(pages.at(i).contains(marker), qPrintable(marker + QStringLiteral(" not in:\n") + pages.at(i)));
        }
    }

    // The done-criteria run: the grouped sales report of a few hundred rows printed to a PDF
    // file, exported to CSV and RTF, with the PDF's pages rendered to PNG for a look.
    void salesReportPrintsAndExports()
    {
        ReportEngine engine;
        prepareSales(engine);
        const QString out = qEnvironmentVariable("TARVO_REPORT_OUTPUT_DIR", m_dir.path());
        QDir().mkpath(out);
        const QString pdf = out + QStringLiteral("/sales-printed.pdf");
        ReportViewer viewer(engine);
        viewer.printer().setOutputFormat(QPrinter::PdfFormat);
        viewer.printer().setOutputFileName(pdf);
        QCOMPARE(viewer.printPreparedReport({}), int(engine.document().pages.size()));
        engine.exportTo(ReportExport::Format::Csv, out + QStringLiteral("/sales.csv"));
        engine.exportTo(ReportExport::Format::Rtf, out + QStringLiteral("/sales.rtf"));

        QFile csv(out + QStringLiteral("/sales.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray raw = csv.readAll();
        QVERIFY(raw.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(raw.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        // Title, condition, column header once, 4 group headers, 240 rows, 4 footers, 2 summary lines.
        QCOMPARE(lines.size(), 2 + 1 + 4 + 240 + 4 + 2);
        QCOMPARE(lines.at(0), QStringLiteral("รายงานยอดขาย,,,,,"));
        QCOMPARE(lines.at(2), QStringLiteral("ลำดับ,สินค้า,จำนวน,ราคา,จำนวนเงิน,ชำระ"));

        const RtfTable table = readRtf([&] {
            QFile rtf(out + QStringLiteral("/sales.rtf"));
            rtf.open(QIODevice::ReadOnly);
            return rtf.readAll();
        }());
        // The RTF shows every page: the column header on each, the 240 rows once.
        int headers = 0;
        int productRows = 0;
        for (const QString &row : table.rows) {
            const QStringList cells = row.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
            headers += cells == QStringList{QStringLiteral("ลำดับ"), QStringLiteral("สินค้า"),     QStringLiteral("จำนวน"),
                                            QStringLiteral("ราคา"), QStringLiteral("จำนวนเงิน"), QStringLiteral("ชำระ")};
            productRows += products().contains(cells.value(1));
        }
        QCOMPARE(headers, int(engine.document().pages.size()));
        QCOMPARE(productRows, 240);

        QCOMPARE(pageCount(pdf), int(engine.document().pages.size()));
        if (!QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
            runTool(
                QStringLiteral("pdftoppm"),
                {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), pdf, out + QStringLiteral("/sales-page")});
            QVERIFY(QFile::exists(out + QStringLiteral("/sales-page-1.png")));
        }
    }
};

QTEST_MAIN(TestReportOutput)
#include "tst_reportoutput.moc"
