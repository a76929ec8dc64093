// Where each face lies on the sheets for every fold, and the marks around
// the trim.
#include "report/imposition.h"

#include "card/card_layout.h"
#include "card/paper_config.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TLength Mm(double mm) { return TLength::FromMm(mm); }
TPageSize SizeMm(double width, double height) { return {Mm(width), Mm(height)}; }
TPagePoint AtMm(double x, double y) { return {Mm(x), Mm(y)}; }

// A5 landscape: the default card's paper.
const TPageSize A5Face = SizeMm(210, 148);
const TPageSize A4 = SizeMm(210, 297);

TImposition ImposeOn(TFoldKind fold, TPageSize face, TFlipEdge flip = TFlipEdge::Long,
                     std::optional<TPageSize> paper = std::nullopt, bool hasInside = true)
{
    TImpositionRequest request;
    request.Fold = fold;
    request.Face = face;
    request.Flip = flip;
    request.Paper = paper;
    request.HasInside = hasInside;
    return Impose(request);
}

bool Near(TLength a, TLength b) { return std::abs(a.TenthsMm() - b.TenthsMm()) < 1e-6; }

void ExpectPlacement(const TPlacement &placement, TCardFace face, TFacePart part, TPagePoint origin, int rotation)
{
    EXPECT_EQ(placement.Face, face);
    EXPECT_EQ(placement.Part, part);
    EXPECT_TRUE(Near(placement.Origin.X, origin.X) && Near(placement.Origin.Y, origin.Y))
        << placement.Origin.X.Mm() << ", " << placement.Origin.Y.Mm() << " instead of " << origin.X.Mm() << ", "
        << origin.Y.Mm();
    EXPECT_EQ(placement.Rotation, rotation);
}

TEST(Imposition, AFaceIsTheCardsPaperAsItLiesAndAQuarterFoldSheetTwiceAsHigh)
{
    PaperSettings paper;
    InitPaperSettings(paper);
    EXPECT_EQ(FaceSizeOf(paper), A5Face);
    // "A6 Card (half-fold)" in landscape: the face of an A6 quarter-fold card.
    paper.PaperIndex = 6;
    paper.PaperWidth = 148.5;
    paper.PaperLength = 210.0;
    EXPECT_EQ(FaceSizeOf(paper), SizeMm(210, 148.5));
    EXPECT_EQ(UnfoldedSize(TFoldKind::QuarterFold, FaceSizeOf(paper)), A4);
    EXPECT_EQ(UnfoldedSize(TFoldKind::HalfFold, FaceSizeOf(paper)), SizeMm(210, 148.5));
}

TEST(Imposition, AFlatOneSidedCardIsItsOutsideOnOnePageOfItsPaper)
{
    const TImposition imposition = ImposeOn(TFoldKind::FlatOneSided, A5Face);
    ASSERT_EQ(imposition.Pages.size(), 1u);
    const TImposedPage &page = imposition.Pages[0];
    EXPECT_EQ(page.Side, TSheetSide::Front);
    EXPECT_EQ(page.Size, A5Face);
    EXPECT_EQ(page.Trim, (TPageRect{TLength(), TLength(), Mm(210), Mm(148)}));
    ASSERT_EQ(page.Placements.size(), 1u);
    ExpectPlacement(page.Placements[0], TCardFace::Outside, TFacePart::Whole, AtMm(0, 0), 0);
    // The paper is the card: no room for marks, no folds.
    EXPECT_TRUE(page.CropMarks.empty());
    EXPECT_TRUE(page.FoldMarks.empty());
    EXPECT_TRUE(page.Folds.empty());
}

TEST(Imposition, ATwoSidedCardPrintsItsBackTurnedAsTheFlipEdgeSays)
{
    // A landscape sheet turned over its long (top) edge comes up upside
    // down for a person who turns it over sideways: the back is turned.
    const TImposition overLong = ImposeOn(TFoldKind::FlatTwoSided, A5Face, TFlipEdge::Long);
    ASSERT_EQ(overLong.Pages.size(), 2u);
    EXPECT_EQ(overLong.Pages[1].Side, TSheetSide::Back);
    ASSERT_EQ(overLong.Pages[1].Placements.size(), 1u);
    ExpectPlacement(overLong.Pages[1].Placements[0], TCardFace::Inside, TFacePart::Whole, AtMm(0, 0), 180);
    EXPECT_TRUE(overLong.Pages[1].CropMarks.empty());

    const TImposition overShort = ImposeOn(TFoldKind::FlatTwoSided, A5Face, TFlipEdge::Short);
    ExpectPlacement(overShort.Pages[1].Placements[0], TCardFace::Inside, TFacePart::Whole, AtMm(0, 0), 0);

    // A portrait card the other way round.
    const TImposition portrait = ImposeOn(TFoldKind::FlatTwoSided, SizeMm(100, 150), TFlipEdge::Long);
    EXPECT_EQ(portrait.Pages[1].Placements[0].Rotation, 0);

    // Without an inside there is no back to print.
    EXPECT_EQ(ImposeOn(TFoldKind::FlatTwoSided, A5Face, TFlipEdge::Long, std::nullopt, false).Pages.size(), 1u);
}

TEST(Imposition, AHalfFoldCardHasItsPanelsSideBySideAndTheInsideOnTheBack)
{
    const TImposition imposition = ImposeOn(TFoldKind::HalfFold, A5Face, TFlipEdge::Long);
    ASSERT_EQ(imposition.Pages.size(), 2u);
    const TImposedPage &front = imposition.Pages[0];
    ASSERT_EQ(front.Placements.size(), 2u);
    ExpectPlacement(front.Placements[0], TCardFace::Outside, TFacePart::LeftHalf, AtMm(0, 0), 0);
    ExpectPlacement(front.Placements[1], TCardFace::Outside, TFacePart::RightHalf, AtMm(105, 0), 0);
    ASSERT_EQ(front.Folds.size(), 1u);
    EXPECT_EQ(front.Folds[0], (TPageLine{AtMm(105, 0), AtMm(105, 148)}));

    // Turned over its long edge: the inside is turned, its right panel first.
    const TImposedPage &back = imposition.Pages[1];
    ASSERT_EQ(back.Placements.size(), 2u);
    ExpectPlacement(back.Placements[0], TCardFace::Inside, TFacePart::LeftHalf, AtMm(105, 0), 180);
    ExpectPlacement(back.Placements[1], TCardFace::Inside, TFacePart::RightHalf, AtMm(0, 0), 180);

    const TImposition overShort = ImposeOn(TFoldKind::HalfFold, A5Face, TFlipEdge::Short);
    ExpectPlacement(overShort.Pages[1].Placements[0], TCardFace::Inside, TFacePart::LeftHalf, AtMm(0, 0), 0);
    ExpectPlacement(overShort.Pages[1].Placements[1], TCardFace::Inside, TFacePart::RightHalf, AtMm(105, 0), 0);
}

TEST(Imposition, AQuarterFoldCardIsOneSideOfASheetOfTwiceItsPaper)
{
    // An A6 card: its faces are A5 (148.5 x 210 turned), the sheet A4.
    const TPageSize face = SizeMm(210, 148.5);
    const TImposition imposition = ImposeOn(TFoldKind::QuarterFold, face);
    ASSERT_EQ(imposition.Pages.size(), 1u);
    const TImposedPage &sheet = imposition.Pages[0];
    EXPECT_EQ(sheet.Size, A4);
    ASSERT_EQ(sheet.Placements.size(), 4u);
    // The outside upright on the lower half, back | front.
    ExpectPlacement(sheet.Placements[0], TCardFace::Outside, TFacePart::LeftHalf, AtMm(0, 148.5), 0);
    ExpectPlacement(sheet.Placements[1], TCardFace::Outside, TFacePart::RightHalf, AtMm(105, 148.5), 0);
    // The inside turned on the upper half: its left panel on the right.
    ExpectPlacement(sheet.Placements[2], TCardFace::Inside, TFacePart::LeftHalf, AtMm(105, 0), 180);
    ExpectPlacement(sheet.Placements[3], TCardFace::Inside, TFacePart::RightHalf, AtMm(0, 0), 180);
    ASSERT_EQ(sheet.Folds.size(), 2u);
    EXPECT_EQ(sheet.Folds[0], (TPageLine{AtMm(105, 0), AtMm(105, 297)}));
    EXPECT_EQ(sheet.Folds[1], (TPageLine{AtMm(0, 148.5), AtMm(210, 148.5)}));

    // On A4 paper given by the printer it is the same sheet.
    EXPECT_EQ(ImposeOn(TFoldKind::QuarterFold, face, TFlipEdge::Long, A4).Pages[0].Placements,
              sheet.Placements);
    // Without an inside the upper half stays blank.
    EXPECT_EQ(ImposeOn(TFoldKind::QuarterFold, face, TFlipEdge::Long, std::nullopt, false).Pages[0].Placements.size(),
              2u);
}

// A segment lies outside the rectangle when it does not enter its inside.
bool OutsideOf(const TPageLine &line, const TPageRect &rect)
{
    const double left = std::min(line.From.X.TenthsMm(), line.To.X.TenthsMm());
    const double right = std::max(line.From.X.TenthsMm(), line.To.X.TenthsMm());
    const double top = std::min(line.From.Y.TenthsMm(), line.To.Y.TenthsMm());
    const double bottom = std::max(line.From.Y.TenthsMm(), line.To.Y.TenthsMm());
    return right < rect.Left.TenthsMm() || left > rect.Right().TenthsMm() || bottom < rect.Top.TenthsMm()
           || top > rect.Bottom().TenthsMm();
}

bool OnPaper(const TPageLine &line, TPageSize paper)
{
    for (const TPagePoint &p : {line.From, line.To}) {
        if (p.X.TenthsMm() < -1e-6 || p.Y.TenthsMm() < -1e-6 || p.X.TenthsMm() > paper.Width.TenthsMm() + 1e-6
            || p.Y.TenthsMm() > paper.Height.TenthsMm() + 1e-6)
            return false;
    }
    return true;
}

TEST(Imposition, MarksLieOutsideTheTrimOnThePaperForEveryFold)
{
    // A hagaki-sized card (200 x 148) on A3, which lies the card's way.
    for (const TFoldKind fold : AllFoldKinds) {
        const TImposition imposition = ImposeOn(fold, SizeMm(200, 148), TFlipEdge::Long, SizeMm(297, 420));
        const TImposedPage &front = imposition.Pages[0];
        const TPageSize unfolded = UnfoldedSize(fold, SizeMm(200, 148));
        // The trim lies in the middle of the paper.
        EXPECT_TRUE(Near(front.Trim.Left * 2.0 + front.Trim.Width, front.Size.Width));
        EXPECT_TRUE(Near(front.Trim.Top * 2.0 + front.Trim.Height, front.Size.Height));
        EXPECT_EQ(front.Trim.Width, unfolded.Width);
        EXPECT_EQ(front.Trim.Height, unfolded.Height);
        EXPECT_EQ(front.CropMarks.size(), 8u) << FoldKindWord(fold).toStdString();
        EXPECT_EQ(front.FoldMarks.size(), 2 * front.Folds.size());
        for (const std::vector<TPageLine> *marks : {&front.CropMarks, &front.FoldMarks}) {
            for (const TPageLine &mark : *marks) {
                EXPECT_TRUE(OutsideOf(mark, front.Trim));
                EXPECT_TRUE(OnPaper(mark, front.Size));
                const bool horizontal = mark.From.Y == mark.To.Y;
                const bool vertical = mark.From.X == mark.To.X;
                EXPECT_TRUE(horizontal != vertical);
            }
        }
        // Each fold mark continues its fold.
        for (const TPageLine &mark : front.FoldMarks) {
            bool continuesAFold = false;
            for (const TPageLine &foldLine : front.Folds) {
                continuesAFold |= (foldLine.From.X == foldLine.To.X && mark.From.X == foldLine.From.X
                                   && mark.To.X == foldLine.From.X)
                                  || (foldLine.From.Y == foldLine.To.Y && mark.From.Y == foldLine.From.Y
                                      && mark.To.Y == foldLine.From.Y);
            }
            EXPECT_TRUE(continuesAFold);
        }
        // The back carries none: the sheet is cut and folded from its front.
        for (std::size_t i = 1; i < imposition.Pages.size(); ++i) {
            EXPECT_TRUE(imposition.Pages[i].CropMarks.empty());
            EXPECT_TRUE(imposition.Pages[i].FoldMarks.empty());
            EXPECT_EQ(imposition.Pages[i].Trim, front.Trim);
        }
    }
}

TEST(Imposition, CropMarksSitAtTheCornersAMarkGapAway)
{
    const TImposition imposition = ImposeOn(TFoldKind::FlatOneSided, SizeMm(100, 100), TFlipEdge::Long, A4);
    const TImposedPage &page = imposition.Pages[0];
    EXPECT_EQ(page.Trim, (TPageRect{Mm(55), Mm(98.5), Mm(100), Mm(100)}));
    // The top-left corner's horizontal mark: on the top edge's line, from
    // 3 mm to 9 mm left of the corner.
    EXPECT_EQ(page.CropMarks[0], (TPageLine{AtMm(52, 98.5), AtMm(46, 98.5)}));
}

TEST(Imposition, MarksAreCutShortAtThePaperEdgeOrLeftOut)
{
    // 4 mm either side: 1 mm of mark after the 3 mm gap.
    const TImposition narrow = ImposeOn(TFoldKind::HalfFold, SizeMm(202, 100), TFlipEdge::Long, SizeMm(210, 104));
    const TImposedPage &page = narrow.Pages[0];
    for (const TPageLine &mark : page.CropMarks)
        EXPECT_TRUE(OnPaper(mark, page.Size));
    const TPageLine &leftMark = page.CropMarks[0];
    EXPECT_TRUE(Near(leftMark.To.X, TLength()));
    // 0.5 mm either side of an A4 quarter-fold: nothing fits.
    EXPECT_TRUE(ImposeOn(TFoldKind::QuarterFold, SizeMm(209, 148), TFlipEdge::Long, A4).Pages[0].CropMarks.empty());
}

TEST(Imposition, ThePaperIsTurnedWhenTheCardFitsOnlyThatWayAndAPaperTooSmallIsRefused)
{
    // Lies the card's way when both would do.
    EXPECT_EQ(ImposeOn(TFoldKind::FlatOneSided, SizeMm(150, 100), TFlipEdge::Long, A4).Pages[0].Size,
              SizeMm(297, 210));
    EXPECT_EQ(ImposeOn(TFoldKind::FlatOneSided, SizeMm(100, 150), TFlipEdge::Long, SizeMm(297, 210)).Pages[0].Size,
              A4);
    // Fits only across.
    EXPECT_EQ(ImposeOn(TFoldKind::FlatOneSided, SizeMm(100, 250), TFlipEdge::Long, SizeMm(297, 210)).Pages[0].Size,
              A4);
    try {
        ImposeOn(TFoldKind::QuarterFold, SizeMm(210, 148.5), TFlipEdge::Long, SizeMm(148, 210));
        ADD_FAILURE() << "an A4 sheet taken on A5";
    } catch (const ECardError &error) {
        EXPECT_NE(std::string(error.what()).find("210.0 x 297.0 mm unfolded"), std::string::npos) << error.what();
    }
    EXPECT_THROW(ImposeOn(TFoldKind::HalfFold, SizeMm(0, 148)), ECardError);
    EXPECT_THROW(ImposeOn(TFoldKind::HalfFold, SizeMm(210, 6000)), ECardError);
    EXPECT_THROW(ImposeOn(TFoldKind::HalfFold, {TLength::FromTenthsMm(std::nan("")), Mm(148)}), ECardError);
}

TEST(Imposition, TheBackIsTurnedWhereTheFlipEdgeRunsAcrossAPersonsVerticalAxis)
{
    EXPECT_EQ(BackRotation(SizeMm(210, 297), TFlipEdge::Long), 0);
    EXPECT_EQ(BackRotation(SizeMm(210, 297), TFlipEdge::Short), 180);
    EXPECT_EQ(BackRotation(SizeMm(297, 210), TFlipEdge::Long), 180);
    EXPECT_EQ(BackRotation(SizeMm(297, 210), TFlipEdge::Short), 0);
    EXPECT_EQ(BackRotation(SizeMm(150, 150), TFlipEdge::Long), 0);
    EXPECT_EQ(BackRotation(SizeMm(150, 150), TFlipEdge::Short), 0);
}

TEST(Imposition, FacePointsLandWhereThePlacementSays)
{
    const TPlacement turnedLeft{TCardFace::Inside, TFacePart::LeftHalf, AtMm(105, 0), 180};
    // The left panel's top-left corner lands at the bottom-right of its slot.
    EXPECT_EQ(FaceToPage(turnedLeft, A5Face, AtMm(0, 0)), AtMm(210, 148));
    EXPECT_EQ(FaceToPage(turnedLeft, A5Face, AtMm(105, 148)), AtMm(105, 0));
    const TPlacement right{TCardFace::Outside, TFacePart::RightHalf, AtMm(105, 10), 0};
    EXPECT_EQ(FaceToPage(right, A5Face, AtMm(105, 0)), AtMm(105, 10));
    EXPECT_EQ(FaceToPage(right, A5Face, AtMm(210, 148)), AtMm(210, 158));
    EXPECT_EQ(PlacementRect(right, A5Face), (TPageRect{Mm(105), Mm(10), Mm(105), Mm(148)}));
    EXPECT_EQ(PartInFace(A5Face, TFacePart::RightHalf), (TPageRect{Mm(105), TLength(), Mm(105), Mm(148)}));
}

TEST(Imposition, PrintingByHandPrintsEveryFrontThenEveryBack)
{
    const TImposition halfFold = ImposeOn(TFoldKind::HalfFold, A5Face);
    EXPECT_EQ(PagesOfPass(halfFold, 1), std::vector<int>{0});
    EXPECT_EQ(PagesOfPass(halfFold, 2), std::vector<int>{1});
    EXPECT_TRUE(HasBackPages(halfFold));
    EXPECT_FALSE(HasBackPages(ImposeOn(TFoldKind::QuarterFold, A5Face)));
    EXPECT_NE(ReinsertInstruction(TFlipEdge::Long), ReinsertInstruction(TFlipEdge::Short));
}

} // namespace
