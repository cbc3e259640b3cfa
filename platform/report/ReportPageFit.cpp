#include "platform/report/ReportPageFit.h"

#include <algorithm>

namespace platform {

namespace ReportPageFit {

namespace {

constexpr qreal tolerance = 0.5; // mm an object may stand over the margin without a refit

QRectF scaled(const QRectF &rect, qreal scale)
{
    return QRectF(rect.topLeft() * scale, rect.size() * scale);
}

} // namespace

qreal scaleFor(const ReportDefinition &definition)
{
    qreal needed = 0;
    for (const ReportBandDefinition &band : definition.bands) {
        for (const ReportObjectDefinition &object : band.objects) {
            const qreal right = object.kind == ReportObjectDefinition::Kind::Line
                ? std::max(object.segment.x1(), object.segment.x2())
                : object.rect.right();
            needed = std::max(needed, right);
        }
    }
    const qreal available = definition.orientedPageSize().width() - definition.marginLeft - definition.marginRight;
    if (available <= 0 || needed <= available + tolerance)
        return 1;
    return available / needed;
}

ReportDefinition enlarged(const ReportDefinition &definition, qreal scale)
{
    ReportDefinition result = definition;
    result.pageSize = definition.pageSize / scale;
    result.marginLeft /= scale;
    result.marginTop /= scale;
    result.marginRight /= scale;
    result.marginBottom /= scale;
    return result;
}

void scaleDown(ReportDocument &document, qreal scale)
{
    for (ReportPage &page : document.pages) {
        page.size *= scale;
        for (ReportPageItem &item : page.items) {
            item.rect = scaled(item.rect, scale);
            item.segment = QLineF(item.segment.p1() * scale, item.segment.p2() * scale);
            for (ReportTextLine &line : item.lines)
                line.rect = scaled(line.rect, scale);
            if (item.font.pointSizeF() > 0)
                item.font.setPointSizeF(item.font.pointSizeF() * scale);
            item.frameWidth *= scale;
            item.cornerRadius *= scale;
        }
    }
}

} // namespace ReportPageFit

} // namespace platform
