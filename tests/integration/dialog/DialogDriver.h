// Drives a modal dialog from inside its own message loop: a thread timer
// runs the steps one after the other while the host is blocked in the
// plug-in's modal loop (or in any loop nested in it).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace korimbo::test {

class DialogDriver {
public:
    // A step answers true when it is done, false to be asked again at the
    // next tick (waiting for a window to appear, for instance).
    using Step = std::function<bool()>;

    DialogDriver& Then(Step step);

    // Runs `action` (the host call that opens the dialog) with the steps
    // ticking. A step that stays undone for `patienceMs` fails the run, and
    // the driver then closes what it can so that the action returns.
    void RunDuring(const std::function<void()>& action, DWORD patienceMs = 15000);

    bool AllStepsDone() const { return next_ == steps_.size() && problem_.empty(); }
    const std::string& Problem() const { return problem_; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    void GiveUp(const std::string& why);

    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD stepStarted_ = 0;
    DWORD patienceMs_ = 0;
    bool busy_ = false;
    std::string problem_;
    UINT_PTR timer_ = 0;
};

}  // namespace korimbo::test
