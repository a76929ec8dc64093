#include "imaging/jpeg/workers.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

TJpegWorkers::~TJpegWorkers()
{
    Abandon();
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        FStop = true;
    }
    FWake.notify_all();
    for (std::thread &thread : FThreads)
        thread.join();
}

void TJpegWorkers::Start(std::function<void(int)> job)
{
    if (FHelpers == 0)
        return;
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        FJob = std::move(job);
        FError = nullptr;
        FCancelled.store(false, std::memory_order_relaxed);
        FBusy = FHelpers;
        ++FGeneration;
    }
    while (int(FThreads.size()) < FHelpers)
        FThreads.emplace_back(&TJpegWorkers::Serve, this, int(FThreads.size()));
    FWake.notify_all();
}

int ThreadsWithCores(int wanted, double loadAverage, unsigned cores)
{
    // The calling thread takes a core; a helper is worth one more core
    // that the load leaves at least half idle. Sharing a core with another
    // program, a helper would only make the calling thread wait for it.
    const double idle = double(cores) - 1.0 - loadAverage;
    const int free = idle >= 0.5 ? int(idle + 0.5) : 0;
    return std::max(1, std::min(wanted, 1 + free));
}

double LoadAverage()
{
    double load = 0;
    if (std::FILE *file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%lf", &load) != 1)
            load = 0;
        std::fclose(file);
    }
    return load;
}

namespace {

double Seconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

} // namespace

void TJpegWorkers::StartMeasuring()
{
    FStartProcessor = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    FStartWall = Seconds(CLOCK_MONOTONIC);
}

void TJpegWorkers::Review()
{
    if (FHelpers > 0)
        Review(Seconds(CLOCK_PROCESS_CPUTIME_ID) - FStartProcessor, Seconds(CLOCK_MONOTONIC) - FStartWall);
}

void TJpegWorkers::Review(double processorSeconds, double wallSeconds)
{
    if (FHelpers > 0 && processorSeconds < MinParallelism * wallSeconds) {
        FHelpers = 0;
        FRetired.store(true, std::memory_order_relaxed);
    }
}

void TJpegWorkers::Wait()
{
    std::unique_lock<std::mutex> lock(FMutex);
    FIdle.wait(lock, [&] { return FBusy == 0; });
    FJob = nullptr;
    if (FError) {
        const std::exception_ptr error = FError;
        FError = nullptr;
        std::rethrow_exception(error);
    }
}

void TJpegWorkers::Abandon() noexcept
{
    FCancelled.store(true, std::memory_order_relaxed);
    std::unique_lock<std::mutex> lock(FMutex);
    FIdle.wait(lock, [&] { return FBusy == 0; });
    FJob = nullptr;
    FError = nullptr;
}

void TJpegWorkers::Serve(int helper)
{
    unsigned seen = 0;
    for (;;) {
        std::function<void(int)> job;
        {
            std::unique_lock<std::mutex> lock(FMutex);
            FWake.wait(lock, [&] { return FStop || FGeneration != seen; });
            if (FStop)
                return;
            seen = FGeneration;
            job = FJob;
        }
        std::exception_ptr error;
        try {
            job(helper);
        } catch (...) {
            error = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> lock(FMutex);
            if (error && !FError)
                FError = error;
            --FBusy;
        }
        FIdle.notify_all();
    }
}
