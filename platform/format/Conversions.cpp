#include "platform/format/Conversions.h"

#include "platform/core/Exceptions.h"
#include "platform/format/DateFormat.h"
#include "platform/format/FormatFloat.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace platform {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

// The text without blanks at either end, as a view.
QStringView trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return QStringView(text).mid(begin, end - begin);
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int hexValue(QChar c)
{
    if (isAsciiDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

std::optional<qint64> parseInteger(const QString &text, qint64 min, qint64 max)
{
    QStringView s = trimBlanks(text);
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    int base = 10;
    if (s.startsWith(u'$')) {
        base = 16;
        s = s.mid(1);
    } else if (s.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        s = s.mid(2);
    }
    if (s.isEmpty())
        return std::nullopt;

    // Accumulate the magnitude; the limit is |min| for negative values, max otherwise.
    const quint64 limit = negative ? quint64(-(min + 1)) + 1 : quint64(max);
    quint64 magnitude = 0;
    for (QChar c : s) {
        const int digit = base == 16 ? hexValue(c) : (isAsciiDigit(c) ? c.unicode() - u'0' : -1);
        if (digit < 0)
            return std::nullopt;
        if (magnitude > (limit - quint64(digit)) / quint64(base))
            return std::nullopt;
        magnitude = magnitude * quint64(base) + quint64(digit);
    }
    if (negative)
        return magnitude == 0 ? 0 : -qint64(magnitude - 1) - 1;
    return qint64(magnitude);
}

[[noreturn]] void invalidInteger(const QString &text)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

} // namespace

int StrToInt(const QString &text)
{
    const auto value = parseInteger(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (!value)
        invalidInteger(text);
    return int(*value);
}

qint64 StrToInt64(const QString &text)
{
    const auto value = parseInteger(text, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
    if (!value)
        invalidInteger(text);
    return *value;
}

double StrToFloat(const QString &text)
{
    const auto invalid = [&text]() {
        return EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    };

    const QStringView s = trimBlanks(text);
    QByteArray normalized; // the syntax std::from_chars reads, checked here first
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-')) {
        negative = s.at(i) == u'-';
        ++i;
    }
    int mantissaDigits = 0;
    int leadingIntegerDigits = 0; // significant digits before the point
    int leadingFractionZeros = 0; // zeros after the point before the first significant digit
    bool significantSeen = false;
    while (i < s.size() && isAsciiDigit(s.at(i))) {
        if (s.at(i) != u'0' || significantSeen) {
            significantSeen = true;
            ++leadingIntegerDigits;
        }
        normalized.append(char(s.at(i).unicode()));
        ++mantissaDigits;
        ++i;
    }
    if (i < s.size() && s.at(i) == QChar(DecimalSeparator)) {
        normalized.append('.');
        ++i;
        while (i < s.size() && isAsciiDigit(s.at(i))) {
            if (s.at(i) == u'0' && !significantSeen)
                ++leadingFractionZeros;
            else
                significantSeen = true;
            normalized.append(char(s.at(i).unicode()));
            ++mantissaDigits;
            ++i;
        }
    }
    if (mantissaDigits == 0)
        throw invalid();
    qint64 exponent = 0;
    if (i < s.size() && (s.at(i) == u'e' || s.at(i) == u'E')) {
        ++i;
        bool exponentNegative = false;
        if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-')) {
            exponentNegative = s.at(i) == u'-';
            ++i;
        }
        int exponentDigits = 0;
        while (i < s.size() && isAsciiDigit(s.at(i))) {
            if (exponent < 100000)
                exponent = exponent * 10 + (s.at(i).unicode() - u'0');
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0)
            throw invalid();
        if (exponentNegative)
            exponent = -exponent;
        normalized.append('e').append(QByteArray::number(exponent));
    }
    if (i != s.size())
        throw invalid();

    double value = 0;
    if (normalized.startsWith('.'))
        normalized.prepend('0');
    const auto result = std::from_chars(normalized.constData(), normalized.constData() + normalized.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Overflow or underflow: the decimal exponent of the first significant digit tells.
        const qint64 magnitude =
            significantSeen ? (leadingIntegerDigits > 0 ? leadingIntegerDigits : -leadingFractionZeros) + exponent : 0;
        if (magnitude > 0)
            throw invalid();
        value = 0;
    } else if (result.ec != std::errc() || !std::isfinite(value)) {
        throw invalid();
    }
    return negative ? -value : value;
}

QDate StrToDate(const QString &text)
{
    return StrToDate(text, QDate::currentDate().year());
}

QDate StrToDate(const QString &text, int currentYear)
{
    const auto invalid = [&text]() { return EConvertError(QStringLiteral("'%1' is not a valid date").arg(text)); };

    const QStringView s = trimBlanks(text);
    int parts[3] = {0, 0, 0};
    int lengths[3] = {0, 0, 0};
    int part = 0;
    for (QChar c : s) {
        if (c == DateFormat::dateSeparator()) {
            if (lengths[part] == 0 || part == 2)
                throw invalid();
            ++part;
        } else if (isAsciiDigit(c)) {
            if (lengths[part] == 4)
                throw invalid();
            parts[part] = parts[part] * 10 + (c.unicode() - u'0');
            ++lengths[part];
        } else {
            throw invalid();
        }
    }
    if (part != 2 || lengths[0] > 2 || lengths[1] > 2 || lengths[2] == 0 || lengths[2] == 3)
        throw invalid();

    const int day = parts[0];
    const int month = parts[1];
    int year = parts[2];
    if (lengths[2] <= 2)
        year = DateFormat::expandTwoDigitYear(year, currentYear);
    if (year < 1 || !QDate::isValid(year, month, day))
        throw invalid();
    return QDate(year, month, day);
}

QString DateToStr(const QDate &date)
{
    if (!date.isValid())
        return {};
    return date.toString(DateFormat::qtDateFormat());
}

QString DateTimeToStr(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return {};
    QString result = DateToStr(dateTime.date());
    const QTime time = dateTime.time();
    if (time != QTime(0, 0))
        result.append(u' ').append(time.toString(DateFormat::qtTimeFormat()));
    return result;
}

} // namespace platform
