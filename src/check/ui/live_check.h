#pragma once
// The live check's runs: each change of the inputs (re)starts a pause of
// kPauseMs; when it ends, a run of RunLive starts on a thread of its own. A
// newer run cancels the one in flight, and only the newest run's results
// are delivered, on the window's thread. The window never waits for a run:
// a cancelled run ends on its own thread, and its results are dropped there.
#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "check/live_run.h"

namespace px {

class LiveRunner : public QObject {
    Q_OBJECT
public:
    static constexpr int kPauseMs = 150;
    // How often the window looks for a finished run.
    static constexpr int kPollMs = 5;

    explicit LiveRunner(QObject* parent);
    // Cancels every run still going and lets each end: the one place that
    // waits, when the window goes.
    ~LiveRunner() override;

    // The inputs changed: the pause starts again, and `read` takes the
    // inputs when it ends.
    void schedule(std::function<LiveInputs()> read);
    // Cancels the pause and the run in flight; nothing is delivered.
    void stop();
    // A pause or a run is pending.
    bool pending() const { return pause_.isActive() || running_; }
    // Threads of runs not yet ended, the newest and the cancelled ones.
    int threads() const { return static_cast<int>(runs_.size()); }

    // Called on a run's thread once it has its results, before it hands them
    // over (tests hold a run there). Taken by each run as it starts.
    using RunHook = std::function<void(unsigned long long run)>;
    void setRunHook(RunHook hook) { hook_ = std::move(hook); }

signals:
    void finished(std::shared_ptr<const LiveResults> results);

private:
    struct Run;
    void start();
    void collect();
    void cancelCurrent();

    QTimer pause_, poll_;
    std::function<LiveInputs()> read_;
    RunHook hook_;
    struct Thread {
        std::thread thread;
        std::shared_ptr<Run> run;
    };
    std::vector<Thread> runs_;     // oldest first; the last may be current_
    std::shared_ptr<Run> current_;  // the run whose results are awaited
    unsigned long long generation_ = 0;  // of the newest run started
    bool running_ = false;
};

}  // namespace px
