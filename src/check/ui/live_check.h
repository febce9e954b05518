#pragma once
// The live check's runs: each change of the inputs (re)starts a pause of
// kPauseMs; when it ends, a run of RunLive starts on a thread of its own. A
// newer run cancels the one in flight, and only the newest run's results
// are delivered, on the window's thread. The window never waits for a run.
#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "check/live_run.h"

namespace px {

class LiveRunner : public QObject {
    Q_OBJECT
public:
    static constexpr int kPauseMs = 150;
    // How often the window looks for a finished run.
    static constexpr int kPollMs = 5;

    explicit LiveRunner(QObject* parent);
    ~LiveRunner() override;  // cancels the run in flight and lets it end

    // The inputs changed: the pause starts again, and `read` takes the
    // inputs when it ends.
    void schedule(std::function<LiveInputs()> read);
    // Cancels the pause and the run in flight; nothing is delivered.
    void stop();
    // A pause or a run is pending.
    bool pending() const { return pause_.isActive() || running_; }

signals:
    void finished(std::shared_ptr<const LiveResults> results);

private:
    void start();
    void collect();
    void retire();  // cancels the run in flight and waits for its thread

    QTimer pause_, poll_;
    std::function<LiveInputs()> read_;
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    unsigned long long generation_ = 0;  // of the newest run started
    bool running_ = false;
    // A run's results, handed from its thread to the window's under the lock.
    std::mutex handOver_;
    std::shared_ptr<const LiveResults> done_;
    unsigned long long doneGeneration_ = 0;
};

}  // namespace px
