#include "platform/report/ReportPagePainter.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

namespace platform {

namespace {

using Object = ReportObjectDefinition;

class Mapper
{
public:
    Mapper(qreal scale, QPointF origin)
        : m_scale(scale)
        , m_origin(origin)
    {}
    QPointF point(const QPointF &p) const { return m_origin + p * m_scale; }
    QRectF rect(const QRectF &r) const { return QRectF(point(r.topLeft()), r.size() * m_scale); }
    QLineF line(const QLineF &l) const { return QLineF(point(l.p1()), point(l.p2())); }
    qreal length(qreal millimetres) const { return millimetres * m_scale; }

private:
    qreal m_scale;
    QPointF m_origin;
};

QPen pen(const ReportPageItem &item, const Mapper &map)
{
    QPen result(item.frameColor);
    result.setWidthF(std::max<qreal>(map.length(item.frameWidth), 0.5));
    result.setCapStyle(Qt::FlatCap);
    return result;
}

void paintFrame(QPainter &painter, const ReportPageItem &item, const Mapper &map)
{
    const QRectF r = map.rect(item.rect);
    if (item.fillColor.isValid())
        painter.fillRect(r, item.fillColor);
    if (!item.frameSides)
        return;
    painter.setPen(pen(item, map));
    painter.setBrush(Qt::NoBrush);
    if (item.frameSides == Object::AllSides) {
        painter.drawRect(r);
        return;
    }
    if (item.frameSides & Object::LeftSide)
        painter.drawLine(r.topLeft(), r.bottomLeft());
    if (item.frameSides & Object::TopSide)
        painter.drawLine(r.topLeft(), r.topRight());
    if (item.frameSides & Object::RightSide)
        painter.drawLine(r.topRight(), r.bottomRight());
    if (item.frameSides & Object::BottomSide)
        painter.drawLine(r.bottomLeft(), r.bottomRight());
}

void paintText(QPainter &painter, const ReportPageItem &item, const Mapper &map)
{
    paintFrame(painter, item, map);
    if (item.lines.isEmpty())
        return;
    // Font size in device pixels, whatever the device's own resolution.
    QFont font = item.font;
    const qreal pixels = map.length(item.font.pointSizeF() * 25.4 / 72.0);
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    font.setPointSizeF(std::max<qreal>(pixels * 72.0 / dpi, 0.5));
    painter.setFont(font);
    painter.setPen(item.textColor);
    const Qt::Alignment horizontal = item.alignment & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter);
    painter.save();
    painter.setClipRect(map.rect(item.rect).adjusted(-1, -1, 1, 1), Qt::IntersectClip);
    for (const ReportTextLine &line : item.lines) {
        painter.drawText(map.rect(line.rect),
                         int(horizontal ? horizontal : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                         line.text);
    }
    painter.restore();
}

void paintPicture(QPainter &painter, const ReportPageItem &item, const Mapper &map)
{
    const QRectF r = map.rect(item.rect);
    if (item.fillColor.isValid())
        painter.fillRect(r, item.fillColor);
    if (!item.picture.isNull()) {
        QRectF target = r;
        const QSizeF size = item.picture.size();
        if (item.scaling == Object::PictureScaling::KeepAspect) {
            const QSizeF fitted = size.scaled(r.size(), Qt::KeepAspectRatio);
            target = QRectF(r.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
        } else if (item.scaling == Object::PictureScaling::Center) {
            const QSizeF natural = size * map.length(25.4 / 96.0);
            target = QRectF(r.center() - QPointF(natural.width() / 2, natural.height() / 2), natural);
        }
        painter.save();
        painter.setClipRect(r, Qt::IntersectClip);
        painter.drawImage(target, item.picture);
        painter.restore();
    }
    ReportPageItem frame = item;
    frame.fillColor = QColor();
    paintFrame(painter, frame, map);
}

} // namespace

void ReportPagePainter::paint(QPainter &painter, const ReportPage &page, qreal pixelsPerMillimetre, const QPointF &origin,
                              const QList<QRectF> &highlights)
{
    const Mapper map(pixelsPerMillimetre, origin);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const QRectF &highlight : highlights)
        painter.fillRect(map.rect(highlight), QColor(255, 230, 0, 160));
    for (const ReportPageItem &item : page.items) {
        switch (item.kind) {
        case Object::Kind::Text:
            paintText(painter, item, map);
            break;
        case Object::Kind::Line:
            painter.setPen(pen(item, map));
            painter.drawLine(map.line(item.segment));
            break;
        case Object::Kind::Rectangle:
            paintFrame(painter, item, map);
            break;
        case Object::Kind::RoundedRectangle: {
            const QRectF r = map.rect(item.rect);
            const qreal radius = map.length(item.cornerRadius);
            painter.setBrush(item.fillColor.isValid() ? QBrush(item.fillColor) : QBrush(Qt::NoBrush));
            painter.setPen(item.frameSides ? pen(item, map) : QPen(Qt::NoPen));
            painter.drawRoundedRect(r, radius, radius);
            painter.setBrush(Qt::NoBrush);
            break;
        }
        case Object::Kind::CheckBox: {
            const qreal side = std::min(item.rect.width(), item.rect.height());
            const QRectF box(item.rect.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
            ReportPageItem frame = item;
            frame.rect = box;
            paintFrame(painter, frame, map);
            if (item.checked) {
                QPen mark(item.textColor);
                mark.setWidthF(std::max<qreal>(map.length(side / 8), 1));
                painter.setPen(mark);
                const QRectF inner = map.rect(box.adjusted(side / 5, side / 5, -side / 5, -side / 5));
                QPainterPath tick;
                tick.moveTo(inner.left(), inner.center().y());
                tick.lineTo(inner.left() + inner.width() * 0.4, inner.bottom());
                tick.lineTo(inner.right(), inner.top());
                painter.drawPath(tick);
            }
            break;
        }
        case Object::Kind::Picture:
            paintPicture(painter, item, map);
            break;
        }
    }
    painter.restore();
}

} // namespace platform
