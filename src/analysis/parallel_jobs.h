#pragma once
// Independent jobs 0 .. count - 1 spread over worker threads, with completion
// reported on the calling thread.
#include <atomic>
#include <exception>
#include <functional>
#include <thread>
#include <vector>

namespace px {

// Number of threads for a request: 0 means every hardware thread; never more
// than count, never less than 1.
int ThreadCountFor(int requested, int count);

// Runs job(worker, k) for every k. With one thread the jobs run in order on
// the calling thread; otherwise `threads` workers take jobs in order and the
// calling thread waits, calling finished(n) after each completion (n jobs
// done so far) and, when given, tick() whenever kTickInterval has passed
// without one. `worker` is 0 .. threads - 1, for per-thread scratch space.
// A job that throws has its exception stored in errors[k]; every job runs
// whatever the others do. If finished or tick throws, no further job
// starts, the workers finish the ones they hold, and the exception is
// rethrown. Returns the index of the first failed job, or count.
int RunJobs(int count, int threads, const std::function<void(int worker, int k)>& job,
            const std::function<void(int done)>& finished, std::vector<std::exception_ptr>& errors,
            const std::function<void()>& tick = {});

// Longest wait of RunJobs' calling thread between two ticks, milliseconds.
inline constexpr int kTickIntervalMs = 20;

// Grid passes of a solve finished so far, counted by whichever thread ran
// them, and the progress they make: report() gives passes done / total x 100
// to the progress callback and is called only on the thread that made the
// counter (the constructor reports 0 at once); passDone() reports at once
// when it runs on that thread. finished() and tick() are RunJobs' callbacks:
// both report, tick() also throws Cancelled once *cancel is set, and it is
// empty when there is neither a progress callback nor a cancel flag.
class PassProgress {
public:
    PassProgress(const std::function<void(int)>& progress, double totalPasses,
                 const std::atomic<bool>* cancel = nullptr);
    void passDone();
    void report();
    std::function<void(int)> finished();
    std::function<void()> tick();

private:
    const std::function<void(int)>& progress_;
    double total_;
    const std::atomic<bool>* cancel_;
    std::atomic<long long> done_{0};
    std::thread::id caller_;
};

}  // namespace px

namespace px {

// Helper threads that share the calling thread's loops of independent
// chunks: Run(n, body) calls body(k) for k in [0, n) on the calling thread
// and the helpers and returns when every chunk is done. body must not throw.
class ChunkHelpers {
public:
    explicit ChunkHelpers(int helpers);
    ~ChunkHelpers();
    ChunkHelpers(const ChunkHelpers&) = delete;
    ChunkHelpers& operator=(const ChunkHelpers&) = delete;

    void Run(int n, const std::function<void(int)>& body);

private:
    struct State;
    State* state_;
};

}  // namespace px
