#include "ReportFixture.h"
#include "SqliteReportProvider.h"

#include "platform/report/ReportCsvExporter.h"
#include "platform/report/ReportEngine.h"

#include <QLocale>
#include <QRegularExpression>
#include <QtTest>

using namespace platform;

using namespace ReportFixture;

// Lays out definitions over fixture data and checks what was placed where.
class TestReportLayout : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SqliteReportProvider> m_provider;

    QString writeDefinition(const QString &name, const QString &xml)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(xml.toUtf8());
        return path;
    }

    void prepare(ReportEngine &engine, const QString &path)
    {
        QVERIFY2(engine.loadFromFile(path), qPrintable(engine.loadError()));
        engine.setDataProvider(m_provider.get());
        const ReportPrepareResult result = engine.prepare();
        QVERIFY2(result.ok, qPrintable(result.message));
    }

    static QList<const ReportPageItem *> itemsNamed(const ReportDocument &document, const QString &name, int page = -1)
    {
        QList<const ReportPageItem *> found;
        for (int p = 0; p < document.pages.size(); ++p) {
            if (page >= 0 && p != page)
                continue;
            for (const ReportPageItem &item : document.pages.at(p).items) {
                if (item.objectName == name)
                    found.append(&item);
            }
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(m_dir.isValid());
        createSales(QStringLiteral("layout"), m_dir.filePath(QStringLiteral("sales.sqlite")), 300);
        m_provider = std::make_unique<SqliteReportProvider>(QStringLiteral("layout"));
    }

    // Twelve rows in three branches on a small page: the text placed on every page and the
    // CSV export match the files kept beside this test.
    void groupedPagesMatchExpectedText()
    {
        ReportEngine engine;
        engine.setVariable(QStringLiteral("Rows"), QStringLiteral("12"));
        prepare(engine, definitionPath(QStringLiteral("groups.xml")));
        const ReportDocument &document = engine.document();
        QVERIFY(document.pages.size() >= 3);
        QVERIFY(matchesExpected(dumpDocument(document).toUtf8(), QStringLiteral("groups-pages.txt")));
        QVERIFY(matchesExpected(ReportCsvExporter::toCsv(document), QStringLiteral("groups.csv")));
    }

    void pageNumbersCountAllPages()
    {
        ReportEngine engine;
        engine.setVariable(QStringLiteral("Rows"), QStringLiteral("40"));
        prepare(engine, definitionPath(QStringLiteral("groups.xml")));
        const ReportDocument &document = engine.document();
        const int pages = int(document.pages.size());
        QVERIFY(pages > 5);
        for (int p = 0; p < pages; ++p) {
            const auto head = itemsNamed(document, QStringLiteral("Head"), p);
            const auto foot = itemsNamed(document, QStringLiteral("Foot"), p);
            QCOMPARE(head.size(), 1);
            QCOMPARE(foot.size(), 1);
            QCOMPARE(head.first()->text, QStringLiteral("page %1 of %2").arg(p + 1).arg(pages));
            QCOMPARE(foot.first()->text, QStringLiteral("- %1 / %2 -").arg(p + 1).arg(pages));
            // The footer sits at the foot of the page: 80 mm less the 5 mm margin and its 6 mm.
            QCOMPARE(qRound(foot.first()->rect.top()), 69);
        }
    }

    // Group breaks: a header and a footer for each branch, the total shown in the header before
    // the rows equals the footer's, and headers repeat at the top of a continued page.
    void groupBreaksAndTotalsBeforeRows()
    {
        ReportEngine engine;
        engine.setVariable(QStringLiteral("Rows"), QStringLiteral("40"));
        prepare(engine, definitionPath(QStringLiteral("groups.xml")));
        const ReportDocument &document = engine.document();

        QStringList firstHeaders;
        QStringList headerTotals;
        int repeats = 0;
        for (const ReportPage &page : document.pages) {
            for (const ReportPageItem &item : page.items) {
                if (item.objectName == QLatin1String("GroupName") && !item.repeated)
                    firstHeaders.append(item.text);
                if (item.objectName == QLatin1String("GroupTotal") && !item.repeated)
                    headerTotals.append(item.text);
                if (item.objectName == QLatin1String("GroupName") && item.repeated)
                    ++repeats;
            }
        }
        QStringList expected = branches();
        std::sort(expected.begin(), expected.end());
        QCOMPARE(firstHeaders, expected);
        QVERIFY(repeats > 0);

        const auto footerTotals = itemsNamed(document, QStringLiteral("FooterTotal"));
        const auto footerCounts = itemsNamed(document, QStringLiteral("FooterCount"));
        QCOMPARE(footerTotals.size(), 4);
        int rows = 0;
        int quantity = 0;
        for (int g = 0; g < 4; ++g) {
            QCOMPARE(footerTotals.at(g)->text, headerTotals.at(g));
            rows += footerCounts.at(g)->text.section(QLatin1Char(' '), 0, 0).toInt();
            quantity += footerTotals.at(g)->text.toInt();
        }
        QCOMPARE(rows, 40);
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("layout")));
        QVERIFY(query.exec(QStringLiteral("SELECT SUM(Qty) FROM Sales WHERE Id <= 40")) && query.next());
        QCOMPARE(quantity, query.value(0).toInt());
        const auto total = itemsNamed(document, QStringLiteral("Total"));
        QCOMPARE(total.size(), 1);
        QCOMPARE(total.first()->text, QStringLiteral("Total %1 in 40 rows").arg(quantity));

        // Every row's group header stands above it on its page: the first item of a page that
        // continues a group is the repeated header, after the page and column headers.
        for (int p = 1; p < document.pages.size(); ++p) {
            QStringList names;
            for (const ReportPageItem &item : document.pages.at(p).items)
                names.append(item.objectName);
            QCOMPARE(names.value(0), QStringLiteral("Head"));
            QCOMPARE(names.value(1), QStringLiteral("ColProduct"));
            QCOMPARE(names.value(3), QStringLiteral("GroupName"));
        }
    }

    // Bands never overlap: on every page, each band starts at or below the end of the one
    // before it, and all stay above the page footer.
    void bandsNeverOverlap()
    {
        ReportEngine engine;
        engine.setVariable(QStringLiteral("Rows"), QStringLiteral("40"));
        prepare(engine, definitionPath(QStringLiteral("groups.xml")));
        for (const ReportPage &page : engine.document().pages) {
            qreal bottom = 0;
            for (const ReportPageItem &item : page.items) {
                if (item.band == ReportBandDefinition::Kind::PageFooter)
                    QVERIFY(item.rect.top() >= bottom - 0.01);
                if (item.objectName == QLatin1String("Product") || item.objectName == QLatin1String("GroupName") ||
                    item.objectName == QLatin1String("FooterCount") || item.objectName == QLatin1String("Foot")) {
                    QVERIFY2(item.rect.top() >= bottom - 0.01, qPrintable(item.objectName + QLatin1Char(' ') + item.text));
                    bottom = item.rect.bottom();
                }
            }
            QVERIFY(bottom <= 75.01);
        }
    }

    // Bands kept together on a small page of ten 5 mm lines under a title: a group header
    // moves with its first row unless told otherwise, a group kept together starts a new page
    // where it fits on one, a footer kept together takes the group's last row along, and a
    // group that starts a new page does not leave the title alone. Each page is listed as its
    // texts: T the title, H and F a group's header and footer, numbers the rows.
    void keepingBandsTogether_data()
    {
        QTest::addColumn<int>("lastOfA");
        QTest::addColumn<int>("lastOfB");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("footer");
        QTest::addColumn<QString>("pages");
        QTest::newRow("header left at the foot when asked")
            << 6 << 10 << 10 << QStringLiteral("keepWithNext=\"false\"") << QString()
            << QStringLiteral("T HA 1 2 3 4 5 6 FA HB | 7 8 9 10 FB");
        QTest::newRow("header moves with its first row")
            << 6 << 10 << 10 << QString() << QString() << QStringLiteral("T HA 1 2 3 4 5 6 FA | HB 7 8 9 10 FB");
        QTest::newRow("group kept together") << 4 << 8 << 12 << QStringLiteral("keepTogether=\"true\"") << QString()
                                             << QStringLiteral("T HA 1 2 3 4 FA | HB 5 6 7 8 FB | HC 9 10 11 12 FC");
        QTest::newRow("group longer than a page runs on where it starts")
            << 2 << 14 << 16 << QStringLiteral("keepTogether=\"true\"") << QString()
            << QStringLiteral("T HA 1 2 FA HB 3 4 5 6 | 7 8 9 10 11 12 13 14 FB | HC 15 16 FC");
        QTest::newRow("footer takes the last row along") << 8 << 10 << 10 << QString() << QStringLiteral("keepTogether=\"true\"")
                                                         << QStringLiteral("T HA 1 2 3 4 5 6 7 | 8 FA HB 9 10 FB");
        QTest::newRow("a page for each group") << 2 << 4 << 6 << QStringLiteral("startNewPage=\"true\"") << QString()
                                               << QStringLiteral("T HA 1 2 FA | HB 3 4 FB | HC 5 6 FC");
    }

    void keepingBandsTogether()
    {
        QFETCH(int, lastOfA);
        QFETCH(int, lastOfB);
        QFETCH(int, rows);
        QFETCH(QString, header);
        QFETCH(QString, footer);
        QFETCH(QString, pages);
        const QString xml = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<report name="Keep" font="Garuda" fontSize="9">
  <page width="100" height="60" left="5" top="5" right="5" bottom="5"/>
  <dataset name="D"><sql>SELECT Id, CASE WHEN Id &lt;= %1 THEN 'A' WHEN Id &lt;= %2 THEN 'B' ELSE 'C' END AS Grp
    FROM Sales WHERE Id &lt;= %3 ORDER BY Id</sql></dataset>
  <reportTitle height="5"><text left="0" top="0" width="90" height="5">T</text></reportTitle>
  <groupHeader name="G" expression="Grp" height="5" %4><text left="0" top="0" width="90" height="5">H[Grp]</text></groupHeader>
  <masterData dataset="D" height="5"><text left="0" top="0" width="90" height="5">[Id]</text></masterData>
  <groupFooter group="G" height="5" %5><text left="0" top="0" width="90" height="5">F[Grp]</text></groupFooter>
</report>)")
                                .arg(lastOfA)
                                .arg(lastOfB)
                                .arg(rows)
                                .arg(header, footer);
        ReportEngine engine;
        prepare(engine, writeDefinition(QStringLiteral("keep.xml"), xml));
        QStringList flow;
        for (const ReportPage &page : engine.document().pages) {
            QStringList texts;
            for (const ReportPageItem &item : page.items)
                texts.append(item.text);
            flow.append(texts.join(QLatin1Char(' ')));
        }
        QCOMPARE(flow.join(QStringLiteral(" | ")), pages);
    }

    // A growing band that does not fit in what is left of a page moves whole to the next
    // page; one taller than a page is split between its lines and continues on the next.
    void tallBandsMoveOrSplit()
    {
        QString paragraph;
        for (int i = 1; i <= 40; ++i)
            paragraph += QStringLiteral("Sentence number %1 of a long remark. ").arg(i);
        const QString xml = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<report name="Tall" font="Garuda" fontSize="10">
  <page width="100" height="100" left="5" top="5" right="5" bottom="5"/>
  <dataset name="Sales"><sql>SELECT Id, IIF(Id = 3, :Long, 'Row ' || Id) AS Remark FROM Sales WHERE Id &lt;= 4 ORDER BY Id</sql></dataset>
  <masterData dataset="Sales" height="20">
    <text name="Remark" left="0" top="0" width="90" height="20" canGrow="true" frame="all">[Remark]</text>
  </masterData>
  <pageFooter height="5"><text name="Foot" left="0" top="0" width="90" height="5">[PAGE]</text></pageFooter>
</report>)");
        ReportEngine engine;
        engine.setVariable(QStringLiteral("Long"), QLatin1Char('\'') + paragraph.trimmed() + QLatin1Char('\''));
        prepare(engine, writeDefinition(QStringLiteral("tall.xml"), xml));
        const ReportDocument &document = engine.document();

        // Rows 1 and 2 fill 40 mm of the 85 mm body; row 3 is taller than the body, so it
        // starts on page 2 and goes on to page 3; row 4 follows it.
        const auto remarks = itemsNamed(document, QStringLiteral("Remark"));
        QStringList pagesOfRemarks;
        for (int p = 0; p < document.pages.size(); ++p) {
            for (const ReportPageItem *item : itemsNamed(document, QStringLiteral("Remark"), p))
                pagesOfRemarks.append(QStringLiteral("%1:%2").arg(p + 1).arg(item->text.left(6)));
        }
        QVERIFY2(document.pages.size() >= 3, qPrintable(pagesOfRemarks.join(QLatin1Char(','))));
        QCOMPARE(pagesOfRemarks.value(0), QStringLiteral("1:Row 1"));
        QCOMPARE(pagesOfRemarks.value(1), QStringLiteral("1:Row 2"));
        QCOMPARE(pagesOfRemarks.value(2), QStringLiteral("2:Senten"));
        QCOMPARE(pagesOfRemarks.value(3), QStringLiteral("3:Senten"));
        QCOMPARE(pagesOfRemarks.last().section(QLatin1Char(':'), 1), QStringLiteral("Row 4"));

        // Nothing is lost or doubled at the split, and no piece runs into the footer.
        QStringList words;
        for (const ReportPageItem *item : remarks) {
            if (!item->text.startsWith(QLatin1String("Sentence")))
                continue;
            QVERIFY(item->rect.bottom() <= 90.01);
            for (const ReportTextLine &line : item->lines)
                words.append(line.text);
        }
        QCOMPARE(words.join(QLatin1Char(' ')), paragraph.trimmed());
        const auto lastPiece = itemsNamed(document, QStringLiteral("Remark"), 2).first();
        QCOMPARE(qRound(lastPiece->rect.top()), 5);
    }

    // A Thai paragraph without spaces wraps only between words.
    void thaiParagraphWrapsAtWordBoundaries()
    {
        const QStringList words{
            QStringLiteral("โรงเรียน"), QStringLiteral("ของ"),    QStringLiteral("เรา"),     QStringLiteral("จัด"),
            QStringLiteral("กิจกรรม"),  QStringLiteral("วัน"),     QStringLiteral("เด็ก"),     QStringLiteral("ทุก"),
            QStringLiteral("ปี"),       QStringLiteral("นักเรียน"), QStringLiteral("ได้"),      QStringLiteral("รับ"),
            QStringLiteral("ของขวัญ"),  QStringLiteral("และ"),    QStringLiteral("ขนม"),     QStringLiteral("มากมาย"),
            QStringLiteral("ครู"),      QStringLiteral("และ"),    QStringLiteral("ผู้ปกครอง"), QStringLiteral("มา"),
            QStringLiteral("ร่วม"),     QStringLiteral("งาน"),    QStringLiteral("อย่าง"),    QStringLiteral("สนุกสนาน"),
        };
        QList<int> boundaries{0};
        for (const QString &word : words)
            boundaries.append(boundaries.last() + int(word.size()));
        const QString paragraph = words.join(QString());
        const QString xml = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<report name="Thai" font="Garuda" fontSize="12">
  <page width="120" height="150" left="10" top="10" right="10" bottom="10"/>
  <summary height="10"><text name="Paragraph" left="0" top="0" width="45" height="10" canGrow="true">%1</text></summary>
</report>)")
                                .arg(paragraph);
        ReportEngine engine;
        prepare(engine, writeDefinition(QStringLiteral("thai.xml"), xml));
        const auto items = itemsNamed(engine.document(), QStringLiteral("Paragraph"));
        QCOMPARE(items.size(), 1);
        const ReportPageItem &item = *items.first();
        QVERIFY2(item.lines.size() >= 3, qPrintable(QString::number(item.lines.size())));
        QString joined;
        for (const ReportTextLine &line : item.lines) {
            joined += line.text;
            QVERIFY2(boundaries.contains(int(joined.size())), qPrintable(QStringLiteral("break inside a word after: ") + joined));
            QVERIFY(line.rect.width() <= 44.01);
        }
        QCOMPARE(joined, paragraph);
        // The band grew with the lines.
        QVERIFY(item.rect.height() > 10);
    }

    // The full sales report: a few hundred rows in groups, totals and page numbers.
    void salesReportTotalsAndPages()
    {
        ReportEngine engine;
        engine.setVariable(QStringLiteral("GetYear"), QStringLiteral("2024"));
        engine.setVariable(QStringLiteral("CONDITION"), QStringLiteral("''"));
        engine.setFunctionHandler(
            [](const QString &name, const QStringList &arguments, ReportExpressionEvaluator &evaluator, QVariant &result) {
                if (name.toUpper() == QLatin1String("TELL_REAL_THAI")) {
                    const double amount = evaluator.evaluate(arguments.at(0)).toDouble();
                    const int decimals = evaluator.evaluate(arguments.at(1)).toInt();
                    result = QStringLiteral("%1 บาท").arg(amount, 0, 'f', decimals);
                }
            });
        prepare(engine, definitionPath(QStringLiteral("sales.xml")));
        const ReportDocument &document = engine.document();
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("layout")));
        QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*), SUM(Qty * Price) FROM Sales WHERE SaleYear = 2024")) && query.next());
        const int rows = query.value(0).toInt();
        const double total = query.value(1).toDouble();
        QCOMPARE(rows, 240);
        QCOMPARE(itemsNamed(document, QStringLiteral("Amount")).size(), rows);
        QVERIFY(document.pages.size() >= 5);

        const auto count = itemsNamed(document, QStringLiteral("SCount"));
        QCOMPARE(count.first()->text, QStringLiteral("รวมทั้งสิ้น 240 รายการ"));
        const auto amount = itemsNamed(document, QStringLiteral("SAmount"));
        QCOMPARE(amount.first()->text, QLocale(QLocale::English, QLocale::UnitedStates).toString(total, 'f', 2));
        const auto words = itemsNamed(document, QStringLiteral("SWords"));
        QCOMPARE(words.first()->text, QStringLiteral("(%1 บาท)").arg(total, 0, 'f', 2));

        // The page sums in the footers add up to the grand total.
        double pageSums = 0;
        for (int p = 0; p < document.pages.size(); ++p) {
            const auto foot = itemsNamed(document, QStringLiteral("PageBottom"), p);
            QCOMPARE(foot.size(), 1);
            static const QRegularExpression pattern(QStringLiteral("^หน้า (\\d+) จาก (\\d+) - ยอดหน้านี้ ([\\d,.]+)$"));
            const QRegularExpressionMatch match = pattern.match(foot.first()->text);
            QVERIFY2(match.hasMatch(), qPrintable(foot.first()->text));
            QCOMPARE(match.captured(1).toInt(), p + 1);
            QCOMPARE(match.captured(2).toInt(), int(document.pages.size()));
            pageSums += match.captured(3).remove(QLatin1Char(',')).toDouble();
        }
        QVERIFY(qAbs(pageSums - total) < 0.01);

        // Line numbers run through the report; the check box follows the Paid flag.
        const auto numbers = itemsNamed(document, QStringLiteral("No"));
        QCOMPARE(numbers.first()->text, QStringLiteral("1"));
        QCOMPARE(numbers.last()->text, QStringLiteral("240"));
        QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM Sales WHERE SaleYear = 2024 AND Paid = 'Y'")) && query.next());
        int checked = 0;
        for (const ReportPageItem *box : itemsNamed(document, QStringLiteral("PaidBox")))
            checked += box->checked ? 1 : 0;
        QCOMPARE(checked, query.value(0).toInt());

        // The dataset received its parameters from the variables.
        const SqliteReportProvider::Call &call = m_provider->calls.last();
        QCOMPARE(call.parameters.value(QStringLiteral("GetYear")).toInt(), 2024);
        QCOMPARE(call.parameters.value(QStringLiteral("MinQty")).toInt(), 1);
    }
};

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
