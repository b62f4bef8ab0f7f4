// Every entry point and handler the host calls runs through AtBoundary: no
// C++ exception may reach the host (the unwinder cannot cross its frames and
// the dock would die), and the host's x87 control word is left as it was.
#pragma once

#include <windows.h>

#include <exception>

#include "platform/FpuControl.h"

namespace korimbo {

// Runs work, which answers whether it succeeded; any failure answers false.
template <class Work>
bool AtBoundary(Work&& work) noexcept {
    FpuControlScope fpu;
    try {
        return work();
    } catch (const std::exception& failure) {
        ::OutputDebugStringA(failure.what());
        return false;
    } catch (...) {
        ::OutputDebugStringA("Korimbo: unknown failure");
        return false;
    }
}

}  // namespace korimbo
