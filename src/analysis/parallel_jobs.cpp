#include "analysis/parallel_jobs.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "analysis/section_steps.h"
#include "input/numbers.h"

namespace px {

int ThreadCountFor(int requested, int count) {
    int n = requested;
    if (n <= 0) n = static_cast<int>(std::thread::hardware_concurrency());
    if (n > count) n = count;
    return n < 1 ? 1 : n;
}

int RunJobs(int count, int threads, const std::function<void(int, int)>& job,
            const std::function<void(int)>& finished, std::vector<std::exception_ptr>& errors,
            const std::function<void()>& tick) {
    errors.assign(static_cast<size_t>(count > 0 ? count : 0), nullptr);
    if (count <= 0) return 0;
    if (threads <= 1) {
        for (int k = 0; k < count; ++k) {
            try {
                job(0, k);
            } catch (...) {
                errors[k] = std::current_exception();
            }
            if (finished) finished(k + 1);
        }
        for (int k = 0; k < count; ++k) {
            if (errors[k]) return k;
        }
        return count;
    }

    std::atomic<int> next{0};
    std::mutex m;
    std::condition_variable cv;
    int done = 0;   // guarded by m
    int exited = 0;  // guarded by m

    auto worker = [&](int id) {
        for (;;) {
            const int k = next.fetch_add(1);
            if (k >= count) break;
            try {
                job(id, k);
            } catch (...) {
                errors[k] = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> lock(m);
                ++done;
            }
            cv.notify_one();
        }
        {
            std::lock_guard<std::mutex> lock(m);
            ++exited;
        }
        cv.notify_one();
    };

    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(threads));
    for (int id = 0; id < threads; ++id) pool.emplace_back(worker, id);

    std::exception_ptr reportError;
    int reported = 0;
    {
        std::unique_lock<std::mutex> lock(m);
        const auto ready = [&] { return done > reported || exited == threads; };
        for (;;) {
            if (tick) {
                cv.wait_for(lock, std::chrono::milliseconds(kTickIntervalMs), ready);
            } else {
                cv.wait(lock, ready);
            }
            const int now = done;
            const bool over = exited == threads;
            const bool completed = now > reported;
            if (!reportError && (completed ? bool(finished) : bool(tick) && !over)) {
                lock.unlock();
                try {
                    if (completed) {
                        finished(now);
                    } else {
                        tick();
                    }
                } catch (...) {
                    // Stop handing out jobs; the workers finish what they hold.
                    reportError = std::current_exception();
                    next.store(count);
                }
                lock.lock();
            }
            reported = now;
            if (over && done == reported) break;
        }
    }
    for (std::thread& th : pool) th.join();
    if (reportError) std::rethrow_exception(reportError);
    for (int k = 0; k < count; ++k) {
        if (errors[k]) return k;
    }
    return count;
}

PassProgress::PassProgress(const std::function<void(int)>& progress, double totalPasses,
                           const std::atomic<bool>* cancel)
    : progress_(progress), total_(totalPasses), cancel_(cancel),
      caller_(std::this_thread::get_id()) {
    report();
}

void PassProgress::passDone() {
    done_.fetch_add(1, std::memory_order_relaxed);
    if (std::this_thread::get_id() == caller_) report();
}

void PassProgress::report() {
    if (!progress_) return;
    const double done = static_cast<double>(done_.load(std::memory_order_relaxed));
    progress_(nearest(done / total_ * 100));
}

std::function<void(int)> PassProgress::finished() {
    return [this](int) { report(); };
}

std::function<void()> PassProgress::tick() {
    if (!progress_ && !cancel_) return nullptr;
    return [this] {
        report();
        ThrowIfCancelled(cancel_);
    };
}

}  // namespace px

namespace px {

struct ChunkHelpers::State {
    std::mutex m;
    std::condition_variable wake, finished;
    const std::function<void(int)>* body = nullptr;  // guarded by m
    int n = 0;                                       // guarded by m
    long long generation = 0;                        // guarded by m
    int busy = 0;                                    // helpers inside a run, guarded by m
    bool stop = false;                               // guarded by m
    std::atomic<int> next{0};
    std::vector<std::thread> threads;

    // Takes chunks until none is left.
    void Drain(const std::function<void(int)>& f, int count) {
        for (int k = next.fetch_add(1); k < count; k = next.fetch_add(1)) f(k);
    }

    void Helper() {
        long long seen = 0;
        std::unique_lock<std::mutex> lock(m);
        for (;;) {
            wake.wait(lock, [&] { return stop || generation != seen; });
            if (stop) return;
            seen = generation;
            if (!body) continue;  // woke after the run was over
            const std::function<void(int)>* f = body;
            const int count = n;
            ++busy;
            lock.unlock();
            Drain(*f, count);
            lock.lock();
            if (--busy == 0) finished.notify_all();
        }
    }
};

ChunkHelpers::ChunkHelpers(int helpers) : state_(new State) {
    for (int i = 0; i < helpers; ++i) state_->threads.emplace_back([s = state_] { s->Helper(); });
}

ChunkHelpers::~ChunkHelpers() {
    {
        std::lock_guard<std::mutex> lock(state_->m);
        state_->stop = true;
    }
    state_->wake.notify_all();
    for (std::thread& t : state_->threads) t.join();
    delete state_;
}

void ChunkHelpers::Run(int n, const std::function<void(int)>& body) {
    State& s = *state_;
    if (s.threads.empty() || n <= 1) {
        for (int k = 0; k < n; ++k) body(k);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(s.m);
        s.next.store(0);
        s.body = &body;
        s.n = n;
        ++s.generation;
    }
    s.wake.notify_all();
    s.Drain(body, n);
    // Wait for helpers still working on a chunk of this run; a helper that
    // wakes late finds no chunk left and leaves at once.
    std::unique_lock<std::mutex> lock(s.m);
    s.finished.wait(lock, [&] { return s.busy == 0; });
    s.body = nullptr;
    s.n = 0;
}

}  // namespace px
