// Sequential frames of one scan holding every component, the export's
// frame: the picture is never held as coefficients. The counting pass
// converts it strip by strip on every thread and keeps only the symbol
// counts; the writing pass converts and codes it again on every thread, and
// the calling thread puts the strips into the file in order.

#include "imaging/jpeg/encodermemory.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/scanpass.h"
#include "imaging/jpeg/sequentialcoder.h"
#include "imaging/jpeg/strips.h"
#include "imaging/jpeg/workers.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

// Symbol counts of one thread: tables 0 luminance AC, 1 chrominance AC,
// 2 luminance DC, 3 chrominance DC.
using TCounts = std::array<std::array<uint32_t, 257>, 4>;

} // namespace

bool TJpegEncoder::CanStream() const
{
    return !FProgressive && (FGrayscale || FScanCount == 1);
}

// The units (MCUs, or data units of the one component) before a strip.
uint32_t TJpegEncoder::StripUnits(const TScanJob &job) const
{
    return job.ComponentCount > 1 ? FMcuCols : job.Components[0]->FScanCols;
}

TSequentialSpan TJpegEncoder::StripSpan(const TScanJob &job, const std::array<TJpegCoefficientBlock *, 3> &blocks,
                                        std::array<int32_t, 3> &lastDc, uint32_t *const *counts) const
{
    TSequentialSpan span = SequentialParts(job, {blocks[0], blocks[1], blocks[2]}, counts, lastDc);
    span.Units = StripUnits(job);
    return span;
}

void TJpegEncoder::WriteStreamedFrame(const TPixelRowSource &rows, const TJpegStrips &strips, TJpegWorkers &workers)
{
    const TScanJob job = PlanScans().front();
    std::vector<std::array<int32_t, 3>> lastDc;
    CountStreamed(rows, strips, job, lastDc, workers);
    if (!FGrayscale)
        ReportSampling();
    WriteStartOfFrame(0xC0);
    WriteQuantizationTables();
    ++FCurrentPass;
    if (job.RestartInterval != FRestartInterval) {
        WriteRestartInterval(job.RestartInterval);
        FRestartInterval = job.RestartInterval;
    }
    ReportPass(job, false);
    BuildTables(job, FHuffmanTables);
    WriteHuffmanTables(job);
    WriteStartOfScan(job);
    FStream->BeginBits(8);
    EmitStreamed(rows, strips, job, lastDc, workers);
    FStream->EndBits();
}

// The counting pass, strip by strip on every thread. A strip is counted as
// if its predictions started at 0; where that is not so (no restart marker
// opens the strip), the first DC difference of each component is put right
// afterwards from the last DC of the strip before.
void TJpegEncoder::CountStreamed(const TPixelRowSource &rows, const TJpegStrips &strips, const TScanJob &job,
                                 std::vector<std::array<int32_t, 3>> &lastDc, TJpegWorkers &workers)
{
    const uint32_t count = strips.Count();
    const uint32_t units = StripUnits(job);
    const uint32_t interval = job.RestartInterval;
    std::vector<std::array<int32_t, 3>> firstDc(count);
    lastDc.assign(count, {});
    std::vector<TCounts> counts(size_t(workers.Helpers()) + 1, TCounts{});
    std::atomic<uint32_t> next{0};
    TStripReports done(count);

    TRowReporter reporter = ConversionReporter();
    const auto report = [&](uint32_t strip) { ReportStripRows(strips, strip, reporter); };
    // Thread 0 is the calling thread, which alone reports.
    TJpegEncoderMemory &memory = Memory();
    for (int thread = 0; thread <= workers.Helpers(); ++thread) {
        memory.ScratchOf(size_t(thread));
        memory.BlocksOf(size_t(thread)).Size(strips, job.ComponentCount);
    }
    const auto countStrips = [&](int thread) {
        TJpegStripScratch &scratch = memory.Scratch[size_t(thread)];
        TJpegStripBlocks &blocks = memory.Blocks[size_t(thread)];
        uint32_t *tables[4];
        for (size_t t = 0; t < 4; ++t)
            tables[t] = counts[size_t(thread)][t].data();
        for (;;) {
            if (thread > 0 && (workers.Cancelled() || workers.Retired()))
                return;
            const uint32_t strip = next.fetch_add(1);
            if (strip >= count)
                return;
            // A quarter of the way, whether the helpers pay is known well
            // enough; the rest of the pass is spared them if not.
            if (thread == 0 && strip == count / 4)
                workers.Review();
            strips.Convert(rows, strip, scratch, blocks.Component);
            std::array<int32_t, 3> predictions{};
            TRestartState restart = RestartAt(uint64_t(strip) * units, interval);
            CodeSequentialRow(StripSpan(job, blocks.Component, predictions, tables), restart, nullptr);
            for (int p = 0; p < job.ComponentCount; ++p) {
                firstDc[strip][size_t(p)] = blocks.Component[size_t(p)][0][0];
                lastDc[strip][size_t(p)] = predictions[size_t(p)];
            }
            done.MarkDone(strip);
            if (thread == 0)
                done.Catch(report);
        }
    };
    workers.StartMeasuring();
    RunAlongside(workers, [&](int helper) { countStrips(helper + 1); }, [&] { countStrips(0); });
    done.Catch(report);
    reporter.Done();
    workers.Review();

    ClearTables(job, FHuffmanTables);
    for (const TCounts &thread : counts)
        for (size_t t = 0; t < 4; ++t)
            for (size_t symbol = 0; symbol < 256; ++symbol)
                FHuffmanTables[t].FCounts[symbol] += thread[t][symbol];
    for (uint32_t strip = 1; strip < count; ++strip) {
        const uint64_t before = uint64_t(strip) * units;
        if (interval != 0 && before % interval == 0)
            continue; // a restart marker opens the strip: its predictions do start at 0
        for (int p = 0; p < job.ComponentCount; ++p) {
            uint32_t *dc = FHuffmanTables[size_t(DcIndex(*job.Components[size_t(p)]))].FCounts.data();
            const int32_t first = firstDc[strip][size_t(p)];
            --dc[JpegCategory(first)];
            ++dc[JpegCategory(first - lastDc[strip - 1][size_t(p)])];
        }
    }
}

// The writing pass: the calling thread codes strips from the first one on
// straight into the file while the helpers code strips from the last one
// back, each into raw bits of its own, from the predictions the counting
// pass left at the end of the strip before; where they meet, the calling
// thread appends the helpers' strips in order. Each strip is coded once,
// and the threads meet only there: none waits for another on the way,
// which on a busy machine would cost a turn of the scheduler each time.
void TJpegEncoder::EmitStreamed(const TPixelRowSource &rows, const TJpegStrips &strips, const TScanJob &job,
                                const std::vector<std::array<int32_t, 3>> &lastDc, TJpegWorkers &workers)
{
    const uint32_t count = strips.Count();
    const uint32_t units = StripUnits(job);
    TJpegEncoderMemory &memory = Memory();
    const size_t threads = size_t(workers.Helpers()) + 1;
    for (size_t thread = 0; thread < threads; ++thread) {
        memory.ScratchOf(thread);
        memory.BlocksOf(thread).Size(strips, job.ComponentCount);
    }
    // Raw bits for every strip a helper may code, made before they start.
    if (workers.Helpers() > 0 && count > 0)
        memory.RawOf(count - 1);
    struct : TJpegHandOff {
        uint32_t Front = 0;        // the first strip nobody has taken
        uint32_t Back = 0;         // one past the last strip nobody has taken
        std::vector<uint8_t> Done; // per strip: a helper's bits are ready
        bool Waiting = false;      // the calling thread waits for Done
    } shared;
    shared.Back = count;
    shared.Done.assign(count, 0);

    // Codes a strip: its blocks and its bits, which writer takes.
    const auto code = [&](uint32_t strip, size_t thread, TJpegBitWriter &writer) {
        TJpegStripBlocks &blocks = memory.Blocks[thread];
        strips.Convert(rows, strip, memory.Scratch[thread], blocks.Component);
        std::array<int32_t, 3> predictions = strip > 0 ? lastDc[strip - 1] : std::array<int32_t, 3>{};
        TRestartState restart = RestartAt(uint64_t(strip) * units, job.RestartInterval);
        CodeSequentialRow(StripSpan(job, blocks.Component, predictions, nullptr), restart, &writer);
    };

    const auto helperJob = [&](int helper) {
        for (;;) {
            uint32_t strip;
            {
                const std::lock_guard<std::mutex> lock(shared.Mutex);
                if (shared.Stop || shared.Front >= shared.Back)
                    return;
                strip = --shared.Back;
            }
            try {
                TJpegBitWriter writer(memory.Raw[strip]);
                code(strip, size_t(helper) + 1, writer);
            } catch (...) {
                shared.Fail(std::current_exception());
                return;
            }
            const std::lock_guard<std::mutex> lock(shared.Mutex);
            shared.Done[strip] = 1;
            if (shared.Waiting)
                shared.Changed.notify_all();
        }
    };
    RunWithHelpers(workers, shared, helperJob, [&] {
        TRowReporter reporter = PassReporter(job, true);
        TJpegBitWriter writer(*FStream);
        uint32_t strip = 0;
        for (;; ++strip) {
            {
                const std::lock_guard<std::mutex> lock(shared.Mutex);
                if (shared.Error)
                    std::rethrow_exception(shared.Error);
                if (shared.Front >= shared.Back)
                    break;
                shared.Front = strip + 1;
            }
            code(strip, 0, writer);
            reporter.Row();
        }
        for (; strip < count; ++strip) {
            {
                std::unique_lock<std::mutex> lock(shared.Mutex);
                shared.Waiting = true;
                shared.Changed.wait(lock, [&] { return shared.Done[strip] || shared.Error; });
                shared.Waiting = false;
                if (!shared.Done[strip])
                    std::rethrow_exception(shared.Error);
            }
            writer.Append(memory.Raw[strip]);
            reporter.Row();
        }
        writer.Release();
        reporter.Done();
    });
}
