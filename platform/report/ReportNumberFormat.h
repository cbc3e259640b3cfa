#pragma once

#include <QString>

namespace platform {

// Formats a number with a pattern such as "#,##0.00": "0" is a digit always shown, "#" a digit
// shown only when significant (a zero integer part shows none), the first "." is the decimal
// point (left out when no decimal digit is shown; the value is rounded to as many places as
// follow it), a "," among the digits turns on thousands grouping, text in quotes and any other
// character are copied as they stand. Up to three sections split by ";" serve positive,
// negative (written without its sign) and zero values. Separators are the locale's.
class ReportNumberFormat
{
public:
    static QString format(double value, const QString &pattern);
};

} // namespace platform
