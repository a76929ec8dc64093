#include "imaging/jpeg/coefficientmask.h"
#include "imaging/jpeg/huffman.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/quantization.h"
#include "jpeg_test_support.h"

#include <random>

#include <gtest/gtest.h>

TEST(JpegTables, ScalingAndZigzagTables)
{
    const double row0[8] = {0.125, 0.0901199777508685, 0.09567085809127245, 0.10630376184590706,
                            0.125, 0.15909482257160423, 0.23096988312782168, 0.45306372317644383};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(JpegAanScale[size_t(c)], row0[c]) << c;
    EXPECT_EQ(JpegAanScale[63], 1.6421338980680107);
    EXPECT_EQ((std::vector<int>(JpegZigzag.begin(), JpegZigzag.begin() + 10)),
              (std::vector<int>{0, 1, 8, 16, 9, 2, 3, 10, 17, 24}));
    EXPECT_EQ((std::vector<int>(JpegZigzag.end() - 4, JpegZigzag.end())), (std::vector<int>{47, 55, 62, 63}));
}

TEST(JpegTables, QualityLevels)
{
    TJpegEncoder encoder; // level 3: T.81 K.1 and K.2
    EXPECT_EQ(encoder.Quality(), 3);
    EXPECT_EQ(encoder.QuantizationTable(0).GetValue(0), 16);
    EXPECT_EQ(encoder.QuantizationTable(0).GetValue(63), 99);
    EXPECT_EQ(encoder.QuantizationTable(1).GetValue(0), 17);
    EXPECT_EQ(encoder.QuantizationTable(3).GetValue(8), 18);
    encoder.SetQuality(2);
    EXPECT_EQ(encoder.QuantizationTable(2).GetValue(7), 201);
    EXPECT_EQ(encoder.QuantizationTable(3).GetValue(7), 201);
    encoder.SetQuality(6);
    EXPECT_EQ(encoder.QuantizationTable(1).GetValue(63), 143);

    encoder.SetQuality(9);
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(encoder.QuantizationTable(t).GetValue(i), 1);
    TJpegEncoderQuantizationTable &table = encoder.QuantizationTable(0);
    table.PrepareScaled();
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(table.FScaled[size_t(i)], JpegAanScale[size_t(i)]);
    table.SetValue(5, 2);
    table.PrepareScaled();
    EXPECT_EQ(table.FScaled[5], JpegAanScale[5] / 2);

    for (int level : {-1, 10})
        EXPECT_THROW(
            try { encoder.SetQuality(level); } catch (const EJpegError &e) {
                EXPECT_STREQ(e.what(), "Quality must be a level from 0 to 9");
                throw;
            },
            EJpegError);
    EXPECT_EQ(encoder.Quality(), 9);
}

TEST(JpegHuffman, SingleSymbolGetsOneBitCode)
{
    TJpegHuffmanEncoder table;
    for (int i = 0; i < 7; ++i)
        table.CountSymbol(42);
    table.Build();
    uint16_t code;
    uint8_t length;
    table.Lookup(42, code, length);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(table.FLengthCounts[0], 1);
    EXPECT_EQ(table.DefinitionLength(), 18);
    TMemoryOutputStream stream;
    table.WriteDefinition(stream);
    std::vector<uint8_t> expected(16, 0);
    expected[0] = 1;
    expected.push_back(42);
    EXPECT_EQ(stream.Bytes(), expected);
}

TEST(JpegHuffman, TiesSendTheHigherSymbolDeeper)
{
    TJpegHuffmanEncoder table;
    for (int i = 0; i < 5; ++i) {
        table.CountSymbol(3);
        table.CountSymbol(7);
    }
    table.Build();
    uint16_t code;
    uint8_t length;
    table.Lookup(3, code, length);
    EXPECT_EQ(code, 0b0);
    EXPECT_EQ(length, 1);
    table.Lookup(7, code, length);
    EXPECT_EQ(code, 0b10);
    EXPECT_EQ(length, 2);
    table.Lookup(8, code, length);
    EXPECT_EQ(length, 0); // never counted: no code

    // Building again without clearing changes nothing.
    table.Build();
    table.Lookup(7, code, length);
    EXPECT_EQ(code, 0b10);
    EXPECT_EQ(length, 2);
}

TEST(JpegHuffman, SkewedCountsAreLimitedTo16Bits)
{
    // Fibonacci-like counts make a tree 30 levels deep.
    TJpegHuffmanEncoder table;
    uint32_t a = 1, b = 1;
    for (int s = 0; s < 30; ++s) {
        for (uint32_t i = 0; i < a; ++i)
            table.CountSymbol(uint8_t(s));
        const uint32_t next = a + b;
        a = b;
        b = next;
    }
    for (int s = 30; s < 40; ++s)
        table.CountSymbol(uint8_t(s));
    table.Build();
    uint64_t kraft = 0;
    int listed = 0;
    for (int length = 1; length <= 16; ++length) {
        kraft += uint64_t(table.FLengthCounts[size_t(length - 1)]) << (16 - length);
        listed += table.FLengthCounts[size_t(length - 1)];
    }
    EXPECT_LT(kraft, 1u << 16); // room is left: no all-ones code
    EXPECT_EQ(listed, 40);
    for (int s = 0; s < 40; ++s) {
        uint16_t code;
        uint8_t length;
        table.Lookup(uint8_t(s), code, length);
        ASSERT_GE(length, 1) << s;
    }
}

TEST(JpegHuffman, DefinitionLengthCountsSymbols)
{
    TJpegHuffmanEncoder table;
    for (int s = 0; s < 12; ++s)
        for (int i = 0; i <= s; ++i)
            table.CountSymbol(uint8_t(s * 16));
    table.Build();
    EXPECT_EQ(table.DefinitionLength(), 29);
    // Symbols are listed by code length, then by value.
    uint8_t previousLength = 0;
    for (int k = 0; k < 12; ++k) {
        uint16_t code;
        uint8_t length;
        table.Lookup(table.FSymbols[size_t(k)], code, length);
        EXPECT_GE(length, previousLength);
        previousLength = length;
    }
}

TEST(JpegCoefficientMask, EveryKernelMarksMagnitudesInZigzagOrder)
{
    for (TJpegSimdLevel simd : SupportedSimdLevels()) {
        const TScopedSimdLevel scoped(simd);
        std::mt19937 random(3);
        for (int n = 0; n < 4000; ++n) {
            TJpegCoefficientBlock block{};
            for (int16_t &c : block)
                c = random() % 3 == 0 ? int16_t(int(random() % 65536) - 32768) >> (random() % 16) : 0;
            block[size_t(n % 64)] = -32768;
            for (uint32_t threshold : {1u, 2u, 4u, 1024u, 16384u, 32767u, 32768u}) {
                uint64_t expected = 0;
                for (int k = 0; k < 64; ++k)
                    if (uint32_t(std::abs(block[JpegZigzag[size_t(k)]])) >= threshold)
                        expected |= uint64_t(1) << k;
                ASSERT_EQ(ZigzagMagnitudeMask(block, threshold), expected) << JpegSimdLevelName(simd) << threshold;
                uint64_t low, high;
                ZigzagMagnitudeMasks(block, 1, threshold, low, high);
                ASSERT_EQ(low, ZigzagNonzeroMask(block)) << JpegSimdLevelName(simd);
                ASSERT_EQ(high, expected) << JpegSimdLevelName(simd);
            }
        }
    }
    EXPECT_EQ(BandMask(1, 63), ~uint64_t(1));
    EXPECT_EQ(BandMask(6, 5), 0u);
    EXPECT_EQ(BandMask(0, 0), 1u);
}
