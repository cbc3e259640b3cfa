#include "platform/core/Exceptions.h"
#include "platform/format/Conversions.h"
#include "platform/format/DateFormat.h"

#include <QTest>

#include <limits>

using namespace platform;

class TestConversions : public QObject
{
    Q_OBJECT

private slots:
    void strToInt_data();
    void strToInt();
    void strToIntRefuses_data();
    void strToIntRefuses();
    void strToInt64();
    void strToFloat_data();
    void strToFloat();
    void strToFloatRefuses_data();
    void strToFloatRefuses();
    void strToDate_data();
    void strToDate();
    void strToDateRefuses_data();
    void strToDateRefuses();
    void twoDigitYears_data();
    void twoDigitYears();
    void dateToStr();
    void dateTimeToStr();
};

void TestConversions::strToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << "123" << 123;
    QTest::newRow("blanks around") << " \t42  " << 42;
    QTest::newRow("minus") << "-7" << -7;
    QTest::newRow("plus") << "+7" << 7;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("hex dollar") << "$1F" << 31;
    QTest::newRow("hex 0x") << "0x1f" << 31;
    QTest::newRow("negative hex") << "-$10" << -16;
    QTest::newRow("max") << "2147483647" << std::numeric_limits<int>::max();
    QTest::newRow("min") << "-2147483648" << std::numeric_limits<int>::min();
    QTest::newRow("hex max") << "$7FFFFFFF" << std::numeric_limits<int>::max();
}

void TestConversions::strToInt()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(StrToInt(text), expected);
}

void TestConversions::strToIntRefuses_data()
{
    QTest::addColumn<QString>("text");
    for (const char *text : {"abc", "", "   ", "12a", " 12a ", "2147483648", "-2147483649", "99999999999999999999", "1.5",
                             "1,000", "$", "0x", "$FFFFFFFF", "- 5", "5-", "1 2", "$G"})
        QTest::newRow(text[0] ? text : "empty") << QString::fromUtf8(text);
    QTest::newRow("thai digits") << QStringLiteral("๑๒");
}

void TestConversions::strToIntRefuses()
{
    QFETCH(QString, text);
    try {
        StrToInt(text);
        QFAIL("no error raised");
    } catch (const EConvertError &error) {
        QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
}

void TestConversions::strToInt64()
{
    QCOMPARE(StrToInt64("9223372036854775807"), std::numeric_limits<qint64>::max());
    QCOMPARE(StrToInt64(" -9223372036854775808 "), std::numeric_limits<qint64>::min());
    QCOMPARE(StrToInt64("$7FFFFFFFFFFFFFFF"), std::numeric_limits<qint64>::max());
    QCOMPARE(StrToInt64("2147483648"), qint64(2147483648LL));
    for (const char *text : {"9223372036854775808", "-9223372036854775809", "x1", ""}) {
        try {
            StrToInt64(text);
            QFAIL(text);
        } catch (const EConvertError &error) {
            QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
}

void TestConversions::strToFloat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("decimal") << "1.5" << 1.5;
    QTest::newRow("blanks and sign") << " -2.25 " << -2.25;
    QTest::newRow("plus") << "+3" << 3.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("negative exponent") << "1E-2" << 0.01;
    QTest::newRow("exponent with plus") << "2.5e+2" << 250.0;
    QTest::newRow("no integer digits") << ".5" << 0.5;
    QTest::newRow("no decimals") << "5." << 5.0;
    QTest::newRow("nearest double") << "0.1" << 0.1;
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("underflow is zero") << "1e-400" << 0.0;
    QTest::newRow("many zeros then underflow") << "0.000000001e-400" << 0.0;
    QTest::newRow("huge exponent on zero") << "0e99999" << 0.0;
    QTest::newRow("largest") << "1.7976931348623157e308" << std::numeric_limits<double>::max();
}

void TestConversions::strToFloat()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(StrToFloat(text), expected);
}

void TestConversions::strToFloatRefuses_data()
{
    QTest::addColumn<QString>("text");
    for (const char *text : {"x", "", " ", "1,5", "1.2.3", "1e", "e5", ".", "-", "1e400", "1000e99999", "inf", "nan", "--1",
                             "1 000", "0x10", "1.5x"})
        QTest::newRow(text[0] ? text : "empty") << QString::fromUtf8(text);
}

void TestConversions::strToFloatRefuses()
{
    QFETCH(QString, text);
    try {
        StrToFloat(text);
        QFAIL("no error raised");
    } catch (const EConvertError &error) {
        QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }
}

void TestConversions::strToDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("full") << "15/06/2024" << QDate(2024, 6, 15);
    QTest::newRow("day first") << "01/02/2024" << QDate(2024, 2, 1);
    QTest::newRow("one-digit day and month") << "1/2/2024" << QDate(2024, 2, 1);
    QTest::newRow("blanks around") << "  31/12/1999 " << QDate(1999, 12, 31);
    QTest::newRow("leap day") << "29/02/2024" << QDate(2024, 2, 29);
}

void TestConversions::strToDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    QCOMPARE(StrToDate(text), expected);
}

void TestConversions::strToDateRefuses_data()
{
    QTest::addColumn<QString>("text");
    for (const char *text :
         {"31/02/2024", "29/02/2023",   "32/01/2024", "00/01/2024",  "15/13/2024",  "15/00/2024",       "2024-06-15",
          "15/06",      "15/06/2024/1", "",           "123/01/2024", "15/006/2024", "15/06/024",        "15/06/12345",
          "15//2024",   "/06/2024",     "15/06/",     "0/0/0000",    "15.06.2024",  "15/06/2024 10:00", "a/b/c"})
        QTest::newRow(text[0] ? text : "empty") << QString::fromUtf8(text);
}

void TestConversions::strToDateRefuses()
{
    QFETCH(QString, text);
    try {
        StrToDate(text);
        QFAIL("no error raised");
    } catch (const EConvertError &error) {
        QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid date").arg(text));
    }
}

void TestConversions::twoDigitYears_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("currentYear");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("recent") << "1/1/24" << 2025 << QDate(2024, 1, 1);
    QTest::newRow("oldest of window") << "1/1/75" << 2025 << QDate(1975, 1, 1);
    QTest::newRow("newest of window") << "1/1/74" << 2025 << QDate(2074, 1, 1);
    QTest::newRow("one digit") << "1/1/5" << 2025 << QDate(2005, 1, 1);
    QTest::newRow("century turn 49") << "1/1/49" << 2000 << QDate(2049, 1, 1);
    QTest::newRow("century turn 50") << "1/1/50" << 2000 << QDate(1950, 1, 1);
    QTest::newRow("four digits as given") << "1/1/1900" << 2025 << QDate(1900, 1, 1);
}

void TestConversions::twoDigitYears()
{
    QFETCH(QString, text);
    QFETCH(int, currentYear);
    QFETCH(QDate, expected);
    QCOMPARE(StrToDate(text, currentYear), expected);
}

void TestConversions::dateToStr()
{
    QCOMPARE(DateToStr(QDate(2024, 6, 5)), QStringLiteral("05/06/2024"));
    QCOMPARE(DateToStr(QDate()), QString());
    QCOMPARE(DateFormat::shortDateFormat(), QStringLiteral("DD/MM/YYYY"));
    for (const QDate &date : {QDate(2024, 2, 29), QDate(1999, 12, 31), QDate(2031, 1, 9)})
        QCOMPARE(StrToDate(DateToStr(date)), date);
}

void TestConversions::dateTimeToStr()
{
    const QDate day(2024, 6, 5);
    QCOMPARE(DateTimeToStr(QDateTime(day, QTime(0, 0))), QStringLiteral("05/06/2024"));
    QCOMPARE(DateTimeToStr(QDateTime(day, QTime(13, 4, 5))), QStringLiteral("05/06/2024 13:04:05"));
    QCOMPARE(DateTimeToStr(QDateTime(day, QTime(0, 0, 0, 500))), QStringLiteral("05/06/2024 00:00:00"));
    QCOMPARE(DateTimeToStr(QDateTime()), QString());
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
