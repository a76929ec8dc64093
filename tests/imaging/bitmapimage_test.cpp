#include "imaging/bitmapimage.h"

#include <gtest/gtest.h>

namespace {

TEST(BitmapImage, SizesAndIndexing)
{
    TBitmapImage image;
    EXPECT_EQ(image.Width, 0);
    EXPECT_EQ(image.Height, 0);
    EXPECT_TRUE(image.Pixels.empty());

    image.SetSize(0, 5);
    EXPECT_EQ(image.PixelCount, 0);
    EXPECT_TRUE(image.Pixels.empty());

    image.SetSize(3, 2);
    ASSERT_EQ(image.PixelCount, 6);
    for (const TPixel &p : image.Pixels)
        EXPECT_EQ(p, TPixel{});
    EXPECT_EQ(&image.At(2, 1), &image.Pixels[5]);
}

TEST(BitmapImage, ResizeKeepsElementIndicesAndZeroFills)
{
    TBitmapImage image;
    image.SetSize(2, 2);
    for (int i = 0; i < 4; ++i)
        image.Pixels[i] = TPixel{uint8_t(i + 1), 0, 0, 0};
    image.SetSize(3, 2);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(image.Pixels[i].Blue, i + 1) << "element " << i;
    EXPECT_EQ(image.Pixels[4], TPixel{});
    EXPECT_EQ(image.Pixels[5], TPixel{});

    // Shrinking and growing again must not bring old pixels back.
    image.Pixels[5] = TPixel{9, 9, 9, 9};
    image.SetSize(1, 1);
    image.SetSize(3, 2);
    EXPECT_EQ(image.Pixels[0].Blue, 1);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(image.Pixels[i], TPixel{}) << "element " << i;
}

TEST(BitmapImage, PhotoSizedPicturesResizeAndCopyLikeSmallOnes)
{
    // Large enough to be mapped from the system rather than the heap.
    TBitmapImage image;
    image.SetSize(2000, 1500);
    EXPECT_EQ(image.Pixels[2999999], TPixel{});
    image.At(1999, 1499) = TPixel{1, 2, 3, 4};
    image.At(0, 0) = TPixel{5, 6, 7, 8};
    image.SetSize(2000, 1600); // grows into a new block, keeping the pixels
    EXPECT_EQ(image.At(1999, 1499), (TPixel{1, 2, 3, 4}));
    EXPECT_EQ(image.At(1999, 1599), TPixel{});
    const TBitmapImage copy = image;
    EXPECT_EQ(copy.At(0, 0), (TPixel{5, 6, 7, 8}));
    image.SetSize(10, 10); // a shrink keeps the block
    image.SetSize(2000, 1600);
    EXPECT_EQ(image.At(1999, 1499), TPixel{});
    TBitmapImage moved = std::move(image);
    EXPECT_EQ(moved.At(0, 0), (TPixel{5, 6, 7, 8}));
}

TEST(BitmapImage, NegativeProductRaisesWithNewSizeFieldsKept)
{
    TBitmapImage image;
    image.SetSize(2, 2);
    EXPECT_THROW(image.SetSize(-3, 2), std::range_error);
    EXPECT_EQ(image.Width, -3);
    EXPECT_EQ(image.PixelCount, -6);
    EXPECT_EQ(image.Pixels.size(), 4u);
}

class CountingCoder : public TBitmapImageCoder {
public:
    void Step(uint32_t percent) { ReportProgress(1, 1, "Test", percent); }
};

int g_calls = 0;

TEST(BitmapImageCoder, ProgressReportsAndAborts)
{
    CountingCoder coder;
    coder.Step(50); // no function: nothing happens, never aborts

    g_calls = 0;
    coder.ProgressData = 77;
    coder.ProgressFunction = [](TBitmapImageCoder &, uint32_t data, uint32_t pass, uint32_t passes,
                                const std::string &what, uint32_t percent, bool &abort) {
        ++g_calls;
        EXPECT_EQ(data, 77u);
        EXPECT_EQ(pass, 1u);
        EXPECT_EQ(passes, 1u);
        EXPECT_EQ(what, "Test");
        EXPECT_FALSE(abort);
        abort = percent >= 100;
    };
    EXPECT_NO_THROW(coder.Step(10));
    EXPECT_THROW(coder.Step(100), EGraphicsAbort);
    EXPECT_EQ(g_calls, 2);
}

TEST(BitmapImageCoder, AbortIsNotAnError)
{
    try {
        throw EGraphicsAbort();
    } catch (const EGraphicsException &) {
        FAIL() << "an abort must not be taken for an error";
    } catch (const EAbort &e) {
        EXPECT_STREQ(e.what(), "");
    }
}

} // namespace
