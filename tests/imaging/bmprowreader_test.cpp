// TBmpDecoder::OpenRows: the rows of a file read where they lie are the
// pixels ReadImageFile gives, in any order and any strip; files whose rows
// cannot be read that way are left to ReadImageFile.

#include "bmp_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <thread>
#include <unistd.h>

using namespace bmptest;

namespace {

class BmpRows : public ::testing::Test {
protected:
    // The process number keeps the sanitizer build's run apart.
    std::string Path = testing::TempDir() + "tessaly_bmprowreader_" + std::to_string(getpid()) + ".bmp";
    void TearDown() override { std::remove(Path.c_str()); }

    void Write(const std::string &bytes) { std::ofstream(Path, std::ios::binary | std::ios::trunc) << bytes; }

    // Every strip of 1..5 rows read through OpenRows against the decoded image.
    void ExpectSameAsDecoded(const std::string &bytes, const std::string &name)
    {
        Write(bytes);
        TBmpDecoder decoder;
        TBitmapImage image;
        decoder.ReadImageFile(Path, image);
        TBmpDecoder streaming;
        const std::unique_ptr<TPixelRowSource> rows = streaming.OpenRows(Path);
        ASSERT_TRUE(rows) << name;
        ASSERT_EQ(rows->Width(), image.Width) << name;
        ASSERT_EQ(rows->Height(), image.Height) << name;
        TRowScratch scratch;
        for (int32_t count = 1; count <= 5; ++count)
            for (int32_t first = 0; first < image.Height; first += count) {
                const int32_t n = std::min(count, image.Height - first);
                const TPixel *pixels = rows->Rows(first, n, scratch);
                for (int32_t i = 0; i < n * image.Width; ++i)
                    ASSERT_EQ(pixels[i], image.Pixels[size_t(first) * size_t(image.Width) + size_t(i)])
                        << name << " row " << first + i / image.Width << " column " << i % image.Width;
            }
        EXPECT_EQ(streaming.ColorMap[1].Red, decoder.ColorMap[1].Red) << name;
    }
};

std::string RandomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char &c : bytes)
        c = char(random());
    return bytes;
}

// A file of width x height with random pixel data of the bit count.
BmpFile RandomFile(int32_t width, int32_t height, uint16_t bitCount, unsigned seed)
{
    BmpFile f = Sized(width, height, bitCount);
    const size_t rowBytes = ((size_t(bitCount) * size_t(width) + 7) / 8 + 3) & ~size_t(3);
    f.Pixels = RandomBytes(rowBytes * size_t(height < 0 ? -height : height), seed);
    return f;
}

} // namespace

TEST_F(BmpRows, EveryUncompressedLayoutGivesTheDecodedPixels)
{
    for (int32_t width : {1, 5, 13, 37})
        for (int32_t height : {1, 7, -9}) {
            const std::string size = std::to_string(width) + "x" + std::to_string(height);
            ExpectSameAsDecoded(RandomFile(width, height, 24, 1).Build(), "24-bit " + size);
            for (uint16_t bits : {1, 4, 8}) {
                BmpFile palette = RandomFile(width, height, bits, 2);
                palette.Extra = IndexPalette(1 << bits);
                ExpectSameAsDecoded(palette.Build(), std::to_string(bits) + "-bit " + size);
            }
            ExpectSameAsDecoded(RandomFile(width, height, 16, 3).Build(), "16-bit 5-5-5 " + size);
            BmpFile masked = RandomFile(width, height, 16, 4);
            masked.Compression = 3;
            masked.Extra = Bytes({0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0});
            ExpectSameAsDecoded(masked.Build(), "16-bit 5-6-5 " + size);
            BmpFile alpha = RandomFile(width, height, 32, 5);
            alpha.HeaderSize = 108;
            alpha.Compression = 3;
            alpha.Masks[0] = 0x00FF0000;
            alpha.Masks[1] = 0x0000FF00;
            alpha.Masks[2] = 0x000000FF;
            alpha.Masks[3] = 0xFF000000;
            ExpectSameAsDecoded(alpha.Build(), "32-bit with alpha " + size);
            BmpFile os2 = RandomFile(width, height < 0 ? -height : height, 24, 6);
            os2.HeaderSize = 12;
            ExpectSameAsDecoded(os2.Build(), "OS/2 " + size);
        }
    BmpFile gap = RandomFile(9, 4, 24, 7);
    gap.Offset = 14 + 40 + 333;
    ExpectSameAsDecoded(gap.Build(), "gap before the pixels");
}

TEST_F(BmpRows, ThreadsMayReadStripsAtOnce)
{
    Write(RandomFile(101, 64, 24, 8).Build());
    TBitmapImage image;
    TBmpDecoder().ReadImageFile(Path, image);
    TBmpDecoder decoder;
    const std::unique_ptr<TPixelRowSource> rows = decoder.OpenRows(Path);
    ASSERT_TRUE(rows);
    bool same[2] = {true, true};
    auto read = [&](int thread) {
        TRowScratch scratch;
        for (int repeat = 0; repeat < 50; ++repeat)
            for (int32_t first = thread * 8; first < 64; first += 16) {
                const TPixel *pixels = rows->Rows(first, 8, scratch);
                same[thread] &= std::equal(pixels, pixels + 8 * 101, image.Pixels.begin() + first * 101);
            }
    };
    std::thread other(read, 1);
    read(0);
    other.join();
    EXPECT_TRUE(same[0] && same[1]);
}

TEST_F(BmpRows, OtherFilesAreLeftToTheDecoder)
{
    TBmpDecoder decoder;
    EXPECT_FALSE(decoder.OpenRows(Path)) << "a missing file";
    EXPECT_FALSE(decoder.OpenRows(testing::TempDir())) << "a folder";

    BmpFile rle = Sized(4, 2, 8);
    rle.Compression = 1;
    rle.Extra = IndexPalette(256);
    rle.Pixels = Bytes({3, 5, 0, 0, 0, 1});
    Write(rle.Build());
    EXPECT_FALSE(decoder.OpenRows(Path)) << "run-length data";

    std::string cut = RandomFile(10, 10, 24, 9).Build();
    cut.pop_back(); // the last row's padding is missing
    Write(cut);
    EXPECT_FALSE(decoder.OpenRows(Path)) << "a file cut short";

    BmpFile corrupt = RandomFile(2, 2, 24, 10);
    corrupt.Offset = 20;
    Write(corrupt.Build());
    EXPECT_FALSE(decoder.OpenRows(Path)) << "pixels inside the header";

    Write(RandomFile(0, 3, 24, 11).Build());
    EXPECT_FALSE(decoder.OpenRows(Path)) << "no pixels";

    Write("BM not a bitmap at all");
    EXPECT_FALSE(decoder.OpenRows(Path)) << "not a BMP";

    Write(RandomFile(3, 3, 24, 12).Build());
    TBmpDecoder reporting;
    reporting.ProgressFunction = [](TBitmapImageCoder &, uint32_t, uint32_t, uint32_t, const std::string &, uint32_t,
                                    bool &) {};
    EXPECT_FALSE(reporting.OpenRows(Path)) << "a decoder that reports progress";
    EXPECT_TRUE(decoder.OpenRows(Path));
}

TEST_F(BmpRows, AFileThatShrinksAfterOpeningRaisesTheDecodersError)
{
    Write(RandomFile(4, 8, 24, 13).Build());
    TBmpDecoder decoder;
    const std::unique_ptr<TPixelRowSource> rows = decoder.OpenRows(Path);
    ASSERT_TRUE(rows);
    Write(RandomFile(4, 8, 24, 13).Build().substr(0, 60));
    TRowScratch scratch;
    try {
        rows->Rows(0, 8, scratch);
        FAIL() << "rows that are gone must raise";
    } catch (const EBmpError &error) {
        EXPECT_STREQ(error.what(), "Premature EOF in image data");
    }
}
