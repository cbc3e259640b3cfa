#include "text/ThaiBahtText.h"

#include "platform/core/Exceptions.h"
#include "platform/format/DecimalDigits.h"
#include "platform/format/FormatFloat.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

const QString million = QStringLiteral("ล้าน");
const QString hundredThousand = QStringLiteral("แสน");
const QString tenThousand = QStringLiteral("หมื่น");
const QString thousand = QStringLiteral("พัน");
const QString hundred = QStringLiteral("ร้อย");
const QString ten = QStringLiteral("สิบ");

QString wordsOf(quint64 n)
{
    QString text;
    const quint64 millions = n / 1000000;
    if (millions >= 1 && millions <= 9)
        text += ThaiDigitWord(int(millions), false, false) + million;
    else if (millions >= 10)
        text += wordsOf(millions) + million;

    struct Place {
        quint64 divisor;
        const QString &word;
    };
    const Place places[] = {{100000, hundredThousand}, {10000, tenThousand}, {1000, thousand}, {100, hundred}};
    for (const Place &place : places) {
        const int digit = int(n / place.divisor % 10);
        if (digit > 0)
            text += ThaiDigitWord(digit, false, false) + place.word;
    }

    const int tens = int(n % 100 / 10);
    if (tens >= 2)
        text += ThaiDigitWord(tens, false, true) + ten;
    else if (tens == 1)
        text += ten;

    const int units = int(n % 10);
    if (units > 0) {
        if (text.isEmpty())
            text += ThaiDigitWord(units, false, false);
        else if (text.endsWith(hundred) || text.endsWith(million) || text.endsWith(thousand) || text.endsWith(hundredThousand) ||
                 text.endsWith(tenThousand))
            text += ThaiDigitWord(units, false, false);
        else
            text += ThaiDigitWord(units, true, false);
    }
    return text;
}

constexpr int maxDecimals = 18;

} // namespace

QString ThaiDigitWord(int digit, bool unitsForm, bool tensForm)
{
    if (unitsForm && digit == 1)
        return QStringLiteral("เอ็ด");
    if (tensForm && digit == 2)
        return QStringLiteral("ยี่");
    static const QStringList words = {QStringLiteral("หนึ่ง"), QStringLiteral("สอง"), QStringLiteral("สาม"),
                                      QStringLiteral("สี่"),   QStringLiteral("ห้า"),  QStringLiteral("หก"),
                                      QStringLiteral("เจ็ด"), QStringLiteral("แปด"), QStringLiteral("เก้า")};
    if (digit < 1 || digit > 9)
        return {};
    return words.at(digit - 1);
}

QString ThaiNumberWords(qint64 number)
{
    if (number < 0)
        return QStringLiteral("ลบ") + wordsOf(quint64(-(number + 1)) + 1);
    return wordsOf(quint64(number));
}

QString ThaiBahtText(double amount, int decimals)
{
    if (amount == 0)
        return {};
    if (!std::isfinite(amount))
        throw EConvertError(QStringLiteral("'%1' is not an amount that can be written in words").arg(FloatToStr(amount)));

    const int places = std::clamp(decimals, 0, maxDecimals);
    const DecimalDigits rounded = DecimalDigits::fromDouble(amount).roundedToDecimals(places);

    const QByteArray integerDigits = rounded.integerDigits();
    bool fits = true;
    const qint64 baht = integerDigits.isEmpty() ? 0 : integerDigits.toLongLong(&fits);
    if (!fits)
        throw EConvertError(QStringLiteral("The amount %1 is too large to be written in words: the baht part must "
                                           "not exceed 9,223,372,036,854,775,807")
                                .arg(FloatToStr(amount)));

    // At most 18 digits: always fits a 64-bit integer.
    const QByteArray fractionDigits = rounded.fractionDigits(places);
    const qint64 satang = fractionDigits.isEmpty() ? 0 : fractionDigits.toLongLong();

    QString text = wordsOf(quint64(baht)) + QStringLiteral("บาท");
    if (satang < 1)
        text += QStringLiteral("ถ้วน");
    else
        text += wordsOf(quint64(satang)) + QStringLiteral("สตางค์");
    if (rounded.isNegative())
        text.prepend(QStringLiteral("ลบ"));
    return text;
}
