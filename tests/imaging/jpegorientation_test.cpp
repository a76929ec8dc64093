// A phone photo stands upright: JPEG files carrying each Exif orientation,
// the Exif segment written with libexif in both byte orders.

#include "imaging/jpegdecoder.h"

#include "tests/imaging/exif_segment.h"
#include "tests/imaging/jpeg/jpeg_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

enum class TEdge { Top, Bottom, Left, Right };

TEdge Opposite(TEdge edge)
{
    switch (edge) {
    case TEdge::Top: return TEdge::Bottom;
    case TEdge::Bottom: return TEdge::Top;
    case TEdge::Left: return TEdge::Right;
    default: return TEdge::Left;
    }
}

// The tag's definition: the edge of the upright picture along which the
// stored picture's first row lies, and the one along which its first
// column lies (Exif 2.3, tag 274).
struct TOrientationMeaning {
    TEdge FirstRow;
    TEdge FirstColumn;
};
const TOrientationMeaning Meanings[9] = {
    {},
    {TEdge::Top, TEdge::Left},    {TEdge::Top, TEdge::Right},
    {TEdge::Bottom, TEdge::Right}, {TEdge::Bottom, TEdge::Left},
    {TEdge::Left, TEdge::Top},    {TEdge::Right, TEdge::Top},
    {TEdge::Right, TEdge::Bottom}, {TEdge::Left, TEdge::Bottom},
};

// The upright picture's corner where two edges meet.
TPixel CornerOf(const TBitmapImage &image, TEdge a, TEdge b)
{
    const bool right = a == TEdge::Right || b == TEdge::Right;
    const bool bottom = a == TEdge::Bottom || b == TEdge::Bottom;
    return image.At(right ? image.Width - 1 : 0, bottom ? image.Height - 1 : 0);
}

// 48 x 16 with three coloured corner blocks (red top left, green top
// right, blue bottom left) on grey.
TBitmapImage Corners()
{
    TBitmapImage image = MakeFlat(48, 16, 128, 128, 128);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            image.At(x, y) = TPixel{0, 0, 255, 0};
            image.At(40 + x, y) = TPixel{0, 255, 0, 0};
            image.At(x, 8 + y) = TPixel{255, 0, 0, 0};
        }
    return image;
}

bool Near(const TPixel &a, const TPixel &b)
{
    return std::abs(a.Red - b.Red) < 16 && std::abs(a.Green - b.Green) < 16
        && std::abs(a.Blue - b.Blue) < 16;
}

class JpegOrientation : public ::testing::Test {
protected:
    std::string Dir = MakeTempDir();
    std::vector<uint8_t> Plain;

    void SetUp() override
    {
        WriteBmp24(Dir + "/corners.bmp", Corners());
        ASSERT_EQ(RunCommand("cjpeg -quality 95 -sample 1x1 -outfile '" + Dir + "/corners.jpg' '"
                             + Dir + "/corners.bmp'"), 0);
        Plain = ReadFileBytes(Dir + "/corners.jpg");
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }
};

TEST_F(JpegOrientation, EachOfTheEightStandsUpright)
{
    const TBitmapImage stored = Corners();
    const TPixel storedTopLeft = stored.At(0, 0);
    const TPixel storedTopRight = stored.At(47, 0);
    const TPixel storedBottomLeft = stored.At(0, 15);
    for (const ExifByteOrder order : {EXIF_BYTE_ORDER_MOTOROLA, EXIF_BYTE_ORDER_INTEL})
        for (int orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE("orientation " + std::to_string(orientation)
                         + (order == EXIF_BYTE_ORDER_INTEL ? " Intel" : " Motorola"));
            const std::vector<uint8_t> file = WithSegment(Plain, ExifSegment(orientation, order));
            TJpegDecoder decoder;
            TBitmapImage image;
            decoder.ReadImageMemory(file.data(), file.size(), "photo.jpg", image);
            EXPECT_EQ(decoder.Orientation, orientation);
            const bool turned = orientation >= 5;
            ASSERT_EQ(image.Width, turned ? 16 : 48);
            ASSERT_EQ(image.Height, turned ? 48 : 16);
            const TOrientationMeaning m = Meanings[orientation];
            EXPECT_TRUE(Near(CornerOf(image, m.FirstRow, m.FirstColumn), storedTopLeft));
            EXPECT_TRUE(Near(CornerOf(image, m.FirstRow, Opposite(m.FirstColumn)), storedTopRight));
            EXPECT_TRUE(Near(CornerOf(image, Opposite(m.FirstRow), m.FirstColumn), storedBottomLeft));
        }
}

TEST_F(JpegOrientation, TurnedPixelsAreTheStoredOnesExactly)
{
    TJpegDecoder decoder;
    TBitmapImage stored;
    decoder.ReadImageMemory(Plain.data(), Plain.size(), "plain.jpg", stored);
    EXPECT_EQ(decoder.Orientation, 1);

    // 6: the camera was turned clockwise; the stored first row is the right edge.
    const std::vector<uint8_t> file = WithSegment(Plain, ExifSegment(6, EXIF_BYTE_ORDER_MOTOROLA));
    TBitmapImage upright;
    decoder.ReadImageMemory(file.data(), file.size(), "photo.jpg", upright);
    for (int y = 0; y < stored.Height; ++y)
        for (int x = 0; x < stored.Width; ++x)
            ASSERT_EQ(upright.At(stored.Height - 1 - y, x), stored.At(x, y)) << x << ", " << y;

    decoder.HonourExifOrientation = false;
    TBitmapImage asStored;
    decoder.ReadImageMemory(file.data(), file.size(), "photo.jpg", asStored);
    EXPECT_EQ(asStored.Width, 48);
    EXPECT_EQ(asStored.Pixels, stored.Pixels);
}

// Every pixel of every orientation where the tag puts it, read from a file
// on disk: pictures taller than the decoder's bands, with widths and
// heights that are and are not multiples of the turning tiles.
TEST_F(JpegOrientation, EveryPixelOfEveryOrientationLandsExactly)
{
    for (const auto &[width, height] : {std::pair{68, 132}, std::pair{70, 150}, std::pair{3, 5}}) {
        const std::string base = Dir + "/photo" + std::to_string(width);
        WriteBmp24(base + ".bmp", MakePhoto(width, height, 3));
        ASSERT_EQ(RunCommand("cjpeg -quality 90 -outfile '" + base + ".jpg' '" + base + ".bmp'"), 0);
        const std::vector<uint8_t> plain = ReadFileBytes(base + ".jpg");
        TJpegDecoder decoder;
        TBitmapImage stored;
        decoder.ReadImageMemory(plain.data(), plain.size(), "plain.jpg", stored);
        ASSERT_EQ(stored.Width, width);
        const int32_t w = width, h = height;
        for (int orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + ", orientation "
                         + std::to_string(orientation));
            WriteFileBytes(base + "-turned.jpg", WithSegment(plain, ExifSegment(orientation, EXIF_BYTE_ORDER_INTEL)));
            TBitmapImage upright;
            decoder.ReadImageFile(base + "-turned.jpg", upright);
            const bool turned = orientation >= 5;
            ASSERT_EQ(upright.Width, turned ? h : w);
            ASSERT_EQ(upright.Height, turned ? w : h);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    const int32_t rx = w - 1 - x, ry = h - 1 - y;
                    const std::pair<int32_t, int32_t> at[9] = {{}, {x, y}, {rx, y}, {rx, ry}, {x, ry},
                                                               {y, x}, {ry, x}, {ry, rx}, {y, rx}};
                    ASSERT_EQ(upright.At(at[orientation].first, at[orientation].second), stored.At(x, y))
                        << x << ", " << y;
                }
        }
    }
}

TEST_F(JpegOrientation, UnusableTagsLeaveThePictureAsStored)
{
    std::vector<uint8_t> outOfRange = ExifSegment(9, EXIF_BYTE_ORDER_INTEL);
    std::vector<uint8_t> cutShort = ExifSegment(6, EXIF_BYTE_ORDER_INTEL);
    cutShort.resize(12);
    const std::vector<uint8_t> notExif = {'X', 'M', 'P', 0, 1, 2, 3};
    for (const auto &segment : {outOfRange, cutShort, notExif}) {
        const std::vector<uint8_t> file = WithSegment(Plain, segment);
        TJpegDecoder decoder;
        TBitmapImage image;
        decoder.ReadImageMemory(file.data(), file.size(), "photo.jpg", image);
        EXPECT_EQ(decoder.Orientation, 1);
        EXPECT_EQ(image.Width, 48);
    }
}

} // namespace
