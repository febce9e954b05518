#include "common/ui/long_command.h"

#include <QApplication>
#include <QEventLoop>
#include <exception>
#include <thread>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QWindow>

namespace px {

namespace {
LongCommand* g_current = nullptr;
}  // namespace

LongCommand::LongCommand(QWidget* window, QWidget* allowed)
    : allowed_(allowed), previous_(g_current) {
    g_current = this;
    if (auto* main = qobject_cast<QMainWindow*>(window ? window->window() : nullptr)) {
        main->statusBar()->clearMessage();  // a "Cancelled" of the last command
    }
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    QCoreApplication::instance()->installEventFilter(this);
    sincePump_.start();
}

LongCommand::~LongCommand() {
    QCoreApplication::instance()->removeEventFilter(this);
    QGuiApplication::restoreOverrideCursor();
    g_current = previous_;
}

LongCommand* LongCommand::current() { return g_current; }

void RunOffThread(const std::function<void()>& work) {
    QEventLoop loop;
    std::exception_ptr error;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        // Queued: it reaches the loop once it runs, however soon this ends.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    if (error) std::rethrow_exception(error);
}

SolveOptions LongCommand::options(SolveOptions base) const {
    base.cancel = &cancel_;
    return base;
}

void LongCommand::pump() {
    if (sincePump_.elapsed() < kPumpIntervalMs) return;
    QCoreApplication::processEvents();
    sincePump_.restart();
}

Progress LongCommand::progress(QProgressBar* bar) {
    QPointer<QProgressBar> target(bar);
    return [this, target](int v) {
        if (target) target->setValue(v);
        pump();
    };
}

bool LongCommand::isAllowed(QObject* watched) const {
    if (!allowed_) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    return w && (w == allowed_ || allowed_->isAncestorOf(w));
}

// The window system hands a click to the top-level window first, which
// passes it on to the widget under the pointer (or to the one that took the
// press); the application's filters see it at both. The window lets it
// through when the widget it goes to is the allowed one.
bool LongCommand::mouseMayPass(QObject* watched, const QMouseEvent& e) {
    if (!watched->isWidgetType()) {
        if (!watched->isWindowType()) return false;
        QWidget* under = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->windowHandle() != watched) continue;
            under = top->childAt(e.position().toPoint());
            if (!under) under = top;
            break;
        }
        const bool allowed = isAllowed(under);
        switch (e.type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                holding_ = allowed;
                return allowed;
            case QEvent::MouseButtonRelease: {
                const bool held = holding_;
                if (e.buttons() == Qt::NoButton) holding_ = false;
                return held || allowed;
            }
            default:
                return holding_ || allowed;
        }
    }
    return isAllowed(watched);
}

bool LongCommand::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) cancel();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return !mouseMayPass(watched, *static_cast<QMouseEvent*>(event));
        case QEvent::Close:
            event->ignore();  // the window stays open
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
            return true;
        default: return false;
    }
}

}  // namespace px
