#include "text/OnhandQuantity.h"

#include "platform/format/FormatFloat.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

const QString wholeUnitsPattern = QStringLiteral("###,###,##0 ");
const QString plainQuantityPattern = QStringLiteral("###,###,##0.###### ");
const QString smallPartPattern = QStringLiteral(" ######.###### ");

// Pattern for a small-unit quantity in the whole phrase.
QString smallUnitPattern(const std::optional<int> &onhandDecimal)
{
    if (!onhandDecimal || *onhandDecimal == 0)
        return QStringLiteral(" #,###,###.###### ");
    return QStringLiteral(" #,###,##0.") + QString(std::max(*onhandDecimal, 0), u'0') + QStringLiteral(" ");
}

// The sign text and the quantity made non-negative.
struct Signed {
    QString sign;
    double quantity;
};

Signed splitSign(double quantity)
{
    if (quantity < 0)
        return {QStringLiteral("- "), -quantity};
    return {QString(), quantity};
}

// Whole large units W = trunc(q / max(F, 1)) and remainder R = q - W * F. The product uses F
// itself, so F = 0 gives W = trunc(q) and R = q. Long double keeps W * F exact wherever a 64-bit
// integer product would be, without overflow for absurd quantities.
struct Split {
    double whole;
    double rest;
};

Split splitUnits(double q, qint64 fraction)
{
    const long double divisor = static_cast<long double>(std::max<qint64>(fraction, 1));
    const long double whole = std::trunc(static_cast<long double>(q) / divisor);
    const long double rest = static_cast<long double>(q) - whole * static_cast<long double>(fraction);
    return {static_cast<double>(whole), static_cast<double>(rest)};
}

// Removes blanks and control characters at both ends.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString onhandQuantityText(const UnitFractionRow *unit, const OnhandSettings &settings, double quantity)
{
    const auto [sign, q] = splitSign(quantity);
    const QString pattern = smallUnitPattern(settings.onhandDecimal);
    if (!unit)
        return trimBlanks(FormatFloat(pattern, q) + QStringLiteral("ERROR"));

    const QString &left = settings.unitLeft;
    const QString &right = settings.unitRight;
    QString text;
    if (unit->fraction == 1) {
        text = FormatFloat(pattern, q) + left + unit->lUnit + right;
    } else {
        const Split split = splitUnits(q, unit->fraction);
        if (split.whole != 0)
            text = FormatFloat(wholeUnitsPattern, split.whole) + left + unit->lUnit + right;
        if (split.rest != 0)
            text += FormatFloat(pattern, std::fabs(split.rest)) + left + unit->sUnit + right;
    }
    if (text.isEmpty())
        text = QStringLiteral("0 ") + left + unit->lUnit + right;
    return trimBlanks(sign + text);
}

QString onhandQuantityLSUnitText(const UnitFractionRow *unit, int part, double quantity)
{
    const auto [sign, q] = splitSign(quantity);
    if (!unit)
        return FormatFloat(plainQuantityPattern, q) + QStringLiteral("ERROR");

    QString large;
    QString small;
    if (unit->fraction == 1) {
        small = FormatFloat(plainQuantityPattern, q) + unit->lUnit;
    } else {
        const Split split = splitUnits(q, unit->fraction);
        if (split.whole != 0)
            large = FormatFloat(wholeUnitsPattern, split.whole) + unit->lUnit;
        if (split.rest != 0)
            small = FormatFloat(smallPartPattern, std::fabs(split.rest)) + unit->sUnit;
    }
    switch (part) {
    case 1:
        return sign + large;
    case 2:
        return sign + small;
    default:
        return FormatFloat(plainQuantityPattern, q) + QStringLiteral("IDERROR");
    }
}
