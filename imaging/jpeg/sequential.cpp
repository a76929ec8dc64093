// Sequential frames, the pass loops every scan runs, and the symbol procedures.

#include "imaging/jpeg/coefficientmask.h"
#include "imaging/jpeg/colourconvert.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/symbolsink.h"

// ---- Symbol procedures ----

void CountDcSymbol(TJpegEncoderComponent &component, int category, int32_t bits)
{
    TCountingSink(component).Dc(category, bits);
}

void CountAcSymbol(TJpegEncoderComponent &component, int symbol, int32_t bits, int count)
{
    TCountingSink(component).Ac(symbol, bits, count);
}

void EmitDcSymbol(TJpegEncoderComponent &component, int category, int32_t bits)
{
    TEmittingSink(component).Dc(category, bits);
}

void EmitAcSymbol(TJpegEncoderComponent &component, int symbol, int32_t bits, int count)
{
    TEmittingSink(component).Ac(symbol, bits, count);
}

// ---- Sequential frame ----

void TJpegEncoder::ConvertImage(const TBitmapImage &image)
{
    ++FCurrentPass;
    if (FGrayscale) {
        ConvertGray(*this, image, FComponents[0]);
        return;
    }
    ConvertColour(*this, image, FMaxH, FMaxV, FComponents[0], FComponents[1], FComponents[2]);
    for (TJpegEncoderComponent &component : FComponents) {
        ++FCurrentPass;
        BuildBlocks(component, *this, FMaxH, FMaxV);
        // The samples are not needed once the blocks exist.
        component.FSamples.clear();
        component.FSamples.shrink_to_fit();
    }
}

void TJpegEncoder::WriteSequentialFrame(const TBitmapImage &image)
{
    ConvertImage(image);
    WriteStartOfFrame(0xC0);
    WriteQuantizationTables();
    if (FGrayscale) {
        FScanComponentCount = 1;
        FScanComponents[0] = &FComponents[0];
        ++FCurrentPass;
        SequentialScan();
        return;
    }
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

// T.81 F.1.2: the DC difference, then runs of zeros and the non-zero AC
// coefficients in zigzag order. Zeros are skipped through a mask of the
// non-zero coefficients; the symbols are those of a coefficient-by-
// coefficient walk.
template <class Sink>
inline void CodeBlockSequential(TJpegEncoderComponent &component, const TJpegCoefficientBlock &block, Sink &sink)
{
    const int32_t diff = block[0] - component.FLastDc;
    component.FLastDc = block[0];
    sink.Dc(JpegCategory(diff), JpegExtraBits(diff));

    const uint64_t nonzero = ZigzagNonzeroMask(block) & ~uint64_t(1);

    int previous = 0; // zigzag index of the last coefficient coded
    for (uint64_t rest = nonzero; rest != 0; rest &= rest - 1) {
        const int k = __builtin_ctzll(rest);
        int run = k - previous - 1;
        for (; run >= 16; run -= 16)
            sink.Ac(0xF0, 0, 0);
        const int32_t c = block[JpegZigzag[size_t(k)]];
        const int category = JpegCategory(c);
        sink.Ac(run * 16 + category, JpegExtraBits(c), category);
        previous = k;
    }
    if (previous < 63)
        sink.Ac(0x00, 0, 0); // end of block
}

} // namespace

void TJpegEncoder::CodeSequential(TJpegEncoderComponent &component, uint32_t row, uint32_t col,
                                  TDcProcedure dc, TAcProcedure ac, int, int, int)
{
    const TJpegCoefficientBlock &block = component.Block(row, col);
    WithSink(component, dc, ac, [&](auto &sink) { CodeBlockSequential(component, block, sink); });
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
