// Sequential frames, the pass loops every scan runs, and the symbol procedures.

#include "imaging/jpeg/colourconvert.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// ---- Symbol procedures ----

void CountDcSymbol(TJpegEncoderComponent &component, int category, int32_t)
{
    component.FDcTable->CountSymbol(uint8_t(category));
}

void CountAcSymbol(TJpegEncoderComponent &component, int symbol, int32_t, int)
{
    if (symbol >= 0)
        component.FAcTable->CountSymbol(uint8_t(symbol));
}

// The code and its extra bits (at most 16 + 11) go out in one write.
void EmitDcSymbol(TJpegEncoderComponent &component, int category, int32_t bits)
{
    uint16_t code;
    uint8_t length;
    component.FDcTable->Lookup(uint8_t(category), code, length);
    const uint32_t extra = uint32_t(bits) & ((1u << category) - 1u);
    component.FStream->PutBits(uint32_t(code) << category | extra, length + category);
}

void EmitAcSymbol(TJpegEncoderComponent &component, int symbol, int32_t bits, int count)
{
    const uint32_t extra = uint32_t(bits) & ((1u << count) - 1u);
    if (symbol < 0) {
        component.FStream->PutBits(extra, count);
        return;
    }
    uint16_t code;
    uint8_t length;
    component.FAcTable->Lookup(uint8_t(symbol), code, length);
    component.FStream->PutBits(uint32_t(code) << count | extra, length + count);
}

// ---- Sequential frame ----

void TJpegEncoder::WriteSequentialFrame(const TBitmapImage &image)
{
    if (FGrayscale) {
        ++FCurrentPass;
        ConvertGray(*this, image, FComponents[0]);
        WriteStartOfFrame(0xC0);
        WriteQuantizationTables();
        FScanComponentCount = 1;
        FScanComponents[0] = &FComponents[0];
        ++FCurrentPass;
        SequentialScan();
        return;
    }
    ++FCurrentPass;
    ConvertColour(*this, image, FMaxH, FMaxV, FComponents[0], FComponents[1], FComponents[2]);
    for (TJpegEncoderComponent &component : FComponents) {
        ++FCurrentPass;
        BuildBlocks(component, *this, FMaxH, FMaxV);
        // The samples are not needed once the blocks exist.
        component.FSamples.clear();
        component.FSamples.shrink_to_fit();
    }
    WriteStartOfFrame(0xC0);
    WriteQuantizationTables();
    for (uint32_t i = 1; i <= FScanCount; ++i) {
        ++FCurrentPass;
        const TJpegScan &scan = Scan(int(i));
        if (scan.Components.Empty())
            continue;
        SelectScanComponents(scan);
        SequentialScan();
    }
}

void TJpegEncoder::SequentialScan()
{
    const uint32_t units = FScanComponentCount > 1 ? FMcuCols : FScanComponents[0]->FDuCols;
    const uint16_t interval = uint16_t(uint32_t(FRestartRows) * units);
    if (interval != FRestartInterval) {
        WriteRestartInterval(interval);
        FRestartInterval = interval;
    }
    ClearTables(true, true);
    const auto run = FScanComponentCount > 1 ? &TJpegEncoder::RunInterleaved : &TJpegEncoder::RunNoninterleaved;
    (this->*run)(false, &TJpegEncoder::CodeSequential, CountDcSymbol, CountAcSymbol, 0, 63, 0);
    BuildTables(true, true);
    WriteHuffmanTables(true, true);
    WriteStartOfScan(0, 63, 0, 0, false);
    FStream->BeginBits(8);
    (this->*run)(true, &TJpegEncoder::CodeSequential, EmitDcSymbol, EmitAcSymbol, 0, 63, 0);
    FStream->EndBits();
}

namespace {

// The order of T.81 Figure A.6 as immediate offsets, for the unrolled gather.
constexpr uint8_t Zigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

inline void ToZigzag(const TJpegCoefficientBlock &block, int16_t *zigzag)
{
#pragma GCC unroll 64
    for (int k = 0; k < 64; ++k)
        zigzag[k] = block[Zigzag[k]];
}

// Bit k is set when coefficient k (zigzag order) is not zero.
inline uint64_t NonzeroMask(const int16_t *zigzag)
{
#if defined(__SSE2__)
    uint64_t mask = 0;
    const __m128i zero = _mm_setzero_si128();
    for (int i = 0; i < 4; ++i) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(zigzag + 16 * i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(zigzag + 16 * i + 8));
        const __m128i zeros = _mm_packs_epi16(_mm_cmpeq_epi16(low, zero), _mm_cmpeq_epi16(high, zero));
        mask |= uint64_t(uint16_t(~_mm_movemask_epi8(zeros))) << (16 * i);
    }
    return mask;
#else
    uint64_t mask = 0;
    for (int k = 0; k < 64; ++k)
        mask |= uint64_t(zigzag[k] != 0) << k;
    return mask;
#endif
}

// T.81 F.1.2: the DC difference, then runs of zeros and the non-zero AC
// coefficients in zigzag order. Zeros are skipped through a mask of the
// non-zero coefficients; the symbols are those of a coefficient-by-
// coefficient walk. Dc and Ac are the scan's procedures, passed as constants
// where the caller knows them so that each gets an inlined copy.
template <class DcFn, class AcFn>
inline void CodeBlockSequential(TJpegEncoderComponent &component, const TJpegCoefficientBlock &block, DcFn dc,
                                AcFn ac)
{
    const int32_t diff = block[0] - component.FLastDc;
    component.FLastDc = block[0];
    dc(component, JpegCategory(diff), JpegExtraBits(diff));

    int16_t zigzag[64];
    ToZigzag(block, zigzag);
    const uint64_t nonzero = NonzeroMask(zigzag) & ~uint64_t(1);

    int previous = 0; // zigzag index of the last coefficient coded
    for (uint64_t rest = nonzero; rest != 0; rest &= rest - 1) {
        const int k = __builtin_ctzll(rest);
        int run = k - previous - 1;
        for (; run >= 16; run -= 16)
            ac(component, 0xF0, 0, 0);
        const int32_t c = zigzag[k];
        const int category = JpegCategory(c);
        ac(component, run * 16 + category, JpegExtraBits(c), category);
        previous = k;
    }
    if (previous < 63)
        ac(component, 0x00, 0, 0); // end of block
}

} // namespace

void TJpegEncoder::CodeSequential(TJpegEncoderComponent &component, uint32_t row, uint32_t col,
                                  TDcProcedure dc, TAcProcedure ac, int, int, int)
{
    const TJpegCoefficientBlock &block = component.Block(row, col);
    // A lambda has a type of its own, so these two calls are inlined.
    if (dc == CountDcSymbol && ac == CountAcSymbol)
        CodeBlockSequential(
            component, block, [](TJpegEncoderComponent &c, int category, int32_t bits) { CountDcSymbol(c, category, bits); },
            [](TJpegEncoderComponent &c, int symbol, int32_t bits, int count) { CountAcSymbol(c, symbol, bits, count); });
    else if (dc == EmitDcSymbol && ac == EmitAcSymbol)
        CodeBlockSequential(
            component, block, [](TJpegEncoderComponent &c, int category, int32_t bits) { EmitDcSymbol(c, category, bits); },
            [](TJpegEncoderComponent &c, int symbol, int32_t bits, int count) { EmitAcSymbol(c, symbol, bits, count); });
    else
        CodeBlockSequential(component, block, dc, ac);
}

// ---- Pass loops ----
//
// Progress runs in 1/256 percent: a counting pass covers 0..50 percent of the
// scan and the writing pass 50..100.

void TJpegEncoder::RunNoninterleaved(bool writing, TDataUnitCoder coder, TDcProcedure dc, TAcProcedure ac,
                                     int ss, int se, int al)
{
    TJpegEncoderComponent &component = *FScanComponents[0];
    const char *description = "Noninterleaved scan";
    uint32_t progress = writing ? 12800 : 0;
    const uint32_t increment = 25600 / (2 * component.FDuRows);
    ResetPredictions();
    int32_t restartCount = 0;
    int marker = 0;
    for (uint32_t row = 0; row < component.FScanRows; ++row) {
        for (uint32_t col = 0; col < component.FScanCols; ++col) {
            if (FRestartInterval != 0 && restartCount == FRestartInterval) {
                if (ac)
                    EmitEobRun(component, ac);
                if (writing)
                    PutRestartMarker(marker);
                ResetPredictions();
                marker = (marker + 1) % 8;
                restartCount = 0;
            }
            (this->*coder)(component, row, col, dc, ac, ss, se, al);
            ++restartCount;
        }
        progress += increment;
        ReportProgress(description, progress / 256);
    }
    ReportProgress(description, writing ? 100 : 50);
}

void TJpegEncoder::RunInterleaved(bool writing, TDataUnitCoder coder, TDcProcedure dc, TAcProcedure ac,
                                  int ss, int se, int al)
{
    const char *description = "Interleaved Scan";
    uint32_t progress = writing ? 12800 : 0;
    const uint32_t increment = 25600 / (2 * FMcuRows);
    ResetPredictions();
    int32_t restartCount = 0;
    int marker = 0;
    for (uint32_t mcuRow = 0; mcuRow < FMcuRows; ++mcuRow) {
        for (uint32_t mcuCol = 0; mcuCol < FMcuCols; ++mcuCol) {
            if (FRestartInterval != 0) {
                if (restartCount == FRestartInterval) {
                    if (writing)
                        PutRestartMarker(marker);
                    ResetPredictions();
                    marker = (marker + 1) % 8;
                    restartCount = 0;
                }
                ++restartCount;
            }
            for (int i = 0; i < FScanComponentCount; ++i) {
                TJpegEncoderComponent &component = *FScanComponents[size_t(i)];
                for (uint32_t v = 0; v < component.FVSampling; ++v)
                    for (uint32_t h = 0; h < component.FHSampling; ++h)
                        (this->*coder)(component, component.FVSampling * mcuRow + v,
                                       component.FHSampling * mcuCol + h, dc, ac, ss, se, al);
            }
        }
        progress += increment;
        ReportProgress(description, progress / 256);
    }
    ReportProgress(description, writing ? 100 : 50);
}
