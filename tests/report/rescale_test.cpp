#include "report/rescale.h"

#include <gtest/gtest.h>

#include <cfenv>

namespace {

SlotRect Rect(int left, int top, int right, int bottom)
{
    SlotRect r;
    r.Left = left;
    r.Top = top;
    r.Right = right;
    r.Bottom = bottom;
    return r;
}

TEST(Rescale, HalvesGoToTheEvenNeighbourWhateverTheRoundingMode)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    std::fesetround(FE_UPWARD);
    EXPECT_EQ(RoundHalfEven(4.5), 4);
    EXPECT_EQ(RoundHalfEven(12.4), 12);
    std::fesetround(FE_TONEAREST);

    const TLayoutScale oneAndAHalf(2, 2, 3, 2);
    EXPECT_EQ(oneAndAHalf.X(1), 2);  // 1.5
    EXPECT_EQ(oneAndAHalf.X(3), 4);  // 4.5
    EXPECT_EQ(oneAndAHalf.Y(3), 3);
}

TEST(Rescale, FromA5LandscapeToAThousandBySevenHundred)
{
    const TLayoutScale scale(793, 559, 1000, 700);
    const SlotRect scaled = scale.ScaleRect(Rect(10, 20, 101, 220));
    EXPECT_EQ(scaled.Left, 13);     // 12.61
    EXPECT_EQ(scaled.Right, 127);   // 127.36
    EXPECT_EQ(scaled.Top, 25);      // 25.04
    EXPECT_EQ(scaled.Bottom, 275);  // 275.49
}

TEST(Rescale, LayoutScalesTheFirstPictureAndUsedTextsButNotTheSecondPicture)
{
    CardLayout layout = FreshLayout();
    layout.Pictures[0].Used = 1;
    layout.Pictures[0].Rect = Rect(10, 10, 100, 50);
    layout.Pictures[1].Used = 1;
    layout.Pictures[1].Rect = Rect(10, 10, 100, 50);
    layout.Texts[2].Used = 7;  // any non-zero value is used
    layout.Texts[2].Rect = Rect(1, 2, 3, 4);
    layout.Texts[3].Rect = Rect(1, 2, 3, 4);

    RescaleLayout(layout, TLayoutScale(100, 100, 200, 100));  // width doubled only
    EXPECT_EQ(layout.Pictures[0].Rect.Left, 20);
    EXPECT_EQ(layout.Pictures[0].Rect.Right, 200);
    EXPECT_EQ(layout.Pictures[0].Rect.Top, 10);
    EXPECT_EQ(layout.Pictures[0].Rect.Bottom, 50);
    EXPECT_EQ(layout.Pictures[1].Rect.Right, 100);
    EXPECT_EQ(layout.Texts[2].Rect.Left, 2);
    EXPECT_EQ(layout.Texts[2].Rect.Right, 6);
    EXPECT_EQ(layout.Texts[3].Rect.Right, 3);
}

TEST(Rescale, AStoredSizeOfZeroIsAClearErrorNotADivisionByZero)
{
    try {
        TLayoutScale(0, 559, 793, 559);
        FAIL() << "no error";
    } catch (const ECardError &e) {
        EXPECT_STREQ(e.what(), "The card's stored size is 0 x 559 pixels, so its layout cannot be stretched to the new paper.");
    }
    EXPECT_THROW(TLayoutScale(793, 0, 793, 559), ECardError);
    // A new size of 0 collapses the layout; the dialog refuses such a page.
    EXPECT_EQ(TLayoutScale(793, 559, 0, 559).X(500), 0);
}

} // namespace
