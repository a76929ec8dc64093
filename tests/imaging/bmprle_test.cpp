#include "bmp_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

using namespace bmptest;

namespace {

// A pixel's red byte is its index + 1; unreached pixels (black) read 0.
std::string Rle(uint16_t bitCount, int32_t width, int32_t height, const std::string &data)
{
    BmpFile f = Sized(width, height, bitCount);
    f.Compression = bitCount == 8 ? 1 : 2;
    f.Extra = IndexPalette(1 << bitCount);
    f.Pixels = data;
    return f.Build();
}

// The palette index + 1 of each pixel of row y, 0 where nothing was written.
std::vector<int> Row(const TBitmapImage &image, int y)
{
    std::vector<int> row;
    for (int x = 0; x < image.Width; ++x)
        row.push_back(image.At(x, y).Red);
    return row;
}

using V = std::vector<int>;

TEST(BmpRle, EncodedRunsAndEndCodes)
{
    TBitmapImage image;
    Decode(Rle(8, 4, 2, Bytes({3, 5, 0, 0, 0, 1})), image);
    EXPECT_EQ(Row(image, 1), (V{6, 6, 6, 0}));
    EXPECT_EQ(Row(image, 0), (V{0, 0, 0, 0}));

    Decode(Rle(4, 5, 1, Bytes({5, 0x12, 0, 1})), image);
    EXPECT_EQ(Row(image, 0), (V{2, 3, 2, 3, 2}));
}

TEST(BmpRle, AbsoluteRunsArePaddedToEvenByteCounts)
{
    TBitmapImage image;
    // 4-bit run of 5: 3 bytes + 1 padding; run of 4: 2 bytes, no padding.
    Decode(Rle(4, 9, 2, Bytes({0, 5, 0x12, 0x34, 0x50, 0xFF, 0, 0,
                               0, 4, 0x67, 0x89, 0, 1})), image);
    EXPECT_EQ(Row(image, 1), (V{2, 3, 4, 5, 6, 0, 0, 0, 0}));
    EXPECT_EQ(Row(image, 0), (V{7, 8, 9, 10, 0, 0, 0, 0, 0}));

    // 8-bit run of 3: 3 bytes + 1 padding, followed by an encoded run.
    Decode(Rle(8, 5, 1, Bytes({0, 3, 10, 11, 12, 0xFF, 2, 20, 0, 1})), image);
    EXPECT_EQ(Row(image, 0), (V{11, 12, 13, 21, 21}));
}

TEST(BmpRle, RunsMustStayInsideTheImage)
{
    TBitmapImage image;
    Decode(Rle(8, 4, 1, Bytes({4, 1, 0, 1})), image); // ends exactly at the edge
    EXPECT_EQ(Row(image, 0), (V{2, 2, 2, 2}));
    EXPECT_EQ(DecodeError(Rle(8, 4, 1, Bytes({5, 1, 0, 1}))), "Corrupt RLE-compressed Data");
    EXPECT_EQ(DecodeError(Rle(8, 4, 1, Bytes({0, 5, 1, 2, 3, 4, 5, 0}))), "Corrupt RLE-compressed Data");

    // Deltas may leave the image; only a run there is an error.
    EXPECT_EQ(DecodeError(Rle(8, 4, 2, Bytes({0, 2, 1, 5, 0, 0, 0, 0, 0, 1}))), "");
    EXPECT_EQ(DecodeError(Rle(8, 4, 2, Bytes({0, 2, 1, 5, 1, 1}))), "Corrupt RLE-compressed Data");
    EXPECT_EQ(DecodeError(Rle(8, 4, 2, Bytes({0, 2, 9, 0, 0, 1}))), "");
    EXPECT_EQ(DecodeError(Rle(8, 4, 2, Bytes({0, 2, 9, 0, 1, 1}))), "Corrupt RLE-compressed Data");

    // Height 0 accepts only codes that write nothing.
    EXPECT_EQ(DecodeError(Rle(4, 4, 0, Bytes({0, 0, 0, 2, 1, 1, 0, 1}))), "");
    EXPECT_EQ(DecodeError(Rle(4, 4, 0, Bytes({1, 0x11, 0, 1}))), "Corrupt RLE-compressed Data");

    EXPECT_EQ(DecodeError(Rle(8, 4, -2, Bytes({0, 1}))), "Negative height not allowed in an RLE image");
}

TEST(BmpRle, ExtraEndOfLinesStayOnTheTopRow)
{
    TBitmapImage image;
    Decode(Rle(8, 2, 2, Bytes({2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 3, 0, 1})), image);
    EXPECT_EQ(Row(image, 1), (V{2, 2}));
    EXPECT_EQ(Row(image, 0), (V{4, 0}));
}

TEST(BmpRle, TruncatedData)
{
    const char *premature = "Premature EOF in RLE-compressed data";
    EXPECT_EQ(DecodeError(Rle(8, 4, 1, Bytes({2, 1}))), premature);           // no end of bitmap
    EXPECT_EQ(DecodeError(Rle(8, 4, 1, Bytes({2}))), premature);              // inside a code
    EXPECT_EQ(DecodeError(Rle(8, 4, 1, Bytes({0, 2, 1}))), premature);        // inside a delta
    EXPECT_EQ(DecodeError(Rle(8, 4, 1, Bytes({0, 3, 1, 2, 3}))), premature);  // padding missing

    // The indices that arrived are written before the error.
    TBitmapImage image;
    EXPECT_EQ(DecodeError(Rle(4, 8, 1, Bytes({0, 6, 0x12, 0x3})), image), premature);
    EXPECT_EQ(Row(image, 0), (V{2, 3, 1, 4, 0, 0, 0, 0}));
}

// Runs as long as a code allows, in both widths, and a decoder that stops
// at the end-of-bitmap code: what follows the data stays in the stream.
TEST(BmpRle, LongRunsAndNothingReadPastTheEnd)
{
    TBitmapImage image;
    Decode(Rle(8, 300, 1, Bytes({255, 7, 45, 8, 0, 1})), image);
    V expected(300, 8);
    std::fill(expected.begin() + 255, expected.end(), 9);
    EXPECT_EQ(Row(image, 0), expected);

    Decode(Rle(4, 256, 1, Bytes({255, 0x12, 1, 0x30, 0, 1})), image);
    for (int x = 0; x < 256; ++x)
        EXPECT_EQ(image.At(x, 0).Red, x == 255 ? 4 : (x % 2 ? 3 : 2)) << x;

    std::istringstream stream(Rle(8, 2, 1, Bytes({2, 1, 0, 1})) + "after");
    TBmpDecoder().ReadImageStream(stream, image);
    std::string rest;
    stream >> rest;
    EXPECT_EQ(rest, "after");
}

// A file of deltas that together move the position far beyond what 32 bits
// hold must not wrap back into the image.
TEST(BmpRle, LongDeltaChainsDoNotWrap)
{
    const int deltas = (1 << 23) + 120000; // 255 * deltas > 2^31
    std::string data;
    data.reserve(size_t(deltas) * 4 + 4);
    for (int i = 0; i < deltas; ++i)
        data += Bytes({0, 2, 0, 255});
    std::string downward = data + Bytes({1, 1, 0, 1});
    EXPECT_EQ(DecodeError(Rle(8, 4, 2, downward)), "Corrupt RLE-compressed Data");

    for (size_t i = 0; i < data.size(); i += 4)
        std::swap(data[i + 2], data[i + 3]); // now rightwards
    std::string rightward = data + Bytes({1, 1, 0, 1});
    EXPECT_EQ(DecodeError(Rle(8, 4, 2, rightward)), "Corrupt RLE-compressed Data");
}

struct PercentLog {
    static inline std::vector<uint32_t> Values;
    static void Record(TBitmapImageCoder &, uint32_t, uint32_t, uint32_t, const std::string &,
                       uint32_t percent, bool &)
    {
        Values.push_back(percent);
    }
};

TEST(BmpRle, ProgressPerCodeStaysWithinBounds)
{
    TBmpDecoder decoder;
    decoder.ProgressFunction = PercentLog::Record;
    TBitmapImage image;
    PercentLog::Values.clear();
    // Bottom row of 4 x 2 first (position 4), then a delta far right and
    // above the top (past the end), an end of line there (before the start).
    Decode(Rle(8, 4, 2, Bytes({2, 1, 0, 2, 200, 9, 0, 0, 0, 1})), image, decoder);
    EXPECT_EQ(PercentLog::Values, (std::vector<uint32_t>{50, 75, 100, 0, 100}));
}

} // namespace
