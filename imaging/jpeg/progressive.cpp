// Progressive frames: the scan-script check, the scans each frame emits and
// the DC scans (ITU-T T.81 G.1.2); the AC scans are in progressiveac.cpp.

#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/scanpass.h"
#include "imaging/jpeg/symbolsink.h"

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

// ---- Emissions ----

std::vector<TJpegEncoder::TScanJob> TJpegEncoder::PlanScans()
{
    std::vector<TScanJob> jobs;
    if (!FProgressive) {
        // Every descriptor counts as a pass, an empty one too.
        for (uint32_t i = 1; i <= FScanCount; ++i) {
            TScanJob job = MakeJob(Scan(int(i)), TScanJob::Sequential);
            if (job.ComponentCount > 0) {
                const uint32_t units = job.ComponentCount > 1 ? FMcuCols : job.Components[0]->FDuCols;
                job.RestartInterval = uint16_t(uint32_t(FRestartRows) * units);
            }
            jobs.push_back(job);
        }
        return jobs;
    }
    // Rounds: every descriptor's first emission, then every second one, and
    // so on, until a round emits nothing.
    for (bool emitted = true; emitted;) {
        emitted = false;
        for (uint32_t i = 1; i <= FScanCount; ++i) {
            TJpegScan &scan = Scan(int(i));
            const bool dc = scan.SpectralStart == 0;
            const bool first = scan.ApproxHigh == 0;
            const TScanJob job = MakeJob(scan, dc    ? (first ? TScanJob::DcFirst : TScanJob::DcRefine)
                                               : first ? TScanJob::AcFirst
                                                       : TScanJob::AcRefine);
            if (job.ComponentCount == 0 || scan.ApproxLow < 0)
                continue;
            jobs.push_back(job);
            scan.ApproxHigh = scan.ApproxLow;
            --scan.ApproxLow;
            emitted = true;
        }
    }
    return jobs;
}

TJpegEncoder::TScanJob TJpegEncoder::MakeJob(const TJpegScan &scan, TScanJob::TKind kind) const
{
    TScanJob job;
    job.Kind = kind;
    // Y first, then Cb and Cr; grayscale output codes Y only.
    for (int c = 1; c <= FrameComponentCount(); ++c)
        if (scan.Components.Contains(c))
            job.Components[size_t(job.ComponentCount++)] = const_cast<TJpegEncoderComponent *>(&FComponents[size_t(c - 1)]);
    if (kind != TScanJob::Sequential) {
        job.Ss = scan.SpectralStart;
        job.Se = scan.SpectralEnd;
        job.Ah = scan.ApproxHigh;
        job.Al = scan.ApproxLow;
    }
    return job;
}

// ---- DC scans ----

namespace {

// The data units of rows begin .. end - 1 of a DC scan in order: MCU by MCU
// for several components, the component's extent for one; rowStart(row)
// before each row, rowDone() after it.
template <class Unit, class RowStart, class RowDone>
void VisitDcScan(uint32_t mcuCols, int count, const std::array<TJpegEncoderComponent *, 3> &components,
                 uint32_t begin, uint32_t end, Unit unit, RowStart rowStart, RowDone rowDone)
{
    if (count == 1) {
        const TJpegEncoderComponent &c = *components[0];
        for (uint32_t row = begin; row < end; ++row) {
            rowStart(row);
            for (uint32_t col = 0; col < c.FScanCols; ++col)
                unit(0, c.FCoefficients[size_t(row) * c.FDuCols + col]);
            rowDone();
        }
        return;
    }
    for (uint32_t mcuRow = begin; mcuRow < end; ++mcuRow) {
        rowStart(mcuRow);
        for (uint32_t mcuCol = 0; mcuCol < mcuCols; ++mcuCol)
            for (int i = 0; i < count; ++i) {
                const TJpegEncoderComponent &c = *components[size_t(i)];
                for (uint32_t v = 0; v < c.FVSampling; ++v)
                    for (uint32_t h = 0; h < c.FHSampling; ++h)
                        unit(i, c.FCoefficients[size_t(c.FVSampling * mcuRow + v) * c.FDuCols +
                                                c.FHSampling * mcuCol + h]);
            }
        rowDone();
    }
}

// The DC difference of the point-transformed coefficient: an arithmetic
// shift, which rounds toward minus infinity for the DC (T.81 G.1.2.1).
template <class Sink>
inline void DcFirstUnit(const TJpegCoefficientBlock &block, int al, int32_t &lastDc, Sink &sink)
{
    const int32_t value = int32_t(block[0]) >> al;
    const int32_t diff = value - lastDc;
    lastDc = value;
    sink.Dc(JpegCategory(diff), JpegExtraBits(diff));
}

} // namespace

void TJpegEncoder::DcPass(const TScanJob &job, TTableSet *counts, TJpegBitWriter *writer, TRowReporter *reporter,
                          TScanResume &state, const TPassRows &rows) const
{
    const auto rowStart = [&](uint32_t row) {
        if (rows.Record && row == rows.RecordAt)
            *rows.Record = state;
    };
    const auto rowDone = [&] {
        if (reporter)
            reporter->Row();
    };
    const auto visit = [&](auto unit) {
        VisitDcScan(FMcuCols, job.ComponentCount, job.Components, rows.Begin, rows.End, unit, rowStart, rowDone);
    };
    std::array<int32_t, 3> &lastDc = state.LastDc;
    if (job.Kind == TScanJob::DcRefine) {
        // Bit al of each DC coefficient (two's complement), no code.
        visit([&](int, const TJpegCoefficientBlock &block) { writer->Put(uint32_t(block[0] >> job.Al) & 1u, 1); });
    } else if (writer) {
        // Luminance and chrominance.
        std::array<TEmittingSink, 2> sinks{{{FHuffmanTables[2], FHuffmanTables[0], *writer},
                                            {FHuffmanTables[3], FHuffmanTables[1], *writer}}};
        visit([&](int i, const TJpegCoefficientBlock &block) {
            DcFirstUnit(block, job.Al, lastDc[size_t(i)], sinks[size_t(DcIndex(*job.Components[size_t(i)]) - 2)]);
        });
    } else {
        std::array<TCountingSink, 2> sinks{{{(*counts)[2], (*counts)[0]}, {(*counts)[3], (*counts)[1]}}};
        visit([&](int i, const TJpegCoefficientBlock &block) {
            DcFirstUnit(block, job.Al, lastDc[size_t(i)], sinks[size_t(DcIndex(*job.Components[size_t(i)]) - 2)]);
        });
    }
}

void TJpegEncoder::CodeDcFirst(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TDcProcedure dc,
                               TAcProcedure, int, int, int al)
{
    TProcedureSink sink{component, dc, nullptr};
    DcFirstUnit(component.Block(row, col), al, component.FLastDc, sink);
}

void TJpegEncoder::CodeDcRefine(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TDcProcedure,
                                TAcProcedure, int, int, int al)
{
    component.FStream->PutBits(uint32_t(component.Block(row, col)[0] >> al) & 1u, 1);
}
