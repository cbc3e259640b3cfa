#include "platform/format/DateFormat.h"

namespace platform {

int DateFormat::expandTwoDigitYear(int year, int currentYear)
{
    const int base = currentYear - twoDigitYearWindow;
    int full = base / 100 * 100 + year;
    if (full < base)
        full += 100;
    return full;
}

} // namespace platform
