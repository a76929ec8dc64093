// Frames whose scans read coefficient arrays: progressive frames and
// sequential frames of several scans. The picture is converted a strip at a
// time on every thread; then each scan is counted and written in turn, and
// while the calling thread writes one scan, the helpers count the next ones.

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
    const auto convert = [&](TJpegStripScratch &scratch) {
        const uint32_t strip = next.fetch_add(1);
        if (strip >= strips.Count())
            return false;
        std::array<TJpegCoefficientBlock *, 3> out{};
        for (int c = 0; c < FrameComponentCount(); ++c)
            out[size_t(c)] = FComponents[size_t(c)].FCoefficients.data() + strip * strips.Blocks(c);
        strips.Convert(rows, strip, scratch, out);
        done.MarkDone(strip);
        return true;
    };
    TRowReporter reporter = ConversionReporter();
    const auto report = [&](uint32_t strip) { ReportStripRows(strips, strip, reporter); };
    workers.Start([&](int) {
        TJpegStripScratch scratch;
        while (!workers.Cancelled() && convert(scratch)) {
        }
    });
    try {
        TJpegStripScratch scratch;
        while (convert(scratch))
            done.Catch(report);
        workers.Wait();
    } catch (...) {
        workers.Abandon();
        throw;
    }
    done.Catch(report);
    reporter.Done();
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

void TJpegEncoder::CountScan(const TScanJob &job, TTableSet &tables, TRowReporter *reporter) const
{
    ClearTables(job, tables);
    if (job.Kind == TScanJob::Sequential)
        SequentialPass(job, &tables, nullptr, reporter);
    else if (job.Kind == TScanJob::DcFirst)
        DcPass(job, &tables, nullptr, reporter);
    else
        AcPass(job, &tables, nullptr, reporter);
    BuildTables(job, tables);
}

void TJpegEncoder::WriteScan(const TScanJob &job)
{
    if (job.Kind == TScanJob::Sequential && job.RestartInterval != FRestartInterval) {
        WriteRestartInterval(job.RestartInterval);
        FRestartInterval = job.RestartInterval;
    }
    if (job.Kind != TScanJob::DcRefine)
        WriteHuffmanTables(job);
    WriteStartOfScan(job);
    FStream->BeginBits(8);
    {
        TJpegBitWriter writer(*FStream);
        TRowReporter reporter = PassReporter(job, true);
        switch (job.Kind) {
        case TScanJob::Sequential:
            SequentialPass(job, nullptr, &writer, &reporter);
            break;
        case TScanJob::DcFirst:
        case TScanJob::DcRefine:
            DcPass(job, nullptr, &writer, &reporter);
            break;
        case TScanJob::AcFirst:
        case TScanJob::AcRefine:
            AcPass(job, nullptr, &writer, &reporter);
            break;
        }
    }
    FStream->EndBits();
}

void TJpegEncoder::WriteStoredFrame(const TPixelRowSource &rows, const TJpegStrips &strips, TJpegWorkers &workers)
{
    ConvertImage(rows, strips, workers);
    WriteStartOfFrame(FProgressive ? 0xC2 : 0xC0);
    WriteQuantizationTables();
    const std::vector<TScanJob> jobs = PlanScans();
    const auto counted = [](const TScanJob &job) {
        return job.ComponentCount > 0 && (job.DcTables() || job.AcTables());
    };

    // Scans are counted in order, each into a table set of its own, at most
    // ahead scans ahead of the one being written.
    const size_t ahead = size_t(2 * (workers.Helpers() + 1));
    std::vector<TTableSet> tables(std::min(ahead, std::max<size_t>(jobs.size(), 1)));
    struct {
        std::mutex Mutex;
        std::condition_variable Changed;
        size_t NextCount = 0; // the first scan nobody has taken to count
        size_t Written = 0;   // scans written
        std::vector<bool> Counted;
        bool Stop = false;
        std::exception_ptr Error;
    } shared;
    shared.Counted.assign(jobs.size(), false);

    workers.Start([&](int) {
        for (;;) {
            size_t j;
            {
                std::unique_lock<std::mutex> lock(shared.Mutex);
                shared.Changed.wait(lock, [&] {
                    return shared.Stop || shared.NextCount >= jobs.size() ||
                           shared.NextCount < shared.Written + tables.size();
                });
                if (shared.Stop || shared.NextCount >= jobs.size())
                    return;
                j = shared.NextCount++;
            }
            try {
                if (counted(jobs[j]))
                    CountScan(jobs[j], tables[j % tables.size()], nullptr);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(shared.Mutex);
                shared.Error = std::current_exception();
                shared.Stop = true;
                shared.Changed.notify_all();
                return;
            }
            const std::lock_guard<std::mutex> lock(shared.Mutex);
            shared.Counted[j] = true;
            shared.Changed.notify_all();
        }
    });
    try {
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
                    CountScan(job, set, &reporter);
                    lock.lock();
                } else {
                    shared.Changed.wait(lock, [&] { return shared.Counted[j] || shared.Error; });
                    if (!shared.Counted[j])
                        std::rethrow_exception(shared.Error);
                    lock.unlock();
                    ReportPass(job, false);
                    lock.lock();
                }
                TakeTables(job, set);
            }
            lock.unlock();
            if (job.ComponentCount > 0)
                WriteScan(job);
            lock.lock();
            shared.Written = j + 1;
            shared.Changed.notify_all();
        }
        {
            const std::lock_guard<std::mutex> lock(shared.Mutex);
            shared.Stop = true;
            shared.Changed.notify_all();
        }
        workers.Wait();
    } catch (...) {
        {
            const std::lock_guard<std::mutex> lock(shared.Mutex);
            shared.Stop = true;
            shared.Changed.notify_all();
        }
        workers.Abandon();
        throw;
    }
}
