#include "hints/HintGeometry.h"

#include <algorithm>
#include <optional>

namespace {

bool opensRight(TfhHintDirection direction)
{
    return direction == dUpRight || direction == dDownRight;
}

QRect balloonRect(const QPoint &cursor, const QSize &textRect, TfhHintDirection direction)
{
    const QSize size = hintBalloonSize(textRect, direction);
    return QRect(hintBalloonTopLeft(cursor, size, direction), size);
}

// The direction to hand over to when the balloon does not fit, or nothing when it fits.
std::optional<TfhHintDirection> fallBack(TfhHintDirection direction, const QRect &rect, const QRect &screen)
{
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    const bool horizontalFault = opensRight(direction) ? rect.x() + rect.width() > screenRight : rect.x() < screen.x();
    if (horizontalFault) {
        switch (direction) {
        case dUpRight:
            return dUpLeft;
        case dUpLeft:
            return dUpRight;
        case dDownRight:
            return dDownLeft;
        case dDownLeft:
            return dDownRight;
        }
    }
    const bool verticalFault = hintArrowAtTop(direction) ? rect.y() + rect.height() > screenBottom : rect.y() < screen.y();
    if (verticalFault) {
        switch (direction) {
        case dUpRight:
            return dDownRight;
        case dUpLeft:
            return dDownLeft;
        case dDownRight:
            return dUpRight;
        case dDownLeft:
            return dUpLeft;
        }
    }
    return std::nullopt;
}

// Pixels of the rectangle beyond the screen's edges, summed over the four edges.
qint64 overflow(const QRect &rect, const QRect &screen)
{
    const qint64 left = std::max(0, screen.x() - rect.x());
    const qint64 right = std::max(0, (rect.x() + rect.width()) - (screen.x() + screen.width()));
    const qint64 top = std::max(0, screen.y() - rect.y());
    const qint64 bottom = std::max(0, (rect.y() + rect.height()) - (screen.y() + screen.height()));
    return left + right + top + bottom;
}

int clampToScreen(int position, int length, int screenStart, int screenLength)
{
    // The far edge first, then the near one, so that a balloon larger than the screen keeps
    // its left (or top) part visible.
    position = std::min(position, screenStart + screenLength - length);
    return std::max(position, screenStart);
}

} // namespace

bool hintArrowAtTop(TfhHintDirection direction)
{
    return direction == dDownRight || direction == dDownLeft;
}

QSize hintBalloonSize(const QSize &textRect, TfhHintDirection direction)
{
    return QSize(textRect.width() + 16, textRect.height() + (hintArrowAtTop(direction) ? 29 : 20));
}

QPoint hintBalloonTopLeft(const QPoint &cursor, const QSize &balloon, TfhHintDirection direction)
{
    const int x = opensRight(direction) ? cursor.x() : cursor.x() - balloon.width() + 6;
    const int y = hintArrowAtTop(direction) ? cursor.y() + 6 : cursor.y() - 2 - balloon.height();
    return QPoint(x, y);
}

HintPlacement placeHintBalloon(const QPoint &cursor, const QRect &screen, const QSize &textRect, TfhHintDirection preferred)
{
    HintPlacement placement;
    TfhHintDirection direction = preferred;
    for (;;) {
        placement.tried.append(direction);
        const QRect rect = balloonRect(cursor, textRect, direction);
        const std::optional<TfhHintDirection> next = fallBack(direction, rect, screen);
        if (!next) {
            placement.rect = rect;
            placement.direction = direction;
            placement.fitted = true;
            return placement;
        }
        if (placement.tried.contains(*next))
            break;
        direction = *next;
    }

    QList<TfhHintDirection> order = placement.tried;
    for (TfhHintDirection d : {dUpRight, dUpLeft, dDownRight, dDownLeft}) {
        if (!order.contains(d))
            order.append(d);
    }
    TfhHintDirection best = order.first();
    qint64 bestOverflow = overflow(balloonRect(cursor, textRect, best), screen);
    for (TfhHintDirection d : order) {
        const qint64 o = overflow(balloonRect(cursor, textRect, d), screen);
        if (o < bestOverflow) {
            best = d;
            bestOverflow = o;
        }
    }
    QRect rect = balloonRect(cursor, textRect, best);
    rect.moveTo(clampToScreen(rect.x(), rect.width(), screen.x(), screen.width()),
                clampToScreen(rect.y(), rect.height(), screen.y(), screen.height()));
    placement.rect = rect;
    placement.direction = best;
    placement.fitted = false;
    return placement;
}
