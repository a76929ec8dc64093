// Progressive frames: spectral selection and successive approximation
// (ITU-T T.81 G.1.2).

#include "imaging/jpeg/coefficientmask.h"
#include "imaging/jpeg/colourconvert.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/symbolsink.h"

#include <cstdlib>

// ---- Script check ----

namespace {

struct ComponentNames {
    const char *Duplicate;
    const char *AcBeforeDc;
    const char *Overlap;
};

const ComponentNames Names[3] = {
    {"Duplicate Y Component Scan", "AC Scan specified before DC scan for Y Component",
     "Duplicate or overlapping spectral selection for Y Component"},
    {"Duplicate Cb Component Scan", "AC Scan specified before DC scan for cb Component",
     "Duplicate or overlapping spectral selection for Cb Component"},
    {"Duplicate Cr Component Scan", "AC Scan specified before DC scan for Cr Component",
     "Duplicate or overlapping spectral selection for Cr Component"},
};

// Takes descriptor d's band for component c, whose bands so far end at end
// (-1: no DC scan yet).
void CheckBand(TJpegScan &d, int c, int &end)
{
    if (!d.Components.Contains(c))
        return;
    const ComponentNames &names = Names[c - 1];
    if (d.SpectralEnd == 0) {
        if (end >= 0)
            throw EJpegError(names.Duplicate);
        d.SpectralStart = 0;
        end = 0;
        return;
    }
    if (!(d.Components == TJpegComponentSet::Of({c})))
        throw EJpegError("Multiple Components in AC Scan");
    if (end < 0)
        throw EJpegError(names.AcBeforeDc);
    if (end >= d.SpectralEnd)
        throw EJpegError(names.Overlap);
    d.SpectralStart = uint8_t(end + 1);
    end = d.SpectralEnd;
}

} // namespace

void TJpegEncoder::CheckProgressiveScript()
{
    // Grayscale output never codes Cb and Cr: they start complete.
    int ends[3] = {-1, FGrayscale ? 63 : -1, FGrayscale ? 63 : -1};
    auto complete = [&] { return ends[0] == 63 && ends[1] == 63 && ends[2] == 63; };
    FScanCount = 0;
    while (FScanCount < MaxScans && !complete()) {
        TJpegScan &d = FScans[FScanCount++];
        if (d.Components.Empty())
            throw EJpegError("Scan contains no components");
        if (d.Approximation > 13)
            throw EJpegError("Successive Approximation too large");
        d.ApproxLow = d.Approximation;
        d.ApproxHigh = 0;
        CheckBand(d, 1, ends[0]);
        if (FGrayscale)
            continue;
        CheckBand(d, 2, ends[1]);
        CheckBand(d, 3, ends[2]);
    }
    if (ends[0] != 63)
        throw EJpegError("Y Component not completely defined by scans");
    if (ends[1] != 63)
        throw EJpegError("Cb Component not completely defined by scans");
    if (ends[2] != 63)
        throw EJpegError("Cr Component not completely defined by scans");
}

// ---- Frame ----

void TJpegEncoder::WriteProgressiveFrame(const TBitmapImage &image)
{
    ConvertImage(image);
    WriteStartOfFrame(0xC2);
    WriteQuantizationTables();

    // Rounds: every descriptor's first emission, then every second one, and
    // so on, until a round emits nothing.
    for (bool emitted = true; emitted;) {
        emitted = false;
        for (uint32_t i = 1; i <= FScanCount; ++i) {
            TJpegScan &scan = Scan(int(i));
            SelectScanComponents(scan);
            if (FScanComponentCount == 0 || scan.ApproxLow < 0)
                continue;
            ++FCurrentPass;
            ProgressiveScan(scan);
            scan.ApproxHigh = scan.ApproxLow;
            --scan.ApproxLow;
            emitted = true;
        }
    }
}

void TJpegEncoder::ProgressiveScan(TJpegScan &scan)
{
    if (scan.SpectralStart == 0) {
        if (scan.ApproxHigh == 0)
            DcFirstScan(scan);
        else
            DcRefineScan(scan);
    } else {
        if (scan.ApproxHigh == 0)
            AcFirstScan(scan);
        else
            AcRefineScan(scan);
    }
}

// ---- DC scans ----

void TJpegEncoder::DcFirstScan(const TJpegScan &scan)
{
    const int al = scan.ApproxLow;
    const auto run = FScanComponentCount > 1 ? &TJpegEncoder::RunInterleaved : &TJpegEncoder::RunNoninterleaved;
    ClearTables(true, false);
    (this->*run)(false, &TJpegEncoder::CodeDcFirst, CountDcSymbol, nullptr, 0, 0, al);
    BuildTables(true, false);
    WriteHuffmanTables(true, false);
    WriteStartOfScan(0, 0, 0, al, false);
    FStream->BeginBits(8);
    (this->*run)(true, &TJpegEncoder::CodeDcFirst, EmitDcSymbol, nullptr, 0, 0, al);
    FStream->EndBits();
}

void TJpegEncoder::DcRefineScan(const TJpegScan &scan)
{
    const auto run = FScanComponentCount > 1 ? &TJpegEncoder::RunInterleaved : &TJpegEncoder::RunNoninterleaved;
    WriteStartOfScan(0, 0, scan.ApproxHigh, scan.ApproxLow, true);
    FStream->BeginBits(8);
    (this->*run)(true, &TJpegEncoder::CodeDcRefine, nullptr, nullptr, 0, 0, scan.ApproxLow);
    FStream->EndBits();
}

void TJpegEncoder::CodeDcFirst(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TDcProcedure dc,
                               TAcProcedure, int, int, int al)
{
    // An arithmetic shift: the point transform of T.81 G.1.2.1 rounds toward
    // minus infinity for the DC coefficient.
    const int32_t value = int32_t(component.Block(row, col)[0]) >> al;
    const int32_t diff = value - component.FLastDc;
    component.FLastDc = value;
    dc(component, JpegCategory(diff), JpegExtraBits(diff));
}

void TJpegEncoder::CodeDcRefine(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TDcProcedure,
                                TAcProcedure, int, int, int al)
{
    component.FStream->PutBits(uint32_t(component.Block(row, col)[0] >> al) & 1u, 1);
}

// ---- AC scans ----

void TJpegEncoder::AcFirstScan(const TJpegScan &scan)
{
    TJpegEncoderComponent &component = *FScanComponents[0];
    const int ss = scan.SpectralStart, se = scan.SpectralEnd, al = scan.ApproxLow;
    ClearTables(false, true);
    RunAcFirst(component, false, CountAcSymbol, ss, se, al);
    BuildTables(false, true);
    WriteHuffmanTables(false, true);
    WriteStartOfScan(ss, se, 0, al, false);
    FStream->BeginBits(8);
    RunAcFirst(component, true, EmitAcSymbol, ss, se, al);
    FStream->EndBits();
}

void TJpegEncoder::AcRefineScan(const TJpegScan &scan)
{
    TJpegEncoderComponent &component = *FScanComponents[0];
    const int ss = scan.SpectralStart, se = scan.SpectralEnd, al = scan.ApproxLow;
    ClearTables(false, true);
    RunAcRefine(component, false, CountAcSymbol, ss, se, al);
    BuildTables(false, true);
    WriteHuffmanTables(false, true);
    WriteStartOfScan(ss, se, scan.ApproxHigh, al, false);
    FStream->BeginBits(8);
    RunAcRefine(component, true, EmitAcSymbol, ss, se, al);
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
        int run = __builtin_popcountll(zeros & BandMask(owed, k - 1));
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

void TJpegEncoder::RunAcFirst(TJpegEncoderComponent &component, bool writing, TAcProcedure ac, int ss, int se,
                              int al)
{
    const char *description = "AC Progressive Scan";
    uint32_t progress = writing ? 12800 : 0;
    const uint32_t increment = 25600 / (2 * component.FDuRows);
    ClearEobRun(component);
    for (uint32_t row = 0; row < component.FScanRows; ++row) {
        WithSink(component, nullptr, ac, [&](auto &sink) {
            for (uint32_t col = 0; col < component.FScanCols; ++col)
                AcFirstBlock(component, row, col, sink, ss, se, al);
            if (row + 1 == component.FScanRows)
                EobRun(component, sink);
        });
        progress += increment;
        ReportProgress(description, progress / 256);
    }
    ReportProgress(description, writing ? 100 : 50);
}

void TJpegEncoder::RunAcRefine(TJpegEncoderComponent &component, bool writing, TAcProcedure ac, int ss, int se,
                               int al)
{
    const char *description = "AC Progressive Scan";
    uint32_t progress = writing ? 12800 : 0;
    const uint32_t increment = 25600 / (2 * component.FDuRows);
    ClearEobRun(component);
    for (uint32_t row = 0; row < component.FScanRows; ++row) {
        WithSink(component, nullptr, ac, [&](auto &sink) {
            for (uint32_t col = 0; col < component.FScanCols; ++col)
                AcRefineBlock(component, row, col, sink, ss, se, al);
            if (row + 1 == component.FScanRows)
                RefineEobRun(component, sink, ss, se, al);
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
