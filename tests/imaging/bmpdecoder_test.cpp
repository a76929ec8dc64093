#include "bmp_builder.h"

#include "imaging/fileerrors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <limits>
#include <vector>

using namespace bmptest;

namespace {

// 3 x 2 pixels, 24 bits: rows of 9 pixel bytes and 3 padding bytes.
std::string TwoRows24(int32_t height)
{
    BmpFile f = Sized(3, height);
    f.Pixels = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE,
                      11, 12, 13, 14, 15, 16, 17, 18, 19, 0xEE, 0xEE, 0xEE});
    return f.Build();
}

TEST(BmpDecoder, RowOrderFollowsTheSignOfHeight)
{
    TBitmapImage bottomUp;
    Decode(TwoRows24(2), bottomUp);
    ASSERT_EQ(bottomUp.PixelCount, 6);
    EXPECT_EQ(bottomUp.At(0, 1), Rgb(3, 2, 1)); // first file row is the bottom row
    EXPECT_EQ(bottomUp.At(2, 1), Rgb(9, 8, 7));
    EXPECT_EQ(bottomUp.At(0, 0), Rgb(13, 12, 11));

    TBitmapImage topDown;
    Decode(TwoRows24(-2), topDown);
    ASSERT_EQ(topDown.Height, 2);
    EXPECT_EQ(topDown.At(0, 0), Rgb(3, 2, 1));
    EXPECT_EQ(topDown.At(2, 1), Rgb(19, 18, 17));
}

TEST(BmpDecoder, TwentyFourBitRowsOfEveryWidthAroundTheVectorSteps)
{
    // The vector path converts eight pixels a step and must stop before the
    // row's last bytes; every width up to a few steps checks both ends.
    for (int32_t width = 1; width <= 40; ++width) {
        BmpFile f;
        f.Width = width;
        f.Height = -2;
        const size_t rowBytes = (size_t(3 * width) + 3) & ~size_t(3);
        for (size_t i = 0; i < 2 * rowBytes; ++i)
            f.Pixels += char((i * 37 + size_t(width)) & 0xFF);
        TBitmapImage image;
        Decode(f.Build(), image);
        ASSERT_EQ(image.Width, width);
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t *p = reinterpret_cast<const uint8_t *>(f.Pixels.data()) + size_t(y) * rowBytes + 3 * size_t(x);
                ASSERT_EQ(image.At(x, y), Rgb(p[2], p[1], p[0])) << width << " at " << x << "," << y;
            }
    }
}

TEST(BmpDecoder, PixelDataOffsetIsCheckedAndGapsSkipped)
{
    BmpFile f = Sized(1, 1);
    f.Pixels = Bytes({10, 20, 30, 0});
    f.Offset = 14 + 40 - 1;
    EXPECT_EQ(DecodeError(f.Build()), "Corrupt File");

    f.Offset = 14 + 40 + 1000; // more than the 512-byte pieces of the skip
    TBitmapImage image;
    Decode(f.Build(), image);
    EXPECT_EQ(image.At(0, 0), Rgb(30, 20, 10));
}

TEST(BmpDecoder, ColourTableSizes)
{
    TBmpDecoder decoder;
    TBitmapImage image;
    // 8 bits, colours used 0: 256 entries.
    BmpFile f = Sized(2, 1, 8);
    f.Extra = IndexPalette(256);
    f.Pixels = Bytes({254, 0, 0, 0});
    Decode(f.Build(), image, decoder);
    EXPECT_EQ(decoder.ColorCount, 256u);
    EXPECT_EQ(image.At(0, 0).Red, 255);

    // Colours used 16: 64 bytes. Entries the file does not give keep what
    // the previous file left.
    f.ColorsUsed = 16;
    f.Extra = Palette({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x090807});
    f.Pixels = Bytes({15, 254, 0, 0});
    Decode(f.Build(), image, decoder);
    EXPECT_EQ(decoder.ColorCount, 16u);
    EXPECT_EQ(image.At(0, 0), Rgb(9, 8, 7));
    EXPECT_EQ(image.At(1, 0), Rgb(255, 0, 0));

    // 300 colours: the first 256 are kept and the rest read past, so the
    // pixel data is still found where the offset says.
    f.ColorsUsed = 300;
    f.Extra = IndexPalette(256) + std::string(44 * 4, '\x55');
    f.Pixels = Bytes({1, 7, 0, 0});
    Decode(f.Build(), image, decoder);
    EXPECT_EQ(image.At(1, 0), Rgb(8, 0, 0));

    // A table as large as the colours-used word allows ends with the file.
    f.ColorsUsed = 0xFFFFFFFF;
    EXPECT_EQ(DecodeError(f.Build()), "Premature end of file in color table");
}

TEST(BmpDecoder, PackedRowsPutTheLeftmostPixelHighest)
{
    BmpFile f = Sized(10, 1, 1);
    f.Extra = IndexPalette(2);
    f.Pixels = Bytes({0b10110000, 0b01000000, 0, 0});
    TBitmapImage image;
    Decode(f.Build(), image);
    const int expected[10] = {2, 1, 2, 2, 1, 1, 1, 1, 1, 2};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(image.At(x, 0).Red, expected[x]) << "x = " << x;

    f = Sized(3, 1, 4);
    f.Extra = IndexPalette(16);
    f.Pixels = Bytes({0x3C, 0x70, 0, 0});
    Decode(f.Build(), image);
    EXPECT_EQ(image.At(0, 0), Rgb(4, 0, 0));
    EXPECT_EQ(image.At(1, 0), Rgb(13, 0, 0));
    EXPECT_EQ(image.At(2, 0), Rgb(8, 0, 0));
}

TEST(BmpDecoder, SixteenBitMasks)
{
    BmpFile f = Sized(2, 1, 16);
    f.Pixels = Bytes({0xFF, 0x7F, 0x1F, 0x00});
    TBitmapImage image;
    Decode(f.Build(), image); // 5-5-5 defaults
    EXPECT_EQ(image.At(0, 0), Rgb(248, 248, 248));
    EXPECT_EQ(image.At(1, 0), Rgb(0, 0, 248));

    f.Compression = 3; // 5-6-5 masks after the header
    f.Extra.clear();
    for (uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu})
        Put32(f.Extra, mask);
    f.Pixels = Bytes({0xE0, 0x07, 0x00, 0xF8});
    Decode(f.Build(), image);
    EXPECT_EQ(image.At(0, 0), Rgb(0, 252, 0));
    EXPECT_EQ(image.At(1, 0), Rgb(248, 0, 0));

    f.Pixels.clear();
    f.Extra.resize(8);
    EXPECT_EQ(DecodeError(f.Build()), "Premature End of Stream");
    f.Extra.replace(0, 8, Bytes({0, 0x7C, 0, 0, 0, 0x04, 0, 0}));
    Put32(f.Extra, 0x1F);
    EXPECT_EQ(DecodeError(f.Build()), "Overlapping component mask");
}

TEST(BmpDecoder, ThirtyTwoBitMasksAndAlpha)
{
    BmpFile f = Sized(1, 1, 32);
    f.Compression = 3;
    f.HeaderSize = 108;
    f.Masks[0] = 0x00FF0000;
    f.Masks[1] = 0x0000FF00;
    f.Masks[2] = 0x000000FF;
    f.Masks[3] = 0xFF000000;
    f.Pixels = Bytes({0x10, 0x20, 0x30, 0x80});
    TBitmapImage image;
    Decode(f.Build(), image);
    EXPECT_EQ(image.At(0, 0), Rgb(0x30, 0x20, 0x10, 0x80));

    f.HeaderSize = 40; // no alpha mask in a short header
    f.Compression = 0;
    Decode(f.Build(), image);
    EXPECT_EQ(image.At(0, 0), Rgb(0x30, 0x20, 0x10, 0));

    // Wide and narrow channels: the top bit lands on bit 7.
    f.HeaderSize = 56;
    f.Compression = 3;
    f.Masks[0] = 0xFFC00000; // 10 bits
    f.Masks[1] = 0x00000003; // 2 bits
    f.Masks[2] = 0x0000FF00;
    f.Pixels.clear();
    Put32(f.Pixels, 0xFFC0FF03);
    Decode(f.Build(), image);
    EXPECT_EQ(image.At(0, 0), Rgb(0xFF, 0xC0, 0xFF, 0));
}

TEST(BmpDecoder, Os2Headers)
{
    BmpFile f = Sized(2, 1);
    f.HeaderSize = 12;
    f.Pixels = Bytes({1, 2, 3, 4, 5, 6, 0, 0}); // 24 bits: no colour table
    TBitmapImage image;
    Decode(f.Build(), image);
    EXPECT_EQ(image.At(1, 0), Rgb(6, 5, 4));

    f.BitCount = 2; // a 4-entry table of 3-byte entries
    f.Width = 4;
    f.Extra = Bytes({0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4});
    f.Pixels = Bytes({0b00011011, 0, 0, 0});
    Decode(f.Build(), image);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(image.At(x, 0), Rgb(uint8_t(x + 1), 0, 0));

    f.BitCount = 3; // read past 8 entries, decode nothing, no error
    f.Extra = std::string(24, '\x7F');
    image = TBitmapImage();
    Decode(f.Build(), image);
    EXPECT_EQ(image.PixelCount, 4);
    EXPECT_EQ(image.At(3, 0), TPixel{});

    BmpFile windows = Sized(4, 1, 2);
    windows.Extra = IndexPalette(4);
    windows.Pixels = Bytes({0, 0, 0, 0});
    EXPECT_EQ(DecodeError(windows.Build()), "Unsupported bit count");
}

TEST(BmpDecoder, LongHeadersAreReadInPart)
{
    BmpFile f = Sized(1, 1);
    f.HeaderSize = 3000;
    f.Pixels = Bytes({1, 2, 3, 0});
    TBitmapImage image;
    Decode(f.Build(), image);
    EXPECT_EQ(image.At(0, 0), Rgb(3, 2, 1));

    std::string file = f.Build();
    file.replace(14, 4, Bytes({0xF0, 0xFF, 0xFF, 0xFF})); // a header of nearly 4 GiB
    EXPECT_EQ(DecodeError(file), "Premature End of Stream");
}

TEST(BmpDecoder, EmptyImagesReadNoRows)
{
    TBitmapImage image;
    Decode(Sized(0, 0).Build(), image);
    EXPECT_EQ(image.PixelCount, 0);
    EXPECT_TRUE(image.Pixels.empty());

    // Zero width with any number of rows has nothing to read either.
    Decode(Sized(0, std::numeric_limits<int32_t>::max()).Build(), image);
    EXPECT_EQ(image.Height, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(image.PixelCount, 0);
}

TEST(BmpDecoder, FormatErrors)
{
    BmpFile good = Sized(2, 2);
    good.Pixels = std::string(16, '\0');
    const std::string file = good.Build();

    EXPECT_EQ(DecodeError(file.substr(0, 13)), "Premature End of Stream");
    EXPECT_EQ(DecodeError(file.substr(0, 16)), "Premature End of Stream");
    EXPECT_EQ(DecodeError(file.substr(0, 30)), "Premature End of Stream");
    EXPECT_EQ(DecodeError("BA" + file.substr(2)), "Not a BMP Image");
    EXPECT_EQ(DecodeError(file.substr(0, file.size() - 1)), "Premature EOF in image data");

    BmpFile f = good;
    f.HeaderSize = 3;
    EXPECT_EQ(DecodeError(f.Build()), "Premature End of Stream");
    f.HeaderSize = 20;
    EXPECT_EQ(DecodeError(f.Build()), "Invalid header size");

    f = good;
    f.BitCount = 7;
    EXPECT_EQ(DecodeError(f.Build()), "Unsupported bit count");
    f.BitCount = 24;
    f.Compression = 1;
    EXPECT_EQ(DecodeError(f.Build()), "Unsupported Compression");
    f.BitCount = 8;
    f.Compression = 2;
    EXPECT_EQ(DecodeError(f.Build()), "Unsupported Compression");

    f = good;
    f.BitCount = 8;
    f.ColorsUsed = 2;
    f.Extra = IndexPalette(2);
    EXPECT_EQ(DecodeError(f.Build().substr(0, 14 + 40 + 7)), "Premature end of file in color table");
    f.Pixels.resize(7);
    EXPECT_EQ(DecodeError(f.Build()), "Premature End of Stream");
}

TEST(BmpDecoder, ImpossibleSizesAreRefusedBeforeAllocating)
{
    TBitmapImage image;
    EXPECT_EQ(DecodeError(Sized(-5, 2).Build(), image), "Negative width not allowed");
    EXPECT_TRUE(image.Pixels.empty());

    const auto tooLarge = [&](BmpFile f) {
        const std::string message = DecodeError(f.Build(), image);
        EXPECT_EQ(message.rfind("Image too large", 0), 0u) << f.Width << " x " << f.Height << ": " << message;
        EXPECT_TRUE(image.Pixels.empty());
    };
    tooLarge(Sized(65536, 65536));                           // wraps to 0 in 32 bits
    tooLarge(Sized(0x10000001, -1));                         // one pixel over the limit
    tooLarge(Sized(1, std::numeric_limits<int32_t>::min())); // |Height| does not fit
    tooLarge(Sized(std::numeric_limits<int32_t>::max(), 2));
    BmpFile os2 = Sized(65535, 65535); // 16-bit OS/2 sizes multiply beyond 2^31
    os2.HeaderSize = 12;
    tooLarge(os2);
}

// ProgressData is 32 bits, too small for a pointer: the log is global.
struct ProgressLog {
    std::vector<uint32_t> Percentages;
    int AbortAt = -1;
} g_log;

void Track(TBitmapImageCoder &, uint32_t data, uint32_t pass, uint32_t passes,
           const std::string &description, uint32_t percent, bool &abort)
{
    EXPECT_EQ(data, 42u);
    EXPECT_EQ(pass, 1u);
    EXPECT_EQ(passes, 1u);
    EXPECT_EQ(description, "BMP Decode");
    g_log.Percentages.push_back(percent);
    abort = int(g_log.Percentages.size()) == g_log.AbortAt;
}

TEST(BmpDecoder, ProgressPerRowAndAtTheEnd)
{
    TBmpDecoder decoder;
    decoder.ProgressFunction = Track;
    decoder.ProgressData = 42;
    TBitmapImage image;

    g_log = {};
    Decode(TwoRows24(2), image, decoder); // rows arrive bottom first
    EXPECT_EQ(g_log.Percentages, (std::vector<uint32_t>{50, 0, 100}));

    g_log = {};
    Decode(TwoRows24(-2), image, decoder);
    EXPECT_EQ(g_log.Percentages, (std::vector<uint32_t>{0, 50, 100}));

    g_log = {};
    Decode(Sized(0, 0).Build(), image, decoder);
    EXPECT_EQ(g_log.Percentages, (std::vector<uint32_t>{100}));

    // Aborting at the first report leaves a sized, all-black image.
    g_log = {};
    g_log.AbortAt = 1;
    TBitmapImage aborted;
    EXPECT_THROW(Decode(TwoRows24(2), aborted, decoder), EGraphicsAbort);
    ASSERT_EQ(aborted.PixelCount, 6);
    for (const TPixel &p : aborted.Pixels)
        EXPECT_EQ(p, TPixel{});
}

TEST(BmpDecoder, ReadImageFile)
{
    const std::string name = testing::TempDir() + "tessaly_bmpdecoder_test.bmp";
    std::ofstream(name, std::ios::binary) << TwoRows24(2);
    TBmpDecoder decoder;
    TBitmapImage image;
    decoder.ReadImageFile(name, image);
    EXPECT_EQ(image.At(2, 0), Rgb(19, 18, 17));
    std::remove(name.c_str());

    try {
        decoder.ReadImageFile(name, image);
        FAIL() << "a missing file must raise";
    } catch (const EFOpenError &e) {
        EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
    EXPECT_THROW(decoder.ReadImageFile(testing::TempDir(), image), EFOpenError);
}

} // namespace
