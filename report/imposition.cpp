#include "report/imposition.h"

#include "card/card_layout.h"
#include "report/card_page.h"

#include <algorithm>

namespace {

// Lengths are doubles of tenths of a millimetre: a hundredth of a tenth is
// far below any printer's dot and absorbs the rounding of mm and inches.
constexpr double Tolerance = 0.01;

bool FitsIn(TPageSize inner, TPageSize outer)
{
    return inner.Width.TenthsMm() <= outer.Width.TenthsMm() + Tolerance
           && inner.Height.TenthsMm() <= outer.Height.TenthsMm() + Tolerance;
}

TPageSize Turned(TPageSize size) { return {size.Height, size.Width}; }

bool IsLandscape(TPageSize size) { return size.Width > size.Height; }

QString MmText(TLength length) { return QString::number(length.Mm(), 'f', 1); }

TPageSize ChoosePaper(TPageSize unfolded, const std::optional<TPageSize> &paper)
{
    if (!paper)
        return unfolded;
    const TPageSize asGiven = *paper;
    const TPageSize turned = Turned(*paper);
    // The way the card lies first: it leaves the margins on all sides where
    // the paper allows it.
    const bool givenMatches = IsLandscape(asGiven) == IsLandscape(unfolded);
    const TPageSize first = givenMatches ? asGiven : turned;
    const TPageSize second = givenMatches ? turned : asGiven;
    if (FitsIn(unfolded, first))
        return first;
    if (FitsIn(unfolded, second))
        return second;
    throw ECardError(QStringLiteral("The card (%1 x %2 mm unfolded) does not fit on the printer's paper "
                                    "(%3 x %4 mm). Choose larger paper in the print dialog.")
                         .arg(MmText(unfolded.Width), MmText(unfolded.Height), MmText(paper->Width),
                              MmText(paper->Height)));
}

// A mark running outward from `start` along (dx, dy), a unit direction along
// one axis: it begins MarkGap from the trim and ends at MarkLength or at the
// paper's edge, whichever comes first. Nothing when too little is left.
void AddMark(std::vector<TPageLine> &marks, TPagePoint start, int dx, int dy, TPageSize paper)
{
    // The room between the trim and the paper's edge in that direction.
    double room = 0;
    if (dx < 0)
        room = start.X.TenthsMm();
    else if (dx > 0)
        room = paper.Width.TenthsMm() - start.X.TenthsMm();
    else if (dy < 0)
        room = start.Y.TenthsMm();
    else
        room = paper.Height.TenthsMm() - start.Y.TenthsMm();
    const double from = MarkGap.TenthsMm();
    const double to = std::min(from + MarkLength.TenthsMm(), room);
    if (to - from < ShortestMark.TenthsMm() - Tolerance)
        return;
    auto at = [&](double distance) {
        return TPagePoint{start.X + TLength::FromTenthsMm(dx * distance), start.Y + TLength::FromTenthsMm(dy * distance)};
    };
    marks.push_back({at(from), at(to)});
}

std::vector<TPageLine> CropMarksAround(const TPageRect &trim, TPageSize paper)
{
    std::vector<TPageLine> marks;
    for (const TLength y : {trim.Top, trim.Bottom()}) {
        AddMark(marks, {trim.Left, y}, -1, 0, paper);
        AddMark(marks, {trim.Right(), y}, 1, 0, paper);
    }
    for (const TLength x : {trim.Left, trim.Right()}) {
        AddMark(marks, {x, trim.Top}, 0, -1, paper);
        AddMark(marks, {x, trim.Bottom()}, 0, 1, paper);
    }
    return marks;
}

// The fold lines across the trim: down the middle of the panels, and for a
// quarter-fold sheet across the middle too.
std::vector<TPageLine> FoldsOf(TFoldKind fold, const TPageRect &trim)
{
    std::vector<TPageLine> folds;
    if (!FoldHasPanels(fold))
        return folds;
    const TLength middleX = trim.Left + trim.Width * 0.5;
    folds.push_back({{middleX, trim.Top}, {middleX, trim.Bottom()}});
    if (fold == TFoldKind::QuarterFold) {
        const TLength middleY = trim.Top + trim.Height * 0.5;
        folds.push_back({{trim.Left, middleY}, {trim.Right(), middleY}});
    }
    return folds;
}

std::vector<TPageLine> FoldMarksOf(const std::vector<TPageLine> &folds, TPageSize paper)
{
    std::vector<TPageLine> marks;
    for (const TPageLine &fold : folds) {
        if (fold.From.X == fold.To.X) {
            AddMark(marks, fold.From, 0, -1, paper);
            AddMark(marks, fold.To, 0, 1, paper);
        } else {
            AddMark(marks, fold.From, -1, 0, paper);
            AddMark(marks, fold.To, 1, 0, paper);
        }
    }
    return marks;
}

// One face at `origin`: whole on a flat card, as two panels on a folded one.
// Turned by 180 degrees the right panel comes first from the left.
void PlaceFace(std::vector<TPlacement> &placements, TCardFace face, TPagePoint origin, TPageSize faceSize,
               bool panels, int rotation)
{
    if (!panels) {
        placements.push_back({face, TFacePart::Whole, origin, rotation});
        return;
    }
    const TPagePoint leftSlot = origin;
    const TPagePoint rightSlot{origin.X + faceSize.Width * 0.5, origin.Y};
    const bool turned = rotation == 180;
    placements.push_back({face, TFacePart::LeftHalf, turned ? rightSlot : leftSlot, rotation});
    placements.push_back({face, TFacePart::RightHalf, turned ? leftSlot : rightSlot, rotation});
}

TImposedPage PageOn(TPageSize paper, const TPageRect &trim, TSheetSide side, TFoldKind fold)
{
    TImposedPage page;
    page.Sheet = 0;
    page.Side = side;
    page.Size = paper;
    page.Trim = trim;
    page.Folds = FoldsOf(fold, trim);
    if (side == TSheetSide::Front) {
        page.FoldMarks = FoldMarksOf(page.Folds, paper);
        page.CropMarks = CropMarksAround(trim, paper);
    }
    return page;
}

} // namespace

TPageSize FaceSizeOf(const PaperSettings &paper)
{
    const TCardPageSize page = CardPageSize(paper);
    return {page.Width, page.Height};
}

TPageSize UnfoldedSize(TFoldKind fold, TPageSize face)
{
    if (fold == TFoldKind::QuarterFold)
        return {face.Width, face.Height * 2.0};
    return face;
}

int BackRotation(TPageSize sheet, TFlipEdge flip)
{
    // A person turns the card about a vertical axis. On a portrait sheet
    // the long edges are the vertical ones, on a landscape sheet the short
    // ones; a square sheet has only vertical edges to choose.
    if (sheet.Width == sheet.Height)
        return 0;
    const bool longEdgeIsVertical = !IsLandscape(sheet);
    const bool flipAboutVertical = (flip == TFlipEdge::Long) == longEdgeIsVertical;
    return flipAboutVertical ? 0 : 180;
}

TImposition Impose(const TImpositionRequest &request)
{
    const TPageSize face = request.Face;
    // As for a flat card's page: no area, or longer than any printer takes.
    const TLength longest = TLength::FromInches(200);
    if (!(face.Width > TLength() && face.Height > TLength() && face.Width <= longest && face.Height <= longest))
        throw ECardError(QStringLiteral("The card's paper (%1 x %2 mm) cannot be printed: choose another paper in "
                                        "Paper Set.")
                             .arg(MmText(face.Width), MmText(face.Height)));
    const TPageSize unfolded = UnfoldedSize(request.Fold, face);
    const TPageSize paper = ChoosePaper(unfolded, request.Paper);
    const TPageRect trim{(paper.Width - unfolded.Width) * 0.5, (paper.Height - unfolded.Height) * 0.5,
                         unfolded.Width, unfolded.Height};
    const bool panels = FoldHasPanels(request.Fold);

    TImposition imposition;
    imposition.Fold = request.Fold;
    imposition.Face = face;
    imposition.Flip = request.Flip;

    TImposedPage front = PageOn(paper, trim, TSheetSide::Front, request.Fold);
    if (request.Fold == TFoldKind::QuarterFold) {
        PlaceFace(front.Placements, TCardFace::Outside, {trim.Left, trim.Top + face.Height}, face, panels, 0);
        if (request.HasInside)
            PlaceFace(front.Placements, TCardFace::Inside, {trim.Left, trim.Top}, face, panels, 180);
        imposition.Pages.push_back(front);
        return imposition;
    }
    PlaceFace(front.Placements, TCardFace::Outside, {trim.Left, trim.Top}, face, panels, 0);
    imposition.Pages.push_back(front);
    if (FoldHasSecondFace(request.Fold) && request.HasInside) {
        TImposedPage back = PageOn(paper, trim, TSheetSide::Back, request.Fold);
        PlaceFace(back.Placements, TCardFace::Inside, {trim.Left, trim.Top}, face, panels,
                  BackRotation(paper, request.Flip));
        imposition.Pages.push_back(back);
    }
    return imposition;
}

TPageSize PartSize(TPageSize face, TFacePart part)
{
    if (part == TFacePart::Whole)
        return face;
    return {face.Width * 0.5, face.Height};
}

TPageRect PartInFace(TPageSize face, TFacePart part)
{
    const TPageSize size = PartSize(face, part);
    const TLength left = part == TFacePart::RightHalf ? face.Width * 0.5 : TLength();
    return {left, TLength(), size.Width, size.Height};
}

TPagePoint FaceToPage(const TPlacement &placement, TPageSize face, TPagePoint inFace)
{
    const TPageRect part = PartInFace(face, placement.Part);
    const TLength x = inFace.X - part.Left;
    const TLength y = inFace.Y - part.Top;
    if (placement.Rotation == 180)
        return {placement.Origin.X + (part.Width - x), placement.Origin.Y + (part.Height - y)};
    return {placement.Origin.X + x, placement.Origin.Y + y};
}

TPageRect PlacementRect(const TPlacement &placement, TPageSize face)
{
    const TPageSize size = PartSize(face, placement.Part);
    return {placement.Origin.X, placement.Origin.Y, size.Width, size.Height};
}

std::vector<int> PagesOfPass(const TImposition &imposition, int pass)
{
    const TSheetSide side = pass == 1 ? TSheetSide::Front : TSheetSide::Back;
    std::vector<int> pages;
    for (int i = 0; i < int(imposition.Pages.size()); ++i) {
        if (imposition.Pages[std::size_t(i)].Side == side)
            pages.push_back(i);
    }
    return pages;
}

bool HasBackPages(const TImposition &imposition) { return !PagesOfPass(imposition, 2).empty(); }

QString ReinsertInstruction(TFlipEdge flip)
{
    if (flip == TFlipEdge::Long)
        return QStringLiteral("Put the printed sheet back into the printer to print its other side: turn it over "
                              "its long edge, so that the edge that went in first goes in first again.");
    return QStringLiteral("Put the printed sheet back into the printer to print its other side: turn it over "
                          "its short edge, so that the edge that went in last now goes in first.");
}
