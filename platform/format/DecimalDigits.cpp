#include "platform/format/DecimalDigits.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace platform {

DecimalDigits DecimalDigits::fromDouble(double value)
{
    DecimalDigits result;
    if (value == 0 || !std::isfinite(value))
        return result;

    // Shortest round-trip form in scientific notation: d[.ddd]e[+-]xx
    char buffer[64];
    const auto converted = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
    const char *end = converted.ptr;
    const char *p = buffer;
    QByteArray digits;
    while (p < end && *p != 'e') {
        if (*p >= '0' && *p <= '9')
            digits.append(*p);
        ++p;
    }
    int exponent = 0;
    if (p < end && *p == 'e')
        exponent = std::atoi(QByteArray(p + 1, int(end - p - 1)).constData());

    while (digits.endsWith('0'))
        digits.chop(1);
    // The first digit of the scientific form is never 0 for a non-zero value.
    result.m_digits = digits;
    result.m_point = exponent + 1;
    result.m_negative = value < 0;
    return result;
}

DecimalDigits DecimalDigits::abs() const
{
    DecimalDigits result = *this;
    result.m_negative = false;
    return result;
}

DecimalDigits DecimalDigits::scaled(int power) const
{
    DecimalDigits result = *this;
    if (!isZero())
        result.m_point += power;
    return result;
}

DecimalDigits DecimalDigits::roundedToDecimals(int decimals) const
{
    if (isZero())
        return *this;
    return roundedKeeping(m_point + decimals);
}

DecimalDigits DecimalDigits::roundedToSignificant(int count) const
{
    if (isZero())
        return *this;
    return roundedKeeping(count < 1 ? 1 : count);
}

// Keeps the first `keep` digits of m_digits (keep may be 0 or negative: the first kept place lies
// left of the first significant digit) and rounds half away from zero on the next digit.
DecimalDigits DecimalDigits::roundedKeeping(int keep) const
{
    if (keep >= m_digits.size())
        return *this;
    DecimalDigits result;
    if (keep < 0)
        return result; // the first digit is at least two places below the rounding place
    const bool roundUp = m_digits.at(keep) >= '5';
    QByteArray kept = m_digits.left(keep);
    int point = m_point;
    if (roundUp) {
        int i = int(kept.size()) - 1;
        while (i >= 0 && kept.at(i) == '9') {
            kept[i] = '0';
            --i;
        }
        if (i >= 0) {
            kept[i] = char(kept.at(i) + 1);
        } else {
            kept.prepend('1');
            ++point;
        }
    }
    while (kept.endsWith('0'))
        kept.chop(1);
    if (kept.isEmpty())
        return result;
    result.m_digits = kept;
    result.m_point = point;
    result.m_negative = m_negative;
    return result;
}

QByteArray DecimalDigits::integerDigits() const
{
    if (isZero() || m_point <= 0)
        return {};
    QByteArray result = m_digits.left(m_point);
    if (result.size() < m_point)
        result.append(QByteArray(m_point - result.size(), '0'));
    return result;
}

QByteArray DecimalDigits::fractionDigits(int count) const
{
    QByteArray result(count > 0 ? count : 0, '0');
    for (int i = 0; i < count; ++i) {
        const int index = m_point + i;
        if (index >= 0 && index < m_digits.size())
            result[i] = m_digits.at(index);
    }
    return result;
}

} // namespace platform
