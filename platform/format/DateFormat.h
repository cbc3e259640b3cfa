#pragma once

#include <QChar>
#include <QString>

namespace platform {

// The program's one short date format. Every date shown or read by a screen, a report or a
// conversion uses it: day first, then month, then the four-digit year, separated by '/'.
class DateFormat
{
public:
    // The format as users and report definitions know it.
    static QString shortDateFormat() { return QStringLiteral("DD/MM/YYYY"); }
    // The same format for QDate::toString and QDateTimeEdit::setDisplayFormat.
    static QString qtDateFormat() { return QStringLiteral("dd/MM/yyyy"); }
    // The time written after a date by DateTimeToStr.
    static QString qtTimeFormat() { return QStringLiteral("hh:mm:ss"); }
    static QChar dateSeparator() { return QChar(u'/'); }
    // A two-digit year is taken within this many years of the current year:
    // from currentYear - window up to currentYear + window - 1.
    static constexpr int twoDigitYearWindow = 50;

    // The full year for a year typed with one or two digits.
    static int expandTwoDigitYear(int year, int currentYear);
};

} // namespace platform
