// Properties of the number and date texts over pseudo-random samples: two-decimal patterns round
// the decimal value the user sees, half away from zero; FloatToStr writes the shortest text that
// StrToFloat reads back as the same double; integers and dates read back from the text written
// for them.

#include "platform/core/Exceptions.h"
#include "platform/format/Conversions.h"
#include "platform/format/FormatFloat.h"

#include <QDate>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

using namespace platform;

namespace {

qint64 powerOfTen(int exponent)
{
    qint64 p = 1;
    while (exponent-- > 0)
        p *= 10;
    return p;
}

// cents as "-1234.05"; no sign for zero.
QString centsText(qint64 cents, bool negative)
{
    const QString text = QString::number(cents / 100) + u'.' + QString::number(cents % 100).rightJustified(2, u'0');
    return negative && cents != 0 ? u'-' + text : text;
}

// The same with the integer digits grouped by thousands.
QString groupedCentsText(qint64 cents, bool negative)
{
    QString integer = QString::number(cents / 100);
    for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
        integer.insert(i, u',');
    const QString text = integer + u'.' + QString::number(cents % 100).rightJustified(2, u'0');
    return negative && cents != 0 ? u'-' + text : text;
}

// The significant digits of a number text: no sign, point, exponent, leading or trailing zeros.
QString significantDigits(QString text)
{
    text.remove(u'-');
    const qsizetype exponent = text.indexOf(QRegularExpression(QStringLiteral("[eE]")));
    if (exponent >= 0)
        text.truncate(exponent);
    text.remove(u'.');
    while (text.startsWith(u'0'))
        text.remove(0, 1);
    while (text.endsWith(u'0'))
        text.chop(1);
    return text;
}

QString g17(double value)
{
    return QString::number(value, 'g', 17);
}

} // namespace

class TestNumberProperties : public QObject
{
    Q_OBJECT

private slots:
    // Decimals of up to 15 significant digits, many of them exact halves at the third decimal:
    // "0.00" gives the decimal rounded half away from zero, "#,##0.00" the same grouped.
    void twoDecimalsRoundTheDecimalValue()
    {
        QRandomGenerator random(0x5EED0201u);
        for (int i = 0; i < 5000; ++i) {
            const int integerDigits = int(random.bounded(0, 13));
            const qint64 integer = integerDigits == 0 ? 0 : qint64(random.bounded(quint64(powerOfTen(integerDigits))));
            const int decimals = int(random.bounded(0, 4));
            qint64 fraction = decimals == 0 ? 0 : qint64(random.bounded(quint64(powerOfTen(decimals))));
            if (decimals == 3 && random.bounded(2) == 0)
                fraction = fraction - fraction % 10 + 5; // an exact half in the decimal text
            const bool negative = random.bounded(2) == 0;

            QString text = QString::number(integer);
            if (decimals > 0)
                text += u'.' + QString::number(fraction).rightJustified(decimals, u'0');
            if (negative)
                text.prepend(u'-');
            bool ok = false;
            const double value = text.toLatin1().toDouble(&ok);
            QVERIFY(ok);

            const qint64 units = integer * powerOfTen(decimals) + fraction;
            const qint64 cents = decimals <= 2 ? units * powerOfTen(2 - decimals) : (units + 5) / 10;
            QVERIFY2(FormatFloat(QStringLiteral("0.00"), value) == centsText(cents, negative),
                     qPrintable(text + QStringLiteral(" gave ") + FormatFloat(QStringLiteral("0.00"), value)));
            QVERIFY2(FormatFloat(QStringLiteral("#,##0.00"), value) == groupedCentsText(cents, negative),
                     qPrintable(text + QStringLiteral(" gave ") + FormatFloat(QStringLiteral("#,##0.00"), value)));
        }
    }

    // Any double below 10^13: "0.00" gives its shortest decimal text (as Qt writes it) rounded
    // half away from zero at the third decimal.
    void twoDecimalsOfArbitraryDoubles()
    {
        QRandomGenerator random(0x5EED0202u);
        for (int i = 0; i < 5000; ++i) {
            const double magnitude = std::ldexp(random.generateDouble(), int(random.bounded(-30, 44)));
            const bool negative = random.bounded(2) == 0;
            const double value = negative ? -magnitude : magnitude;

            const QString shortest = QString::number(magnitude, 'f', QLocale::FloatingPointShortest);
            const qsizetype point = shortest.indexOf(u'.');
            const QString integer = point < 0 ? shortest : shortest.left(point);
            const QString fraction = (point < 0 ? QString() : shortest.mid(point + 1)).leftJustified(3, u'0');
            const qint64 cents = integer.toLongLong() * 100 + fraction.left(2).toLongLong() + (fraction.at(2) >= u'5' ? 1 : 0);
            QVERIFY2(FormatFloat(QStringLiteral("0.00"), value) == centsText(cents, negative),
                     qPrintable(g17(value) + QStringLiteral(" (") + shortest + QStringLiteral(") gave ") +
                                FormatFloat(QStringLiteral("0.00"), value)));
        }
    }

    // Any finite double, subnormals and the extremes included, from its bit pattern: FloatToStr
    // writes the shortest digits that identify it, with an exponent exactly for magnitudes of
    // 10^15 and more or below 0.00001, and StrToFloat reads that text back as the same double.
    void floatTextReadsBackAsTheSameDouble()
    {
        QRandomGenerator random(0x5EED0203u);
        const double edges[] = {0.0,
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::max(),
                                std::nextafter(1e15, 0.0),
                                1e15,
                                1.0000000000000001e-05,
                                std::nextafter(1.0000000000000001e-05, 0.0),
                                0.1,
                                2.675};
        for (int i = 0; i < 20000 + int(std::size(edges)); ++i) {
            double value = 0;
            if (i < int(std::size(edges))) {
                value = edges[i];
            } else {
                const quint64 bits = random.generate64();
                std::memcpy(&value, &bits, sizeof value);
                if (!std::isfinite(value))
                    continue;
            }
            for (double x : {value, -value}) {
                const QString text = FloatToStr(x);
                QVERIFY2(StrToFloat(text) == x, qPrintable(g17(x) + QStringLiteral(" -> ") + text));
                if (x == 0)
                    continue;
                QCOMPARE(significantDigits(text), significantDigits(QString::number(x, 'e', QLocale::FloatingPointShortest)));
                const bool exponentForm = std::fabs(x) >= 1e15 || std::fabs(x) < 1e-5;
                QVERIFY2(text.contains(u'E') == exponentForm, qPrintable(g17(x) + QStringLiteral(" -> ") + text));
            }
        }
    }

    // Integers written in decimal or hexadecimal read back; dates written by DateToStr read back
    // whatever the current year; a two-digit year lands within 50 years of the current one.
    void integersAndDatesReadBack()
    {
        QRandomGenerator random(0x5EED0204u);
        for (int i = 0; i < 5000; ++i) {
            const quint64 bits = random.generate64();
            const qint64 n = qint64(bits >> random.bounded(64));
            const qint64 signedN = random.bounded(2) ? n : -n;
            QCOMPARE(StrToInt64(QString::number(signedN)), signedN);
            const QString hex = QString::number(quint64(signedN < 0 ? 0 - quint64(signedN) : quint64(signedN)), 16);
            QCOMPARE(StrToInt64((signedN < 0 ? QStringLiteral("-$") : QStringLiteral("$")) + hex.toUpper()), signedN);
            QCOMPARE(StrToInt64((signedN < 0 ? QStringLiteral("-0x") : QStringLiteral("0x")) + hex), signedN);
            const int small = int(random.generate());
            QCOMPARE(StrToInt(QStringLiteral(" ") + QString::number(small) + QStringLiteral("\t")), small);

            const qint64 firstDay = QDate(1, 1, 1).toJulianDay();
            const qint64 lastDay = QDate(9999, 12, 31).toJulianDay();
            const QDate date = QDate::fromJulianDay(firstDay + qint64(random.bounded(quint64(lastDay - firstDay + 1))));
            const int currentYear = int(random.bounded(1900, 2200));
            QCOMPARE(StrToDate(DateToStr(date), currentYear), date);

            const QString shortText = QStringLiteral("%1/%2/%3").arg(date.day()).arg(date.month()).arg(date.year() % 100);
            try {
                const QDate read = StrToDate(shortText, currentYear);
                QVERIFY2(read.year() >= currentYear - 50 && read.year() < currentYear + 50 &&
                             read.year() % 100 == date.year() % 100 && read.month() == date.month() && read.day() == date.day(),
                         qPrintable(shortText + QStringLiteral(" in %1 read as ").arg(currentYear) + DateToStr(read)));
            } catch (const EConvertError &) {
                // Only 29 February of a year whose century-neighbour is no leap year is refused.
                QVERIFY2(date.month() == 2 && date.day() == 29, qPrintable(shortText));
            }
        }
        QCOMPARE(StrToInt64(QStringLiteral("-$8000000000000000")), std::numeric_limits<qint64>::min());
    }
};

QTEST_GUILESS_MAIN(TestNumberProperties)
#include "tst_numberproperties.moc"
