#pragma once

#include <QString>
#include <QVariant>

namespace platform {

// Turns an expression's value into the text a report shows: numbers through a number pattern
// (plain digits without one), dates through a date pattern ("dd/MM/yyyy" without one, with the
// time when it is not midnight), booleans as "True"/"False", nothing as an empty text.
class ReportValueText
{
public:
    static QString text(const QVariant &value, const QString &numberFormat, const QString &dateFormat);
    static QString plainNumber(double value);
};

} // namespace platform
