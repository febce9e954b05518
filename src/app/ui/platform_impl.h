#pragma once
#include <exception>
#include <new>
#include <string>

#include "input/error.h"

namespace px {

void reportError(PlatformServices& services, QWidget* parent, const std::string& message);

template <class F>
bool runCommand(PlatformServices& services, QWidget* parent, F&& f) {
    try {
        f();
        return true;
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
