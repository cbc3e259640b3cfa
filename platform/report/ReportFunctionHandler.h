#pragma once

#include "platform/report/ReportExpressionEvaluator.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace platform {

// Answers a function that the engine does not provide itself. `name` is written as in the
// definition (compare it without regard to case), `arguments` holds up to three argument
// expression texts, `evaluator` evaluates any of them on request, and `result` starts empty: a
// handler that does not know the name leaves it so, and the expression sees null. Exceptions
// thrown by the handler leave the engine through prepare() unchanged.
using ReportFunctionHandler = std::function<void(const QString &name, const QStringList &arguments,
                                                 ReportExpressionEvaluator &evaluator, QVariant &result)>;

} // namespace platform
