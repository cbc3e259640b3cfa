#pragma once

#include <QValidator>

// Keeps a serial number to what can be seen: control characters (tabs, line breaks), format
// characters (zero-width spaces and joiners) and line or paragraph separators are taken out as
// they are typed or pasted, so that two serial numbers that look the same are the same text.
class SerialNumberValidator : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};
