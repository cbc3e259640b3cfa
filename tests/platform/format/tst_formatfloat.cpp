#include "platform/format/Conversions.h"
#include "platform/format/FormatFloat.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace platform;

class TestFormatFloat : public QObject
{
    Q_OBJECT

private slots:
    void formatFloat_data();
    void formatFloat();
    void floatToStr_data();
    void floatToStr();
    void floatToStrReadsBack();
};

void TestFormatFloat::formatFloat_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    auto row = [](const char *name, const QString &pattern, double value, const QString &expected) {
        QTest::newRow(name) << pattern << value << expected;
    };

    // Small-unit remainder pattern: '#' only, up to six decimals.
    const QString onhand = QStringLiteral(" #,###,###.###### ");
    row("onhand 1", onhand, 1, " 1 ");
    row("onhand 1.5", onhand, 1.5, " 1.5 ");
    row("onhand 0.5 has no leading zero", onhand, 0.5, " .5 ");
    row("onhand zero shows no digit", onhand, 0, "  ");
    row("onhand grouping", onhand, 1234567.25, " 1,234,567.25 ");
    row("onhand overflowing integer places", onhand, 1234567890, " 1,234,567,890 ");
    row("onhand six decimals rounded", onhand, 0.1234567, " .123457 ");
    row("onhand rounds to zero", onhand, 0.0000004, "  ");
    row("onhand trailing decimal zeros dropped", onhand, 2.5, " 2.5 ");

    const QString twoDecimals = QStringLiteral(" #,###,##0.00 ");
    row("two decimals 1", twoDecimals, 1, " 1.00 ");
    row("two decimals 0", twoDecimals, 0, " 0.00 ");
    row("two decimals grouping", twoDecimals, 1234.5, " 1,234.50 ");
    row("two decimals below one", twoDecimals, 0.5, " 0.50 ");

    const QString noDecimals = QStringLiteral(" #,###,##0. ");
    row("point without decimals 1.5", noDecimals, 1.5, " 2 ");
    row("point without decimals 0.4", noDecimals, 0.4, " 0 ");

    const QString whole = QStringLiteral("###,###,##0 ");
    row("whole 2", whole, 2, "2 ");
    row("whole 0", whole, 0, "0 ");
    row("whole 1000", whole, 1000, "1,000 ");
    row("whole million", whole, 1234567, "1,234,567 ");
    row("whole billion overflows places", whole, 1234567890, "1,234,567,890 ");

    const QString plain = QStringLiteral("###,###,##0.###### ");
    row("plain 25", plain, 25, "25 ");
    row("plain 7.125", plain, 7.125, "7.125 ");
    row("plain 0", plain, 0, "0 ");
    row("plain 0.5", plain, 0.5, "0.5 ");
    row("plain grouping with decimals", plain, 1234567.125, "1,234,567.125 ");

    const QString part = QStringLiteral(" ######.###### ");
    row("part 1", part, 1, " 1 ");
    row("fraction 1.5", part, 1.5, " 1.5 ");
    row("part no grouping", part, 1234567, " 1234567 ");
    row("fraction 0.25", part, 0.25, " .25 ");

    const QString total = QStringLiteral("#,##0.00;-#,##0.00");
    row("total positive", total, 1234567.5, "1,234,567.50");
    row("total negative section", total, -1250, "-1,250.00");
    row("total zero", total, 0, "0.00");
    row("total negative rounding to zero has no sign", total, -0.001, "0.00");
    row("total 0.125 half up", total, 0.125, "0.13");
    row("total -0.125 half away from zero", total, -0.125, "-0.13");
    row("total 2.675 on its decimal value", total, 2.675, "2.68");
    row("total -2.675", total, -2.675, "-2.68");
    row("total 1.005", total, 1.005, "1.01");
    row("total 0.1+0.2", total, 0.1 + 0.2, "0.30");

    row("number box", QStringLiteral(",0"), 1234567, "1,234,567");
    row("number box 0", QStringLiteral(",0"), 0, "0");
    row("number box 12", QStringLiteral(",0"), 12, "12");
    row("number box negative", QStringLiteral(",0"), -1234, "-1,234");
    row("number box rounds up to group", QStringLiteral(",0"), 999.5, "1,000");

    row("year 2024", QStringLiteral("0000"), 2024, "2024");
    row("year padded", QStringLiteral("0000"), 5, "0005");
    row("year zero", QStringLiteral("0000"), 0, "0000");
    row("year wider than places", QStringLiteral("0000"), 12345, "12345");

    row("half up 0.5", QStringLiteral("0"), 0.5, "1");
    row("half up 1.5", QStringLiteral("0"), 1.5, "2");
    row("half up 2.5", QStringLiteral("0"), 2.5, "3");
    row("half away -2.5", QStringLiteral("0"), -2.5, "-3");
    row("below half", QStringLiteral("0"), 0.49, "0");
    row("carry through nines", QStringLiteral("0.00"), 9.995, "10.00");

    row("hash zero gives nothing", QStringLiteral("#"), 0, "");
    row("hash decimals zero gives nothing", QStringLiteral("#.##"), 0, "");
    row("hash integer below one", QStringLiteral("#.##"), 0.5, ".5");
    row("zero integer below one", QStringLiteral("0.##"), 0.5, "0.5");
    row("zero from first zero on", QStringLiteral("#0#"), 5, "05");
    row("decimals up to last zero", QStringLiteral("0.0#0#"), 1.5, "1.500");
    row("decimals shown when significant", QStringLiteral("0.0#0#"), 1.2345, "1.2345");
    row("later points ignored", QStringLiteral("0.0.0"), 1.25, "1.25");

    row("negative section brackets", QStringLiteral("0.00;(0.00)"), -1.5, "(1.50)");
    row("negative section unused for positive", QStringLiteral("0.00;(0.00)"), 1.5, "1.50");
    row("zero section", QStringLiteral("0.00;(0.00);'zero'"), 0, "zero");
    row("zero section after rounding", QStringLiteral("0.00;(0.00);'zero'"), -0.001, "zero");
    row("empty negative section uses positive", QStringLiteral("0.00;;'zero'"), -1.5, "-1.50");
    row("empty zero section uses positive", QStringLiteral("0.00;-0.00;"), 0, "0.00");
    row("minus before literal text", QStringLiteral("$#,##0"), -5, "-$5");

    row("single-quoted literal", QStringLiteral("'Total: '#,##0"), 1500, "Total: 1,500");
    row("double-quoted literal with semicolon", QStringLiteral("\"a;b\" 0"), 5, "a;b 5");
    row("placeholders inside quotes are text", QStringLiteral("'#0,' 0"), 7, "#0, 7");
    row("literal after digits", QStringLiteral("0 kg"), 3, "3 kg");
    row("literal between digits", QStringLiteral("00-00"), 1234, "12-34");
    row("no digit places", QStringLiteral("'abc'"), 5, "abc");

    row("scientific", QStringLiteral("0.00E+00"), 1234, "1.23E+03");
    row("scientific small", QStringLiteral("0.00E+00"), 0.000123, "1.23E-04");
    row("scientific no plus", QStringLiteral("0.00E-00"), 1234, "1.23E03");
    row("scientific hashes", QStringLiteral("0.##E+0"), 1000, "1E+3");
    row("scientific zero", QStringLiteral("0.00E+00"), 0, "0.00E+00");
    row("scientific negative", QStringLiteral("0.00E+00"), -1234, "-1.23E+03");
    row("scientific two integer digits", QStringLiteral("00.0E+0"), 12345, "12.3E+3");
    row("scientific carry", QStringLiteral("0.00E+00"), 9.999, "1.00E+01");

    row("18 integer digits stay fixed", QStringLiteral("0"), 123456789012345678.0, "123456789012345680");
    row("1E18 and above in general form", QStringLiteral("#,##0"), 1e20, "1E20");
    row("empty pattern general form", QString(), 1.5, "1.5");
    row("nan", QStringLiteral("0.00"), std::numeric_limits<double>::quiet_NaN(), "NAN");
    row("infinity", QStringLiteral("0.00"), std::numeric_limits<double>::infinity(), "INF");
    row("negative infinity", QStringLiteral("0.00"), -std::numeric_limits<double>::infinity(), "-INF");
}

void TestFormatFloat::formatFloat()
{
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatFloat(pattern, value), expected);
}

void TestFormatFloat::floatToStr_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("1.5") << 1.5 << "1.5";
    QTest::newRow("120") << 120.0 << "120";
    QTest::newRow("0.1") << 0.1 << "0.1";
    QTest::newRow("negative") << -3.0 << "-3";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("no thousands separator") << 1234567.5 << "1234567.5";
    QTest::newRow("shortest, not 17 digits") << 2.675 << "2.675";
    QTest::newRow("needs 17 digits") << 0.1 + 0.2 << "0.30000000000000004";
    QTest::newRow("15 integer digits fixed") << 999999999999999.0 << "999999999999999";
    QTest::newRow("16 integer digits exponent") << 1e15 << "1E15";
    QTest::newRow("1E20") << 1e20 << "1E20";
    QTest::newRow("mantissa with decimals") << -2.5e16 << "-2.5E16";
    QTest::newRow("0.00001 fixed") << 0.00001 << "0.00001";
    QTest::newRow("below 0.00001 exponent") << 0.000001 << "1E-6";
    QTest::newRow("small with decimals") << 1.5e-10 << "1.5E-10";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "NAN";
    QTest::newRow("infinity") << -std::numeric_limits<double>::infinity() << "-INF";
}

void TestFormatFloat::floatToStr()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FloatToStr(value), expected);
}

void TestFormatFloat::floatToStrReadsBack()
{
    const double values[] = {0.1,  1.0 / 3, 2.0 / 3 * 1e10,    123.456, 5e-324, 1e308, 1.7976931348623157e308,
                             4.35, 99.99,   -7.000000000000001};
    for (double value : values) {
        const QString text = FloatToStr(value);
        QCOMPARE(StrToFloat(text), value);
        QVERIFY2(!text.contains(QLatin1Char(',')), qPrintable(text));
    }
}

QTEST_GUILESS_MAIN(TestFormatFloat)
#include "tst_formatfloat.moc"
