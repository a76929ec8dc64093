#include "report/length.h"
#include "report/rounding.h"
#include "report/paper_units.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

TEST(Length, ConvertsBetweenMillimetresInchesTwipsAndPixels)
{
    const TLength inch = TLength::FromInches(1.0);
    EXPECT_DOUBLE_EQ(inch.TenthsMm(), 254.0);
    EXPECT_DOUBLE_EQ(inch.Mm(), 25.4);
    EXPECT_DOUBLE_EQ(inch.Twips(), 1440.0);
    EXPECT_DOUBLE_EQ(inch.Pixels(96), 96.0);
    EXPECT_DOUBLE_EQ(inch.Pixels(120), 120.0);
    // One pixel at 96 dpi is exactly 15 twips.
    EXPECT_DOUBLE_EQ(TLength::FromPixels(1, 96).Twips(), 15.0);
    EXPECT_DOUBLE_EQ(TLength::FromTwips(15).Pixels(96), 1.0);
    EXPECT_DOUBLE_EQ(TLength::FromMm(148.0).Pixels(96), 1480.0 * 96 / 254);
    EXPECT_EQ(TLength::FromMm(10) + TLength::FromMm(5), TLength::FromMm(15));
    EXPECT_LT(TLength::FromMm(25), TLength::FromInches(1));
}

TEST(Length, TwipsPerPixelIsTheOneQuotientSoHalvesStayHalves)
{
    static_assert(TLength::TwipsPerPixel(TLength::CardPixelsPerInch) == 15.0);
    EXPECT_EQ(TLength::TwipsPerPixel(576) * 1, 2.5);
    EXPECT_EQ(TLength::TwipsPerPixel(960) * 5, 7.5);
    EXPECT_EQ(RoundHalfEven(TLength::TwipsPerPixel(576) * 1), 2);
    EXPECT_EQ(RoundHalfEven(TLength::TwipsPerPixel(576) * 3), 8);  // 7.5
    static_assert(TLength::DotsPerMeter(96) == 3780);
    EXPECT_EQ(TLength::DotsPerMeter(300), 11811);
}

TEST(Length, RoundingHoldsResultsBeyondIntAtItsEnds)
{
    EXPECT_EQ(RoundHalfEven(3e9), INT_MAX);
    EXPECT_EQ(RoundHalfEven(-3e9), INT_MIN);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
}

TEST(PaperUnits, ShowTheTenthsOfAMillimetreInEachUnitAndBack)
{
    const TLength a5Width = TLength::FromTenthsMm(1480);
    EXPECT_DOUBLE_EQ(ToUnit(a5Width, TPaperUnit::MM, TAxis::Horizontal), 148.0);
    EXPECT_DOUBLE_EQ(ToUnit(a5Width, TPaperUnit::Inches, TAxis::Horizontal), 1480.0 / 254);
    EXPECT_NEAR(ToUnit(a5Width, TPaperUnit::Pixes, TAxis::Horizontal), 559.37, 0.005);
    EXPECT_DOUBLE_EQ(ToUnit(a5Width, TPaperUnit::Native, TAxis::Vertical), 1480.0);
    // Character cells of a 10 point font: 80/10/2.54 mm wide, 145.3/10/2.54 mm high.
    EXPECT_DOUBLE_EQ(ToUnit(a5Width, TPaperUnit::Characters, TAxis::Horizontal), 148.0 / (80.0 / 10 / 2.54));
    EXPECT_DOUBLE_EQ(ToUnit(a5Width, TPaperUnit::Characters, TAxis::Vertical), 148.0 / (145.3 / 10 / 2.54));
    // A zoomed report shows more pixels for the same paper.
    EXPECT_NEAR(ToUnit(a5Width, TPaperUnit::Pixes, TAxis::Horizontal, {96, 200, 10}), 1118.74, 0.005);

    for (int u = 0; u < PaperUnitCount; ++u) {
        for (TAxis axis : {TAxis::Horizontal, TAxis::Vertical}) {
            const TPaperUnit unit = PaperUnitFromIndex(u);
            const TUnitScale scale{120, 100, 10};
            EXPECT_NEAR(FromUnit(ToUnit(a5Width, unit, axis, scale), unit, axis, scale).TenthsMm(), 1480.0, 1e-9)
                << PaperUnitName(unit);
        }
    }
}

TEST(PaperUnits, OutOfRangeIndexIsMillimetres)
{
    EXPECT_EQ(PaperUnitFromIndex(-1), TPaperUnit::MM);
    EXPECT_EQ(PaperUnitFromIndex(5), TPaperUnit::MM);
    EXPECT_EQ(PaperUnitFromIndex(2), TPaperUnit::Pixes);
    EXPECT_STREQ(PaperUnitName(TPaperUnit::Pixes), "Pixes");
}

} // namespace
