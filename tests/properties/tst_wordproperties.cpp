// Properties of the Thai words for numbers and amounts over whole ranges and pseudo-random
// samples: different numbers read differently, words hold no digits, whole amounts end in
// "บาทถ้วน", and the millions recursion holds across the 64-bit range.

#include "platform/core/Exceptions.h"
#include "text/ThaiBahtText.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace platform;

namespace {

const QString wholeBaht = QStringLiteral("บาทถ้วน");
const QString million = QStringLiteral("ล้าน");
constexpr qint64 int64Max = std::numeric_limits<qint64>::max();
constexpr qint64 exactDoubleLimit = qint64(1) << 53; // every integer below is a double

bool hasDigit(const QString &text)
{
    for (QChar c : text) {
        if ((c >= u'0' && c <= u'9') || (c >= u'\u0E50' && c <= u'\u0E59'))
            return true;
    }
    return false;
}

qint64 powerOfTen(int exponent)
{
    qint64 p = 1;
    while (exponent-- > 0)
        p *= 10;
    return p;
}

// A non-negative number below `limit` with a uniformly chosen count of digits, often placed next
// to a carry (…999 or …000) where the words change the most.
qint64 sampleNumber(QRandomGenerator &random, qint64 limit)
{
    int maxDigits = 1;
    for (qint64 v = (limit - 1) / 10; v > 0; v /= 10)
        ++maxDigits;
    const int digits = int(random.bounded(1, maxDigits + 1));
    const qint64 low = digits == 1 ? 0 : powerOfTen(digits - 1);
    const qint64 high = digits == maxDigits ? limit - 1 : powerOfTen(digits) - 1;
    qint64 n = low + qint64(random.bounded(quint64(high - low) + 1));
    const qint64 p = powerOfTen(int(random.bounded(1, std::min(digits, 18) + 1)));
    switch (random.bounded(3)) {
    case 0: // ends in a row of nines: n + 1 carries
        if (n - n % p <= limit - p)
            n = n - n % p + (p - 1);
        break;
    case 1: // ends in a row of zeros
        n -= n % p;
        break;
    default:
        break;
    }
    return n;
}

QString describe(qint64 n, const QString &words)
{
    return QString::number(n) + QStringLiteral(": ") + words;
}

} // namespace

class TestWordProperties : public QObject
{
    Q_OBJECT

private slots:
    // Every number from 0 to 100,001 has its own words, without a digit in them.
    void numberWordsUpToHundredThousandAreAllDifferent()
    {
        QSet<QString> seen;
        seen.reserve(100002);
        for (qint64 n = 0; n <= 100001; ++n) {
            const QString words = ThaiNumberWords(n);
            QVERIFY2(!hasDigit(words), qPrintable(describe(n, words)));
            QVERIFY2(!seen.contains(words), qPrintable(describe(n, words)));
            seen.insert(words);
        }
        QCOMPARE(seen.size(), 100002);
    }

    // Sampled across the whole 64-bit range, negative numbers included: n and n + 1 read
    // differently, no digit appears, and a negative number reads "ลบ" and its absolute value.
    void neighboursReadDifferentlyAcrossTheRange()
    {
        QRandomGenerator random(0x5EED0001u);
        for (int i = 0; i < 4000; ++i) {
            qint64 n = sampleNumber(random, int64Max);
            if (random.bounded(4) == 0)
                n = -n - 1;
            const QString words = ThaiNumberWords(n);
            const QString next = ThaiNumberWords(n + 1);
            QVERIFY2(words != next, qPrintable(describe(n, words)));
            QVERIFY2(!hasDigit(words), qPrintable(describe(n, words)));
            if (n < 0 && n != std::numeric_limits<qint64>::min())
                QCOMPARE(words, QStringLiteral("ลบ") + ThaiNumberWords(-n));
        }
        const qint64 ends[] = {int64Max - 1, std::numeric_limits<qint64>::min(), -1, 0};
        for (qint64 n : ends)
            QVERIFY2(ThaiNumberWords(n) != ThaiNumberWords(n + 1), qPrintable(QString::number(n)));
    }

    // Numbers of a million and more read as the words of the millions, "ล้าน", then the words of
    // the rest, at every size up to the 64-bit limit.
    void millionsReadAsTheirOwnNumber()
    {
        QRandomGenerator random(0x5EED0002u);
        for (int i = 0; i < 3000; ++i) {
            const qint64 millions = 1 + sampleNumber(random, (int64Max - 999999) / 1000000);
            const qint64 rest = sampleNumber(random, 1000000);
            const qint64 n = millions * 1000000 + rest;
            QCOMPARE(ThaiNumberWords(n), ThaiNumberWords(millions) + million + ThaiNumberWords(rest));
        }
        QCOMPARE(ThaiNumberWords(int64Max), ThaiNumberWords(int64Max / 1000000) + million + ThaiNumberWords(int64Max % 1000000));
    }

    // Whole amounts, below 2^53 where every integer is a double: the words of n and of n + 1
    // differ, and each is the number's words followed by "บาทถ้วน".
    void wholeAmountsOfNeighboursReadDifferently()
    {
        QRandomGenerator random(0x5EED0003u);
        for (int i = 0; i < 4000; ++i) {
            const qint64 n = 1 + sampleNumber(random, exactDoubleLimit - 2);
            const QString text = ThaiBahtText(double(n), 0);
            QCOMPARE(text, ThaiNumberWords(n) + wholeBaht);
            QVERIFY2(text != ThaiBahtText(double(n + 1), 0), qPrintable(describe(n, text)));
            const QString negative = ThaiBahtText(-double(n), int(random.bounded(19)));
            QCOMPARE(negative, QStringLiteral("ลบ") + text);
        }
    }

    // A whole amount ends in "บาทถ้วน" whatever the number of decimals asked for, up to the
    // largest double below 2^63.
    void wholeAmountsEndInBahtThuan()
    {
        QRandomGenerator random(0x5EED0004u);
        for (int i = 0; i < 4000; ++i) {
            const double amount = double(1 + sampleNumber(random, int64Max / 2));
            const int decimals = int(random.bounded(-2, 25));
            const QString text = ThaiBahtText(amount, decimals);
            QVERIFY2(text.endsWith(wholeBaht), qPrintable(QString::number(amount, 'g', 17) + QStringLiteral(": ") + text));
            QVERIFY2(!hasDigit(text), qPrintable(text));
        }
        QVERIFY(ThaiBahtText(9223372036854774784.0, 2).endsWith(wholeBaht));
    }

    // Amounts with satang: consecutive satang counts read differently, the words hold no digit,
    // and the text ends in "สตางค์" or, when the satang round away, "บาทถ้วน".
    void amountsWithSatang()
    {
        QRandomGenerator random(0x5EED0005u);
        for (int i = 0; i < 4000; ++i) {
            const qint64 cents = sampleNumber(random, qint64(1) << 40);
            const QString text = ThaiBahtText(double(cents) / 100, 2);
            const QString next = ThaiBahtText(double(cents + 1) / 100, 2);
            QVERIFY2(text != next, qPrintable(describe(cents, text)));
            QVERIFY2(!hasDigit(text), qPrintable(describe(cents, text)));
            if (cents != 0)
                QVERIFY2(text.endsWith(cents % 100 ? QStringLiteral("สตางค์") : wholeBaht), qPrintable(describe(cents, text)));

            // Any double of any size, any number of decimals: words or a refusal, never digits.
            const double amount = std::ldexp(random.generateDouble() - 0.5, int(random.bounded(-80, 70)));
            try {
                const QString words = ThaiBahtText(amount, int(random.bounded(-3, 22)));
                QVERIFY2(!hasDigit(words), qPrintable(words));
                QVERIFY(std::fabs(amount) < 9223372036854775808.0);
            } catch (const EConvertError &) {
                QVERIFY2(std::fabs(amount) >= 9223372036854775808.0, qPrintable(QString::number(amount, 'g', 17)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestWordProperties)
#include "tst_wordproperties.moc"
