#pragma once
// A command that may run for seconds (a solve over a large mesh): while it
// runs the application takes no user input except Esc, which asks the
// command to stop, and clicks on one allowed widget (a Cancel button). The
// command's progress callback lets pending events through now and then, so
// the bar repaints and Esc arrives.
//
// Typical use, inside a handler:
//
//     runLongCommand(services, window, [&](LongCommand& lc) {
//         Solve(..., lc.progress(bar), lc.options());
//     });
//
// A stopped solve throws Cancelled; runCommand then shows "Cancelled" in the
// window's status bar instead of an error message.
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <utility>

#include "analysis/section_steps.h"
#include "common/ui/platform.h"

class QMouseEvent;
class QProgressBar;
class QWidget;

namespace px {

class LongCommand : public QObject {
    Q_OBJECT
public:
    // window: the window the command belongs to (its status bar's last
    // message is cleared); allowed: a widget that still takes clicks while
    // the command runs (none when null).
    explicit LongCommand(QWidget* window, QWidget* allowed = nullptr);
    ~LongCommand() override;
    LongCommand(const LongCommand&) = delete;
    LongCommand& operator=(const LongCommand&) = delete;

    // The command that is running now, or null. Only one runs at a time;
    // every command handler refuses to start while one is active.
    static LongCommand* current();
    static bool active() { return current() != nullptr; }

    // Asks the command to stop. Esc does this; the allowed widget's handler
    // calls LongCommand::current()->cancel().
    void cancel() { cancel_.store(true); }
    bool cancelled() const { return cancel_.load(); }
    // `base` with this command's stop flag.
    SolveOptions options(SolveOptions base = {}) const;

    // Lets pending events through, at most every kPumpIntervalMs.
    void pump();
    // A progress callback: shows the value on `bar` (if any) and pumps.
    Progress progress(QProgressBar* bar);

    static constexpr int kPumpIntervalMs = 40;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isAllowed(QObject* watched) const;
    bool mouseMayPass(QObject* watched, const QMouseEvent& e);

    std::atomic<bool> cancel_{false};
    QPointer<QWidget> allowed_;
    QElapsedTimer sincePump_;
    LongCommand* previous_ = nullptr;
    bool holding_ = false;  // the allowed widget took the press now held
};

// Runs `work` on a thread of its own while the calling (window) thread goes
// on handling events, as the running long command lets them through, and
// returns when it ends; its exception is rethrown here. `work` must not
// touch a widget: it computes and paints into copies that the caller shows.
void RunOffThread(const std::function<void()>& work);

// Runs f(LongCommand&) as a command (see runCommand). Refused, doing
// nothing and returning false, while another long command runs.
template <class F>
bool runLongCommand(PlatformServices& services, QWidget* window, F&& f, QWidget* allowed = nullptr) {
    if (LongCommand::active()) return false;
    // The command ends (its input block lifted) before an error is shown.
    return runCommand(services, window, [&] {
        LongCommand lc(window, allowed);
        std::forward<F>(f)(lc);
    });
}

}  // namespace px
