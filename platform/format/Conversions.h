#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace platform {

// Conversions between text and numbers or dates. A text that does not convert raises
// EConvertError with the wording the error-message table knows, the text quoted exactly as given:
//   'abc' is not a valid integer value
//   'x' is not a valid floating point value
//   '31/02/2024' is not a valid date

// Integers: blanks (spaces, tabs, control characters) before and after are allowed, then an
// optional '+' or '-', then decimal digits, or hexadecimal digits after "$" or "0x" ("$1F" is 31,
// "-$10" is -16). The value must lie in the type's range; hexadecimal is not taken as a bit
// pattern ("$FFFFFFFF" is refused by StrToInt). Only ASCII digits count.
int StrToInt(const QString &text);
qint64 StrToInt64(const QString &text);

// Floating point: blanks around, optional sign, digits with an optional '.' and decimals (".5"
// and "5." are fine), optional exponent 'E' or 'e' with optional sign. No thousands separators.
// The nearest double is returned; values beyond the double range are refused, values too small
// for it become 0.
double StrToFloat(const QString &text);

// A date in the short date format of DateFormat: day, month and year separated by '/', blanks
// around allowed. Day and month take one or two digits, the year four digits, or one or two digits
// taken within DateFormat::twoDigitYearWindow years of today's year. The date must exist.
QDate StrToDate(const QString &text);
// The same with the year that two-digit years are placed around.
QDate StrToDate(const QString &text, int currentYear);

// "dd/MM/yyyy"; an invalid date gives an empty text.
QString DateToStr(const QDate &date);
// The date, then " hh:mm:ss" unless the time is exactly midnight; an invalid value gives an empty
// text.
QString DateTimeToStr(const QDateTime &dateTime);

} // namespace platform
