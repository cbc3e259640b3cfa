#include "platform/core/Exceptions.h"
#include "text/ThaiBahtText.h"

#include <QTest>

#include <limits>

using namespace platform;

class TestThaiBahtText : public QObject
{
    Q_OBJECT

private slots:
    void digitWords();
    void numberWords_data();
    void numberWords();
    void bahtText_data();
    void bahtText();
    void refusesWhatItCannotWrite_data();
    void refusesWhatItCannotWrite();
};

void TestThaiBahtText::digitWords()
{
    const QStringList plain = {"หนึ่ง", "สอง", "สาม", "สี่", "ห้า", "หก", "เจ็ด", "แปด", "เก้า"};
    for (int digit = 1; digit <= 9; ++digit) {
        QCOMPARE(ThaiDigitWord(digit, false, false), plain.at(digit - 1));
        // Only 1 has a units form and only 2 a tens form.
        QCOMPARE(ThaiDigitWord(digit, true, false), digit == 1 ? QStringLiteral("เอ็ด") : plain.at(digit - 1));
        QCOMPARE(ThaiDigitWord(digit, false, true), digit == 2 ? QStringLiteral("ยี่") : plain.at(digit - 1));
    }
    QCOMPARE(ThaiDigitWord(0, false, false), QString());
    QCOMPARE(ThaiDigitWord(10, false, false), QString());
}

void TestThaiBahtText::numberWords_data()
{
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << qint64(0) << "";
    QTest::newRow("15") << qint64(15) << "สิบห้า";
    QTest::newRow("21") << qint64(21) << "ยี่สิบเอ็ด";
    QTest::newRow("101") << qint64(101) << "หนึ่งร้อยหนึ่ง";
    QTest::newRow("10,000,001") << qint64(10000001) << "สิบล้านหนึ่ง";
    QTest::newRow("1,000,011") << qint64(1000011) << "หนึ่งล้านสิบเอ็ด";
    QTest::newRow("110,000") << qint64(110000) << "หนึ่งแสนหนึ่งหมื่น";
    QTest::newRow("million million") << qint64(1000000000000LL) << "หนึ่งล้านล้าน";
    QTest::newRow("64-bit max") << std::numeric_limits<qint64>::max()
                                << "เก้าล้านสองแสนสองหมื่นสามพันสามร้อยเจ็ดสิบสองล้าน"
                                   "สามหมื่นหกพันแปดร้อยห้าสิบสี่ล้าน"
                                   "เจ็ดแสนเจ็ดหมื่นห้าพันแปดร้อยเจ็ด";
    QTest::newRow("negative") << qint64(-15) << "ลบสิบห้า";
    QTest::newRow("64-bit min") << std::numeric_limits<qint64>::min()
                                << "ลบเก้าล้านสองแสนสองหมื่นสามพันสามร้อยเจ็ดสิบสองล้าน"
                                   "สามหมื่นหกพันแปดร้อยห้าสิบสี่ล้าน"
                                   "เจ็ดแสนเจ็ดหมื่นห้าพันแปดร้อยแปด";
}

void TestThaiBahtText::numberWords()
{
    QFETCH(qint64, number);
    QFETCH(QString, expected);
    QCOMPARE(ThaiNumberWords(number), expected);
}

void TestThaiBahtText::bahtText_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");

    auto row = [](const char *name, double amount, int decimals, const char *expected) {
        QTest::newRow(name) << amount << decimals << QString::fromUtf8(expected);
    };
    row("1", 1, 2, "หนึ่งบาทถ้วน");
    row("10", 10, 2, "สิบบาทถ้วน");
    row("11", 11, 2, "สิบเอ็ดบาทถ้วน");
    row("21.25", 21.25, 2, "ยี่สิบเอ็ดบาทยี่สิบห้าสตางค์");
    row("101", 101, 2, "หนึ่งร้อยหนึ่งบาทถ้วน");
    row("1,001", 1001, 2, "หนึ่งพันหนึ่งบาทถ้วน");
    row("200", 200, 2, "สองร้อยบาทถ้วน");
    row("1,000,000", 1000000, 2, "หนึ่งล้านบาทถ้วน");
    row("21,000,001", 21000001, 2, "ยี่สิบเอ็ดล้านหนึ่งบาทถ้วน");
    row("12,345,678.90", 12345678.90, 2, "สิบสองล้านสามแสนสี่หมื่นห้าพันหกร้อยเจ็ดสิบแปดบาทเก้าสิบสตางค์");
    row("0.50", 0.5, 2, "บาทห้าสิบสตางค์");
    row("0.001", 0.001, 2, "บาทถ้วน");
    row("0", 0, 2, "");
    row("5 with 0 decimals", 5, 0, "ห้าบาทถ้วน");
    row("1.5 with 3 decimals", 1.5, 3, "หนึ่งบาทห้าร้อยสตางค์");

    row("20", 20, 2, "ยี่สิบบาทถ้วน");
    row("21", 21, 2, "ยี่สิบเอ็ดบาทถ้วน");
    row("100", 100, 2, "หนึ่งร้อยบาทถ้วน");
    row("111", 111, 2, "หนึ่งร้อยสิบเอ็ดบาทถ้วน");
    row("1,000,001", 1000001, 2, "หนึ่งล้านหนึ่งบาทถ้วน");
    row("10,000,000", 10000000, 2, "สิบล้านบาทถ้วน");
    row("2,147,483,647", 2147483647, 2, "สองพันหนึ่งร้อยสี่สิบเจ็ดล้านสี่แสนแปดหมื่นสามพันหกร้อยสี่สิบเจ็ดบาทถ้วน");
    row("0.01", 0.01, 2, "บาทหนึ่งสตางค์");
    row("0.21", 0.21, 2, "บาทยี่สิบเอ็ดสตางค์");
    row("0.999 is one baht", 0.999, 2, "หนึ่งบาทถ้วน");
    row("0.125 rounds up", 0.125, 2, "บาทสิบสามสตางค์");
    row("2.675 rounds on its decimal value", 2.675, 2, "สองบาทหกสิบแปดสตางค์");
    row("0.5 with 0 decimals", 0.5, 0, "หนึ่งบาทถ้วน");

    row("three decimals", 1.234, 3, "หนึ่งบาทสองร้อยสามสิบสี่สตางค์");
    row("three decimals with leading zeros", 1.005, 3, "หนึ่งบาทห้าสตางค์");
    row("three decimals rounded", 1.0005, 3, "หนึ่งบาทหนึ่งสตางค์");
    row("three decimals all zero", 7, 3, "เจ็ดบาทถ้วน");
    row("decimals above 18 taken as 18", 1.5, 25, "หนึ่งบาทห้าแสนล้านล้านสตางค์");
    row("decimals below 0 taken as 0", 1.5, -1, "สองบาทถ้วน");

    row("negative", -123.45, 2, "ลบหนึ่งร้อยยี่สิบสามบาทสี่สิบห้าสตางค์");
    row("negative whole", -1, 2, "ลบหนึ่งบาทถ้วน");
    row("negative below one baht", -0.5, 2, "ลบบาทห้าสิบสตางค์");
    row("negative rounding to zero has no sign", -0.001, 2, "บาทถ้วน");

    row("2,147,483,648", 2147483648.0, 2, "สองพันหนึ่งร้อยสี่สิบเจ็ดล้านสี่แสนแปดหมื่นสามพันหกร้อยสี่สิบแปดบาทถ้วน");
    row("3,000,000,000.25", 3000000000.25, 2, "สามพันล้านบาทยี่สิบห้าสตางค์");
    row("million million", 1e12, 2, "หนึ่งล้านล้านบาทถ้วน");
    row("9E18", 9e18, 2, "เก้าล้านล้านล้านบาทถ้วน");
    row("negative 64-bit", -5e15, 2, "ลบห้าพันล้านล้านบาทถ้วน");
}

void TestThaiBahtText::bahtText()
{
    QFETCH(double, amount);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(ThaiBahtText(amount, decimals), expected);
}

void TestThaiBahtText::refusesWhatItCannotWrite_data()
{
    QTest::addColumn<double>("amount");
    QTest::newRow("just above 64-bit") << 9223372036854775807.0; // the double is 2^63
    QTest::newRow("1E19") << 1e19;
    QTest::newRow("negative 1E19") << -1e19;
    QTest::newRow("1E300") << 1e300;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
}

void TestThaiBahtText::refusesWhatItCannotWrite()
{
    QFETCH(double, amount);
    try {
        const QString text = ThaiBahtText(amount, 2);
        QFAIL(qPrintable(QStringLiteral("written as ") + text));
    } catch (const EConvertError &error) {
        QVERIFY(!error.message().isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestThaiBahtText)
#include "tst_thaibahttext.moc"
