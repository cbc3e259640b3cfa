#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform {
class ReportExpressionEvaluator;
}

// The four functions report definitions may call, answered through the company data module:
// ONHANDQUANTITY (quantity, unit id), ONHANDQUANTITYLSUNIT (quantity, unit id, part),
// TELL_REAL_THAI (amount, decimals) and GETSERVERTIME. Names are compared in upper case; a name
// that is none of the four leaves `result` unchanged. Arguments are evaluated when needed:
// quantity, part, unit id for ONHANDQUANTITYLSUNIT, in argument order for the others.
void answerReportFunction(const QString &name, const QStringList &arguments, platform::ReportExpressionEvaluator &evaluator,
                          QVariant &result);
