#include "analysis/parallel_jobs.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace px {

int ThreadCountFor(int requested, int count) {
    int n = requested;
    if (n <= 0) n = static_cast<int>(std::thread::hardware_concurrency());
    if (n > count) n = count;
    return n < 1 ? 1 : n;
}

int RunJobs(int count, int threads, const std::function<void(int, int)>& job,
            const std::function<void(int)>& finished, std::vector<std::exception_ptr>& errors) {
    errors.assign(static_cast<size_t>(count > 0 ? count : 0), nullptr);
    if (count <= 0) return 0;
    if (threads <= 1) {
        for (int k = 0; k < count; ++k) {
            try {
                job(0, k);
            } catch (...) {
                errors[k] = std::current_exception();
                return k;
            }
            if (finished) finished(k + 1);
        }
        return count;
    }

    std::atomic<int> next{0};
    std::atomic<int> firstFailed{count};
    std::mutex m;
    std::condition_variable cv;
    int done = 0;   // guarded by m
    int exited = 0;  // guarded by m

    auto worker = [&](int id) {
        for (;;) {
            const int k = next.fetch_add(1);
            if (k >= count || k > firstFailed.load()) break;
            try {
                job(id, k);
            } catch (...) {
                errors[k] = std::current_exception();
                int f = firstFailed.load();
                while (k < f && !firstFailed.compare_exchange_weak(f, k)) {
                }
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
        for (;;) {
            cv.wait(lock, [&] { return done > reported || exited == threads; });
            const int now = done;
            const bool over = exited == threads;
            if (now > reported && !reportError && finished) {
                lock.unlock();
                try {
                    finished(now);
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
    return firstFailed.load();
}

}  // namespace px
