#pragma once

#include <QValidator>

namespace platform {

// Turns what the user types into capitals as it is typed (an upper-case edit box).
class UpperCaseValidator : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

} // namespace platform
