// Frames whose scans read coefficient arrays: progressive frames and
// sequential frames of several scans. The picture is converted a strip at a
// time on every thread; then each scan is counted and written in turn, and
// while the calling thread writes one scan, the helpers count the next ones.

#include "imaging/jpeg/encodermemory.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/scanpass.h"
#include "imaging/jpeg/strips.h"
#include "imaging/jpeg/workers.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>


// ---- The picture as coefficient arrays ----

void TJpegEncoder::ConvertImage(const TPixelRowSource &rows, const TJpegStrips &strips, TJpegWorkers &workers)
{
    for (int c = 0; c < FrameComponentCount(); ++c) {
        TJpegEncoderComponent &component = FComponents[size_t(c)];
        component.FCoefficients.resize(size_t(component.FDuRows) * component.FDuCols);
    }
    // Every thread takes the next strip; the calling thread reports them in order.
    std::atomic<uint32_t> next{0};
    TStripReports done(strips.Count());
    const auto convert = [&](TJpegStripScratch &scratch, bool caller) {
        const uint32_t strip = next.fetch_add(1);
        if (strip >= strips.Count())
            return false;
        // A quarter of the way, whether the helpers pay is known well
        // enough; the rest of the pass is spared them if not.
        if (caller && strip == strips.Count() / 4)
            workers.Review();
        std::array<TJpegCoefficientBlock *, 3> out{};
        for (int c = 0; c < FrameComponentCount(); ++c) {
            out[size_t(c)] = FComponents[size_t(c)].FCoefficients.data() + strip * strips.Blocks(c);
            PreparePages(out[size_t(c)], strips.Blocks(c) * sizeof(TJpegCoefficientBlock));
        }
        strips.Convert(rows, strip, scratch, out);
        done.MarkDone(strip);
        return true;
    };
    TRowReporter reporter = ConversionReporter();
    const auto report = [&](uint32_t strip) { ReportStripRows(strips, strip, reporter); };
    TJpegEncoderMemory &memory = Memory();
    for (int thread = 0; thread <= workers.Helpers(); ++thread)
        memory.ScratchOf(size_t(thread));
    workers.StartMeasuring();
    RunAlongside(
        workers,
        [&](int helper) {
            TJpegStripScratch &scratch = memory.Scratch[size_t(helper) + 1];
            while (!workers.Cancelled() && !workers.Retired() && convert(scratch, false)) {
            }
        },
        [&] {
            TJpegStripScratch &scratch = memory.Scratch[0];
            while (convert(scratch, true))
                done.Catch(report);
        });
    done.Catch(report);
    reporter.Done();
    workers.Review();
    if (!FGrayscale)
        ReportSampling();
}

// "RGB Convert" reports each picture row, "Grayscale Convert" each row of
// blocks, that is each strip.
TJpegEncoder::TRowReporter TJpegEncoder::ConversionReporter()
{
    if (FGrayscale)
        return TRowReporter(*this, "Grayscale Convert", 0, 25600 / FComponents[0].FDuRows, 100);
    return TRowReporter(*this, "RGB Convert", 0, 25600 / FImageHeight, 100);
}

void TJpegEncoder::ReportStripRows(const TJpegStrips &strips, uint32_t strip, TRowReporter &reporter)
{
    if (FGrayscale) {
        reporter.Row();
        return;
    }
    const uint32_t first = strip * strips.Rows();
    const uint32_t end = std::min(first + strips.Rows(), FImageHeight);
    for (uint32_t row = first; row < end; ++row)
        reporter.Row();
}

// The passes that turn each colour component's samples into blocks; the
// strips did their work already.
void TJpegEncoder::ReportSampling()
{
    for (TJpegEncoderComponent &component : FComponents) {
        ++FCurrentPass;
        TRowReporter reporter(*this, "Sampling", 0, 25600 / component.FDuRows, 100);
        for (uint32_t row = 0; row < component.FDuRows; ++row)
            reporter.Row();
        reporter.Done();
    }
}

// ---- Scans ----

void TJpegEncoder::CountScan(const TScanJob &job, TTableSet &tables, TRowReporter *reporter, uint32_t split,
                             TScanResume &resume) const
{
    ClearTables(job, tables);
    TScanResume state = ScanStart(job);
    ScanPass(job, &tables, nullptr, reporter, state, {0, PassRows(job), split, &resume});
    if (reporter)
        reporter->Done();
    BuildTables(job, tables);
}

// A helper writes the last third of a scan's rows while the calling thread
// writes the rest: the helper also counts the scans ahead.
uint32_t TJpegEncoder::SplitRow(const TScanJob &job, int helpers) const
{
    const uint32_t rows = PassRows(job);
    return helpers > 0 && rows >= 3 ? rows - rows / 3 : rows;
}

void TJpegEncoder::WriteScanHeaders(const TScanJob &job)
{
    if (job.Kind == TScanJob::Sequential && job.RestartInterval != FRestartInterval) {
        WriteRestartInterval(job.RestartInterval);
        FRestartInterval = job.RestartInterval;
    }
    if (job.Kind != TScanJob::DcRefine)
        WriteHuffmanTables(job);
    WriteStartOfScan(job);
}

// Each scan is counted, then written. Counting runs ahead on the helpers,
// each scan into a table set of its own, at most a few scans ahead of the
// one being written; the calling thread counts a scan itself when no helper
// has taken it. Writing a scan, the calling thread codes its first rows into
// the file while a helper codes the rest into raw bits, from where the
// counting pass stood as those rows began; the calling thread appends them
// (or codes them itself when no helper has taken them).
void TJpegEncoder::WriteStoredFrame(const TPixelRowSource &rows, const TJpegStrips &strips, TJpegWorkers &workers)
{
    ConvertImage(rows, strips, workers);
    WriteStartOfFrame(FProgressive ? 0xC2 : 0xC0);
    WriteQuantizationTables();
    const std::vector<TScanJob> jobs = PlanScans();
    const auto counted = [](const TScanJob &job) {
        return job.ComponentCount > 0 && (job.DcTables() || job.AcTables());
    };
    const int helpers = workers.Helpers();
    std::vector<uint32_t> splits(jobs.size());
    for (size_t j = 0; j < jobs.size(); ++j)
        splits[j] = jobs[j].ComponentCount > 0 ? SplitRow(jobs[j], helpers) : 0;

    const size_t ahead = size_t(2 * (helpers + 1));
    std::vector<TTableSet> tables(std::min(ahead, std::max<size_t>(jobs.size(), 1)));
    std::vector<TScanResume> resumes(jobs.size());
    TJpegRawBits &rest = Memory().RawOf(0); // the rest of the scan being written, from a helper
    struct : TJpegHandOff {
        size_t NextCount = 0; // the first scan nobody has taken to count
        size_t Written = 0;   // scans written
        std::vector<bool> Counted;
        size_t Current = SIZE_MAX; // the scan whose tables are in FHuffmanTables
        bool RestTaken = false;
        bool RestDone = false;
    } shared;
    shared.Counted.assign(jobs.size(), false);

    const auto helperJob = [&](int) {
        for (;;) {
            enum { Count, Rest } task;
            size_t j;
            {
                std::unique_lock<std::mutex> lock(shared.Mutex);
                shared.Changed.wait(lock, [&] {
                    const bool rest = shared.Current < jobs.size() && !shared.RestTaken &&
                                      splits[shared.Current] < PassRows(jobs[shared.Current]);
                    const bool count = shared.NextCount < jobs.size() && shared.NextCount < shared.Written + tables.size();
                    return shared.Stop || rest || count;
                });
                if (shared.Stop)
                    return;
                if (shared.Current < jobs.size() && !shared.RestTaken &&
                    splits[shared.Current] < PassRows(jobs[shared.Current])) {
                    task = Rest;
                    j = shared.Current;
                    shared.RestTaken = true;
                } else {
                    task = Count;
                    j = shared.NextCount++;
                }
            }
            try {
                if (task == Rest) {
                    TJpegBitWriter writer(rest);
                    TScanResume state = resumes[j];
                    ScanPass(jobs[j], nullptr, &writer, nullptr, state, {splits[j], PassRows(jobs[j]), 0, nullptr});
                } else if (counted(jobs[j])) {
                    CountScan(jobs[j], tables[j % tables.size()], nullptr, splits[j], resumes[j]);
                }
            } catch (...) {
                shared.Fail(std::current_exception());
                return;
            }
            const std::lock_guard<std::mutex> lock(shared.Mutex);
            if (task == Rest)
                shared.RestDone = true;
            else
                shared.Counted[j] = true;
            shared.Changed.notify_all();
        }
    };
    // Waiting for a helper, the calling thread counts the scans ahead
    // instead, as long as there are any to count.
    const auto waitFor = [&](std::unique_lock<std::mutex> &lock, auto done) {
        while (!done() && !shared.Error) {
            if (shared.NextCount < jobs.size() && shared.NextCount < shared.Written + tables.size()) {
                const size_t k = shared.NextCount++;
                lock.unlock();
                if (counted(jobs[k]))
                    CountScan(jobs[k], tables[k % tables.size()], nullptr, splits[k], resumes[k]);
                lock.lock();
                shared.Counted[k] = true;
                shared.Changed.notify_all();
                continue;
            }
            shared.Changed.wait(lock, [&] {
                return done() || shared.Error ||
                       (shared.NextCount < jobs.size() && shared.NextCount < shared.Written + tables.size());
            });
        }
        if (!done())
            std::rethrow_exception(shared.Error);
    };
    RunWithHelpers(workers, shared, helperJob, [&] {
        for (size_t j = 0; j < jobs.size(); ++j) {
            ++FCurrentPass;
            const TScanJob &job = jobs[j];
            std::unique_lock<std::mutex> lock(shared.Mutex);
            const bool mine = shared.NextCount == j;
            if (mine)
                ++shared.NextCount;
            if (counted(job)) {
                TTableSet &set = tables[j % tables.size()];
                if (mine) {
                    lock.unlock();
                    TRowReporter reporter = PassReporter(job, false);
                    CountScan(job, set, &reporter, splits[j], resumes[j]);
                    lock.lock();
                } else {
                    waitFor(lock, [&] { return bool(shared.Counted[j]); });
                    lock.unlock();
                    ReportPass(job, false);
                    lock.lock();
                }
                TakeTables(job, set);
            }
            if (job.ComponentCount == 0) {
                shared.Written = j + 1;
                shared.Changed.notify_all();
                continue;
            }
            // From here a helper may write the rest of the scan.
            shared.Current = j;
            shared.RestTaken = shared.RestDone = false;
            shared.Changed.notify_all();
            lock.unlock();

            WriteScanHeaders(job);
            FStream->BeginBits(8);
            {
                TJpegBitWriter writer(*FStream);
                TRowReporter reporter = PassReporter(job, true);
                TScanResume state = ScanStart(job);
                const uint32_t end = PassRows(job);
                ScanPass(job, nullptr, &writer, &reporter, state, {0, splits[j], 0, nullptr});
                if (splits[j] < end) {
                    lock.lock();
                    const bool restMine = !shared.RestTaken;
                    shared.RestTaken = true;
                    if (restMine) {
                        lock.unlock();
                        ScanPass(job, nullptr, &writer, &reporter, state, {splits[j], end, 0, nullptr});
                    } else {
                        waitFor(lock, [&] { return shared.RestDone; });
                        lock.unlock();
                        writer.Append(rest);
                        for (uint32_t row = splits[j]; row < end; ++row)
                            reporter.Row();
                    }
                }
                writer.Release();
                reporter.Done();
            }
            FStream->EndBits();
            lock.lock();
            shared.Current = SIZE_MAX;
            shared.Written = j + 1;
            shared.Changed.notify_all();
        }
    });
}
