#pragma once

#include <QString>

namespace platform {

// The program's number separators. They are fixed, whatever the workstation's regional settings,
// so that screens, reports and saved texts read the same everywhere.
inline constexpr char16_t DecimalSeparator = u'.';
inline constexpr char16_t ThousandSeparator = u',';

// Formats value with a number pattern.
//
// Sections: up to three sections separated by ';' (outside quotes): positive;negative;zero. The
// negative section is used for values below zero and prints no sign of its own: its literal text
// supplies it ("#,##0.00;(#,##0.00)"). Without a negative section (or with an empty one) the
// positive section is used and a '-' is put in front of the whole result. The zero section is used
// for a value that is zero after rounding to the section's decimals, with no sign; without one the
// positive section formats the zero.
//
// Inside a section:
//   0      a digit that is always shown (from the first '0' before the point on, integer digits
//          are always shown; up to the last '0' after the point, decimals are always shown)
//   #      a digit shown only when significant: a zero integer part under '#' only shows no
//          digit (".5"), and zero under '#' only gives no digits at all
//   .      the first one is the decimal point; the value is rounded, halves away from zero on its
//          shortest decimal form (2.675 -> 2.68), to as many decimals as there are digit places
//          after it; the point is left out when no decimal is shown. Further points are ignored.
//   ,      anywhere: group the integer digits by thousands
//   E+ E- e+ e-  scientific notation, followed by up to four '0' giving the exponent's minimum
//          digits; "E+" always prints the exponent's sign, "E-" only a minus
//   '..' ".."  quoted literal text, copied without the quotes
//   other characters (spaces included) are copied as they stand.
// Integer digits that do not fit the integer places are all written at the first digit place.
// A pattern without digit places writes its literal text only. An empty pattern, and a value of
// 1E18 or more under a pattern without exponent, give the general form of FloatToStr ("1E20")
// instead of a long row of digits. NaN and infinities are written "NAN", "INF" and "-INF".
QString FormatFloat(const QString &pattern, double value);

// The shortest general form of value: the fewest decimal digits that read back as the same
// double, no thousands separator, "." as decimal point: "1.5", "120", "0.1", "-3". Values with more
// than 15 integer digits or below 0.00001 in magnitude are written with an exponent: "1E20",
// "1.5E-10", "-2.5E16". Zero is "0"; NaN and infinities are "NAN", "INF", "-INF".
QString FloatToStr(double value);

} // namespace platform
