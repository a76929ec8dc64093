#pragma once
// Imposition: which face of a card goes where on the sheets that are
// printed, as data. The preview, the printer and the PDF export all draw
// the same list of placements with the one card painter, so what is
// previewed is what comes out of the printer.
//
// Page coordinates are lengths from the page's top-left corner, x to the
// right and y down, on the page as the printer is given it (each side of a
// sheet in its own coordinates, as it reads upright).
//
// How the faces lie:
// - flat one-sided: the outside on the front of one sheet;
// - flat two-sided and half-fold: the outside on the front, the inside on
//   the back. A person turns the card over (or opens it) about a vertical
//   axis, as a book's page. The printer turns the sheet over the edge the
//   print dialog names (the long or the short one) and prints the back so
//   that it reads upright seen that way; where that edge runs across the
//   reader's vertical axis, the inside is turned by 180 degrees so that it
//   reads upright once the sheet is turned the person's way.
// - quarter-fold: a sheet of twice the card's paper, printed on one side:
//   the outside upright on the lower half, the inside turned by 180 degrees
//   on the upper half. Folded once across the middle, upper half behind, and
//   once down the middle, back behind front, every panel reads upright.
//
// Printed marks (crop marks at the corners of the trim, fold marks on the
// extension of each fold) lie outside the trim only, on the front of the
// sheet, and only where the paper is larger than the card.

#include "card/card_faces.h"
#include "card/card_layout.h"
#include "card/fold_kind.h"
#include "report/length.h"

#include <QString>

#include <optional>
#include <vector>

struct TPagePoint {
    TLength X;
    TLength Y;
    constexpr bool operator==(const TPagePoint &) const = default;
};

struct TPageSize {
    TLength Width;
    TLength Height;
    constexpr bool operator==(const TPageSize &) const = default;
};

struct TPageRect {
    TLength Left;
    TLength Top;
    TLength Width;
    TLength Height;
    TLength Right() const { return Left + Width; }
    TLength Bottom() const { return Top + Height; }
    constexpr bool operator==(const TPageRect &) const = default;
};

struct TPageLine {
    TPagePoint From;
    TPagePoint To;
    constexpr bool operator==(const TPageLine &) const = default;
};

// The part of a face a placement draws: the whole face, or one panel of a
// folded card (the left or right half: outside back | front, inside left |
// right).
enum class TFacePart { Whole, LeftHalf, RightHalf };

struct TPlacement {
    TCardFace Face = TCardFace::Outside;
    TFacePart Part = TFacePart::Whole;
    // The top-left corner of the rectangle the part covers on the page.
    TPagePoint Origin;
    // 0 or 180 degrees: a part turned by 180 degrees has its own top-left
    // corner at the bottom-right of that rectangle.
    int Rotation = 0;
    constexpr bool operator==(const TPlacement &) const = default;
};

enum class TSheetSide { Front, Back };

// The edge a sheet is turned over before its back is printed: the one the
// print dialog names for the printer's duplex unit, or the one a person
// turns it over by hand.
enum class TFlipEdge { Long, Short };

struct TImposedPage {
    int Sheet = 0;  // from 0
    TSheetSide Side = TSheetSide::Front;
    TPageSize Size;  // the paper, as it goes to the printer (portrait or landscape)
    TPageRect Trim;  // the card's unfolded paper on it
    std::vector<TPlacement> Placements;
    // The fold lines across the trim, for the preview to show; never printed.
    std::vector<TPageLine> Folds;
    // Printed, outside the trim.
    std::vector<TPageLine> FoldMarks;
    std::vector<TPageLine> CropMarks;
};

struct TImpositionRequest {
    TFoldKind Fold = TFoldKind::FlatOneSided;
    // One face: the card's paper as it lies in front of the reader
    // (CardPageSize of its paper settings).
    TPageSize Face;
    // Without an inside a two-sided or half-fold card prints no back, and a
    // quarter-fold card leaves its upper half blank.
    bool HasInside = true;
    TFlipEdge Flip = TFlipEdge::Long;
    // The printer's paper, either way round; by default the card's unfolded
    // paper, which leaves no room for marks.
    std::optional<TPageSize> Paper;
};

struct TImposition {
    TFoldKind Fold = TFoldKind::FlatOneSided;
    TPageSize Face;
    TFlipEdge Flip = TFlipEdge::Long;
    // In printing order: each sheet's front, then its back when it has one.
    std::vector<TImposedPage> Pages;
};

// Crop and fold marks begin this far from the trim, so that a cut a little
// off the line leaves no mark on the card, and are at most this long.
constexpr TLength MarkGap = TLength::FromMm(3.0);
constexpr TLength MarkLength = TLength::FromMm(6.0);
// A mark that would be shorter than this on the paper is left out.
constexpr TLength ShortestMark = TLength::FromMm(1.0);

// One face of a card of this paper: the paper's page as it lies in front of
// the reader (CardPageSize).
TPageSize FaceSizeOf(const PaperSettings &paper);

// The card's paper unfolded: the face itself, or for a quarter-fold card a
// sheet as wide as the face and twice as high (an A5 face from A4).
TPageSize UnfoldedSize(TFoldKind fold, TPageSize face);

// The sheets for a card. The trim lies in the middle of the paper, so the
// front and the back of a sheet line up whichever edge it is turned over.
// The paper is turned when the card fits only that way, and preferably lies
// the way the card does. Raises ECardError when the face has no area or is
// longer than 200 inches, or the card does not fit on the paper.
TImposition Impose(const TImpositionRequest &request);

// The size of a part of a face, and the part's rectangle within the face
// (from the face's top-left corner).
TPageSize PartSize(TPageSize face, TFacePart part);
TPageRect PartInFace(TPageSize face, TFacePart part);
// Where a point of the face (from its top-left corner) lands on the page
// through a placement; the point should lie within the placement's part.
TPagePoint FaceToPage(const TPlacement &placement, TPageSize face, TPagePoint inFace);
// The rectangle a placement covers on the page.
TPageRect PlacementRect(const TPlacement &placement, TPageSize face);

// The back of a sheet is printed turned by 180 degrees when the edge it is
// turned over runs across the axis a person turns the card about.
int BackRotation(TPageSize sheet, TFlipEdge flip);

// For printing by hand: the pages of pass 1 (every front) or pass 2 (every
// back), as indices into Pages.
std::vector<int> PagesOfPass(const TImposition &imposition, int pass);
bool HasBackPages(const TImposition &imposition);
// What to tell a person between the passes.
QString ReinsertInstruction(TFlipEdge flip);
