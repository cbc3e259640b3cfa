#pragma once

#include <QByteArray>

namespace platform {

// A finite double held as decimal digits: the shortest digit string that reads back as the same
// double, and decimal rounding on those digits. Rounding works on the value the user sees, not on
// the binary expansion of the double: 2.675 is held as "2675" with the point after the first
// digit, so two decimals give 2.68 (the binary expansion 2.67499999... would give 2.67).
//
// The value is 0.<digits> x 10^pointPosition(); digits() has no leading or trailing zeros and is
// empty for zero. Zero is never negative.
class DecimalDigits
{
public:
    DecimalDigits() = default;

    // value must be finite (check std::isfinite first).
    static DecimalDigits fromDouble(double value);

    bool isZero() const { return m_digits.isEmpty(); }
    bool isNegative() const { return m_negative; }
    const QByteArray &digits() const { return m_digits; }
    int pointPosition() const { return m_point; }

    DecimalDigits abs() const;
    // The value times 10^power (the point moved right by power places).
    DecimalDigits scaled(int power) const;

    // Rounded to the given number of decimals, halves away from zero. Negative counts round to
    // tens, hundreds, ...
    DecimalDigits roundedToDecimals(int decimals) const;
    // Rounded to the given number of significant digits (at least 1), halves away from zero.
    DecimalDigits roundedToSignificant(int count) const;

    // Digits before the point without leading zeros; empty when the magnitude is below 1.
    QByteArray integerDigits() const;
    // Exactly count digits after the point (no rounding: round first).
    QByteArray fractionDigits(int count) const;

private:
    DecimalDigits roundedKeeping(int keep) const;

    bool m_negative = false;
    QByteArray m_digits;
    int m_point = 0;
};

} // namespace platform
