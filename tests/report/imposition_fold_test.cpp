// Folding simulated in code: the imposed pages are drawn from small face
// pictures with no symmetry, then folded, turned and opened as paper is,
// and what a person sees is held against each face. The model of the
// paper here is independent of the imposition's rules: a printer prints
// the back so that it reads upright when the sheet is turned over the edge
// its duplex setting names, and a person turns a card over, or opens it,
// about a vertical axis.
#include "report/imposition.h"
#include "report/imposition_paint.h"
#include "report/printer_calibration.h"
#include "report/calibration_sheet_paint.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>

namespace {

TLength Mm(double mm) { return TLength::FromMm(mm); }
TPageSize SizeMm(double width, double height) { return {Mm(width), Mm(height)}; }

// At this resolution a millimetre is one pixel.
constexpr double PixelPerMm = 25.4;

// A face picture whose every pixel says where it is: red across, green
// down, and a blue of the face's own; a dark block in its top-left corner.
QImage FacePicture(QSize size, int blue)
{
    QImage picture(size, QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            picture.setPixelColor(x, y, QColor(x * 255 / (size.width() - 1), y * 255 / (size.height() - 1), blue));
    }
    QPainter painter(&picture);
    painter.fillRect(QRect(3, 3, size.width() / 5, size.height() / 6), QColor(20, 20, 20));
    return picture;
}

double Psnr(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 0.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row);
        const uchar *q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i)
            sum += double(p[i] - q[i]) * double(p[i] - q[i]);
    }
    const double mse = sum / (double(x.width()) * x.height() * 3);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

QRect TrimPixels(const TImposedPage &page, double dpi)
{
    const double perTenth = dpi / TLength::TenthsPerInch;
    return QRect(int(std::lround(page.Trim.Left.TenthsMm() * perTenth)),
                 int(std::lround(page.Trim.Top.TenthsMm() * perTenth)),
                 int(std::lround(page.Trim.Width.TenthsMm() * perTenth)),
                 int(std::lround(page.Trim.Height.TenthsMm() * perTenth)));
}

// The sheet's back seen through the paper from the front, after the
// printer printed `back` on it to read upright turned over `flip`.
QImage BackSeenFromFront(const QImage &back, TFlipEdge flip)
{
    const bool portrait = back.height() > back.width();
    const bool longEdgesVertical = portrait || back.height() == back.width();
    const bool turnedSideways = (flip == TFlipEdge::Long) == longEdgesVertical || back.height() == back.width();
    return turnedSideways ? back.mirrored(true, false) : back.mirrored(false, true);
}

// What a person sees of the back after turning the sheet over sideways.
QImage TurnedOverSideways(const QImage &seenFromFront) { return seenFromFront.mirrored(true, false); }

struct TFoldCase {
    TFoldKind Fold;
    TPageSize Face;
    TFlipEdge Flip;
    std::optional<TPageSize> Paper;
};

class FoldedInCode : public ::testing::TestWithParam<TFoldCase> {};

TEST_P(FoldedInCode, TheBackReadsAsTheInsideWhereTheFrontShowsTheOutside)
{
    const TFoldCase c = GetParam();
    const QSize faceSize(int(c.Face.Width.Mm()), int(c.Face.Height.Mm()));
    const TFacePictures faces{FacePicture(faceSize, 40), FacePicture(faceSize, 200)};
    const TImposition imposition = Impose({c.Fold, c.Face, true, c.Flip, c.Paper});
    ASSERT_EQ(imposition.Pages.size(), 2u);

    const QImage front = RenderImposedPage(imposition.Pages[0], c.Face, faces, PixelPerMm);
    const QImage back = RenderImposedPage(imposition.Pages[1], c.Face, faces, PixelPerMm);
    const QRect trim = TrimPixels(imposition.Pages[0], PixelPerMm);
    EXPECT_GE(Psnr(front.copy(trim), faces.Outside), 30.0);

    // The inside, where the card lies, once the sheet is turned over (or
    // the folded card opened) as a person does.
    const QImage seen = TurnedOverSideways(BackSeenFromFront(back, c.Flip));
    EXPECT_GE(Psnr(seen.copy(trim), faces.Inside), 30.0);
    // Not the inside the other way up, which would pass an image-wide test.
    EXPECT_LT(Psnr(seen.copy(trim), faces.Inside.mirrored(true, true)), 20.0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFlipAndShape, FoldedInCode,
    ::testing::Values(TFoldCase{TFoldKind::HalfFold, SizeMm(80, 60), TFlipEdge::Long, std::nullopt},
                      TFoldCase{TFoldKind::HalfFold, SizeMm(80, 60), TFlipEdge::Short, std::nullopt},
                      TFoldCase{TFoldKind::HalfFold, SizeMm(80, 60), TFlipEdge::Long, SizeMm(100, 130)},
                      TFoldCase{TFoldKind::HalfFold, SizeMm(80, 60), TFlipEdge::Short, SizeMm(100, 130)},
                      TFoldCase{TFoldKind::HalfFold, SizeMm(60, 90), TFlipEdge::Long, std::nullopt},
                      TFoldCase{TFoldKind::FlatTwoSided, SizeMm(80, 60), TFlipEdge::Long, std::nullopt},
                      TFoldCase{TFoldKind::FlatTwoSided, SizeMm(80, 60), TFlipEdge::Short, SizeMm(130, 100)},
                      TFoldCase{TFoldKind::FlatTwoSided, SizeMm(60, 90), TFlipEdge::Short, std::nullopt},
                      TFoldCase{TFoldKind::FlatTwoSided, SizeMm(70, 70), TFlipEdge::Short, std::nullopt}),
    [](const ::testing::TestParamInfo<TFoldCase> &info) {
        const TFoldCase &c = info.param;
        QString name = FoldKindWord(c.Fold).remove(QLatin1Char('-')) + QStringLiteral("_%1x%2_")
                                                                          .arg(int(c.Face.Width.Mm()))
                                                                          .arg(int(c.Face.Height.Mm()))
                       + (c.Flip == TFlipEdge::Long ? QStringLiteral("LongEdge") : QStringLiteral("ShortEdge"));
        if (c.Paper)
            name += QStringLiteral("_OnPaper%1x%2").arg(int(c.Paper->Width.Mm())).arg(int(c.Paper->Height.Mm()));
        return name.toStdString();
    });

TEST(FoldedInCodeQuarter, TheLowerHalfIsTheOutsideAndTheUpperHalfFoldedBehindReadsAsTheInside)
{
    for (const std::optional<TPageSize> paper : {std::optional<TPageSize>(), std::optional(SizeMm(110, 150))}) {
        const TPageSize face = SizeMm(80, 60);
        const TFacePictures faces{FacePicture(QSize(80, 60), 40), FacePicture(QSize(80, 60), 200)};
        const TImposition imposition = Impose({TFoldKind::QuarterFold, face, true, TFlipEdge::Long, paper});
        ASSERT_EQ(imposition.Pages.size(), 1u);
        const QImage sheet = RenderImposedPage(imposition.Pages[0], face, faces, PixelPerMm);
        const QImage card = sheet.copy(TrimPixels(imposition.Pages[0], PixelPerMm));
        ASSERT_EQ(card.size(), QSize(80, 120));

        const QImage lower = card.copy(0, 60, 80, 60);
        EXPECT_GE(Psnr(lower, faces.Outside), 30.0);
        // First fold: the upper half goes behind the lower, mirrored about
        // the fold; seen through the paper from the front it is the upper
        // half flipped upside down. Opened, the card shows it turned over
        // sideways.
        const QImage behind = card.copy(0, 0, 80, 60).mirrored(false, true);
        const QImage inside = TurnedOverSideways(behind);
        EXPECT_GE(Psnr(inside, faces.Inside), 30.0);
        // Second fold, down the middle, back behind front: the cover is the
        // outside's right panel, upright.
        EXPECT_GE(Psnr(lower.copy(40, 0, 40, 60), faces.Outside.copy(40, 0, 40, 60)), 30.0);
    }
}

TEST(FoldedInCodeQuarter, AFaceDrawnAtAnotherResolutionStillFolds)
{
    // An A6 card from A4 at 60 dpi, its faces rendered at 96 dpi.
    const TPageSize face = SizeMm(210, 148.5);
    const QSize faceSize(794, 561);
    const TFacePictures faces{FacePicture(faceSize, 40), FacePicture(faceSize, 200)};
    const TImposition imposition = Impose({TFoldKind::QuarterFold, face, true, TFlipEdge::Long, std::nullopt});
    const double dpi = 60;
    const QImage sheet = RenderImposedPage(imposition.Pages[0], face, faces, dpi);
    const int width = sheet.width();
    const int half = sheet.height() / 2;
    const QImage lower = sheet.copy(0, sheet.height() - half, width, half);
    const QImage inside = sheet.copy(0, 0, width, half).mirrored(true, true);
    const QSize at(width, half);
    EXPECT_GE(Psnr(lower, faces.Outside.scaled(at, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)), 30.0);
    EXPECT_GE(Psnr(inside, faces.Inside.scaled(at, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)), 30.0);
}

TEST(FoldedInCodeMarks, PrintedMarksLeaveTheCardUntouched)
{
    const TPageSize face = SizeMm(80, 60);
    const TFacePictures blank{QImage(), QImage()};
    const TImposition imposition = Impose({TFoldKind::QuarterFold, face, true, TFlipEdge::Long, SizeMm(110, 150)});
    const QImage sheet = RenderImposedPage(imposition.Pages[0], face, blank, PixelPerMm * 4);
    const QRect trim = TrimPixels(imposition.Pages[0], PixelPerMm * 4);
    int inkOutside = 0;
    for (int y = 0; y < sheet.height(); ++y) {
        for (int x = 0; x < sheet.width(); ++x) {
            const bool ink = sheet.pixelColor(x, y) != QColor(Qt::white);
            if (ink && trim.adjusted(-2, -2, 2, 2).contains(x, y))
                ADD_FAILURE() << "ink at " << x << ", " << y << " on the card";
            inkOutside += ink;
        }
    }
    EXPECT_GT(inkOutside, 0);
}

TEST(FoldedInCodeCalibration, TheOffsetMovesThePrintedCardByExactlyTheAmountTyped)
{
    const TPageSize face = SizeMm(80, 60);
    const TFacePictures faces{FacePicture(QSize(80, 60), 40), FacePicture(QSize(80, 60), 200)};
    const TImposition plain = Impose({TFoldKind::HalfFold, face, true, TFlipEdge::Long, SizeMm(120, 100)});
    TPrinterCalibration calibration;
    calibration.Front = {Mm(3.0), Mm(-2.0)};
    calibration.Back = {Mm(-1.0), Mm(4.0)};
    const TImposition moved = Calibrated(plain, calibration);

    for (std::size_t i = 0; i < plain.Pages.size(); ++i) {
        const TPageOffset offset = plain.Pages[i].Side == TSheetSide::Back ? calibration.Back : calibration.Front;
        const int dx = int(offset.X.Mm());
        const int dy = int(offset.Y.Mm());
        EXPECT_EQ(moved.Pages[i].Size, plain.Pages[i].Size);
        // Everything printed moves by the offset, to the tenth.
        const TImposedPage &a = plain.Pages[i];
        const TImposedPage &b = moved.Pages[i];
        EXPECT_EQ(b.Trim.Left - a.Trim.Left, offset.X);
        EXPECT_EQ(b.Trim.Top - a.Trim.Top, offset.Y);
        for (std::size_t k = 0; k < a.Placements.size(); ++k) {
            EXPECT_EQ(b.Placements[k].Origin.X - a.Placements[k].Origin.X, offset.X);
            EXPECT_EQ(b.Placements[k].Origin.Y - a.Placements[k].Origin.Y, offset.Y);
        }
        for (std::size_t k = 0; k < a.CropMarks.size(); ++k) {
            EXPECT_EQ(b.CropMarks[k].From.X - a.CropMarks[k].From.X, offset.X);
            EXPECT_EQ(b.CropMarks[k].To.Y - a.CropMarks[k].To.Y, offset.Y);
        }
        ASSERT_EQ(b.FoldMarks.size(), a.FoldMarks.size());

        // And so does the card on the printed page, pixel for pixel.
        const QImage before = RenderImposedPage(a, face, faces, PixelPerMm);
        const QImage after = RenderImposedPage(b, face, faces, PixelPerMm);
        const QRect card = TrimPixels(a, PixelPerMm);
        EXPECT_EQ(after.copy(card.translated(dx, dy)), before.copy(card));
        EXPECT_NE(after.copy(card), before.copy(card));
    }
}

TEST(ImposedPageLayout, AStandardSheetGoesToThePrinterAsThatPaperAndAnyOtherAsACustomSize)
{
    const auto layoutOf = [](TFoldKind fold, TPageSize face, std::optional<TPageSize> paper = std::nullopt) {
        return ImposedPageLayout(Impose({fold, face, true, TFlipEdge::Long, paper}).Pages[0]);
    };
    // An A6 quarter-fold card: one A4 sheet.
    const QPageLayout a4 = layoutOf(TFoldKind::QuarterFold, SizeMm(210, 148.5));
    EXPECT_EQ(a4.pageSize().id(), QPageSize::A4);
    EXPECT_EQ(a4.orientation(), QPageLayout::Portrait);
    EXPECT_EQ(a4.mode(), QPageLayout::FullPageMode);
    EXPECT_EQ(a4.margins(), QMarginsF(0, 0, 0, 0));
    // The default card: A5 lying on its side.
    const QPageLayout a5 = layoutOf(TFoldKind::HalfFold, SizeMm(210, 148));
    EXPECT_EQ(a5.pageSize().id(), QPageSize::A5);
    EXPECT_EQ(a5.orientation(), QPageLayout::Landscape);
    // Half a millimetre off A5 is no A5.
    const QPageLayout custom = layoutOf(TFoldKind::HalfFold, SizeMm(210, 148.5));
    EXPECT_EQ(custom.pageSize().id(), QPageSize::Custom);
    EXPECT_NEAR(custom.fullRect(QPageLayout::Millimeter).width(), 210.0, 1e-6);
    EXPECT_NEAR(custom.fullRect(QPageLayout::Millimeter).height(), 148.5, 1e-6);
    // On the printer's letter paper.
    const TPageSize letter = PrinterPaperSize(QPageSize(QPageSize::Letter));
    EXPECT_NEAR(letter.Width.Mm(), 215.9, 0.05);
    EXPECT_EQ(layoutOf(TFoldKind::FlatOneSided, SizeMm(100, 150), letter).pageSize().id(), QPageSize::Letter);
}

TEST(CalibrationSheetPaint, TheZeroTicksArePrintedOnTheMiddleLines)
{
    const TCalibrationSheet sheet = CalibrationSheet(SizeMm(210, 297), TSheetSide::Front);
    const double dotsPerTenth = 0.5;  // 127 dpi
    QImage page(1050, 1485, QImage::Format_RGB888);
    page.fill(Qt::white);
    QPainter painter(&page);
    PaintCalibrationSheet(painter, sheet, dotsPerTenth);
    painter.end();
    // The upper ruler across: its zero tick runs down from the spine at a
    // quarter of the height, on the vertical middle line.
    const QPoint zeroTick(int(1050 * dotsPerTenth), int((2970 * 0.25 + 20) * dotsPerTenth));
    ASSERT_TRUE(page.rect().contains(zeroTick));
    bool ink = false;
    for (int dx = -1; dx <= 1; ++dx)
        ink |= page.pixelColor(zeroTick + QPoint(dx, 0)) != QColor(Qt::white);
    EXPECT_TRUE(ink);
    // Half a millimetre beside it, between two ticks, the paper is blank.
    EXPECT_EQ(page.pixelColor(zeroTick + QPoint(2, 0)), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(2, 2), QColor(Qt::white));
}

} // namespace
