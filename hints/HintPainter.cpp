#include "hints/HintPainter.h"

#include "hints/HintGeometry.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QRegularExpression>
#include <QTextOption>

#include <algorithm>
#include <functional>

namespace {

// A rectangle whose corners are quarter ellipses `corner` pixels wide and high (the
// rounding radius is half of that); square when corner is below 2.
void drawRoundedCorners(QPainter &painter, const QRect &rect, int corner)
{
    if (corner >= 2)
        painter.drawRoundedRect(rect, corner / 2.0, corner / 2.0, Qt::AbsoluteSize);
    else
        painter.drawRect(rect);
}

// A mask of the pixels a shape covers, painted without anti-aliasing so that it agrees
// pixel for pixel with the box and arrow that QPainter draws.
class CoverageMask
{
public:
    explicit CoverageMask(const QSize &size)
        : m_image(size, QImage::Format_Grayscale8)
    {
        m_image.fill(0);
    }

    void fillRounded(const QRect &rect, int corner)
    {
        QPainter p(&m_image);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        drawRoundedCorners(p, rect, corner);
    }

    void fillPolygon(const QPolygon &polygon)
    {
        QPainter p(&m_image);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(polygon);
    }

    bool covers(int x, int y) const { return m_image.constScanLine(y)[x] != 0; }

private:
    QImage m_image;
};

// Rectangles given as GDI-style corners: the right and bottom coordinates lie just outside.
QRect fromCorners(int left, int top, int right, int bottom)
{
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

// The outline of a stroked QRect covers one pixel more than its width and height; this is the
// QRect whose outline covers exactly the corners' area.
QRect outlineFromCorners(int left, int top, int right, int bottom)
{
    return QRect(left, top, std::max(0, right - left - 1), std::max(0, bottom - top - 1));
}

void dotShadow(QImage &image, const CoverageMask &mask, const QColor &color, const std::function<bool(int, int)> &inStrip)
{
    const QRgb shadow = color.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (hintShadowDot(x, y) && inStrip(x, y) && mask.covers(x, y))
                line[x] = shadow;
        }
    }
}

struct Arrow {
    QPoint base1;
    QPoint base2;
    QPoint tip;
    QPolygon shadow; // empty when the direction has no shadow triangle
};

Arrow arrowFor(TfhHintDirection direction, int w, int h)
{
    switch (direction) {
    case dUpRight:
        return {{10, h - 15}, {20, h - 15}, {0, h}, QPolygon({QPoint(12, h - 15), QPoint(26, h - 15), QPoint(6, h)})};
    case dUpLeft:
        return {{w - 26, h - 15},
                {w - 16, h - 15},
                {w - 6, h},
                QPolygon({QPoint(w - 32, h - 15), QPoint(w - 11, h - 15), QPoint(w - 6, h)})};
    case dDownRight:
        return {{10, 15}, {20, 15}, {0, 0}, QPolygon()};
    case dDownLeft:
        return {{w - 26, 15}, {w - 16, 15}, {w - 6, 0}, QPolygon({QPoint(w - 16, 15), QPoint(w - 10, 15), QPoint(w - 4, 0)})};
    }
    return {};
}

int blendChannel(int c, int s, int rate)
{
    return (c * (100 - rate) + s * rate) / 100;
}

} // namespace

QString alignHintText(const QString &text, TfhTextAlignment alignment)
{
    if (alignment == taNone)
        return text;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n"));
    const QStringList lines = text.split(lineBreak);
    QString result;
    for (const QString &line : lines) {
        result += line.trimmed();
        result += QStringLiteral("\r\n");
    }
    return result;
}

QString hintDisplayText(const QString &text)
{
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QSize hintTextRect(const QFont &font, const QString &text, int maxWidth)
{
    const QFontMetrics metrics(font);
    const QRect bounds = metrics.boundingRect(QRect(0, 0, std::max(1, maxWidth), 0),
                                              Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, hintDisplayText(text));
    return QSize(bounds.width() + 6, bounds.height() + 2);
}

QImage composeHintImage(const QImage &snapshot, const HintStyle &style, TfhHintDirection direction, const QString &text)
{
    const QImage background = snapshot.convertToFormat(QImage::Format_RGB32);
    QImage image = background.copy();
    const int w = image.width();
    const int h = image.height();
    if (w <= 0 || h <= 0)
        return image;
    const bool arrowAtTop = hintArrowAtTop(direction);
    const int r = style.Rounded ? style.RoundRadius : 0;

    // Shadow: checkerboard dots inside a rounded area offset from the box, kept to the strip
    // along the right edge and the strip below the box.
    if (style.ShowShadow) {
        CoverageMask area(image.size());
        area.fillRounded(arrowAtTop ? fromCorners(10, 23, w, h - 2) : fromCorners(10, 8, w, h - 8), r - 1);
        const int stripTop = arrowAtTop ? h - 8 : h - 14;
        const int stripBottom = arrowAtTop ? h - 2 : h - 9;
        dotShadow(image, area, style.ColorShadow,
                  [&](int x, int y) { return x >= w - 14 || (y >= stripTop && y <= stripBottom); });
    }

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // Box.
    painter.setPen(QPen(style.ColorBorder, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(style.ColorBackground);
    const QRect box = arrowAtTop ? outlineFromCorners(0, 15, w - 6, h - 8) : outlineFromCorners(0, 0, w - 6, h - 14);
    drawRoundedCorners(painter, box, r);

    // Arrow: its shadow first, then the opening in the box's outline, the fill and the two
    // outer edges.
    if (style.ShowArrow) {
        const Arrow arrow = arrowFor(direction, w, h);
        if (style.ShowShadow && !arrow.shadow.isEmpty()) {
            painter.end();
            CoverageMask triangle(image.size());
            triangle.fillPolygon(arrow.shadow);
            const int left = arrow.shadow.boundingRect().left();
            const int right = arrow.shadow.boundingRect().right();
            dotShadow(image, triangle, style.ColorShadow, [&](int x, int) { return x >= left && x <= right; });
            painter.begin(&image);
            painter.setRenderHint(QPainter::Antialiasing, false);
        }
        painter.setPen(QPen(style.ColorBackground, 1, Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(arrow.base1, arrow.base2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(style.ColorBackground);
        painter.drawPolygon(QPolygon({arrow.base1, arrow.base2, arrow.tip}));
        painter.setPen(QPen(style.ColorBorder, 1, Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(arrow.base2, arrow.tip);
        painter.drawLine(arrow.tip, arrow.base1);
    }
    painter.end();

    // Transparency: the fill colour is blended with the screen under it. A rate outside
    // 0..100 would push the channels out of range; it is held to that range.
    if (style.Transparent) {
        const int rate = std::clamp(style.TransparencyRate, 0, 100);
        const QRgb fill = style.ColorBackground.rgb() & 0xFFFFFF;
        const int cr = qRed(fill), cg = qGreen(fill), cb = qBlue(fill);
        for (int y = 0; y < h; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            const auto *under = reinterpret_cast<const QRgb *>(background.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                if ((line[x] & 0xFFFFFF) != fill)
                    continue;
                const QRgb s = under[x];
                line[x] =
                    qRgb(blendChannel(cr, qRed(s), rate), blendChannel(cg, qGreen(s), rate), blendChannel(cb, qBlue(s), rate));
            }
        }
    }

    // Text.
    painter.begin(&image);
    painter.setFont(style.Font);
    painter.setPen(style.FontColor);
    painter.setBrush(Qt::NoBrush);
    const QRect textRect = fromCorners(8, 3 + (arrowAtTop ? 15 : 0), w - 12, h);
    Qt::Alignment alignment = Qt::AlignTop;
    switch (style.TextAlignment) {
    case taNone:
    case taLeft:
        alignment |= Qt::AlignLeft;
        break;
    case taRight:
        alignment |= Qt::AlignRight;
        break;
    case taCenter:
        alignment |= Qt::AlignHCenter;
        break;
    }
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    if (style.BiDiMode != bdLeftToRight) {
        // Right-to-left reading only: the alignment stays as set, not mirrored.
        option.setTextDirection(Qt::RightToLeft);
        alignment |= Qt::AlignAbsolute;
    } else {
        option.setTextDirection(Qt::LeftToRight);
    }
    option.setAlignment(alignment);
    painter.drawText(QRectF(textRect), hintDisplayText(text), option);
    painter.end();
    return image;
}
