#include "check/ui/live_check.h"

#include <utility>

#include "input/error.h"

namespace px {

LiveRunner::LiveRunner(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(kPauseMs);
    connect(&timer_, &QTimer::timeout, this, &LiveRunner::start);
}

LiveRunner::~LiveRunner() { retire(); }

void LiveRunner::schedule(std::function<LiveInputs()> read) {
    read_ = std::move(read);
    if (cancel_) cancel_->store(true);  // its results would be stale anyway
    timer_.start();
}

void LiveRunner::stop() {
    timer_.stop();
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
    worker_ = std::thread([this, cancel, generation, inputs = std::move(inputs)] {
        std::shared_ptr<const LiveResults> results;
        try {
            results = std::make_shared<const LiveResults>(RunLive(inputs, *cancel));
        } catch (const Cancelled&) {
            return;
        }
        // Delivered on the window's thread; dropped when this runner is gone
        // or a newer run has started since.
        QMetaObject::invokeMethod(
            this,
            [this, generation, results] {
                if (generation != generation_) return;
                running_ = false;
                emit finished(results);
            },
            Qt::QueuedConnection);
    });
}

}  // namespace px
