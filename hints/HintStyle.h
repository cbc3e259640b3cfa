#pragma once

#include "hints/HintTypes.h"

#include <QColor>
#include <QFont>

// The look of one balloon as plain values, copied from the settings component when a hint
// is shown, so that the painting can run (and be tested) without any window or screen.
struct HintStyle {
    TBiDiMode BiDiMode = bdLeftToRight;
    QColor ColorBackground = QColor(255, 255, 225);
    QColor ColorBorder = QColor(0, 0, 0);
    QColor ColorShadow = QColor(128, 128, 128);
    QFont Font;
    QColor FontColor = QColor(0, 0, 0);
    bool Rounded = true;
    int RoundRadius = 18;
    bool ShowArrow = true;
    bool ShowShadow = true;
    TfhTextAlignment TextAlignment = taNone;
    bool Transparent = false;
    int TransparencyRate = 30;
};
