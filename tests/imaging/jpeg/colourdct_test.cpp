#include "imaging/jpeg/colourconvert.h"
#include "imaging/jpeg/forwarddct.h"
#include "imaging/jpeg/jpegencoder.h"
#include "jpeg_test_support.h"

#include <cmath>
#include <random>

#include <gtest/gtest.h>

namespace {

struct Ycc {
    int Y, Cb, Cr;
    friend bool operator==(const Ycc &, const Ycc &) = default;
};

Ycc Convert(int r, int g, int b)
{
    return {ComputeY(uint8_t(r), uint8_t(g), uint8_t(b)), ComputeCb(uint8_t(r), uint8_t(g), uint8_t(b)),
            ComputeCr(uint8_t(r), uint8_t(g), uint8_t(b))};
}

} // namespace

TEST(JpegColour, Examples)
{
    EXPECT_EQ(Convert(255, 255, 255), (Ycc{255, 128, 128}));
    EXPECT_EQ(Convert(0, 0, 0), (Ycc{0, 128, 128}));
    EXPECT_EQ(Convert(128, 128, 128), (Ycc{128, 128, 128}));
    EXPECT_EQ(Convert(255, 0, 0), (Ycc{76, 85, 255})); // Cr 255.5 rounds to 256, clamped
    EXPECT_EQ(Convert(0, 0, 255), (Ycc{29, 255, 107}));
}

TEST(JpegColour, FastPathsAgreeWithExtendedPrecisionForEveryColour)
{
    // Every colour once, through both the per-pixel and the row conversion.
    TBitmapImage image;
    image.SetSize(4096, 4096);
    for (uint32_t i = 0; i < image.Pixels.size(); ++i)
        image.Pixels[i] = TPixel{uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16), 0};
    TJpegEncoder encoder;
    TJpegEncoderComponent y, cb, cr;
    ConvertColour(encoder, image, 1, 1, y, cb, cr);
    for (uint32_t i = 0; i < image.Pixels.size(); ++i) {
        const TPixel &p = image.Pixels[i];
        const Ycc precise{ComputeYPrecise(p.Red, p.Green, p.Blue), ComputeCbPrecise(p.Red, p.Green, p.Blue),
                          ComputeCrPrecise(p.Red, p.Green, p.Blue)};
        if (Convert(p.Red, p.Green, p.Blue) != precise || Ycc{y.FSamples[i], cb.FSamples[i], cr.FSamples[i]} != precise)
            FAIL() << int(p.Red) << "," << int(p.Green) << "," << int(p.Blue);
    }
}

namespace {

TJpegEncoderQuantizationTable OnesTable()
{
    TJpegEncoderQuantizationTable table;
    for (int i = 0; i < 64; ++i)
        table.SetValue(i, 1);
    table.PrepareScaled();
    return table;
}

} // namespace

TEST(JpegDct, FlatBlocks)
{
    TJpegEncoderQuantizationTable table = OnesTable();
    int16_t out[64];
    for (int v : {255, 0, 128, 77}) {
        uint8_t samples[64];
        std::fill(std::begin(samples), std::end(samples), uint8_t(v));
        TransformBlock(samples, table, out);
        EXPECT_EQ(out[0], std::floor(8.0 * (v - 128) + 0.5)) << v;
        for (int i = 1; i < 64; ++i)
            ASSERT_EQ(out[i], 0) << v << " at " << i;
    }
    uint8_t white[64];
    std::fill(std::begin(white), std::end(white), uint8_t(255));
    TransformBlock(white, table, out);
    EXPECT_EQ(out[0], 1016);
    table.SetValue(0, 3);
    table.PrepareScaled();
    TransformBlock(white, table, out);
    EXPECT_EQ(out[0], 339); // floor(1016 / 3 + 0.5)
}

namespace {

// The factored transform written out plainly, one scalar at a time, as the
// reference the vectorized one must match bit for bit.
void ScalarTransform(const uint8_t *samples, const double *scaled, int16_t *out)
{
    const double C4 = 0.70710678118654752440, K1 = 0.54119610014619698440, K2 = 1.30656296487637652796;
    auto pass = [&](double s07, double s16, double s25, double s34, double d07, double d16, double d25, double d34,
                    double *X, int stride) {
        const double e0 = s07 + s34, e1 = s16 + s25, e2 = s16 - s25, e3 = s07 - s34;
        X[0] = e0 + e1;
        X[4 * stride] = e0 - e1;
        const double z1 = (e2 + e3) * C4;
        X[2 * stride] = e3 + z1;
        X[6 * stride] = e3 - z1;
        const double o0 = d34 + d25, o1 = d25 + d16, o2 = d16 + d07;
        const double z = (o0 + o2) * C4, z3 = o1 * C4;
        const double r1 = (z + o2) * K1, r2 = (z - o2) * K2;
        const double z11 = d07 + z3, z13 = d07 - z3;
        X[1 * stride] = z11 + r1;
        X[7 * stride] = z11 - r1;
        X[5 * stride] = z13 + r2;
        X[3 * stride] = z13 - r2;
    };
    double T[64];
    for (int c = 0; c < 8; ++c) {
        const uint8_t *x = samples + c;
        pass(x[0] + x[56] - 256, x[8] + x[48] - 256, x[16] + x[40] - 256, x[24] + x[32] - 256, x[0] - x[56],
             x[8] - x[48], x[16] - x[40], x[24] - x[32], T + c, 8);
    }
    for (int k = 0; k < 8; ++k) {
        const double *x = T + 8 * k;
        double Y[8];
        pass(x[0] + x[7], x[1] + x[6], x[2] + x[5], x[3] + x[4], x[0] - x[7], x[1] - x[6], x[2] - x[5], x[3] - x[4],
             Y, 1);
        for (int u = 0; u < 8; ++u)
            out[8 * k + u] = int16_t(std::floor(Y[u] * scaled[8 * k + u] + 0.5));
    }
}

} // namespace

TEST(JpegDct, EveryKernelMatchesScalarBitForBit)
{
    for (TJpegSimdLevel simd : SupportedSimdLevels()) {
        const TScopedSimdLevel scoped(simd);
        std::mt19937 random(5);
        for (int level : {9, 3, 0}) {
            TJpegEncoder encoder;
            encoder.SetQuality(level);
            TJpegEncoderQuantizationTable table = encoder.QuantizationTable(1);
            table.PrepareScaled();
            for (int n = 0; n < 30000; ++n) {
                uint8_t samples[64];
                for (uint8_t &s : samples) // noise, hard edges and near-flat blocks
                    s = uint8_t(n % 3 == 0   ? random() % 256
                                : n % 3 == 1 ? (random() % 2) * 255
                                             : 100 + random() % 5);
                int16_t vectorized[64], scalar[64];
                TransformBlock(samples, table, vectorized);
                ScalarTransform(samples, table.Scaled(), scalar);
                ASSERT_TRUE(std::equal(vectorized, vectorized + 64, scalar))
                    << JpegSimdLevelName(simd) << " quality " << level << " block " << n;
            }
        }
    }
}

TEST(JpegSampling, ColourArraysAndBlocks)
{
    TJpegEncoder encoder;
    TBitmapImage image = MakePhoto(20, 20);
    encoder.SetSampling(1, 2, 2);
    TJpegEncoderComponent y, cb, cr;
    y.FHSampling = y.FVSampling = 2;
    TJpegEncoderQuantizationTable table = OnesTable();
    y.FQuantTable = cb.FQuantTable = cr.FQuantTable = &table;
    ConvertColour(encoder, image, 2, 2, y, cb, cr);
    EXPECT_EQ(y.FSampleCols, 32u);
    EXPECT_EQ(y.FSampleRows, 32u);
    EXPECT_EQ(cb.FSampleCols, 32u);
    EXPECT_EQ(y.FScanCols, 3u);
    EXPECT_EQ(cb.FScanCols, 2u);
    // Edges are replicated.
    EXPECT_EQ(y.FSamples[5 * 32 + 31], y.FSamples[5 * 32 + 19]);
    EXPECT_EQ(cr.FSamples[31 * 32 + 7], cr.FSamples[19 * 32 + 7]);
    const std::vector<uint8_t> cbSamples(cb.FSamples.begin(), cb.FSamples.end());

    BuildBlocks(y, encoder, 2, 2);
    BuildBlocks(cb, encoder, 2, 2);
    EXPECT_EQ(y.FDuRows, 4u);
    EXPECT_EQ(y.FDuCols, 4u);
    EXPECT_EQ(cb.FDuRows, 2u);
    EXPECT_EQ(cb.FDuCols, 2u);
    // Block (1, 0) of Cb is the transform of the truncated 2x2 averages.
    uint8_t averaged[64];
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const size_t top = size_t(16 + 2 * r) * 32 + size_t(2 * c);
            averaged[8 * r + c] =
                uint8_t((cbSamples[top] + cbSamples[top + 1] + cbSamples[top + 32] + cbSamples[top + 33]) / 4);
        }
    int16_t expected[64];
    TransformBlock(averaged, table, expected);
    EXPECT_TRUE(std::equal(expected, expected + 64, cb.Block(1, 0).begin()));
}

TEST(JpegSampling, TinyAndOddSizes)
{
    TJpegEncoder encoder;
    TJpegEncoderQuantizationTable table = OnesTable();
    TJpegEncoderComponent y, cb, cr;
    y.FQuantTable = &table;
    TBitmapImage one = MakeFlat(1, 1, 200, 10, 60);
    ConvertColour(encoder, one, 1, 1, y, cb, cr);
    EXPECT_EQ(std::vector<uint8_t>(y.FSamples.begin(), y.FSamples.end()), std::vector<uint8_t>(64, ComputeY(200, 10, 60)));
    EXPECT_EQ(std::vector<uint8_t>(cr.FSamples.begin(), cr.FSamples.end()), std::vector<uint8_t>(64, ComputeCr(200, 10, 60)));
    BuildBlocks(y, encoder, 1, 1);
    EXPECT_EQ(y.FCoefficients.size(), 1u);

    // Grayscale pads with mid-grey, not with the edge.
    TBitmapImage gray = MakeFlat(10, 3, 255, 255, 255);
    TJpegEncoderComponent g;
    g.FQuantTable = &table;
    ConvertGray(encoder, gray, g);
    EXPECT_EQ(g.FDuRows, 1u);
    EXPECT_EQ(g.FDuCols, 2u);
    uint8_t samples[64];
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            samples[8 * r + c] = (r < 3 && c < 2) ? 255 : 128;
    int16_t expected[64];
    TransformBlock(samples, table, expected);
    EXPECT_TRUE(std::equal(expected, expected + 64, g.Block(0, 1).begin()));

    // A factor of 3 rounds up to multiples of 24.
    TJpegEncoderComponent y3, cb3, cr3;
    y3.FHSampling = 3;
    TBitmapImage wide = MakePhoto(25, 9);
    ConvertColour(encoder, wide, 3, 1, y3, cb3, cr3);
    EXPECT_EQ(y3.FSampleCols, 48u);
    EXPECT_EQ(y3.FSampleRows, 16u);
    EXPECT_EQ(y3.FScanCols, 4u);
    EXPECT_EQ(cb3.FScanCols, 2u);
}
