#include "check/ui/live_check.h"

#include <utility>

#include "input/error.h"

namespace px {

LiveRunner::LiveRunner(QObject* parent) : QObject(parent) {
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, &LiveRunner::start);
    // The run's thread only stores its results; the window picks them up
    // here, so no event crosses between the threads.
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &LiveRunner::collect);
}

LiveRunner::~LiveRunner() { retire(); }

void LiveRunner::schedule(std::function<LiveInputs()> read) {
    read_ = std::move(read);
    if (cancel_) cancel_->store(true);  // its results would be stale anyway
    pause_.start();
}

void LiveRunner::stop() {
    pause_.stop();
    poll_.stop();
    ++generation_;
    if (cancel_) cancel_->store(true);
    running_ = false;
}

void LiveRunner::retire() {
    if (cancel_) cancel_->store(true);
    // A cancelled run stops within one block of trials.
    if (worker_.joinable()) worker_.join();
}

void LiveRunner::start() {
    if (!read_) return;
    retire();
    LiveInputs inputs = read_();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    cancel_ = cancel;
    const unsigned long long generation = ++generation_;
    running_ = true;
    poll_.start();
    worker_ = std::thread([this, cancel, generation, inputs = std::move(inputs)] {
        std::shared_ptr<const LiveResults> results;
        try {
            results = std::make_shared<const LiveResults>(RunLive(inputs, *cancel));
        } catch (const Cancelled&) {
            return;
        }
        const std::lock_guard<std::mutex> lock(handOver_);
        done_ = std::move(results);
        doneGeneration_ = generation;
    });
}

void LiveRunner::collect() {
    std::shared_ptr<const LiveResults> results;
    {
        const std::lock_guard<std::mutex> lock(handOver_);
        if (!done_ || doneGeneration_ != generation_) return;
        results = std::move(done_);
        done_.reset();
    }
    running_ = false;
    poll_.stop();
    emit finished(results);
}

}  // namespace px
