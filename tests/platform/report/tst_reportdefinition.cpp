#include "ReportFixture.h"
#include "SqliteReportProvider.h"

#include "platform/report/ReportDefinitionLoader.h"
#include "platform/report/ReportEngine.h"
#include "platform/report/ReportNumberFormat.h"
#include "platform/report/ReportSqlParameters.h"
#include "platform/report/ReportTemplateText.h"
#include "platform/reportview/ReportPrinter.h"
#include "platform/reportview/ReportViewer.h"

#include <QLocale>
#include <QtTest>

using namespace platform;

// Reading definitions, and the faults a definition can hold: each one makes prepare fail with
// the line and the cause, and nothing is produced.
class TestReportDefinition : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SqliteReportProvider> m_provider;

    QString write(const QString &xml)
    {
        static int count = 0;
        const QString path = m_dir.filePath(QStringLiteral("definition%1.xml").arg(++count));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(xml.toUtf8());
        return path;
    }

    static QString wrap(const QString &body)
    {
        return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<report name=\"T\">\n"
                              "  <dataset name=\"Sales\"><sql>SELECT Id, Qty FROM Sales ORDER BY Id</sql></dataset>\n") +
            body + QStringLiteral("</report>\n");
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(m_dir.isValid());
        ReportFixture::createSales(QStringLiteral("definition"), m_dir.filePath(QStringLiteral("s.sqlite")), 10);
        m_provider = std::make_unique<SqliteReportProvider>(QStringLiteral("definition"));
    }

    void readsPageBandsAndObjects()
    {
        const auto result = ReportDefinitionLoader::loadFile(ReportFixture::definitionPath(QStringLiteral("sales.xml")));
        QVERIFY2(result.ok(), qPrintable(result.error()));
        const ReportDefinition &d = result.definition;
        QCOMPARE(d.name, QStringLiteral("ยอดขายตามสาขา"));
        QCOMPARE(d.orientedPageSize(), QSizeF(210, 297));
        QCOMPARE(d.marginLeft, 15.0);
        QCOMPARE(d.bands.size(), 8);
        QCOMPARE(d.variables.size(), 2);
        QCOMPARE(d.variables.first().expression, QStringLiteral("'รายงานยอดขาย'"));
        QCOMPARE(d.datasets.first().name, QStringLiteral("Sales"));
        const ReportBandDefinition *group = d.band(ReportBandDefinition::Kind::GroupHeader);
        QVERIFY(group);
        QCOMPARE(group->expression, QStringLiteral("Branch"));
        QVERIFY(group->repeatOnNewPage);
        const ReportObjectDefinition &amount = d.band(ReportBandDefinition::Kind::MasterData)->objects.at(4);
        QCOMPARE(amount.name, QStringLiteral("Amount"));
        QCOMPARE(amount.numberFormat, QStringLiteral("#,##0.00"));
        QCOMPARE(amount.alignment, Qt::AlignRight | Qt::AlignTop);
        QCOMPARE(amount.rect, QRectF(130, 0, 35, 5.5));
        QCOMPARE(d.band(ReportBandDefinition::Kind::MasterData)->objects.at(5).kind, ReportObjectDefinition::Kind::CheckBox);

        const auto landscape =
            ReportDefinitionLoader::loadData("<report><page size=\"A5\" orientation=\"landscape\"/></report>", QString());
        QVERIFY(landscape.ok());
        QCOMPARE(landscape.definition.orientedPageSize(), QSizeF(210, 148));
    }

    void faultsNameTheLine_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("message");
        QTest::newRow("not well-formed") << wrap(QStringLiteral("  <summary height=\"5\">\n    <text>x</summary>\n"))
                                         << QStringLiteral("line 5: ");
        QTest::newRow("unknown band") << wrap(QStringLiteral("  <detailBand height=\"5\"/>\n"))
                                      << QStringLiteral("line 4: unknown element <detailBand>");
        QTest::newRow("unknown object") << wrap(QStringLiteral("  <summary height=\"5\">\n    <ellipse/>\n  </summary>\n"))
                                        << QStringLiteral("line 5: unknown object <ellipse>");
        QTest::newRow("unknown attribute") << wrap(QStringLiteral("  <summary hieght=\"5\"/>\n"))
                                           << QStringLiteral("line 4: unknown attribute hieght on <summary>");
        QTest::newRow("not a number") << wrap(QStringLiteral("  <summary height=\"five\"/>\n"))
                                      << QStringLiteral("line 4: attribute height=\"five\" is not a number");
        QTest::newRow("footer of unknown group")
            << wrap(QStringLiteral(
                   "  <masterData dataset=\"Sales\" height=\"5\"/>\n  <groupFooter group=\"Nope\" height=\"5\"/>\n"))
            << QStringLiteral("line 5: group footer for unknown group Nope");
        QTest::newRow("keepWithNext on a master band")
            << wrap(QStringLiteral("  <masterData dataset=\"Sales\" height=\"5\" keepWithNext=\"true\"/>\n"))
            << QStringLiteral("line 4: only a group header takes keepWithNext");
        QTest::newRow("unknown dataset") << wrap(QStringLiteral("  <masterData dataset=\"Other\" height=\"5\"/>\n"))
                                         << QStringLiteral("line 4: unknown dataset Other");
        QTest::newRow("expression does not compile")
            << wrap(QStringLiteral("  <summary height=\"5\">\n    <text name=\"Broken\" width=\"20\" "
                                   "height=\"5\">[SUM(Qty]</text>\n  </summary>\n"))
            << QStringLiteral("Line 5: the expression \"SUM(Qty\" of object Broken does not compile: ");
        QTest::newRow("operator missing")
            << wrap(QStringLiteral("  <summary height=\"5\">\n\n    <text name=\"Gap\" width=\"20\" height=\"5\">[Qty "
                                   "Qty]</text>\n  </summary>\n"))
            << QStringLiteral("Line 6: the expression \"Qty Qty\" of object Gap does not compile: SyntaxError");
        QTest::newRow("field not closed") << wrap(QStringLiteral("  <summary height=\"5\">\n    <text name=\"Open\" width=\"20\" "
                                                                 "height=\"5\">Total [Qty</text>\n  </summary>\n"))
                                          << QStringLiteral("Line 5: object Open: the field \"[Qty\" has no closing bracket");
        QTest::newRow("aggregate in a group expression")
            << wrap(QStringLiteral(
                   "  <groupHeader expression=\"SUM(Qty)\" height=\"5\"/>\n  <masterData dataset=\"Sales\" height=\"5\"/>\n"))
            << QStringLiteral("Line 4: the expression \"SUM(Qty)\" of group Group1 does not compile: SUM cannot be used here");
        QTest::newRow("four host arguments")
            << wrap(QStringLiteral("  <summary height=\"5\">\n    <text name=\"Four\" width=\"20\" height=\"5\">[Host(1, 2, 3, "
                                   "4)]</text>\n  </summary>\n"))
            << QStringLiteral("Line 5: the expression \"Host(1, 2, 3, 4)\" of object Four does not compile: function Host takes "
                              "at most three arguments");
        QTest::newRow("parameter without variable")
            << QStringLiteral("<report>\n  <dataset name=\"D\">\n    <sql>SELECT * FROM Sales WHERE Id = :Wanted</sql>\n  "
                              "</dataset>\n</report>")
            << QStringLiteral("Line 2: dataset D: no variable gives the value of parameter :Wanted");
    }

    void faultsNameTheLine()
    {
        QFETCH(QString, xml);
        QFETCH(QString, message);
        ReportEngine engine;
        engine.setLanguage(ReportLanguage::English);
        engine.setDataProvider(m_provider.get());
        const QString path = write(xml);
        engine.loadFromFile(path);
        const ReportPrepareResult result = engine.prepare();
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains(message), qPrintable(result.message));
        QVERIFY2(result.message.contains(path), qPrintable(result.message));
        QVERIFY(engine.document().pages.isEmpty());
        QVERIFY(!engine.isPrepared());
        QCOMPARE(ReportViewer(engine).printPreparedReport({}), 0);
    }

    // What the engine tells the user, in the user's language and naming the file: a missing
    // definition, a definition that is not valid, a report that cannot be prepared, an export
    // that cannot be written.
    void messagesInTheUsersLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Thai") << int(ReportLanguage::Thai)
                              << QStringList{QStringLiteral("ไม่พบไฟล์รายงาน \"%1\""),
                                             QStringLiteral("ไฟล์รายงาน \"%1\" ไม่ถูกต้อง บรรทัดที่ 4: unknown element"),
                                             QStringLiteral("สร้างรายงานจากไฟล์ \"%1\" ไม่ได้: Line 5: the expression"),
                                             QStringLiteral("บันทึกไฟล์ \"%1\" ไม่ได้: ไม่พบโฟลเดอร์ \"%2\"")};
        QTest::newRow("English") << int(ReportLanguage::English)
                                 << QStringList{QStringLiteral("The report file \"%1\" does not exist"),
                                                QStringLiteral("The report file \"%1\" is not valid: line 4: unknown element"),
                                                QStringLiteral("The report of \"%1\" cannot be prepared: Line 5: the expression"),
                                                QStringLiteral("Cannot write \"%1\": the folder \"%2\" does not exist")};
    }

    void messagesInTheUsersLanguage()
    {
        QFETCH(int, language);
        QFETCH(QStringList, expected);
        ReportEngine engine;
        engine.setLanguage(ReportLanguage(language));
        engine.setDataProvider(m_provider.get());

        const QString absent = m_dir.filePath(QStringLiteral("absent.xml"));
        QVERIFY(!engine.loadFromFile(absent));
        QCOMPARE(engine.prepare().message, expected.at(0).arg(absent));

        const QString invalid = write(wrap(QStringLiteral("  <detailBand height=\"5\"/>\n")));
        QVERIFY(!engine.loadFromFile(invalid));
        QVERIFY2(engine.loadError().startsWith(expected.at(1).arg(invalid)), qPrintable(engine.loadError()));

        const QString failing = write(wrap(QStringLiteral(
            "  <summary height=\"5\">\n    <text name=\"Bad\" width=\"20\" height=\"5\">[Qty Qty]</text>\n  </summary>\n")));
        QVERIFY(engine.loadFromFile(failing));
        const ReportPrepareResult result = engine.prepare();
        QVERIFY2(result.message.startsWith(expected.at(2).arg(failing)), qPrintable(result.message));

        QVERIFY(engine.loadFromFile(write(wrap(QString()))));
        QVERIFY(engine.prepare().ok);
        const QString folder = m_dir.filePath(QStringLiteral("no-such-folder"));
        for (const auto format : {ReportExport::Format::Csv, ReportExport::Format::Pdf, ReportExport::Format::Xlsx}) {
            const QString target = folder + QStringLiteral("/out.") + ReportExport::extension(format);
            try {
                engine.exportTo(format, target);
                QFAIL("the export into a missing folder did not fail");
            } catch (const EInOutError &error) {
                QCOMPARE(error.message(), expected.at(3).arg(target, folder));
            }
        }
    }

    void missingFileAndClearedEngineFail()
    {
        ReportEngine engine;
        QVERIFY(!engine.loadFromFile(m_dir.filePath(QStringLiteral("absent.xml"))));
        ReportPrepareResult result = engine.prepare();
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains(QStringLiteral("absent.xml")), qPrintable(result.message));

        QVERIFY(engine.loadFromFile(
            write(wrap(QStringLiteral("  <summary height=\"5\"><text width=\"20\" height=\"5\">[X]</text></summary>\n")))));
        engine.setVariable(QStringLiteral("X"), QStringLiteral("'kept'"));
        engine.setDataProvider(m_provider.get());
        QVERIFY(engine.prepare().ok);
        engine.clear();
        QVERIFY(engine.variable(QStringLiteral("X")).isEmpty());
        result = engine.prepare();
        QVERIFY(!result.ok);
        QVERIFY(engine.document().pages.isEmpty());
    }

    // The example in the engine's README loads and runs as documented.
    void readmeExampleRuns()
    {
        QFile readme(QString::fromLocal8Bit(qgetenv("TARVO_SOURCE_DIR")) + QStringLiteral("/platform/report/README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(readme.readAll());
        const qsizetype start = text.indexOf(QStringLiteral("```xml\n"));
        const qsizetype end = text.indexOf(QStringLiteral("```"), start + 7);
        QVERIFY(start >= 0 && end > start);
        ReportEngine engine;
        engine.setDataProvider(m_provider.get());
        QVERIFY(engine.loadFromFile(write(text.mid(start + 7, end - start - 7))));
        engine.setVariable(QStringLiteral("GetYear"), QStringLiteral("2024"));
        QStringList calls;
        engine.setFunctionHandler(
            [&calls](const QString &name, const QStringList &arguments, ReportExpressionEvaluator &evaluator, QVariant &result) {
                calls.append(name);
                result = evaluator.evaluate(arguments.at(0)).toDouble() > 0 ? QStringLiteral("บาท") : QString();
            });
        const ReportPrepareResult result = engine.prepare();
        QVERIFY2(result.ok, qPrintable(result.message));
        // Laid out twice (the group header shows its total before the rows).
        QCOMPARE(calls, (QStringList{QStringLiteral("TELL_REAL_THAI"), QStringLiteral("TELL_REAL_THAI")}));
        QCOMPARE(engine.document().pages.size(), 1);
    }

    // A picture is read from a file beside the definition; a missing one names the line.
    void picturesLoadBesideTheDefinition()
    {
        QImage logo(40, 20, QImage::Format_RGB32);
        logo.fill(Qt::red);
        QVERIFY(logo.save(m_dir.filePath(QStringLiteral("logo.png"))));
        ReportEngine engine;
        engine.setDataProvider(m_provider.get());
        QVERIFY(engine.loadFromFile(
            write(wrap(QStringLiteral("  <reportTitle height=\"20\">\n    <picture name=\"Logo\" left=\"0\" top=\"0\" "
                                      "width=\"40\" height=\"20\" file=\"logo.png\"/>\n  </reportTitle>\n")))));
        QVERIFY(engine.prepare().ok);
        const ReportPageItem &item = engine.document().pages.first().items.first();
        QCOMPARE(item.objectName, QStringLiteral("Logo"));
        QCOMPARE(item.picture.size(), QSize(40, 20));

        QVERIFY(!engine.loadFromFile(
            write(wrap(QStringLiteral("  <reportTitle height=\"20\">\n    <picture left=\"0\" top=\"0\" width=\"40\" "
                                      "height=\"20\" file=\"absent.png\"/>\n  </reportTitle>\n")))));
        QVERIFY2(engine.loadError().contains(QStringLiteral("บรรทัดที่ 5: picture file")), qPrintable(engine.loadError()));
    }

    void templateTextSplitsFields()
    {
        const auto parts = ReportTemplateText::parse(QStringLiteral("Total [IIF(A > 0, '[x]', \"]\")] of [[B]"));
        QCOMPARE(parts.size(), 3);
        QCOMPARE(parts.at(0).text, QStringLiteral("Total "));
        QVERIFY(parts.at(1).isExpression);
        QCOMPARE(parts.at(1).text, QStringLiteral("IIF(A > 0, '[x]', \"]\")"));
        QCOMPARE(parts.at(2).text, QStringLiteral(" of [B]"));
    }

    void numberPatterns_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::newRow("grouping") << 1234567.891 << QStringLiteral("#,##0.00") << QStringLiteral("1,234,567.89");
        QTest::newRow("negative") << -1234.5 << QStringLiteral("#,##0.00") << QStringLiteral("-1,234.50");
        QTest::newRow("rounds away") << 2.5 << QStringLiteral("0") << QStringLiteral("3");
        QTest::newRow("hash zero") << 0.0 << QStringLiteral("#") << QString();
        QTest::newRow("hash fraction") << 0.5 << QStringLiteral(" #,###,###.###### ") << QStringLiteral(" .5 ");
        QTest::newRow("no decimals shown") << 7.0 << QStringLiteral("###,###,##0.###### ") << QStringLiteral("7 ");
        QTest::newRow("fixed decimals") << 1.0 << QStringLiteral(" #,###,##0.00 ") << QStringLiteral(" 1.00 ");
        QTest::newRow("thousands") << 12000.0 << QStringLiteral("###,###,##0 ") << QStringLiteral("12,000 ");
        QTest::newRow("literal text") << 5.0 << QStringLiteral("'฿' #,##0.00") << QStringLiteral("฿ 5.00");
        QTest::newRow("negative section") << -5.0 << QStringLiteral("#,##0;(#,##0)") << QStringLiteral("(5)");
        QTest::newRow("zero section") << 0.0 << QStringLiteral("#,##0;(#,##0);-") << QStringLiteral("-");
        QTest::newRow("negative rounds to zero") << -0.001 << QStringLiteral("0.00") << QStringLiteral("0.00");
    }

    void numberPatterns()
    {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QCOMPARE(ReportNumberFormat::format(value, pattern), text);
    }

    void sqlParametersOutsideQuotesAndComments()
    {
        const QString sql = QStringLiteral("SELECT ':NotMe', [a:b] -- :Nor\nFROM T /* :Neither */ WHERE Y = :GetYear "
                                           "AND Z = :getyear AND W = :Other AND V::int = 1");
        QCOMPARE(ReportSqlParameters::names(sql), (QStringList{QStringLiteral("GetYear"), QStringLiteral("Other")}));
    }

    void pageSelection()
    {
        ReportPrintOptions options;
        QCOMPARE(ReportPrinter::selectedPages(4, options), (QList<int>{0, 1, 2, 3}));
        options.pageList = QStringLiteral("1, 3-4,9");
        QCOMPARE(ReportPrinter::selectedPages(5, options), (QList<int>{0, 2, 3}));
        options.pageList = QStringLiteral("4-");
        QCOMPARE(ReportPrinter::selectedPages(6, options), (QList<int>{3, 4, 5}));
        options.pageList.clear();
        options.choice = ReportPrintOptions::PageChoice::Even;
        QCOMPARE(ReportPrinter::selectedPages(5, options), (QList<int>{1, 3}));
        options.choice = ReportPrintOptions::PageChoice::Odd;
        QCOMPARE(ReportPrinter::selectedPages(5, options), (QList<int>{0, 2, 4}));
        options.pageList = QStringLiteral("2-x");
        QVERIFY_THROWS_EXCEPTION(EConvertError, ReportPrinter::selectedPages(5, options));
        QCOMPARE(ReportPrinter::sequence({0, 1, 2}, 2, true), (QList<int>{0, 1, 2, 0, 1, 2}));
        QCOMPARE(ReportPrinter::sequence({0, 1, 2}, 2, false), (QList<int>{0, 0, 1, 1, 2, 2}));
    }
};

QTEST_MAIN(TestReportDefinition)
#include "tst_reportdefinition.moc"
