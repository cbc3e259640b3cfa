#pragma once

#include <QString>

#include <optional>

// On-hand quantities written the way a warehouse reads them: so many large units (boxes, dozens)
// and the rest in small units (pieces). These are the pure parts of the company data module's
// OnhandQuantityText and OnhandQuantityLSUnitText: the module looks the unit row up and reads the
// settings, these functions build the text. Numbers use the program's fixed separators.

// The looked-up unit: the large unit asked for, how many small units make one, and the product's
// small unit.
struct UnitFractionRow {
    QString lUnit;
    qint64 fraction = 0;
    QString sUnit;
};

// Company settings used by onhandQuantityText.
struct OnhandSettings {
    // Decimals of a small-unit quantity; null or 0: as many as needed, up to 6.
    std::optional<int> onhandDecimal;
    // Put before and after every unit name, for example "(" and ")".
    QString unitLeft;
    QString unitRight;
};

// The whole phrase, for example "- 2 (Box) 1.5 (Piece)"; "25 ERROR" when unit is null (no row:
// the unit does not exist or its product has no small unit). Blanks at both ends are removed.
QString onhandQuantityText(const UnitFractionRow *unit, const OnhandSettings &settings, double quantity);

// One part of it, not trimmed and without brackets: part 1 the large-unit part ("2 Box"), part 2
// the small-unit part (" 1 Piece"), each after the sign text "- " of a negative quantity. Without
// a row the answer is the quantity and "ERROR"; any other part number gives the quantity and
// "IDERROR" (both without sign).
QString onhandQuantityLSUnitText(const UnitFractionRow *unit, int part, double quantity);
