#pragma once

#include "platform/report/ReportPage.h"

#include <QList>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace platform {

// Draws one prepared page on any device: screen, printer or PDF. `pixelsPerMillimetre` maps the
// page model onto the device and `origin` is where the page's corner goes. Text is drawn line
// by line as the layout broke it, so every device shows the same lines. `highlights` (in
// millimetres) are filled in a marker colour, for the preview's find.
class ReportPagePainter
{
public:
    static void paint(QPainter &painter, const ReportPage &page, qreal pixelsPerMillimetre, const QPointF &origin = QPointF(),
                      const QList<QRectF> &highlights = {});
};

} // namespace platform
