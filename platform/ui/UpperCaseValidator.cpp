#include "platform/ui/UpperCaseValidator.h"

namespace platform {

QValidator::State UpperCaseValidator::validate(QString &input, int &) const
{
    input = input.toUpper();
    return Acceptable;
}

} // namespace platform
