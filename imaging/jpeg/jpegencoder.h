#pragma once
// The JPEG encoder: writes a TBitmapImage as a JFIF file, sequential or
// progressive, with Huffman tables built for every scan from its own data.

#include "imaging/bitmapimage.h"
#include "imaging/jpeg/component.h"
#include "imaging/rowsource.h"
#include "imaging/jpeg/huffman.h"
#include "imaging/jpeg/jpegerror.h"
#include "imaging/jpeg/quantization.h"
#include "imaging/jpeg/eobstate.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class TJpegBitWriter;
class TJpegOutputStream;
struct TJpegEncoderMemory;
class TJpegStrips;
class TJpegWorkers;
struct TSequentialSpan;

// Component numbers 1 (Y), 2 (Cb) and 3 (Cr) as a set.
struct TJpegComponentSet {
    uint8_t Bits = 0;

    static TJpegComponentSet Of(std::initializer_list<int> components)
    {
        TJpegComponentSet set;
        for (int c : components)
            set.Bits |= uint8_t(1u << c);
        return set;
    }
    bool Contains(int component) const { return (Bits >> component) & 1u; }
    bool Empty() const { return Bits == 0; }
    int Count() const { return Contains(1) + Contains(2) + Contains(3); }
    friend bool operator==(TJpegComponentSet, TJpegComponentSet) = default;
};

struct TJpegScan {
    TJpegComponentSet Components;
    uint8_t SpectralStart = 0;
    uint8_t SpectralEnd = 0;
    uint8_t Approximation = 0; // successive-approximation bits held back
    int32_t ApproxHigh = 0;    // Ah of the next emission
    int32_t ApproxLow = 0;     // Al of the next emission; -1 when finished
};

// How a data-unit coder hands on a DC category with its extra bits, and an
// AC symbol (-1: raw bits without a code) with its extra bits.
using TDcProcedure = void (*)(TJpegEncoderComponent &component, int category, int32_t bits);
using TAcProcedure = void (*)(TJpegEncoderComponent &component, int symbol, int32_t bits, int count);

void CountDcSymbol(TJpegEncoderComponent &component, int category, int32_t bits);
void CountAcSymbol(TJpegEncoderComponent &component, int symbol, int32_t bits, int count);
void EmitDcSymbol(TJpegEncoderComponent &component, int category, int32_t bits);
void EmitAcSymbol(TJpegEncoderComponent &component, int symbol, int32_t bits, int count);

// Number of significant bits of |value|.
inline int JpegCategory(int32_t value)
{
    const uint32_t magnitude = uint32_t(value < 0 ? -value : value);
    return magnitude == 0 ? 0 : 32 - __builtin_clz(magnitude);
}

// The extra bits that follow a category: the value, or value - 1 when
// negative (only the low category bits are written).
inline int32_t JpegExtraBits(int32_t value)
{
    return value < 0 ? value - 1 : value;
}

class TJpegEncoder : public TBitmapImageEncoder {
public:
    static constexpr int MaxScans = 256;

    TJpegEncoder();
    ~TJpegEncoder() override;

    // Writes the image through a TJpegOutputFileStream: into a temporary
    // file renamed over the target only when the whole file is written.
    void WriteImageFile(const std::string &fileName, const TBitmapImage &image) override;
    void WriteToStream(TJpegOutputStream &stream, const TBitmapImage &image);
    // The same for a picture read a strip at a time (a BMP file's rows):
    // the bytes are those of the picture as an image.
    void WriteRowsFile(const std::string &fileName, const TPixelRowSource &rows);
    void WriteRowsToStream(TJpegOutputStream &stream, const TPixelRowSource &rows);

    // Threads that share one encoding, the calling one included: 0 (the
    // default) for two where they pay, that is on a machine with two or
    // more cores, one of them mostly idle by the load average, and for a
    // picture of at least MinPixelsForHelpers; 1 for none. The file and the progress reports are the same for any number;
    // only the calling thread reports progress and writes. Helpers that
    // turn out not to be running (another program has the cores) are let
    // go after the first pass (TJpegWorkers::Review).
    void SetThreads(int count);
    // The threads a picture of width x height is coded with.
    int Threads(uint32_t width, uint32_t height) const;
    // The most a picture is coded with, whatever its size.
    int Threads() const;
    // Below this a picture codes in a few milliseconds, which starting and
    // feeding a helper costs as much as it saves.
    static constexpr uint64_t MinPixelsForHelpers = 1500000;

    // The encoder keeps the memory its passes ask for (coefficient arrays,
    // strips, buffers) from one file to the next, so that the next file of a
    // similar size finds it ready instead of asking the system for it again.
    // KeptMemory is its size in bytes; ReleaseMemory gives it back.
    size_t KeptMemory() const;
    void ReleaseMemory();

    // ---- Settings ----
    // Quality level 0..9; anything else raises EJpegError.
    void SetQuality(int level);
    int Quality() const { return FQuality; }
    void SetGrayscale(bool value) { FGrayscale = value; }
    bool Grayscale() const { return FGrayscale; }
    void SetProgressive(bool value) { FProgressive = value; }
    bool Progressive() const { return FProgressive; }
    void SetComment(const std::string &text) { FComment = text; }
    const std::string &Comment() const { return FComment; }
    // Restart interval of sequential scans in MCU rows; 0 = no restart markers.
    void SetRestartRows(int rows);
    int RestartRows() const { return FRestartRows; }
    // component 1..3, factors 1..4.
    void SetSampling(int component, int horizontal, int vertical);
    // component 1..3, table 0..3.
    void SetQuantizationTable(int component, int table);
    // Scan descriptor 1..256.
    TJpegScan &Scan(int index) { return FScans[size_t(index - 1)]; }
    const TJpegScan &Scan(int index) const { return FScans[size_t(index - 1)]; }
    // Empties every descriptor.
    void ClearScans();

    const TJpegEncoderQuantizationTable &QuantizationTable(int index) const { return FQuantTables[size_t(index)]; }
    TJpegEncoderQuantizationTable &QuantizationTable(int index) { return FQuantTables[size_t(index)]; }
    const TJpegEncoderComponent &Component(int number) const { return FComponents[size_t(number - 1)]; }
    uint32_t PassCount() const { return FPassCount; }
    uint32_t ScanCount() const { return FScanCount; }

    // One progress report of the current pass; raises EGraphicsAbort when
    // the progress function asks to stop. Reports made while one runs are dropped.
    void ReportProgress(const std::string &description, uint32_t percent);

    // ---- Data-unit coders and end-of-band runs ----
    // One block of one component, handing its symbols to dc and ac; ss, se
    // and al are the scan's band and point transform. The encoder's own
    // passes run the same coding with their tables bound once.
    // Sequential: DC difference, then the AC run/size symbols (T.81 F.1.2).
    void CodeSequential(TJpegEncoderComponent &component, uint32_t row, uint32_t col,
                        TDcProcedure dc, TAcProcedure ac, int ss, int se, int al);
    // Progressive DC: the first scan codes the shifted DC difference, a
    // refinement scan writes bit al of the DC coefficient.
    void CodeDcFirst(TJpegEncoderComponent &component, uint32_t row, uint32_t col,
                     TDcProcedure dc, TAcProcedure ac, int ss, int se, int al);
    void CodeDcRefine(TJpegEncoderComponent &component, uint32_t row, uint32_t col,
                      TDcProcedure dc, TAcProcedure ac, int ss, int se, int al);
    // Progressive AC (T.81 G.1.2.2): band ss..se of one block, first scan or
    // refinement, joining end-of-band runs across blocks.
    void CodeAcFirst(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TAcProcedure ac,
                     int ss, int se, int al);
    void CodeAcRefine(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TAcProcedure ac,
                      int ss, int se, int al);
    // Codes a pending end-of-band run (and, in refinement scans, the
    // correction bits its blocks still owe).
    static void EmitEobRun(TJpegEncoderComponent &component, TAcProcedure ac);
    static void EmitRefineEobRun(TJpegEncoderComponent &component, TAcProcedure ac, int ss, int se, int al);
    static void ClearEobRun(TJpegEncoderComponent &component);

private:
    // One scan of the frame as the encoder writes it: a sequential scan, or
    // one emission of a progressive descriptor. A job without components
    // only counts as a pass (an empty sequential descriptor).
    struct TScanJob {
        enum TKind { Sequential, DcFirst, DcRefine, AcFirst, AcRefine };
        TKind Kind = Sequential;
        int ComponentCount = 0;
        std::array<TJpegEncoderComponent *, 3> Components{};
        int Ss = 0, Se = 63, Ah = 0, Al = 0;
        uint16_t RestartInterval = 0;
        bool DcTables() const { return Kind == Sequential || Kind == DcFirst; }
        bool AcTables() const { return Kind == Sequential || Kind == AcFirst || Kind == AcRefine; }
    };
    // The Huffman tables a scan is counted into and written with, in the
    // order of FHuffmanTables.
    using TTableSet = std::array<TJpegHuffmanEncoder, 4>;
    class TRowReporter;
    struct TRestartState {
        uint32_t Interval = 0;
        uint32_t Count = 0; // MCUs since the interval began
        int Marker = 0;
    };
    // Where a pass stands as a row begins: a pass may start there, on
    // another thread, from what its counting pass recorded.
    struct TScanResume {
        std::array<int32_t, 3> LastDc{};
        TRestartState Restart;
        TEobState Eob;
    };
    // The rows a pass covers, and the row whose state it records.
    struct TPassRows {
        uint32_t Begin = 0;
        uint32_t End = 0;
        uint32_t RecordAt = 0;
        TScanResume *Record = nullptr;
    };

    // Set-up and checks.
    void CheckImage(const TBitmapImage &image) const;
    void CheckSize(const TPixelRowSource &rows) const;
    void CheckSettings();
    void CheckSequentialScript();
    void CheckProgressiveScript();
    void CheckMcuSize();
    void CountPasses();
    // The frame's scans in the order they are written (progressive.cpp).
    std::vector<TScanJob> PlanScans();
    TScanJob MakeJob(const TJpegScan &scan, TScanJob::TKind kind) const;

    // File layout.
    void WriteComment(const std::string &text);
    void WriteStartOfFrame(uint8_t marker);
    void WriteQuantizationTables();
    void WriteHuffmanTables(const TScanJob &job);
    void WriteStartOfScan(const TScanJob &job);
    void WriteRestartInterval(uint16_t interval);

    // Progress of the conversion, of the sampling and of scan passes.
    TRowReporter ConversionReporter();
    void ReportStripRows(const TJpegStrips &strips, uint32_t strip, TRowReporter &reporter);
    void ReportSampling();
    TRowReporter PassReporter(const TScanJob &job, bool writing);
    uint32_t PassRows(const TScanJob &job) const;
    // The reports of a pass another thread made.
    void ReportPass(const TScanJob &job, bool writing);

    // A sequential frame with one scan of every component (framestreamed.cpp):
    // its blocks are computed for the counting pass and again for the writing
    // pass, a strip at a time, and never held whole.
    bool CanStream() const;
    void WriteStreamedFrame(const TPixelRowSource &rows, const TJpegStrips &strips, TJpegWorkers &workers);
    // The counting pass leaves the last DC of every strip, the predictions
    // of the next, for the writing pass.
    void CountStreamed(const TPixelRowSource &rows, const TJpegStrips &strips, const TScanJob &job,
                       std::vector<std::array<int32_t, 3>> &lastDc, TJpegWorkers &workers);
    void EmitStreamed(const TPixelRowSource &rows, const TJpegStrips &strips, const TScanJob &job,
                      const std::vector<std::array<int32_t, 3>> &lastDc, TJpegWorkers &workers);
    // A strip's span: its row of MCUs.
    TSequentialSpan StripSpan(const TScanJob &job, const std::array<TJpegCoefficientBlock *, 3> &blocks,
                              std::array<int32_t, 3> &lastDc, uint32_t *const *counts) const;
    uint32_t StripUnits(const TScanJob &job) const;

    // Any other frame, from coefficient arrays (framestored.cpp).
    void WriteStoredFrame(const TPixelRowSource &rows, const TJpegStrips &strips, TJpegWorkers &workers);
    void ConvertImage(const TPixelRowSource &rows, const TJpegStrips &strips, TJpegWorkers &workers);
    // Counts a scan into tables and builds them, recording where the pass
    // stands as row split begins; reporter is null on helpers.
    void CountScan(const TScanJob &job, TTableSet &tables, TRowReporter *reporter, uint32_t split,
                   TScanResume &resume) const;
    // The row from which a helper may write a scan's rest, or the end.
    uint32_t SplitRow(const TScanJob &job, int helpers) const;
    // DRI when the interval changes, DHT, SOS.
    void WriteScanHeaders(const TScanJob &job);

    // Scan passes over coefficient arrays: counting into counts when writer
    // is null, else writing with FHuffmanTables.
    // The restart state before the first of units MCUs coded already.
    static TRestartState RestartAt(uint64_t units, uint32_t interval);
    static void CodeSequentialRow(const TSequentialSpan &row, TRestartState &restart, TJpegBitWriter *writer);
    // The parts of a sequential scan from its components' first blocks:
    // counting into counts (four tables, as FHuffmanTables), or, without
    // them, writing with FHuffmanTables.
    TSequentialSpan SequentialParts(const TScanJob &job, const std::array<const TJpegCoefficientBlock *, 3> &first,
                                    uint32_t *const *counts, std::array<int32_t, 3> &lastDc) const;
    // The state of a pass as its first row begins.
    TScanResume ScanStart(const TScanJob &job) const;
    // A pass over rows of a scan from state, which it leaves as the rows end.
    void ScanPass(const TScanJob &job, TTableSet *counts, TJpegBitWriter *writer, TRowReporter *reporter,
                  TScanResume &state, const TPassRows &rows) const;
    void SequentialPass(const TScanJob &job, TTableSet *counts, TJpegBitWriter *writer, TRowReporter *reporter,
                        TScanResume &state, const TPassRows &rows) const;
    void DcPass(const TScanJob &job, TTableSet *counts, TJpegBitWriter *writer, TRowReporter *reporter,
                TScanResume &state, const TPassRows &rows) const;
    void AcPass(const TScanJob &job, TTableSet *counts, TJpegBitWriter *writer, TRowReporter *reporter,
                TScanResume &state, const TPassRows &rows) const;

    // The tables of a component and of a scan (scanpasses.cpp).
    int DcIndex(const TJpegEncoderComponent &component) const { return &component == &FComponents[0] ? 2 : 3; }
    int AcIndex(const TJpegEncoderComponent &component) const { return &component == &FComponents[0] ? 0 : 1; }
    static bool UsesTable(const TScanJob &job, int table, bool luminance, bool chrominance);
    void ClearTables(const TScanJob &job, TTableSet &tables) const;
    void BuildTables(const TScanJob &job, TTableSet &tables) const;
    // Copies the tables a scan uses into FHuffmanTables.
    void TakeTables(const TScanJob &job, const TTableSet &tables);

    TJpegEncoderMemory &Memory();

    // The components a colour or grayscale frame codes.
    int FrameComponentCount() const { return FGrayscale ? 1 : 3; }

    std::array<TJpegEncoderQuantizationTable, 4> FQuantTables;
    // 0 luminance AC, 1 chrominance AC, 2 luminance DC, 3 chrominance DC.
    std::array<TJpegHuffmanEncoder, 4> FHuffmanTables;
    bool FGrayscale = false;
    int32_t FRestartRows = 0;
    int32_t FRestartInterval = 0;
    uint8_t FQuality = JpegDefaultQuality;
    std::string FComment;
    bool FProgressive = false;
    uint32_t FPassCount = 0;
    uint32_t FCurrentPass = 0;
    bool FReporting = false;
    uint32_t FImageWidth = 0;
    uint32_t FImageHeight = 0;
    uint32_t FMaxH = 1;
    uint32_t FMaxV = 1;
    uint32_t FMcuRows = 0;
    uint32_t FMcuCols = 0;
    uint32_t FScanCount = 0;
    std::array<TJpegScan, MaxScans> FScans;
    std::array<TJpegEncoderComponent, 3> FComponents;
    std::array<uint8_t, 3> FQuantIndex = {0, 1, 1};
    TJpegOutputStream *FStream = nullptr;
    int FThreads = 0;
    std::unique_ptr<TJpegEncoderMemory> FMemory;
};
