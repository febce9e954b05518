#pragma once
#include <exception>
#include <new>
#include <string>

#include "input/error.h"

namespace px {

void reportError(PlatformServices& services, QWidget* parent, const std::string& message);
// A command stopped by the user: "Cancelled" in the status bar of parent's
// main window; no message box.
void reportCancelled(QWidget* parent);

template <class F>
bool runCommand(PlatformServices& services, QWidget* parent, F&& f) {
    try {
        f();
        return true;
    } catch (const Cancelled&) {
        reportCancelled(parent);
    } catch (const std::bad_alloc&) {
        reportError(services, parent, "Out of memory");
    } catch (const std::exception& e) {
        reportError(services, parent, e.what());
    } catch (...) {
        reportError(services, parent, "Unexpected error");
    }
    return false;
}

}  // namespace px
