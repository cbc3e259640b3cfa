// Thai amounts in words on arbitrary doubles, decimal counts and 64-bit numbers, and the on-hand
// quantity texts built on the same formatter. No crash; words never contain ASCII digits; an
// amount is refused, with EConvertError only, exactly when it is not finite or its baht part does
// not fit 64 bits; whole amounts read as the number's words followed by "บาทถ้วน".
//
// Input: double amount, int32 decimals, int64 number, uint8 digit and flags, int64 unit fraction,
// int8 on-hand decimals, then UTF-8 text for the unit names.

#include "FuzzCheck.h"
#include "platform/core/Exceptions.h"
#include "text/OnhandQuantity.h"
#include "text/ThaiBahtText.h"

#include <QStringList>

#include <cmath>
#include <limits>

using namespace platform;

namespace {

const QString minus = QStringLiteral("ลบ");
const QString wholeBaht = QStringLiteral("บาทถ้วน");
const QString satang = QStringLiteral("สตางค์");

void checkNumberWords(qint64 number)
{
    const QString words = ThaiNumberWords(number);
    const auto detail = [&] { return QString::number(number) + QStringLiteral(": ") + words; };
    FUZZ_CHECK(!hasAsciiDigit(words), detail());
    FUZZ_CHECK(words.isEmpty() == (number == 0), detail());
    FUZZ_CHECK(words.startsWith(minus) == (number < 0), detail());
    if (number < 0 && number != std::numeric_limits<qint64>::min())
        FUZZ_CHECK(words == minus + ThaiNumberWords(-number), detail());
    if (number < std::numeric_limits<qint64>::max())
        FUZZ_CHECK(words != ThaiNumberWords(number + 1), detail());
    // A million and more: the words of the millions, "ล้าน", then the words of the rest.
    if (number >= 1000000)
        FUZZ_CHECK(words == ThaiNumberWords(number / 1000000) + QStringLiteral("ล้าน") + ThaiNumberWords(number % 1000000),
                   detail());
}

void checkAmount(double amount, int decimals)
{
    const auto detail = [&] {
        return QStringLiteral("amount %1 decimals %2").arg(QString::number(amount, 'g', 17)).arg(decimals);
    };
    // 2^63: every double below it has a baht part that fits 64 bits, whatever the rounding.
    const double limit = 9223372036854775808.0;
    const bool writable = std::isfinite(amount) && std::fabs(amount) < limit;
    QString text;
    try {
        text = ThaiBahtText(amount, decimals);
    } catch (const EConvertError &e) {
        FUZZ_CHECK(!writable, detail() + QStringLiteral(" refused: ") + e.message());
        FUZZ_CHECK(!e.message().isEmpty(), detail());
        return;
    }
    FUZZ_CHECK(writable, detail() + QStringLiteral(" was written: ") + text);
    const auto shown = [&] { return detail() + QStringLiteral(": ") + text; };
    FUZZ_CHECK(!hasAsciiDigit(text), shown());
    FUZZ_CHECK(text.isEmpty() == (amount == 0), shown());
    if (amount == 0)
        return;
    FUZZ_CHECK(text.endsWith(wholeBaht) || text.endsWith(satang), shown());
    FUZZ_CHECK(!text.endsWith(satang) || decimals > 0, shown());
    FUZZ_CHECK(!text.startsWith(minus) || amount < 0, shown());
    FUZZ_CHECK(text.startsWith(minus) || amount > 0 || text == wholeBaht, shown());
    FUZZ_CHECK(text.count(QStringLiteral("บาท")) == 1, shown());

    // Below 2^52 std::round rounds halves away from zero exactly as the decimal rounding does.
    if (decimals <= 0 && std::fabs(amount) < 4503599627370496.0) {
        const qint64 baht = qint64(std::round(amount));
        const QString expected =
            baht == 0 ? wholeBaht : (baht < 0 ? minus : QString()) + ThaiNumberWords(baht < 0 ? -baht : baht) + wholeBaht;
        FUZZ_CHECK(text == expected, shown() + QStringLiteral(" expected ") + expected);
    }
}

void checkOnhand(double quantity, qint64 fraction, int onhandDecimal, const QString &names)
{
    const QStringList parts = names.split(u'|');
    UnitFractionRow row;
    row.lUnit = parts.value(0);
    row.sUnit = parts.value(1);
    row.fraction = fraction;
    OnhandSettings settings;
    if (onhandDecimal >= 0)
        settings.onhandDecimal = onhandDecimal;
    settings.unitLeft = parts.value(2);
    settings.unitRight = parts.value(3);

    const auto detail = [&] {
        return QStringLiteral("quantity %1 fraction %2 decimals %3")
            .arg(QString::number(quantity, 'g', 17))
            .arg(fraction)
            .arg(onhandDecimal);
    };
    // A zero quantity of a unit whose fraction is 1 shows no digit, so the text may be empty.
    const QString whole = onhandQuantityText(&row, settings, quantity);
    FUZZ_CHECK(whole.isEmpty() || (whole.front().unicode() > 0x20 && whole.back().unicode() > 0x20),
               detail() + u' ' + quoted(whole));
    FUZZ_CHECK(onhandQuantityText(nullptr, settings, quantity).endsWith(QLatin1String("ERROR")), detail());
    for (int part : {0, 1, 2, 3}) {
        const QString text = onhandQuantityLSUnitText(&row, part, quantity);
        if (part != 1 && part != 2)
            FUZZ_CHECK(text.endsWith(QLatin1String("IDERROR")), detail() + u' ' + text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzReader reader(data, size);
    const double amount = reader.take<double>();
    const int decimals = reader.take<int32_t>();
    const qint64 number = reader.take<int64_t>();
    const uint8_t digitAndFlags = reader.take<uint8_t>();
    const qint64 fraction = reader.take<int64_t>();
    const int onhandDecimal = reader.take<int8_t>() % 20; // a company setting: a few places
    const QString names = reader.restAsUtf8();

    checkAmount(amount, decimals);
    checkAmount(amount, decimals & 0x1f);
    checkNumberWords(number);

    const int digit = (digitAndFlags & 0x0f) - 2; // -2 .. 13
    const QString word = ThaiDigitWord(digit, digitAndFlags & 0x10, digitAndFlags & 0x20);
    FUZZ_CHECK(word.isEmpty() == (digit < 1 || digit > 9), QString::number(digit));
    FUZZ_CHECK(!hasAsciiDigit(word), word);

    checkOnhand(amount, fraction, onhandDecimal, names);
    return 0;
}
