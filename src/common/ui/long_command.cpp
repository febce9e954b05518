#include "common/ui/long_command.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>

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

bool LongCommand::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) cancel();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return !isAllowed(watched);
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
