#include "consignment/ExactTotal.h"

#include <cmath>

namespace {

constexpr double Millionths = 1e6;
// Bound of the count, amounts and sum alike; twice it still fits in 64 bits.
constexpr qint64 Limit = 1'000'000'000'000'000'000;
constexpr qint64 MillionthsPerSatang = 10'000;

} // namespace

void ExactTotal::add(double amount)
{
    m_approximate += amount;
    if (!m_exact)
        return;
    const double scaled = std::round(amount * Millionths);
    if (!(std::fabs(scaled) < double(Limit))) {
        m_exact = false;
        return;
    }
    m_millionths += qint64(scaled);
    if (m_millionths >= Limit || m_millionths <= -Limit)
        m_exact = false;
}

double ExactTotal::value() const
{
    if (!m_exact)
        return m_approximate;
    const qint64 half = m_millionths < 0 ? -MillionthsPerSatang / 2 : MillionthsPerSatang / 2;
    return double((m_millionths + half) / MillionthsPerSatang) / 100;
}
