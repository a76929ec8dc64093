#pragma once
// The card's page as a print shop wants it: the card's paper is the trim,
// the drawing runs 3 mm past it on every side (the bleed), and crop marks
// beyond the bleed show where to cut. The PDF's TrimBox is the paper and its
// BleedBox the paper 3 mm larger on every side.

#include "card/card_layout.h"
#include "card/card_painter.h"

class QString;

// How far the drawing runs past the cut.
inline constexpr double PrintShopBleedMm = 3.0;
// Crop marks start this far outside the cut (so that none lies in the
// bleed) and are this long.
inline constexpr double CropMarkOffsetMm = 3.0;
inline constexpr double CropMarkLengthMm = 5.0;
// The sheet's margin round the cut: bleed, marks and a little air.
inline constexpr double PrintShopSlugMm = CropMarkOffsetMm + CropMarkLengthMm + 2.0;

// Writes the page atomically. Raises ECardError for a paper that cannot be
// printed, a picture that cannot be drawn or a file that cannot be written.
void WriteCardPrintShopPdf(const TCardScene &card, const PaperSettings &paper, const QString &pdfPath);
