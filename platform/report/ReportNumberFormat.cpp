#include "platform/report/ReportNumberFormat.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace platform {

namespace {

QStringList sections(const QString &pattern)
{
    QStringList result;
    QString current;
    QChar quote;
    for (const QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            result.append(current);
            current.clear();
            continue;
        }
        current.append(c);
    }
    result.append(current);
    return result;
}

QString formatSection(double value, const QString &section, bool withSign)
{
    QString prefix;
    QString suffix;
    int integerPlaces = 0; // placeholders before the point
    int firstZero = -1;    // index (among integer placeholders) of the first "0"
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouping = false;
    bool pointSeen = false;
    bool anyPlaceholder = false;
    QChar quote;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                (anyPlaceholder ? suffix : prefix).append(c);
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            anyPlaceholder = true;
            if (pointSeen) {
                ++maxDecimals;
                if (c == QLatin1Char('0'))
                    minDecimals = maxDecimals;
            } else {
                if (c == QLatin1Char('0') && firstZero < 0)
                    firstZero = integerPlaces;
                ++integerPlaces;
            }
        } else if (c == QLatin1Char('.') && !pointSeen) {
            pointSeen = true;
            anyPlaceholder = true;
        } else if (c == QLatin1Char(',')) {
            grouping = true;
        } else {
            (anyPlaceholder ? suffix : prefix).append(c);
        }
    }
    if (!anyPlaceholder)
        return prefix + suffix;

    const int minInteger = firstZero < 0 ? 0 : integerPlaces - firstZero;
    // Halves round away from zero, as report writers expect of a pattern.
    const double scale = std::pow(10.0, maxDecimals);
    const double magnitude = std::fabs(value);
    const double rounded = magnitude * scale < 1e17 ? std::round(magnitude * scale) / scale : magnitude;
    const QString fixed = QString::number(rounded, 'f', maxDecimals);
    QString integerDigits = fixed.section(QLatin1Char('.'), 0, 0);
    QString decimalDigits = fixed.section(QLatin1Char('.'), 1, 1);
    while (decimalDigits.size() > minDecimals && decimalDigits.endsWith(QLatin1Char('0')))
        decimalDigits.chop(1);
    if (integerDigits == QLatin1String("0"))
        integerDigits.clear();
    while (integerDigits.size() < minInteger)
        integerDigits.prepend(QLatin1Char('0'));

    const QLocale locale;
    if (grouping) {
        QString grouped;
        const qsizetype n = integerDigits.size();
        for (qsizetype i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                grouped.append(locale.groupSeparator());
            grouped.append(integerDigits.at(i));
        }
        integerDigits = grouped;
    }
    QString number = integerDigits;
    if (!decimalDigits.isEmpty())
        number += locale.decimalPoint() + decimalDigits;
    const bool negative = withSign && value < 0 && fixed.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return prefix + (negative ? QStringLiteral("-") : QString()) + number + suffix;
}

} // namespace

QString ReportNumberFormat::format(double value, const QString &pattern)
{
    const QStringList parts = sections(pattern);
    if (value < 0 && parts.size() > 1 && !parts.at(1).isEmpty())
        return formatSection(value, parts.at(1), false);
    if (value == 0 && parts.size() > 2 && !parts.at(2).isEmpty())
        return formatSection(value, parts.at(2), false);
    return formatSection(value, parts.at(0), true);
}

} // namespace platform
