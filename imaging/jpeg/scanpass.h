#pragma once
// What the frame's passes share: the progress of a pass over rows and the
// order of strips done. Every pass keeps its state (predictions, end-of-band
// runs) of its own, so that passes over different scans can run on
// different threads.

#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/scankernels.h"

#include <atomic>
#include <vector>

// The progress reports of a pass over rows: a total in 1/256 percent grows
// by increment after each row and is reported as total / 256; the pass ends
// with final.
class TJpegEncoder::TRowReporter {
public:
    TRowReporter(TJpegEncoder &encoder, const char *description, uint32_t start, uint32_t increment,
                 uint32_t final)
        : FEncoder(encoder), FDescription(description), FProgress(start), FIncrement(increment), FFinal(final)
    {
    }
    void Row()
    {
        FProgress += FIncrement;
        FEncoder.ReportProgress(FDescription, FProgress / 256);
    }
    void Done() { FEncoder.ReportProgress(FDescription, FFinal); }

private:
    TJpegEncoder &FEncoder;
    const char *FDescription;
    uint32_t FProgress;
    uint32_t FIncrement;
    uint32_t FFinal;
};

// Reports strips in order as threads finish them, from the calling thread.
class TStripReports {
public:
    explicit TStripReports(uint32_t strips) : FDone(strips) {}
    void MarkDone(uint32_t strip) { FDone[strip].store(true, std::memory_order_release); }
    // Calls report(strip) for each strip done since the last call whose
    // predecessors are done too.
    template <class Report>
    void Catch(Report report)
    {
        while (FReported < FDone.size() && FDone[FReported].load(std::memory_order_acquire))
            report(FReported++);
    }

private:
    std::vector<std::atomic<bool>> FDone;
    uint32_t FReported = 0;
};
