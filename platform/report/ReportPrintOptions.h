#pragma once

#include <QString>

namespace platform {

// What to print of a prepared report. `pageList` is empty for every page or a list such as
// "1,3-5,8-" (page numbers from 1); `choice` then keeps all, only odd or only even pages.
struct ReportPrintOptions {
    enum class PageChoice { All, Odd, Even };

    QString pageList;
    int copies = 1;
    bool collate = true;
    PageChoice choice = PageChoice::All;
};

} // namespace platform
