#pragma once

#include <QString>
#include <QVariant>

namespace platform {

// Evaluates a report expression in the report's current state (current row, page, variables).
// The host's function handler receives one to evaluate its argument texts on request.
class ReportExpressionEvaluator
{
public:
    virtual ~ReportExpressionEvaluator() = default;
    virtual QVariant evaluate(const QString &expression) = 0;
};

} // namespace platform
