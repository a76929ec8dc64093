#pragma once
// The five units the paper set dialog shows a page in, indexed as its "Units"
// list and as PaperSettings.UnitIndex.

#include "report/length.h"

enum class TPaperUnit { MM = 0, Inches = 1, Pixes = 2, Characters = 3, Native = 4 };
constexpr int PaperUnitCount = 5;

// Captions of the units, in index order: "MM", "Inches", "Pixes", ...
const char *PaperUnitName(TPaperUnit unit);
// The unit for a stored index; anything out of range is "MM".
TPaperUnit PaperUnitFromIndex(int index);

enum class TAxis { Horizontal, Vertical };

// What the screen-bound units depend on: the logical resolution of the page's
// pixels, the page's zoom in percent and the report font's size in points
// ("Characters" are cells of that font: 80 / s / 2.54 mm wide and
// 145.3 / s / 2.54 mm high).
struct TUnitScale {
    double PixelsPerInch = TLength::CardPixelsPerInch;
    double ZoomPercent = 100.0;
    double FontPoints = 10.0;
};

// The number shown for `length` in `unit`, and its exact inverse.
double ToUnit(TLength length, TPaperUnit unit, TAxis axis, const TUnitScale &scale = {});
TLength FromUnit(double value, TPaperUnit unit, TAxis axis, const TUnitScale &scale = {});
