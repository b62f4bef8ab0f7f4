// Running a top-level window modally on the calling thread, as a dialog
// would run, without being a dialog of the system's own class.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace korimbo {

// Disables the thread's other visible, enabled top-level windows for its
// lifetime, and enables them again when it ends.
class OtherThreadWindowsDisabled {
public:
    explicit OtherThreadWindowsDisabled(HWND keep);
    ~OtherThreadWindowsDisabled();
    OtherThreadWindowsDisabled(const OtherThreadWindowsDisabled&) = delete;
    OtherThreadWindowsDisabled& operator=(const OtherThreadWindowsDisabled&) = delete;

private:
    std::vector<HWND> disabled_;
};

// Dispatches the thread's messages, with the dialog manager's keyboard
// handling (tab order, default and cancel buttons, accelerators) for
// `window`, until `finished` answers true, the window is gone, or WM_QUIT
// arrives; WM_QUIT is posted again for the loop outside.
void RunModalLoop(HWND window, const std::function<bool()>& finished);

}  // namespace korimbo
