// The number pattern formatter on an arbitrary pattern and value: no crash, no hang, an output
// bounded by the pattern's length, and for plain digit patterns ("#,##0.00", "0.###", ...) a
// text that reads back as the value rounded to the pattern's decimals.
//
// Input: 8 bytes of the double (any bit pattern: NaN, infinities, subnormals), then the pattern
// as UTF-8.

#include "FuzzCheck.h"
#include "platform/core/Exceptions.h"
#include "platform/format/Conversions.h"
#include "platform/format/FormatFloat.h"

#include <QRegularExpression>

#include <cmath>

using namespace platform;

namespace {

// The longest text a pattern can give: each pattern character at most once, plus a sign, 18
// integer digits at the first digit place, an exponent of three digits and a sign where the
// pattern has only "E+" or "E-", and one thousands separator per three integer digits (the
// general form is 24 characters at most).
qsizetype maxLength(const QString &pattern)
{
    return pattern.size() + (pattern.size() + 18) / 3 + 32;
}

QString describe(const QString &pattern, double value, const QString &out)
{
    return QStringLiteral("pattern %1 value %2 gave %3").arg(quoted(pattern), QString::number(value, 'g', 17), quoted(out));
}

// A pattern of digit places, thousands separators and at most one point.
bool isPlainPattern(const QString &pattern)
{
    static const QRegularExpression plain(QRegularExpression::anchoredPattern(QStringLiteral("[0#,]*(\\.[0#,]*)?")));
    return (pattern.contains(u'0') || pattern.contains(u'#')) && plain.match(pattern).hasMatch();
}

void checkPlainPattern(const QString &pattern, double value, const QString &out)
{
    const auto detail = [&] { return describe(pattern, value, out); };
    const qsizetype point = pattern.indexOf(u'.');
    const QString integerPlaces = point < 0 ? pattern : pattern.left(point);
    const QString fractionPlaces = point < 0 ? QString() : pattern.mid(point + 1);
    const int decimals = int(fractionPlaces.count(u'0') + fractionPlaces.count(u'#'));
    int minDecimals = 0;
    {
        int place = 0;
        for (QChar c : fractionPlaces) {
            if (c == u'0' || c == u'#')
                ++place;
            if (c == u'0')
                minDecimals = place;
        }
    }
    const qsizetype firstZero = integerPlaces.indexOf(u'0');
    int minIntegerDigits = 0;
    if (firstZero >= 0)
        minIntegerDigits = int(integerPlaces.mid(firstZero).count(u'0') + integerPlaces.mid(firstZero).count(u'#'));

    if (out.contains(u'E')) {
        // The general form, only for magnitudes of 1E18 and more.
        FUZZ_CHECK(std::fabs(value) >= 9.99999999999999e17, detail());
        FUZZ_CHECK(StrToFloat(out) == value, detail());
        return;
    }

    QString number = out;
    const bool negative = number.startsWith(u'-');
    if (negative)
        number.remove(0, 1);
    const qsizetype outPoint = number.indexOf(u'.');
    const QString integerPart = outPoint < 0 ? number : number.left(outPoint);
    const QString fractionPart = outPoint < 0 ? QString() : number.mid(outPoint + 1);

    static const QRegularExpression grouped(QRegularExpression::anchoredPattern(QStringLiteral("([0-9]{1,3}(,[0-9]{3})*)?")));
    static const QRegularExpression digitsOnly(QRegularExpression::anchoredPattern(QStringLiteral("[0-9]*")));
    FUZZ_CHECK((pattern.contains(u',') ? grouped : digitsOnly).match(integerPart).hasMatch(), detail());
    FUZZ_CHECK(digitsOnly.match(fractionPart).hasMatch(), detail());
    FUZZ_CHECK(outPoint < 0 || !fractionPart.isEmpty(), detail());
    FUZZ_CHECK(fractionPart.size() >= minDecimals && fractionPart.size() <= decimals, detail());
    FUZZ_CHECK(QString(integerPart).remove(u',').size() >= minIntegerDigits, detail());

    const QString plain = QString(number).remove(u',');
    const double magnitude = plain.isEmpty() ? 0.0 : StrToFloat(plain);
    FUZZ_CHECK(!negative || magnitude != 0, detail());
    FUZZ_CHECK(!negative || value < 0, detail());
    const double shown = negative ? -magnitude : magnitude;
    const double tolerance = 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(value) * 1e-15;
    FUZZ_CHECK(std::fabs(shown - value) <= tolerance, detail());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzReader reader(data, size);
    const double value = reader.take<double>();
    const QString pattern = reader.restAsUtf8();

    const QString out = FormatFloat(pattern, value);
    const auto detail = [&] { return describe(pattern, value, out); };
    FUZZ_CHECK(out.size() <= maxLength(pattern), detail());
    if (std::isnan(value))
        FUZZ_CHECK(out == QLatin1String("NAN"), detail());
    else if (std::isinf(value))
        FUZZ_CHECK(out == QLatin1String(value < 0 ? "-INF" : "INF"), detail());
    else if (isPlainPattern(pattern))
        checkPlainPattern(pattern, value, out);
    return 0;
}
