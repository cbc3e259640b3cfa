#pragma once

#include "hints/HintTypes.h"

#include <QList>
#include <QRect>

// Where a balloon goes: its rectangle in screen coordinates and the direction finally used
// (the painting puts the arrow on that direction's side).
struct HintPlacement {
    QRect rect;
    TfhHintDirection direction = dUpRight;
    // False when no direction fitted on the screen and the balloon was put where it
    // overflows least, then moved inside the screen.
    bool fitted = true;
    // The directions tried by the fall-back search, in order, each at most once.
    QList<TfhHintDirection> tried;
};
