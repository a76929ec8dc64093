// Progressive frames: the scan-script check, the rounds of emissions and
// the DC scans (ITU-T T.81 G.1.2); the AC scans are in progressiveac.cpp.

#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"

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
