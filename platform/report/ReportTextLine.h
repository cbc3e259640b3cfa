#pragma once

#include <QRectF>
#include <QString>

namespace platform {

// One laid-out line of a text item: its text and its box on the page, in millimetres.
struct ReportTextLine {
    QString text;
    QRectF rect;
};

} // namespace platform
