#pragma once

// Value types shared by the balloon hint settings, its geometry and its painting.

// Side of the mouse cursor on which the balloon opens. "Up" balloons sit above the cursor
// with the arrow along their bottom edge; "Down" balloons sit below it with the arrow on top.
enum TfhHintDirection { dUpRight, dUpLeft, dDownRight, dDownLeft };

// Horizontal alignment of the hint text. taNone draws the text as given, aligned left;
// the other three also trim every line of the text first.
enum TfhTextAlignment { taNone, taLeft, taRight, taCenter };

// Reading order of the hint text. Every mode other than bdLeftToRight draws with
// right-to-left reading; none of them mirrors the alignment.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
