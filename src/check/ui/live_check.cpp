#include "check/ui/live_check.h"

#include <mutex>
#include <new>
#include <utility>

#include "input/error.h"

namespace px {

// What one run's thread shares with the window: the flag that cancels it,
// its results once made, and whether the thread is done with all of it.
struct LiveRunner::Run {
    std::atomic<bool> cancel{false};
    std::mutex lock;
    std::shared_ptr<const LiveResults> results;  // under the lock
    bool ended = false;                           // under the lock
};

LiveRunner::LiveRunner(QObject* parent) : QObject(parent) {
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, &LiveRunner::start);
    // The runs' threads only store their results; the window picks them up
    // here, so no event crosses between the threads.
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &LiveRunner::collect);
}

LiveRunner::~LiveRunner() {
    for (Thread& t : runs_) t.run->cancel.store(true);
    for (Thread& t : runs_) t.thread.join();
}

void LiveRunner::cancelCurrent() {
    if (current_) current_->cancel.store(true);
    current_.reset();
    running_ = false;
}

void LiveRunner::schedule(std::function<LiveInputs()> read) {
    read_ = std::move(read);
    cancelCurrent();  // its results would be stale anyway
    pause_.start();
}

void LiveRunner::stop() {
    pause_.stop();
    ++generation_;
    cancelCurrent();
}

void LiveRunner::start() {
    if (!read_) return;
    cancelCurrent();
    auto run = std::make_shared<Run>();
    LiveInputs inputs = read_();
    const unsigned long long generation = ++generation_;
    current_ = run;
    running_ = true;
    poll_.start();
    runs_.push_back({std::thread([run, generation, hook = hook_, inputs = std::move(inputs)] {
                         std::shared_ptr<const LiveResults> results;
                         try {
                             results = std::make_shared<const LiveResults>(RunLive(inputs, run->cancel));
                         } catch (const Cancelled&) {
                         } catch (const std::bad_alloc&) {
                             try {  // small: there is room for it again, or nothing is shown
                                 LiveResults failed;
                                 failed.error = "Out of memory";
                                 results = std::make_shared<const LiveResults>(std::move(failed));
                             } catch (const std::bad_alloc&) {
                             }
                         }
                         if (results && hook) hook(generation);
                         const std::lock_guard<std::mutex> lock(run->lock);
                         if (!run->cancel.load()) run->results = std::move(results);
                         run->ended = true;
                     }),
                     run});
}

void LiveRunner::collect() {
    std::shared_ptr<const LiveResults> results;
    // Threads whose runs have ended are joined: each has only its return
    // left, so the window does not wait on them.
    for (auto it = runs_.begin(); it != runs_.end();) {
        bool ended = false;
        {
            const std::lock_guard<std::mutex> lock(it->run->lock);
            ended = it->run->ended;
            if (ended && it->run == current_) results = std::move(it->run->results);
        }
        if (!ended) {
            ++it;
            continue;
        }
        it->thread.join();
        if (it->run == current_) {
            current_.reset();
            running_ = false;
        }
        it = runs_.erase(it);
    }
    if (runs_.empty()) poll_.stop();
    // A run cancelled as it ended leaves nothing: the next one is coming.
    if (results) emit finished(results);
}

}  // namespace px
