// Progressive AC scans: spectral bands of one component, first scans with
// end-of-band runs and refinement scans with correction bits (ITU-T T.81
// G.1.2.2 and G.1.2.3).

#include "imaging/jpeg/coefficientmask.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/symbolsink.h"

#include <cstdlib>

void TJpegEncoder::AcFirstScan(const TJpegScan &scan)
{
    TJpegEncoderComponent &component = *FScanComponents[0];
    const int ss = scan.SpectralStart, se = scan.SpectralEnd, al = scan.ApproxLow;
    ClearTables(false, true);
    RunAcScan(component, false, CountAcSymbol, false, ss, se, al);
    BuildTables(false, true);
    WriteHuffmanTables(false, true);
    WriteStartOfScan(ss, se, 0, al, false);
    FStream->BeginBits(8);
    RunAcScan(component, true, EmitAcSymbol, false, ss, se, al);
    FStream->EndBits();
}

void TJpegEncoder::AcRefineScan(const TJpegScan &scan)
{
    TJpegEncoderComponent &component = *FScanComponents[0];
    const int ss = scan.SpectralStart, se = scan.SpectralEnd, al = scan.ApproxLow;
    ClearTables(false, true);
    RunAcScan(component, false, CountAcSymbol, true, ss, se, al);
    BuildTables(false, true);
    WriteHuffmanTables(false, true);
    WriteStartOfScan(ss, se, scan.ApproxHigh, al, false);
    FStream->BeginBits(8);
    RunAcScan(component, true, EmitAcSymbol, true, ss, se, al);
    FStream->EndBits();
}

void TJpegEncoder::ClearEobRun(TJpegEncoderComponent &component)
{
    component.FEobRun = 0;
    component.FEobStartRow = component.FEobStartCol = int32_t(component.FDuRows * component.FDuCols);
    component.FEobStartPos = 64;
}

namespace {

// The point transform of AC coefficients (T.81 G.1.2.2): a division by 2^al
// that truncates toward zero, unlike the DC's shift.
inline int32_t PointTransform(int16_t coefficient, int al)
{
    return int32_t(coefficient) / (int32_t(1) << al);
}

inline int16_t ZigzagAt(const TJpegCoefficientBlock &block, int k)
{
    return block[JpegZigzag[size_t(k)]];
}

inline void CheckBounds(const TJpegEncoderComponent &component, uint32_t row, uint32_t col)
{
    if (size_t(row) * component.FDuCols + col >= component.FCoefficients.size())
        throw EJpegError("INTERNAL ERROR - Bad Array Bound");
}

// The blocks are walked through masks in zigzag order (coefficientmask.h):
// the symbols are exactly those of a position-by-position walk.

template <class Sink>
void EobRun(TJpegEncoderComponent &component, Sink &sink)
{
    if (component.FEobRun > 0) {
        // EOBn: n = floor(log2(run)), followed by the run's low n bits.
        const int n = 31 - __builtin_clz(uint32_t(component.FEobRun));
        sink.Ac(n * 16, component.FEobRun, n);
        component.FEobRun = 0;
    }
}

// Correction bits (bit al of |coefficient|) of the positions in mask.
template <class Sink>
void Corrections(const TJpegCoefficientBlock &block, uint64_t mask, int al, Sink &sink)
{
    if constexpr (Sink::WritesBits)
        for (; mask != 0; mask &= mask - 1) {
            const int p = __builtin_ctzll(mask);
            sink.Ac(-1, (std::abs(ZigzagAt(block, p)) >> al) & 1, 1);
        }
}

template <class Sink>
void RefineEobRun(TJpegEncoderComponent &component, Sink &sink, int ss, int se, int al)
{
    if (component.FEobRun > 0) {
        const int n = 31 - __builtin_clz(uint32_t(component.FEobRun));
        sink.Ac(n * 16, component.FEobRun, n);
        if constexpr (Sink::WritesBits) {
            // The correction bits the blocks of the run still owe, in order.
            uint32_t row = uint32_t(component.FEobStartRow);
            uint32_t col = uint32_t(component.FEobStartCol);
            int first = component.FEobStartPos;
            for (int32_t i = 0; i < component.FEobRun; ++i) {
                const TJpegCoefficientBlock &block = component.Block(row, col);
                Corrections(block, ZigzagMagnitudeMask(block, 2u << al) & BandMask(first, se), al, sink);
                first = ss;
                if (++col == component.FScanCols) {
                    col = 0;
                    ++row;
                }
            }
        }
    }
    component.FEobStartPos = 64;
    component.FEobStartRow = component.FEobStartCol = int32_t(component.FDuRows * component.FDuCols);
    component.FEobRun = 0;
}

// The number of set bits, inline: without a CPU level that has POPCNT the
// builtin becomes a library call on this hot path.
inline int CountBits(uint64_t bits)
{
    bits = bits - ((bits >> 1) & 0x5555555555555555ull);
    bits = (bits & 0x3333333333333333ull) + ((bits >> 2) & 0x3333333333333333ull);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int((bits * 0x0101010101010101ull) >> 56);
}

template <class Sink>
void AcFirstBlock(TJpegEncoderComponent &component, uint32_t row, uint32_t col, Sink &sink, int ss, int se, int al)
{
    CheckBounds(component, row, col);
    const TJpegCoefficientBlock &block = component.Block(row, col);
    const uint64_t significant = ZigzagMagnitudeMask(block, 1u << al) & BandMask(ss, se);
    int previous = ss - 1; // the last position coded
    for (uint64_t rest = significant; rest != 0; rest &= rest - 1) {
        const int k = __builtin_ctzll(rest);
        EobRun(component, sink);
        int run = k - previous - 1;
        for (; run >= 16; run -= 16)
            sink.Ac(0xF0, 0, 0);
        const int32_t v = PointTransform(ZigzagAt(block, k), al);
        const int category = JpegCategory(v);
        sink.Ac(run * 16 + category, JpegExtraBits(v), category);
        previous = k;
    }
    if (previous < se) { // the band ends with zeros
        ++component.FEobRun;
        if (component.FEobRun == 32767)
            EobRun(component, sink);
    }
}

template <class Sink>
void AcRefineBlock(TJpegEncoderComponent &component, uint32_t row, uint32_t col, Sink &sink, int ss, int se,
                   int al)
{
    CheckBounds(component, row, col);
    const TJpegCoefficientBlock &block = component.Block(row, col);
    const uint64_t band = BandMask(ss, se);
    uint64_t nonzero, old; // |v| >= 1, and |v| > 1: significant before
    ZigzagMagnitudeMasks(block, 1u << al, 2u << al, nonzero, old);
    nonzero &= band;
    old &= band;
    const uint64_t fresh = nonzero & ~old; // |v| = 1: significant now
    const uint64_t zeros = band & ~nonzero;
    int owed = ss; // the first position whose correction bit has not been sent
    bool finished = false;
    for (uint64_t rest = fresh; rest != 0; rest &= rest - 1) {
        const int k = __builtin_ctzll(rest);
        RefineEobRun(component, sink, ss, se, al);
        int run = CountBits(zeros & BandMask(owed, k - 1));
        while (run >= 16) {
            sink.Ac(0xF0, 0, 0);
            run -= 16;
            // The ZRL passes 16 zero-history positions; the correction bits
            // of the significant ones among them follow it.
            uint64_t ahead = zeros & ~BandMask(0, owed - 1);
            for (int i = 0; i < 15; ++i)
                ahead &= ahead - 1;
            const int last = __builtin_ctzll(ahead);
            if (fresh & BandMask(owed, last))
                throw EJpegError("INTERNAL ERROR - Bad Value");
            Corrections(block, old & BandMask(owed, last), al, sink);
            owed = last + 1;
        }
        sink.Ac(run * 16 + 1, ZigzagAt(block, k) > 0 ? 1 : 0, 1);
        Corrections(block, old & BandMask(owed, k - 1), al, sink);
        owed = k + 1;
        finished = k == se;
    }
    if (finished)
        return;
    if (component.FEobRun == 0) {
        component.FEobStartRow = int32_t(row);
        component.FEobStartCol = int32_t(col);
        component.FEobStartPos = owed;
    }
    ++component.FEobRun;
    if (component.FEobRun == 32767)
        RefineEobRun(component, sink, ss, se, al);
}

} // namespace

// One pass over the scan: first scans code each block's band afresh,
// refinement scans send one more bit of it; both close the band's pending
// end-of-band run after the last row.
void TJpegEncoder::RunAcScan(TJpegEncoderComponent &component, bool writing, TAcProcedure ac, bool refine, int ss,
                             int se, int al)
{
    const char *description = "AC Progressive Scan";
    uint32_t progress = writing ? 12800 : 0;
    const uint32_t increment = 25600 / (2 * component.FDuRows);
    ClearEobRun(component);
    for (uint32_t row = 0; row < component.FScanRows; ++row) {
        WithSink(component, nullptr, ac, [&](auto &sink) {
            for (uint32_t col = 0; col < component.FScanCols; ++col) {
                if (refine)
                    AcRefineBlock(component, row, col, sink, ss, se, al);
                else
                    AcFirstBlock(component, row, col, sink, ss, se, al);
            }
            if (row + 1 == component.FScanRows) {
                if (refine)
                    RefineEobRun(component, sink, ss, se, al);
                else
                    EobRun(component, sink);
            }
        });
        progress += increment;
        ReportProgress(description, progress / 256);
    }
    ReportProgress(description, writing ? 100 : 50);
}

void TJpegEncoder::CodeAcFirst(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TAcProcedure ac,
                               int ss, int se, int al)
{
    WithSink(component, nullptr, ac, [&](auto &sink) { AcFirstBlock(component, row, col, sink, ss, se, al); });
}

void TJpegEncoder::CodeAcRefine(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TAcProcedure ac,
                                int ss, int se, int al)
{
    WithSink(component, nullptr, ac, [&](auto &sink) { AcRefineBlock(component, row, col, sink, ss, se, al); });
}

void TJpegEncoder::EmitEobRun(TJpegEncoderComponent &component, TAcProcedure ac)
{
    WithSink(component, nullptr, ac, [&](auto &sink) { EobRun(component, sink); });
}

void TJpegEncoder::EmitRefineEobRun(TJpegEncoderComponent &component, TAcProcedure ac, int ss, int se, int al)
{
    WithSink(component, nullptr, ac, [&](auto &sink) { RefineEobRun(component, sink, ss, se, al); });
}
