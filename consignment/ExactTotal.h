#pragma once

#include <QtGlobal>

// Adds money amounts exactly. Each amount is taken to the millionth of a baht (the precision the
// statements' rounding keeps) and added as a whole number of millionths, so that many lines add
// up to their exact sum, not to a binary approximation of it: lines adding up to 84,049.475 give
// 84,049.48, where adding the doubles gives 84,049.4749999... and so 84,049.47.
// Amounts beyond what such a count holds (a trillion baht or more, infinities) make the sum a
// plain floating-point one from then on.
class ExactTotal
{
public:
    void add(double amount);
    // The sum rounded to the satang, halves away from zero.
    double value() const;

private:
    qint64 m_millionths = 0;
    double m_approximate = 0;
    bool m_exact = true;
};
