#pragma once
// The helper threads of one encoding. The calling thread shares the work
// with them but stays the only one that reports progress and writes the
// file; helpers only compute.

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// How many of `wanted` threads (the calling one included) have a core to
// run on, judged by the system's load average (runnable threads over the
// last minute) on a machine of `cores` cores: a helper pays only where a
// core besides the calling thread's is mostly idle. At least 1.
int ThreadsWithCores(int wanted, double loadAverage, unsigned cores);
// The system's load average over the last minute; 0 where it cannot be read.
double LoadAverage();

class TJpegWorkers {
public:
    // threads: every thread that works, the calling one included (at least 1).
    explicit TJpegWorkers(int threads) : FHelpers(threads > 1 ? threads - 1 : 0) {}
    // Ends the helper threads. Never throws.
    ~TJpegWorkers();
    TJpegWorkers(const TJpegWorkers &) = delete;
    TJpegWorkers &operator=(const TJpegWorkers &) = delete;

    // Helpers that share the passes to come.
    int Helpers() const { return FHelpers; }

    // Measuring whether the helpers pay: StartMeasuring before a pass that
    // every thread shares, Review after it. Where the process got less
    // than MinParallelism cores' worth of processor time over the pass, the
    // helpers only took turns with the calling thread: other programs had
    // the cores, or the system gives this program a share of its own
    // whatever its threads. The passes to come then run on the calling
    // thread alone, which is faster than sharing one core; the threads stay
    // idle until the workers end.
    // Review may also be called by the calling thread part-way through the
    // pass, after which helpers leave as soon as Retired says so.
    static constexpr double MinParallelism = 1.25;
    void StartMeasuring();
    void Review();
    bool Retired() const { return FRetired.load(std::memory_order_relaxed); }
    // The same from figures: processor time of the whole process over the
    // pass, and the time the pass took.
    void Review(double processorSeconds, double wallSeconds);

    // Starts job(helper number) on every helper and returns at once; the
    // threads themselves are started by the first job. A job that raises
    // ends on its helper, and Wait raises it.
    void Start(std::function<void(int)> job);
    // Waits until every helper has ended the job, then raises the first
    // exception a helper raised.
    void Wait();
    // Asks the job to end early (Cancelled() becomes true) and waits for it,
    // dropping the helpers' exceptions: for the caller's own error path.
    void Abandon() noexcept;
    // True once Abandon asked the running job to end.
    bool Cancelled() const { return FCancelled.load(std::memory_order_relaxed); }

private:
    void Serve(int helper);

    int FHelpers;
    std::vector<std::thread> FThreads;
    std::mutex FMutex;
    std::condition_variable FWake;
    std::condition_variable FIdle;
    std::function<void(int)> FJob;
    unsigned FGeneration = 0;
    int FBusy = 0;
    bool FStop = false;
    std::exception_ptr FError;
    std::atomic<bool> FCancelled{false};
    std::atomic<bool> FRetired{false};
    double FStartProcessor = 0;
    double FStartWall = 0;
};

// What the calling thread and the helpers of one pass share besides their
// work: a lock, a condition to wait on, and the pass's end, reached or
// forced by a helper's error.
struct TJpegHandOff {
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Stop = false;
    std::exception_ptr Error;

    // A helper failed: the pass stops, and the calling thread raises error.
    void Fail(std::exception_ptr error)
    {
        const std::lock_guard<std::mutex> lock(Mutex);
        Error = error;
        Stop = true;
        Changed.notify_all();
    }
    // The pass is over, or broken off: the helpers leave.
    void Finish()
    {
        const std::lock_guard<std::mutex> lock(Mutex);
        Stop = true;
        Changed.notify_all();
    }
};

// Runs job on the helpers and part on the calling thread, then waits for the
// helpers and raises their error, if any; when part raises, the helpers are
// abandoned.
template <class Part>
void RunAlongside(TJpegWorkers &workers, std::function<void(int)> job, Part part)
{
    workers.Start(std::move(job));
    try {
        part();
        workers.Wait();
    } catch (...) {
        workers.Abandon();
        throw;
    }
}

// Runs the calling thread's part of a pass whose helpers run job and share
// handOff. When it ends the helpers are told to leave and their error, if
// any, is raised; when it raises, the helpers are abandoned.
template <class Part>
void RunWithHelpers(TJpegWorkers &workers, TJpegHandOff &handOff, std::function<void(int)> job, Part part)
{
    workers.Start(std::move(job));
    try {
        part();
        handOff.Finish();
        workers.Wait();
    } catch (...) {
        handOff.Finish();
        workers.Abandon();
        throw;
    }
}
