#include "reports/ReportFunctions.h"

#include "data/U_DM.h"
#include "platform/format/Conversions.h"
#include "platform/report/ReportExpressionEvaluator.h"
#include "text/ThaiBahtText.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace platform;

namespace {

// A report argument's value as a number. Texts convert with the platform's conversion (and
// raise its EConvertError); nothing (null) counts as 0.
double floatArgument(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return 0;
    if (value.typeId() == QMetaType::QString)
        return StrToFloat(value.toString());
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    return value.toDouble();
}

// As an integer: a fraction is rounded to the nearest integer, halves to the even one.
int integerArgument(const QVariant &value)
{
    const double number = std::nearbyint(floatArgument(value));
    return int(std::clamp(number, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}

} // namespace

void answerReportFunction(const QString &name, const QStringList &arguments, ReportExpressionEvaluator &evaluator,
                          QVariant &result)
{
    const QString function = name.toUpper();
    auto argument = [&](int index) { return evaluator.evaluate(arguments.value(index)); };
    if (function == QLatin1String("ONHANDQUANTITY")) {
        const double quantity = floatArgument(argument(0));
        const int unitId = integerArgument(argument(1));
        result = DM->OnhandQuantityText(unitId, quantity);
    }
    if (function == QLatin1String("ONHANDQUANTITYLSUNIT")) {
        const double quantity = floatArgument(argument(0));
        const int part = integerArgument(argument(2));
        const int unitId = integerArgument(argument(1));
        result = DM->OnhandQuantityLSUnitText(unitId, part, quantity);
    }
    if (function == QLatin1String("TELL_REAL_THAI")) {
        const double amount = floatArgument(argument(0));
        const int decimals = integerArgument(argument(1));
        result = ThaiBahtText(amount, decimals);
    }
    if (function == QLatin1String("GETSERVERTIME"))
        result = DM->GetServerTime();
}
