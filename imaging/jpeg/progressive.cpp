// Progressive frames: spectral selection and successive approximation
// (ITU-T T.81 G.1.2).

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
    ++FCurrentPass;
    if (FGrayscale) {
        ConvertGray(*this, image, FComponents[0]);
    } else {
        ConvertColour(*this, image, FMaxH, FMaxV, FComponents[0], FComponents[1], FComponents[2]);
        for (TJpegEncoderComponent &component : FComponents) {
            ++FCurrentPass;
            BuildBlocks(component, *this, FMaxH, FMaxV);
            component.FSamples.clear();
            component.FSamples.shrink_to_fit();
        }
    }
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

void TJpegEncoder::RunAcFirst(TJpegEncoderComponent &component, bool writing, TAcProcedure ac, int ss, int se,
                              int al)
{
    const char *description = "AC Progressive Scan";
    uint32_t progress = writing ? 12800 : 0;
    const uint32_t increment = 25600 / (2 * component.FDuRows);
    ClearEobRun(component);
    for (uint32_t row = 0; row < component.FScanRows; ++row) {
        for (uint32_t col = 0; col < component.FScanCols; ++col)
            CodeAcFirst(component, row, col, ac, ss, se, al);
        progress += increment;
        ReportProgress(description, progress / 256);
    }
    EmitEobRun(component, ac);
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
        for (uint32_t col = 0; col < component.FScanCols; ++col)
            CodeAcRefine(component, row, col, ac, ss, se, al);
        progress += increment;
        ReportProgress(description, progress / 256);
    }
    EmitRefineEobRun(component, ac, ss, se, al);
    ReportProgress(description, writing ? 100 : 50);
}

namespace {

// The point transform of AC coefficients (T.81 G.1.2.2): a division by 2^al
// that truncates toward zero, unlike the DC's shift.
inline int32_t PointTransform(int16_t coefficient, int al)
{
    return int32_t(coefficient) / (int32_t(1) << al);
}

inline int32_t TransformedAt(const TJpegCoefficientBlock &block, int k, int al)
{
    return PointTransform(block[JpegZigzag[size_t(k)]], al);
}

} // namespace

void TJpegEncoder::CodeAcFirst(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TAcProcedure ac,
                               int ss, int se, int al)
{
    if (size_t(row) * component.FDuCols + col >= component.FCoefficients.size())
        throw EJpegError("INTERNAL ERROR - Bad Array Bound");
    const TJpegCoefficientBlock &block = component.Block(row, col);
    int run = 0;
    for (int k = ss; k <= se; ++k) {
        const int32_t v = TransformedAt(block, k, al);
        if (v == 0) {
            ++run;
            continue;
        }
        EmitEobRun(component, ac);
        for (; run >= 16; run -= 16)
            ac(component, 0xF0, 0, 0);
        const int category = JpegCategory(v);
        ac(component, run * 16 + category, JpegExtraBits(v), category);
        run = 0;
    }
    if (run > 0) {
        ++component.FEobRun;
        if (component.FEobRun == 32767)
            EmitEobRun(component, ac);
    }
}

void TJpegEncoder::EmitEobRun(TJpegEncoderComponent &component, TAcProcedure ac)
{
    if (component.FEobRun > 0) {
        // EOBn: n = floor(log2(run)), followed by the run's low n bits.
        const int n = 31 - __builtin_clz(uint32_t(component.FEobRun));
        ac(component, n * 16, component.FEobRun, n);
        component.FEobRun = 0;
    }
}

void TJpegEncoder::CodeAcRefine(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TAcProcedure ac,
                                int ss, int se, int al)
{
    if (size_t(row) * component.FDuCols + col >= component.FCoefficients.size())
        throw EJpegError("INTERNAL ERROR - Bad Array Bound");
    const TJpegCoefficientBlock &block = component.Block(row, col);
    // The correction bit of a coefficient already significant (|v| > 1).
    auto correction = [&](int p) {
        const int32_t v = std::abs(TransformedAt(block, p, al));
        if (v > 1)
            ac(component, -1, v & 1, 1);
    };
    int run = 0;
    int owed = ss; // the first position whose correction bit has not been sent
    bool finished = false;
    for (int k = ss; k <= se; ++k) {
        const int32_t v = TransformedAt(block, k, al);
        if (v == 0) {
            ++run;
            continue;
        }
        if (v != 1 && v != -1)
            continue; // already significant: its bit goes out later
        EmitRefineEobRun(component, ac, ss, se, al);
        while (run >= 16) {
            ac(component, 0xF0, 0, 0);
            run -= 16;
            // The ZRL passes 16 zero-history positions; the correction bits
            // of the significant ones among them follow it.
            for (int zeros = 0; zeros < 16; ++owed) {
                const int32_t passed = std::abs(TransformedAt(block, owed, al));
                if (passed > 1)
                    ac(component, -1, passed & 1, 1);
                else if (passed == 0)
                    ++zeros;
                else
                    throw EJpegError("INTERNAL ERROR - Bad Value");
            }
        }
        ac(component, run * 16 + 1, v > 0 ? 1 : 0, 1);
        run = 0;
        for (int p = owed; p < k; ++p)
            correction(p);
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
        EmitRefineEobRun(component, ac, ss, se, al);
}

void TJpegEncoder::EmitRefineEobRun(TJpegEncoderComponent &component, TAcProcedure ac, int ss, int se, int al)
{
    if (component.FEobRun > 0) {
        const int n = 31 - __builtin_clz(uint32_t(component.FEobRun));
        ac(component, n * 16, component.FEobRun, n);
        // The correction bits the blocks of the run still owe, in order.
        uint32_t row = uint32_t(component.FEobStartRow);
        uint32_t col = uint32_t(component.FEobStartCol);
        int first = component.FEobStartPos;
        for (int32_t i = 0; i < component.FEobRun; ++i) {
            const TJpegCoefficientBlock &block = component.Block(row, col);
            for (int p = first; p <= se; ++p) {
                const int32_t v = std::abs(TransformedAt(block, p, al));
                if (v > 1)
                    ac(component, -1, v & 1, 1);
            }
            first = ss;
            if (++col == component.FScanCols) {
                col = 0;
                ++row;
            }
        }
    }
    component.FEobStartPos = 64;
    component.FEobStartRow = component.FEobStartCol = int32_t(component.FDuRows * component.FDuCols);
    component.FEobRun = 0;
}
