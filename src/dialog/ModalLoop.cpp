#include "dialog/ModalLoop.h"

namespace korimbo {

namespace {

struct DisableSearch {
    HWND keep;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DisableSearch*>(context);
    if (window != search->keep && ::IsWindowVisible(window) && ::IsWindowEnabled(window))
        search->found->push_back(window);
    return TRUE;
}

}  // namespace

OtherThreadWindowsDisabled::OtherThreadWindowsDisabled(HWND keep) {
    DisableSearch search{keep, &disabled_};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : disabled_) ::EnableWindow(window, FALSE);
}

OtherThreadWindowsDisabled::~OtherThreadWindowsDisabled() {
    for (HWND window : disabled_)
        if (::IsWindow(window)) ::EnableWindow(window, TRUE);
}

void RunModalLoop(HWND window, const std::function<bool()>& finished) {
    while (::IsWindow(window) && !finished()) {
        MSG message{};
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) return;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!::IsWindow(window) || !::IsDialogMessageW(window, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

}  // namespace korimbo
