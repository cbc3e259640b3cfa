#include "ReportFixture.h"
#include "SqliteReportProvider.h"

#include "platform/report/ReportEngine.h"

#include <QLocale>
#include <QtTest>

using namespace platform;

// Variables, host functions and errors while a report runs.
class TestReportScript : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SqliteReportProvider> m_provider;

    QString write(const QString &summaryObjects, const QString &extra = QString())
    {
        static int count = 0;
        const QString path = m_dir.filePath(QStringLiteral("script%1.xml").arg(++count));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(
            QStringLiteral(
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<report name=\"S\">\n"
                "  <dataset name=\"Sales\"><sql>SELECT Id, Qty, Price FROM Sales WHERE Id &lt;= 3 ORDER BY Id</sql></dataset>\n%1"
                "  <summary height=\"5\">\n%2  </summary>\n</report>\n")
                .arg(extra, summaryObjects)
                .toUtf8());
        return path;
    }

    static QString text(const ReportEngine &engine, const QString &name)
    {
        for (const ReportPage &page : engine.document().pages) {
            for (const ReportPageItem &item : page.items) {
                if (item.objectName == name)
                    return item.text;
            }
        }
        return QStringLiteral("<missing>");
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(m_dir.isValid());
        ReportFixture::createSales(QStringLiteral("script"), m_dir.filePath(QStringLiteral("s.sqlite")), 10);
        m_provider = std::make_unique<SqliteReportProvider>(QStringLiteral("script"));
    }

    // Variables hold expressions: quoted texts (a quote inside kept), booleans, numbers, and
    // expressions over other variables; names match without regard to case.
    void variablesAreExpressions()
    {
        ReportEngine engine;
        engine.setDataProvider(m_provider.get());
        QVERIFY(engine.loadFromFile(
            write(QStringLiteral("    <text name=\"Title\" width=\"80\" height=\"5\">[rptitle]</text>\n"
                                 "    <text name=\"Cond\" width=\"80\" height=\"5\">[[[CONDITION]]</text>\n"
                                 "    <text name=\"Flag\" width=\"80\" height=\"5\">[IIF(PntDateSet, 'yes', 'no')]</text>\n"
                                 "    <text name=\"Year\" width=\"80\" height=\"5\">[GetYear + 1]</text>\n"
                                 "    <text name=\"Next\" width=\"80\" height=\"5\">[NextYear]</text>\n"
                                 "    <checkBox name=\"Box\" width=\"5\" height=\"5\" expression=\"PNTDATESET\"/>\n"),
                  QStringLiteral("  <variable name=\"NextYear\">getyear + 1</variable>\n"))));
        engine.setVariable(QStringLiteral("RPTITLE"), QStringLiteral("'รายงานแสกงจำนวน โควต้า'"));
        engine.setVariable(QStringLiteral("CONDITION"), QStringLiteral("'O\\'Neil'"));
        engine.setVariable(QStringLiteral("PNTDATESET"), QStringLiteral("true"));
        engine.setVariable(QStringLiteral("GetYear"), QStringLiteral("2024"));
        const ReportPrepareResult result = engine.prepare();
        QVERIFY2(result.ok, qPrintable(result.message));
        QCOMPARE(text(engine, QStringLiteral("Title")), QStringLiteral("รายงานแสกงจำนวน โควต้า"));
        QCOMPARE(text(engine, QStringLiteral("Cond")), QStringLiteral("[O'Neil]"));
        QCOMPARE(text(engine, QStringLiteral("Flag")), QStringLiteral("yes"));
        QCOMPARE(text(engine, QStringLiteral("Year")), QStringLiteral("2025"));
        QCOMPARE(text(engine, QStringLiteral("Next")), QStringLiteral("2025"));

        // Setting a variable again (in other case) replaces it.
        engine.setVariable(QStringLiteral("getyear"), QStringLiteral("1999"));
        QVERIFY(engine.prepare().ok);
        QCOMPARE(text(engine, QStringLiteral("Next")), QStringLiteral("2000"));
    }

    // Unknown functions go to the host with the name as written and the argument texts; the
    // host evaluates them on request, and names in any case reach it. A name it does not know
    // leaves the result empty.
    void hostFunctionsWithMixedCaseAndThreeArguments()
    {
        ReportEngine engine;
        engine.setDataProvider(m_provider.get());
        QVERIFY(engine.loadFromFile(write(
            QStringLiteral(
                "    <text name=\"Three\" width=\"80\" height=\"5\">[OnhandQuantityLSUnit(SUM(Qty) * 2, 7, 1 + 1)]</text>\n"
                "    <text name=\"Upper\" width=\"80\" height=\"5\">[ONHANDQUANTITY(Qty, 3)]</text>\n"
                "    <text name=\"Lower\" width=\"80\" height=\"5\">[onhandquantity(Price, 3)]</text>\n"
                "    <text name=\"Nested\" width=\"80\" height=\"5\">[Tell_Real_Thai(OnHandQuantity(1, 2).length, 0)]</text>\n"
                "    <text name=\"Unknown\" width=\"80\" height=\"5\">[NoSuchFunction('x')]|</text>\n"
                "    <text name=\"Time\" width=\"80\" height=\"5\" dateFormat=\"yyyy-MM-dd HH:mm\">[GetServerTime()]</text>\n"),
            QStringLiteral("  <masterData dataset=\"Sales\" height=\"0\"/>\n"))));
        QStringList seen;
        engine.setFunctionHandler(
            [&seen](const QString &name, const QStringList &arguments, ReportExpressionEvaluator &evaluator, QVariant &result) {
                seen.append(name + QLatin1Char('(') + arguments.join(QLatin1Char('|')) + QLatin1Char(')'));
                const QString upper = name.toUpper();
                if (upper == QLatin1String("ONHANDQUANTITYLSUNIT")) {
                    // Evaluated in the order quantity, part, unit id.
                    const double quantity = evaluator.evaluate(arguments.at(0)).toDouble();
                    const int part = evaluator.evaluate(arguments.at(2)).toInt();
                    const int unit = evaluator.evaluate(arguments.at(1)).toInt();
                    result = QStringLiteral("%1/%2/%3").arg(quantity).arg(unit).arg(part);
                } else if (upper == QLatin1String("ONHANDQUANTITY")) {
                    result = QStringLiteral("q=%1 u=%2")
                                 .arg(evaluator.evaluate(arguments.at(0)).toDouble())
                                 .arg(evaluator.evaluate(arguments.at(1)).toInt());
                } else if (upper == QLatin1String("TELL_REAL_THAI")) {
                    result = QStringLiteral("%1 บาท").arg(evaluator.evaluate(arguments.at(0)).toInt());
                } else if (upper == QLatin1String("GETSERVERTIME")) {
                    result = QDateTime(QDate(2024, 5, 17), QTime(13, 45, 10));
                }
            });
        const ReportPrepareResult result = engine.prepare();
        QVERIFY2(result.ok, qPrintable(result.message));
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("script")));
        QVERIFY(query.exec(QStringLiteral("SELECT SUM(Qty), (SELECT Qty FROM Sales WHERE Id = 3), (SELECT Price FROM Sales WHERE "
                                          "Id = 3) FROM Sales WHERE Id <= 3")) &&
                query.next());
        QCOMPARE(text(engine, QStringLiteral("Three")), QStringLiteral("%1/7/2").arg(query.value(0).toInt() * 2));
        QCOMPARE(text(engine, QStringLiteral("Upper")), QStringLiteral("q=%1 u=3").arg(query.value(1).toInt()));
        QCOMPARE(text(engine, QStringLiteral("Lower")), QStringLiteral("q=%1 u=3").arg(query.value(2).toDouble()));
        QCOMPARE(text(engine, QStringLiteral("Nested")), QStringLiteral("7 บาท"));
        QCOMPARE(text(engine, QStringLiteral("Unknown")), QStringLiteral("|"));
        QCOMPARE(text(engine, QStringLiteral("Time")), QStringLiteral("2024-05-17 13:45"));
        QVERIFY(seen.contains(QStringLiteral("OnhandQuantityLSUnit(SUM(Qty) * 2|7|1 + 1)")));
        QVERIFY(seen.contains(QStringLiteral("ONHANDQUANTITY(Qty|3)")));
        QVERIFY(seen.contains(QStringLiteral("onhandquantity(Price|3)")));
        QVERIFY(seen.contains(QStringLiteral("NoSuchFunction('x')")));
        QVERIFY(seen.contains(QStringLiteral("GetServerTime()")));

        // Built-in functions match without regard to case too.
        QVERIFY(engine.loadFromFile(write(QStringLiteral("    <text name=\"B\" width=\"80\" height=\"5\">[formatfloat('#,##0.0', "
                                                         "1234.56)] [Iif(1 = 1, 'a', 'b')] [UpperCase('x')] [count()]</text>\n"),
                                          QStringLiteral("  <masterData dataset=\"Sales\" height=\"0\"/>\n"))));
        QVERIFY(engine.prepare().ok);
        QCOMPARE(text(engine, QStringLiteral("B")), QStringLiteral("1,234.6 a X 3"));
    }

    // The host can evaluate any expression, not only its arguments, in the current row.
    void evaluatorOnRequest()
    {
        ReportEngine engine;
        engine.setDataProvider(m_provider.get());
        QVERIFY(engine.loadFromFile(write(QString(),
                                          QStringLiteral("  <masterData dataset=\"Sales\" height=\"5\"><text name=\"Row\" "
                                                         "width=\"80\" height=\"5\">[Describe()]</text></masterData>\n"))));
        engine.setVariable(QStringLiteral("Factor"), QStringLiteral("10"));
        int calls = 0;
        engine.setFunctionHandler(
            [&calls](const QString &, const QStringList &, ReportExpressionEvaluator &evaluator, QVariant &result) {
                ++calls;
                result = evaluator.evaluate(QStringLiteral("Id * Factor + Sales.Qty * 0")).toString() + QLatin1Char(':') +
                    evaluator.evaluate(QStringLiteral("LINE")).toString();
            });
        const ReportPrepareResult result = engine.prepare();
        QVERIFY2(result.ok, qPrintable(result.message));
        QStringList rows;
        for (const ReportPageItem &item : engine.document().pages.first().items) {
            if (item.objectName == QLatin1String("Row"))
                rows.append(item.text);
        }
        QCOMPARE(rows, (QStringList{QStringLiteral("10:1"), QStringLiteral("20:2"), QStringLiteral("30:3")}));
        // Nothing needs the page count or a total before its rows: one layout run, one call a row.
        QCOMPARE(calls, 3);
    }

    // Faults while the report runs fail prepare naming the object; exceptions of the host's
    // handler and of the data provider reach the caller unchanged.
    void runTimeFaults()
    {
        ReportEngine engine;
        engine.setDataProvider(m_provider.get());
        QVERIFY(
            engine.loadFromFile(write(QStringLiteral("    <text name=\"Typo\" width=\"80\" height=\"5\">[Qtty + 1]</text>\n"))));
        ReportPrepareResult result = engine.prepare();
        QVERIFY(!result.ok);
        QVERIFY2(result.message.endsWith(QStringLiteral(": object Typo (line 5): unknown name \"Qtty\"")),
                 qPrintable(result.message));

        QVERIFY(engine.loadFromFile(
            write(QStringLiteral("    <text name=\"Thrower\" width=\"80\" height=\"5\">[Qty.toFixed(200)]</text>\n"))));
        result = engine.prepare();
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains(QStringLiteral(": object Thrower (line 5): RangeError")), qPrintable(result.message));

        QVERIFY(engine.loadFromFile(
            write(QStringLiteral("    <text name=\"Loop\" width=\"80\" height=\"5\">[A]</text>\n"),
                  QStringLiteral("  <variable name=\"A\">B + 1</variable>\n  <variable name=\"B\">A + 1</variable>\n"))));
        result = engine.prepare();
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains(QStringLiteral("refers to itself")), qPrintable(result.message));

        QVERIFY(engine.loadFromFile(
            write(QStringLiteral("    <text name=\"Server\" width=\"80\" height=\"5\">[GetServerTime()]</text>\n"))));
        engine.setFunctionHandler([](const QString &, const QStringList &, ReportExpressionEvaluator &, QVariant &) {
            throw EDatabaseError(QStringLiteral("Could not find stored procedure 'ServerTime'."));
        });
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, engine.prepare());
        QVERIFY(!engine.isPrepared());

        // An argument the host evaluates that fails names the object whose expression called it.
        QVERIFY(engine.loadFromFile(
            write(QStringLiteral("    <text name=\"Caller\" width=\"80\" height=\"5\">[Host(Nope)]</text>\n"))));
        engine.setFunctionHandler([](const QString &, const QStringList &arguments, ReportExpressionEvaluator &evaluator,
                                     QVariant &result) { result = evaluator.evaluate(arguments.at(0)); });
        result = engine.prepare();
        QVERIFY(!result.ok);
        QVERIFY2(result.message.endsWith(QStringLiteral(": object Caller (line 5): unknown name \"Nope\"")),
                 qPrintable(result.message));

        QVERIFY(engine.loadFromFile(
            write(QString(), QStringLiteral("  <dataset name=\"Broken\"><sql>SELECT Nothing FROM NoTable</sql></dataset>\n"))));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, engine.prepare());
    }
};

QTEST_MAIN(TestReportScript)
#include "tst_reportscript.moc"
