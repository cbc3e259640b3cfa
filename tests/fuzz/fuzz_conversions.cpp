// Text-to-number and text-to-date conversions on arbitrary text. They must never crash; they
// refuse only with EConvertError in the platform's wording; they agree with independent readers
// of the same grammar (std::from_chars, strtod, a regular expression with QDate); and every value
// they accept reads back the same from the text the program writes for it.

#include "FuzzCheck.h"
#include "platform/core/Exceptions.h"
#include "platform/format/Conversions.h"
#include "platform/format/FormatFloat.h"

#include <QDate>
#include <QRegularExpression>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

using namespace platform;

namespace {

// Runs a conversion; a refusal must carry "'<text>' <wording>".
template <typename F>
auto attempt(const QString &text, const char *wording, F convert) -> std::optional<decltype(convert())>
{
    try {
        return convert();
    } catch (const EConvertError &e) {
        const QString expected = u'\'' + text + QStringLiteral("' ") + QLatin1String(wording);
        FUZZ_CHECK(e.message() == expected, e.message() + QStringLiteral("\nexpected: ") + expected);
        return std::nullopt;
    }
}

QString trimmedBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

bool isAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 0x7f)
            return false;
    return true;
}

// The integer grammar read by std::from_chars: blanks trimmed, an optional sign, then decimal
// digits, or hexadecimal digits after "$" or "0x". nullopt for anything else or out of range.
template <typename Int>
std::optional<Int> referenceInteger(const QString &text)
{
    QString s = trimmedBlanks(text);
    bool negative = false;
    if (s.startsWith(u'+') || s.startsWith(u'-')) {
        negative = s.startsWith(u'-');
        s.remove(0, 1);
    }
    int base = 10;
    if (s.startsWith(u'$')) {
        base = 16;
        s.remove(0, 1);
    } else if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        s.remove(0, 2);
    }
    if (s.isEmpty() || !isAscii(s) || s.startsWith(u'-') || s.startsWith(u'+'))
        return std::nullopt;
    const QByteArray digits = (negative ? QByteArray("-") : QByteArray()) + s.toLatin1();
    Int value{};
    const auto result = std::from_chars(digits.constData(), digits.constData() + digits.size(), value, base);
    if (result.ec != std::errc() || result.ptr != digits.constData() + digits.size())
        return std::nullopt;
    return value;
}

bool isHexText(const QString &text)
{
    return text.contains(u'$') || text.contains(u'x') || text.contains(u'X');
}

template <typename Int>
void checkInteger(const QString &text, Int (*convert)(const QString &))
{
    const std::optional<Int> value = attempt(text, "is not a valid integer value", [&] { return convert(text); });
    const std::optional<Int> reference = referenceInteger<Int>(text);
    FUZZ_CHECK(value == reference,
               quoted(text) +
                   QStringLiteral(" read as %1, std::from_chars gives %2")
                       .arg(value ? QString::number(*value) : QStringLiteral("refused"),
                            reference ? QString::number(*reference) : QStringLiteral("refused")));
    if (!value)
        return;
    const QString written = QString::number(*value);
    const auto again = attempt(written, "is not a valid integer value", [&] { return convert(written); });
    FUZZ_CHECK(again == value, quoted(text) + QStringLiteral(" -> ") + written);
    if (!isHexText(text)) {
        // A decimal integer text is a floating point text too, with the nearest double.
        const auto asFloat = attempt(text, "is not a valid floating point value", [&] { return StrToFloat(text); });
        FUZZ_CHECK(asFloat && *asFloat == double(*value), quoted(text) + QStringLiteral(" refused or misread by StrToFloat"));
    }
}

// Characters of a decimal floating point text; with only these, strtod reads exactly the
// grammar StrToFloat documents (no hexadecimal floats, no "inf" or "nan").
bool onlyDecimalFloatCharacters(const QString &s)
{
    for (QChar c : s)
        if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' || c == u'+' || c == u'-'))
            return false;
    return true;
}

void checkFloat(const QString &text)
{
    const std::optional<double> value = attempt(text, "is not a valid floating point value", [&] { return StrToFloat(text); });

    const QString s = trimmedBlanks(text);
    if (!s.isEmpty() && onlyDecimalFloatCharacters(s)) {
        const QByteArray ascii = s.toLatin1();
        char *end = nullptr;
        errno = 0;
        const double reference = std::strtod(ascii.constData(), &end);
        const bool overflow = errno == ERANGE && std::isinf(reference);
        if (end == ascii.constData() + ascii.size()) {
            if (overflow) {
                FUZZ_CHECK(!value, quoted(text) + QStringLiteral(" overflows but was accepted"));
            } else {
                FUZZ_CHECK(value && *value == reference,
                           quoted(text) +
                               QStringLiteral(" read as %1, strtod gives %2")
                                   .arg(value ? FloatToStr(*value) : QStringLiteral("refused"), FloatToStr(reference)));
            }
        } else {
            FUZZ_CHECK(!value, quoted(text) + QStringLiteral(" is not a number but was accepted"));
        }
    } else {
        FUZZ_CHECK(!value, quoted(text) + QStringLiteral(" was accepted as a number"));
    }
    if (!value)
        return;
    FUZZ_CHECK(std::isfinite(*value), quoted(text));
    const QString written = FloatToStr(*value);
    const auto again = attempt(written, "is not a valid floating point value", [&] { return StrToFloat(written); });
    FUZZ_CHECK(again && *again == *value, quoted(text) + QStringLiteral(" -> ") + written);
}

// The year a one- or two-digit year stands for: the one year within [currentYear - 50,
// currentYear + 49] that ends in those digits.
int windowYear(int twoDigits, int currentYear)
{
    const int first = currentYear - 50;
    return first + ((twoDigits - first) % 100 + 100) % 100;
}

void checkDate(const QString &text, int currentYear)
{
    const std::optional<QDate> value = attempt(text, "is not a valid date", [&] { return StrToDate(text, currentYear); });

    static const QRegularExpression shape(QRegularExpression::anchoredPattern(
        QStringLiteral("[\\x{0}-\\x{20}]*([0-9]{1,2})/([0-9]{1,2})/([0-9]{4}|[0-9]{1,2})[\\x{0}-\\x{20}]*")));
    const QRegularExpressionMatch match = shape.match(text);
    std::optional<QDate> reference;
    if (match.hasMatch()) {
        const int day = match.captured(1).toInt();
        const int month = match.captured(2).toInt();
        int year = match.captured(3).toInt();
        if (match.captured(3).size() <= 2)
            year = windowYear(year, currentYear);
        if (year >= 1 && QDate::isValid(year, month, day))
            reference = QDate(year, month, day);
    }
    FUZZ_CHECK(value == reference,
               quoted(text) +
                   QStringLiteral(" in %1 read as %2, expected %3")
                       .arg(currentYear)
                       .arg(value ? value->toString(Qt::ISODate) : QStringLiteral("refused"),
                            reference ? reference->toString(Qt::ISODate) : QStringLiteral("refused")));
    if (!value)
        return;
    const QString written = DateToStr(*value);
    FUZZ_CHECK(written.size() == 10, quoted(text) + QStringLiteral(" -> ") + written);
    // A written date carries its four-digit year: it reads back whatever the current year.
    for (int year : {currentYear, 1900, 2100}) {
        const auto again = attempt(written, "is not a valid date", [&] { return StrToDate(written, year); });
        FUZZ_CHECK(again == value, quoted(text) + QStringLiteral(" -> ") + written);
    }
}

void checkText(const QString &text)
{
    checkInteger<int>(text, &StrToInt);
    checkInteger<qint64>(text, &StrToInt64);
    checkFloat(text);
    checkDate(text, 2024);
    checkDate(text, 1975);
    checkDate(text, 2567);
    // The one-argument form places two-digit years around today's year.
    const int thisYear = QDate::currentDate().year();
    const auto today = attempt(text, "is not a valid date", [&] { return StrToDate(text); });
    const auto explicitYear = attempt(text, "is not a valid date", [&] { return StrToDate(text, thisYear); });
    FUZZ_CHECK(today == explicitYear || QDate::currentDate().year() != thisYear, quoted(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    checkText(QString::fromUtf8(bytes, qsizetype(size)));
    // The same bytes as Latin-1 reach U+0080..U+00FF (no-break space among them), and as
    // UTF-16 any code unit, lone surrogates included.
    checkText(QString::fromLatin1(bytes, qsizetype(size)));
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size / 2 * 2);
    checkText(utf16);
    return 0;
}
