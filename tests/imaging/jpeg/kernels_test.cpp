// Every vector kernel against its scalar reference, at every level this CPU
// runs: colour rows, the sequential coder, the progressive AC coder, and
// the raw bits a helper thread codes.

#include "imaging/jpeg/colourconvert.h"
#include "imaging/jpeg/colourrows.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/quantization.h"
#include "imaging/jpeg/scankernels.h"
#include "jpeg_test_support.h"

#include <random>

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

TEST(JpegKernels, ColourRowsAgreeWithExtendedPrecisionForEveryColour)
{
    // Every colour once, in rows of odd widths so that every tail is met.
    std::vector<TPixel> pixels(1u << 24);
    for (uint32_t i = 0; i < pixels.size(); ++i)
        pixels[i] = TPixel{uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16), uint8_t(i * 7)};
    std::vector<uint8_t> expected(3 * pixels.size());
    for (uint32_t i = 0; i < pixels.size(); ++i) {
        const TPixel &p = pixels[i];
        expected[3 * i] = ComputeYPrecise(p.Red, p.Green, p.Blue);
        expected[3 * i + 1] = ComputeCbPrecise(p.Red, p.Green, p.Blue);
        expected[3 * i + 2] = ComputeCrPrecise(p.Red, p.Green, p.Blue);
    }
    std::vector<uint8_t> y(5000), cb(5000), cr(5000);
    for (TJpegSimdLevel level : SupportedSimdLevels()) {
        for (uint32_t start = 0, width = 1; start < pixels.size(); start += width, width = width % 4999 + 1) {
            width = std::min<uint32_t>(width, uint32_t(pixels.size()) - start);
            // The byte after the row must stay as it is.
            y[width] = cb[width] = cr[width] = 0xA5;
            ConvertPixelRowAt(level, &pixels[start], width, y.data(), cb.data(), cr.data());
            ASSERT_EQ(y[width] & cb[width] & cr[width], 0xA5) << JpegSimdLevelName(level) << " wrote past the row";
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t *e = &expected[3 * (start + x)];
                if (y[x] != e[0] || cb[x] != e[1] || cr[x] != e[2])
                    FAIL() << JpegSimdLevelName(level) << " pixel " << start + x;
            }
        }
    }
}

namespace {

// Random blocks of every kind the coders meet: dense noise, sparse blocks,
// long runs of zeros, extremes.
TJpegCoefficientBlock RandomBlock(std::mt19937 &random, int kind)
{
    TJpegCoefficientBlock block{};
    for (int16_t &c : block) {
        switch (kind % 4) {
        case 0:
            c = int16_t(int(random() % 4096) - 2048);
            break;
        case 1:
            c = random() % 5 == 0 ? int16_t(int(random() % 64) - 32) : 0;
            break;
        case 2:
            c = random() % 23 == 0 ? int16_t(int(random() % 2048) - 1024) : 0;
            break;
        default:
            // Magnitudes up to 2^14: every size a coefficient can have.
            c = random() % 3 == 0 ? int16_t(int16_t(int(random() % 65536) - 32768) >> (1 + random() % 14)) : 0;
            break;
        }
    }
    return block;
}

// A component of rows x cols random blocks.
TJpegEncoderComponent RandomComponent(std::mt19937 &random, uint32_t rows, uint32_t cols, int kind)
{
    TJpegEncoderComponent component;
    component.FDuRows = component.FScanRows = rows;
    component.FDuCols = component.FScanCols = cols;
    for (uint32_t i = 0; i < rows * cols; ++i)
        component.FCoefficients.push_back(RandomBlock(random, kind + int(i % 7 == 0)));
    return component;
}

// Huffman tables with a code for every symbol, so that any symbol can be written.
TJpegHuffmanEncoder EveryCode(std::mt19937 &random)
{
    TJpegHuffmanEncoder table;
    for (int symbol = 0; symbol < 256; ++symbol)
        table.FCounts[size_t(symbol)] = 1 + random() % 1000;
    table.Build();
    return table;
}

// The component coded block by block through the public procedures, which
// walk every coefficient: counts into the component's tables, or bytes.
void CodeSequentialThroughProcedures(TJpegEncoder &encoder, TJpegEncoderComponent &component, bool writing)
{
    component.FLastDc = 0;
    for (uint32_t row = 0; row < component.FDuRows; ++row)
        for (uint32_t col = 0; col < component.FDuCols; ++col)
            encoder.CodeSequential(component, row, col, writing ? EmitDcSymbol : CountDcSymbol,
                                   writing ? EmitAcSymbol : CountAcSymbol, 0, 63, 0);
}

} // namespace

TEST(JpegKernels, SequentialCoderCountsAndWritesAsTheCoefficientWalk)
{
    std::mt19937 random(11);
    TJpegEncoder encoder;
    for (int kind = 0; kind < 4; ++kind) {
        TJpegEncoderComponent component = RandomComponent(random, 5, 7, kind);
        TJpegHuffmanEncoder dc = EveryCode(random), ac = EveryCode(random);
        component.FDcTable = &dc;
        component.FAcTable = &ac;

        // The reference: counts, then bytes.
        dc.ClearCounts();
        ac.ClearCounts();
        CodeSequentialThroughProcedures(encoder, component, false);
        const auto dcCounts = dc.FCounts, acCounts = ac.FCounts;
        TJpegHuffmanEncoder dcCodes = EveryCode(random), acCodes = EveryCode(random);
        component.FDcTable = &dcCodes;
        component.FAcTable = &acCodes;
        TMemoryOutputStream reference;
        component.FStream = &reference;
        reference.BeginBits(8);
        CodeSequentialThroughProcedures(encoder, component, true);
        reference.EndBits();

        for (TJpegSimdLevel level : SupportedSimdLevels()) {
            int32_t lastDc = 0;
            TSequentialSpan span;
            span.PartCount = 1;
            TSequentialPart &part = span.Parts[0];
            part.RowStride = component.FDuCols;
            part.LastDc = &lastDc;
            TJpegHuffmanEncoder dcCount, acCount;
            part.DcCounts = dcCount.FCounts.data();
            part.AcCounts = acCount.FCounts.data();
            part.DcCode = dcCodes.FCode.data();
            part.DcSize = dcCodes.FCodeLength.data();
            part.AcCode = acCodes.FCode.data();
            part.AcSize = acCodes.FCodeLength.data();
            span.Units = component.FDuCols;
            for (uint32_t row = 0; row < component.FDuRows; ++row) {
                part.First = component.FCoefficients.data() + row * component.FDuCols;
                ScanKernels(level).CountSequential(span);
            }
            EXPECT_EQ(dcCount.FCounts, dcCounts) << JpegSimdLevelName(level);
            EXPECT_EQ(acCount.FCounts, acCounts) << JpegSimdLevelName(level);

            lastDc = 0;
            TMemoryOutputStream stream;
            stream.BeginBits(8);
            {
                TJpegBitWriter writer(stream);
                for (uint32_t row = 0; row < component.FDuRows; ++row) {
                    part.First = component.FCoefficients.data() + row * component.FDuCols;
                    ScanKernels(level).EmitSequential(span, writer);
                }
            }
            stream.EndBits();
            EXPECT_EQ(stream.Bytes(), reference.Bytes()) << JpegSimdLevelName(level) << " kind " << kind;
        }
    }
}

namespace {

// A band of a component through the public data-unit coders, which keep
// their end-of-band run in the component: counts or bytes.
void CodeAcThroughProcedures(TJpegEncoder &encoder, TJpegEncoderComponent &component, bool refine, int ss, int se,
                             int al, bool writing)
{
    const TAcProcedure ac = writing ? EmitAcSymbol : CountAcSymbol;
    TJpegEncoder::ClearEobRun(component);
    for (uint32_t row = 0; row < component.FScanRows; ++row)
        for (uint32_t col = 0; col < component.FScanCols; ++col) {
            if (refine)
                encoder.CodeAcRefine(component, row, col, ac, ss, se, al);
            else
                encoder.CodeAcFirst(component, row, col, ac, ss, se, al);
        }
    if (refine)
        TJpegEncoder::EmitRefineEobRun(component, ac, ss, se, al);
    else
        TJpegEncoder::EmitEobRun(component, ac);
}

} // namespace

TEST(JpegKernels, ProgressiveCoderCountsAndWritesAsThePublicCoders)
{
    std::mt19937 random(17);
    TJpegEncoder encoder;
    struct Band {
        bool Refine;
        int Ss, Se, Al;
    };
    const Band bands[] = {{false, 1, 63, 0}, {false, 1, 5, 2}, {false, 6, 63, 1}, {true, 1, 63, 0},
                          {true, 1, 5, 1},   {true, 20, 63, 0}, {false, 1, 1, 13}, {true, 2, 40, 3}};
    for (int kind = 0; kind < 4; ++kind)
        for (const Band &band : bands) {
            TJpegEncoderComponent component = RandomComponent(random, 4, 9, kind);
            TJpegHuffmanEncoder dc, ac = EveryCode(random);
            component.FDcTable = &dc;
            component.FAcTable = &ac;
            ac.ClearCounts();
            CodeAcThroughProcedures(encoder, component, band.Refine, band.Ss, band.Se, band.Al, false);
            const auto counts = ac.FCounts;
            ac = EveryCode(random);
            TMemoryOutputStream reference;
            component.FStream = &reference;
            reference.BeginBits(8);
            CodeAcThroughProcedures(encoder, component, band.Refine, band.Ss, band.Se, band.Al, true);
            reference.EndBits();

            for (TJpegSimdLevel level : SupportedSimdLevels()) {
                TEobState eob;
                TAcPass pass;
                pass.Component = &component;
                pass.Refine = band.Refine;
                pass.Ss = band.Ss;
                pass.Se = band.Se;
                pass.Al = band.Al;
                pass.RowEnd = component.FScanRows;
                pass.Eob = &eob;
                TJpegHuffmanEncoder counted;
                pass.Counts = counted.FCounts.data();
                eob.Clear(component);
                ScanKernels(level).CountAc(pass);
                EXPECT_EQ(counted.FCounts, counts) << JpegSimdLevelName(level);

                TMemoryOutputStream stream;
                stream.BeginBits(8);
                {
                    TJpegBitWriter writer(stream);
                    pass.Code = ac.FCode.data();
                    pass.Size = ac.FCodeLength.data();
                    pass.Writer = &writer;
                    eob.Clear(component);
                    ScanKernels(level).EmitAc(pass);
                }
                stream.EndBits();
                EXPECT_EQ(stream.Bytes(), reference.Bytes())
                    << JpegSimdLevelName(level) << " kind " << kind << " band " << band.Ss << ".." << band.Se;
            }
        }
}

TEST(JpegKernels, RawBitsAppendedGiveTheBytesOfOneWriter)
{
    // Random codes with many 1-bits (so that stuffing is frequent) and
    // restart markers, written in one go, or split at every point with the
    // rest coded apart and appended.
    std::mt19937 random(23);
    struct Piece {
        uint32_t Bits;
        int Count;
        int Marker; // -1: none, else a restart before the bits
    };
    std::vector<Piece> pieces;
    for (int i = 0; i < 400; ++i) {
        const int count = int(random() % 33);
        const uint32_t bits = count == 0 ? 0 : uint32_t(random() | random()) >> (32 - count);
        pieces.push_back({bits, count, random() % 37 == 0 ? int(random() % 8) : -1});
    }
    auto write = [&](TJpegBitWriter &writer, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            if (pieces[i].Marker >= 0)
                writer.Restart(uint8_t(0xD0 + pieces[i].Marker));
            writer.Put(pieces[i].Bits, pieces[i].Count);
        }
    };
    TMemoryOutputStream whole(7);
    whole.BeginBits(8);
    {
        TJpegBitWriter writer(whole);
        write(writer, 0, pieces.size());
    }
    whole.EndBits();
    const Bytes expected = whole.Bytes();
    for (size_t split = 0; split <= pieces.size(); split += 13) {
        TJpegRawBits rest;
        {
            TJpegBitWriter raw(rest);
            write(raw, split, pieces.size());
        }
        TMemoryOutputStream stream(split % 2 ? 5 : 4096);
        stream.BeginBits(8);
        {
            TJpegBitWriter writer(stream);
            write(writer, 0, split);
            writer.Append(rest);
        }
        stream.EndBits();
        ASSERT_EQ(stream.Bytes(), expected) << "split at " << split;
    }
}
