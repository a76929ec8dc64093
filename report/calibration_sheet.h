#pragma once
// The printer calibration sheet as data for a painter: rulers across the
// middle lines of the paper, read where the paper is folded.
//
// Folded in half edge on edge, a sheet creases exactly along its middle,
// whatever the printer did; the rulers are printed where the middle lines
// should be, their zero on the middle. Where a crease crosses a ruler, the
// number there is how far the printer must shift the page (right and down
// positive, in millimetres) for its middle to land on the paper's middle:
// the offset a person types in. No ruler of their own is needed, and the
// unprintable border many printers keep does not get in the way.
//
// Two rulers measure each direction, far apart, so that a sheet fed in
// askew shows as two readings that differ. The back of the sheet carries
// the same rulers for a printer's duplex unit (or a second pass by hand).

#include "report/imposition.h"

#include <QString>

#include <vector>

// One tick of a ruler and its number (empty for an unnumbered tick).
struct TRulerTick {
    TPageLine Line;
    TLength Offset;  // the number it stands for, as a length
    QString Label;
    TPagePoint LabelAt;  // the middle of the label's baseline
};

enum class TRulerAxis { Across, Down };  // measures x (a horizontal ruler) or y (a vertical one)

struct TCalibrationRuler {
    TRulerAxis Axis = TRulerAxis::Across;
    TPageLine Spine;   // the ruler's long line
    TPagePoint Zero;   // where the paper's middle line should cross it
    std::vector<TRulerTick> Ticks;
};

struct TPageText {
    TPagePoint At;  // the top-left corner of its box
    TLength Width;  // wrapped to this width
    TLength Size;   // the height of the letters
    QString Text;
};

struct TCalibrationSheet {
    TSheetSide Side = TSheetSide::Front;
    TPageSize Size;
    std::vector<TCalibrationRuler> Rulers;
    // The title at the top says which side this is and, on the back, shows
    // whether the duplex unit turned it the way the print dialog said.
    std::vector<TPageText> Texts;
};

// Ticks every half millimetre, longer every millimetre, numbered every
// 5 mm (closer numbers would run into each other), up to this far either
// side of zero.
constexpr TLength RulerReach = TLength::FromMm(10.0);
constexpr TLength RulerStep = TLength::FromMm(0.5);
constexpr TLength CalibrationLineWidth = TLength::FromMm(0.1);

// The sheet for paper of `size` (as the page reads), front or back. Raises
// ECardError for paper too small to carry the rulers (under 60 mm a side).
TCalibrationSheet CalibrationSheet(TPageSize size, TSheetSide side);
