#pragma once

#include "platform/report/ReportPageItem.h"

#include <QList>
#include <QSizeF>

namespace platform {

// One prepared page: its size in millimetres and what was placed on it, in drawing order.
struct ReportPage {
    QSizeF size;
    QList<ReportPageItem> items;
};

} // namespace platform
