#pragma once

#include "hints/HintStyle.h"
#include "hints/HintTypes.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

// Text handling and painting of the balloon, as functions of plain values.

// The hint text prepared for an alignment: unchanged for taNone; otherwise split into lines
// at every CR LF (and every lone LF), each line trimmed, and joined again with each line
// followed by CR LF.
QString alignHintText(const QString &text, TfhTextAlignment alignment);

// The text as drawn and measured: CR LF, lone CR and lone LF all become one line break.
QString hintDisplayText(const QString &text);

// The text rectangle of a hint, computed the standard way: the text word-wrapped at
// maxWidth pixels, plus 6 pixels of width and 2 of height. The rectangle is the text's
// natural width when that is narrower than maxWidth.
QSize hintTextRect(const QFont &font, const QString &text, int maxWidth);

// Composes the balloon over the snapshot of the screen under it: the shadow dots, the box,
// the arrow with its shadow, the transparency blend and the text, in that order. The result
// has the snapshot's size (the balloon's size W x H) in a 32-bit RGB format; the text is
// drawn as given (align it first with alignHintText).
QImage composeHintImage(const QImage &snapshot, const HintStyle &style, TfhHintDirection direction, const QString &text);

// The checkerboard that the shadow dots follow: x and y both even or both odd.
inline bool hintShadowDot(int x, int y)
{
    return ((x + y) & 1) == 0;
}
