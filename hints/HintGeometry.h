#pragma once

#include "hints/HintPlacement.h"
#include "hints/HintTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// Geometry of the balloon, as functions of plain values.

// True for the directions whose balloon opens below the cursor (the arrow along the top).
bool hintArrowAtTop(TfhHintDirection direction);

// The balloon's size for a text rectangle: 16 pixels wider, 20 pixels higher when the arrow
// is at the bottom and 29 when it is at the top.
QSize hintBalloonSize(const QSize &textRect, TfhHintDirection direction);

// The balloon's top-left corner for the cursor and a direction.
QPoint hintBalloonTopLeft(const QPoint &cursor, const QSize &balloon, TfhHintDirection direction);

// Places a balloon beside the cursor on the screen, starting from the preferred direction.
// Each direction checks the horizontal edge first and then the vertical one, and hands over
// to its fall-back when the balloon does not fit. The search stops at the first direction
// that fits or when its fall-back has already been tried. When nothing fits, the balloon
// takes the direction (of all four) that overflows the screen by the fewest pixels (ties go
// to the direction tried first, then to the enumeration order) and is moved inside the
// screen, its left and top edges winning when it is larger than the screen.
HintPlacement placeHintBalloon(const QPoint &cursor, const QRect &screen, const QSize &textRect, TfhHintDirection preferred);
