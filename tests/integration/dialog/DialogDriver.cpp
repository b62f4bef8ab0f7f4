#include "DialogDriver.h"

#include <exception>

#include "DialogWindows.h"

namespace korimbo::test {

namespace {
DialogDriver* g_running = nullptr;  // thread timers carry no context
constexpr UINT kTickMs = 25;
}  // namespace

DialogDriver& DialogDriver::Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

void DialogDriver::RunDuring(const std::function<void()>& action, DWORD patienceMs) {
    patienceMs_ = patienceMs;
    next_ = 0;
    problem_.clear();
    stepStarted_ = ::GetTickCount();
    g_running = this;
    timer_ = ::SetTimer(nullptr, 0, kTickMs, &DialogDriver::OnTick);
    try {
        action();
    } catch (...) {
        ::KillTimer(nullptr, timer_);
        g_running = nullptr;
        throw;
    }
    ::KillTimer(nullptr, timer_);
    g_running = nullptr;
    if (problem_.empty() && next_ < steps_.size())
        problem_ = "the dialog closed before step " + std::to_string(next_ + 1) + " ran";
}

void CALLBACK DialogDriver::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_running) g_running->Tick();
}

void DialogDriver::Tick() {
    // A step may itself end up in a nested loop; ticks wait for it.
    if (busy_ || !problem_.empty() || next_ >= steps_.size()) return;
    busy_ = true;
    bool done = false;
    try {
        done = steps_[next_]();
    } catch (const std::exception& failure) {
        busy_ = false;
        GiveUp("step " + std::to_string(next_ + 1) + " raised: " + failure.what());
        return;
    }
    busy_ = false;
    if (done) {
        ++next_;
        stepStarted_ = ::GetTickCount();
    } else if (::GetTickCount() - stepStarted_ > patienceMs_) {
        GiveUp("step " + std::to_string(next_ + 1) + " was still waiting after " + std::to_string(patienceMs_) +
               " ms");
    }
}

void DialogDriver::GiveUp(const std::string& why) {
    problem_ = why;
    CloseEveryDialogWindow();
}

}  // namespace korimbo::test
