// The passes of sequential scans over coefficient arrays, the symbol
// procedures, the choice of a scan's tables and the progress of a pass.

#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/scanpass.h"
#include "imaging/jpeg/scankernels.h"
#include "imaging/jpeg/sequentialcoder.h"
#include "imaging/jpeg/symbolsink.h"

#include <algorithm>

// ---- Symbol procedures ----

void CountDcSymbol(TJpegEncoderComponent &component, int category, int32_t bits)
{
    TCountingSink(*component.FDcTable, *component.FAcTable).Dc(category, bits);
}

void CountAcSymbol(TJpegEncoderComponent &component, int symbol, int32_t bits, int count)
{
    TCountingSink(*component.FDcTable, *component.FAcTable).Ac(symbol, bits, count);
}

void EmitDcSymbol(TJpegEncoderComponent &component, int category, int32_t bits)
{
    TJpegBitWriter writer(*component.FStream);
    TEmittingSink(*component.FDcTable, *component.FAcTable, writer).Dc(category, bits);
}

void EmitAcSymbol(TJpegEncoderComponent &component, int symbol, int32_t bits, int count)
{
    TJpegBitWriter writer(*component.FStream);
    TEmittingSink(*component.FDcTable, *component.FAcTable, writer).Ac(symbol, bits, count);
}

void TJpegEncoder::CodeSequential(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TDcProcedure dc,
                                  TAcProcedure ac, int, int, int)
{
    // T.81 F.1.2, coefficient by coefficient, through the procedures.
    const TJpegCoefficientBlock &block = component.Block(row, col);
    const int32_t diff = block[0] - component.FLastDc;
    component.FLastDc = block[0];
    dc(component, JpegCategory(diff), JpegExtraBits(diff));
    int run = 0;
    for (int k = 1; k < 64; ++k) {
        const int32_t c = block[JpegZigzag[size_t(k)]];
        if (c == 0) {
            ++run;
            continue;
        }
        for (; run >= 16; run -= 16)
            ac(component, 0xF0, 0, 0);
        const int category = JpegCategory(c);
        ac(component, run * 16 + category, JpegExtraBits(c), category);
        run = 0;
    }
    if (run > 0)
        ac(component, 0x00, 0, 0); // end of block
}

// ---- Progress of a scan pass ----
//
// A counting pass covers 0..50 percent of the scan and the writing pass
// 50..100; a pass over MCU rows or data-unit rows reports each row.

TJpegEncoder::TRowReporter TJpegEncoder::PassReporter(const TScanJob &job, bool writing)
{
    const TJpegEncoderComponent &first = *job.Components[0];
    const bool ac = job.Kind == TScanJob::AcFirst || job.Kind == TScanJob::AcRefine;
    const bool interleaved = job.ComponentCount > 1 && !ac;
    const char *description = ac ? "AC Progressive Scan" : interleaved ? "Interleaved Scan" : "Noninterleaved scan";
    const uint32_t unitRows = interleaved ? FMcuRows : first.FDuRows;
    return TRowReporter(*this, description, writing ? 12800 : 0, 25600 / (2 * unitRows), writing ? 100 : 50);
}

uint32_t TJpegEncoder::PassRows(const TScanJob &job) const
{
    const bool ac = job.Kind == TScanJob::AcFirst || job.Kind == TScanJob::AcRefine;
    return job.ComponentCount > 1 && !ac ? FMcuRows : job.Components[0]->FScanRows;
}

void TJpegEncoder::ReportPass(const TScanJob &job, bool writing)
{
    TRowReporter reporter = PassReporter(job, writing);
    for (uint32_t row = 0; row < PassRows(job); ++row)
        reporter.Row();
    reporter.Done();
}

// ---- Sequential scans ----

TSequentialSpan TJpegEncoder::SequentialParts(const TScanJob &job, const std::array<const TJpegCoefficientBlock *, 3> &first,
                                              uint32_t *const *counts, std::array<int32_t, 3> &lastDc) const
{
    TSequentialSpan span;
    span.PartCount = job.ComponentCount;
    for (int i = 0; i < job.ComponentCount; ++i) {
        const TJpegEncoderComponent &component = *job.Components[size_t(i)];
        TSequentialPart &part = span.Parts[size_t(i)];
        part.First = first[size_t(i)];
        part.RowStride = component.FDuCols;
        part.H = job.ComponentCount > 1 ? component.FHSampling : 1;
        part.V = job.ComponentCount > 1 ? component.FVSampling : 1;
        part.LastDc = &lastDc[size_t(i)];
        const size_t dc = size_t(DcIndex(component));
        const size_t ac = size_t(AcIndex(component));
        if (counts) {
            part.DcCounts = counts[dc];
            part.AcCounts = counts[ac];
        } else {
            part.DcCode = FHuffmanTables[dc].FCode.data();
            part.DcSize = FHuffmanTables[dc].FCodeLength.data();
            part.AcCode = FHuffmanTables[ac].FCode.data();
            part.AcSize = FHuffmanTables[ac].FCodeLength.data();
        }
    }
    return span;
}

// A restart marker precedes MCU m (m > 0) when m is a multiple of the
// interval; the markers count 0..7 round.
TJpegEncoder::TRestartState TJpegEncoder::RestartAt(uint64_t units, uint32_t interval)
{
    TRestartState restart;
    restart.Interval = interval;
    if (interval != 0 && units > 0) {
        restart.Count = uint32_t(units % interval);
        if (restart.Count == 0)
            restart.Count = interval; // the marker opens the next MCU
        restart.Marker = int(((units - 1) / interval) % 8);
    }
    return restart;
}

// One row of MCUs, cut into spans at the restart points (T.81 B.2.1): a
// restart marker (when writing) and fresh predictions precede the first MCU
// of each new interval, never the scan's first.
void TJpegEncoder::CodeSequentialRow(const TSequentialSpan &row, TRestartState &restart, TJpegBitWriter *writer)
{
    const TJpegScanKernels &kernels = ScanKernels();
    TSequentialSpan span = row;
    for (uint32_t u = 0; u < row.Units;) {
        if (restart.Interval != 0 && restart.Count == restart.Interval) {
            if (writer)
                writer->Restart(uint8_t(0xD0 + restart.Marker));
            restart.Marker = (restart.Marker + 1) % 8;
            for (int p = 0; p < row.PartCount; ++p)
                *row.Parts[size_t(p)].LastDc = 0;
            restart.Count = 0;
        }
        const uint32_t units =
            restart.Interval != 0 ? std::min(row.Units - u, restart.Interval - restart.Count) : row.Units - u;
        span.Units = units;
        for (int p = 0; p < row.PartCount; ++p)
            span.Parts[size_t(p)].First = row.Parts[size_t(p)].First + size_t(u) * row.Parts[size_t(p)].H;
        if (writer)
            kernels.EmitSequential(span, *writer);
        else
            kernels.CountSequential(span);
        if (restart.Interval != 0)
            restart.Count += units;
        u += units;
    }
}

void TJpegEncoder::SequentialPass(const TScanJob &job, TTableSet *counts, TJpegBitWriter *writer,
                                  TRowReporter *reporter, TScanResume &state, const TPassRows &rows) const
{
    std::array<const TJpegCoefficientBlock *, 3> first{};
    for (int i = 0; i < job.ComponentCount; ++i)
        first[size_t(i)] = job.Components[size_t(i)]->FCoefficients.data();
    uint32_t *tables[4];
    if (counts)
        for (size_t t = 0; t < 4; ++t)
            tables[t] = (*counts)[t].FCounts.data();
    const TSequentialSpan parts = SequentialParts(job, first, counts ? tables : nullptr, state.LastDc);
    const bool interleaved = job.ComponentCount > 1;
    TSequentialSpan row = parts;
    row.Units = interleaved ? FMcuCols : job.Components[0]->FScanCols;
    for (uint32_t r = rows.Begin; r < rows.End; ++r) {
        if (rows.Record && r == rows.RecordAt)
            *rows.Record = state;
        for (int p = 0; p < job.ComponentCount; ++p) {
            const TSequentialPart &part = parts.Parts[size_t(p)];
            row.Parts[size_t(p)].First = part.First + size_t(r) * part.V * part.RowStride;
        }
        CodeSequentialRow(row, state.Restart, writer);
        if (reporter)
            reporter->Row();
    }
}

void TJpegEncoder::ScanPass(const TScanJob &job, TTableSet *counts, TJpegBitWriter *writer, TRowReporter *reporter,
                            TScanResume &state, const TPassRows &rows) const
{
    switch (job.Kind) {
    case TScanJob::Sequential:
        SequentialPass(job, counts, writer, reporter, state, rows);
        break;
    case TScanJob::DcFirst:
    case TScanJob::DcRefine:
        DcPass(job, counts, writer, reporter, state, rows);
        break;
    case TScanJob::AcFirst:
    case TScanJob::AcRefine:
        AcPass(job, counts, writer, reporter, state, rows);
        break;
    }
}

TJpegEncoder::TScanResume TJpegEncoder::ScanStart(const TScanJob &job) const
{
    TScanResume state;
    state.Restart = RestartAt(0, job.RestartInterval);
    state.Eob.Clear(*job.Components[0]);
    return state;
}

// ---- Tables ----
//
// A scan uses the luminance tables when it holds Y and the chrominance
// tables when it holds Cb or Cr.

void TJpegEncoder::ClearTables(const TScanJob &job, TTableSet &tables) const
{
    const bool luminance = job.Components[0] == &FComponents[0];
    const bool chrominance = !luminance || job.ComponentCount > 1;
    for (int i = 0; i < 4; ++i)
        if (UsesTable(job, i, luminance, chrominance))
            tables[size_t(i)].ClearCounts();
}

void TJpegEncoder::BuildTables(const TScanJob &job, TTableSet &tables) const
{
    const bool luminance = job.Components[0] == &FComponents[0];
    const bool chrominance = !luminance || job.ComponentCount > 1;
    for (int i = 0; i < 4; ++i)
        if (UsesTable(job, i, luminance, chrominance))
            tables[size_t(i)].Build();
}

void TJpegEncoder::TakeTables(const TScanJob &job, const TTableSet &tables)
{
    const bool luminance = job.Components[0] == &FComponents[0];
    const bool chrominance = !luminance || job.ComponentCount > 1;
    for (int i = 0; i < 4; ++i)
        if (UsesTable(job, i, luminance, chrominance))
            FHuffmanTables[size_t(i)] = tables[size_t(i)];
}

bool TJpegEncoder::UsesTable(const TScanJob &job, int table, bool luminance, bool chrominance)
{
    // Tables 0 luminance AC, 1 chrominance AC, 2 luminance DC, 3 chrominance DC.
    const bool dc = table >= 2;
    if (dc ? !job.DcTables() : !job.AcTables())
        return false;
    return (table % 2 == 0) ? luminance : chrominance;
}
