#include "MessageBoxAnswerer.h"

#include <string>

#include "HostText.h"

namespace dockhost {

namespace {

CallLog* g_log = nullptr;

std::wstring TextOf(HWND window) {
    wchar_t text[2048] = {};
    ::GetWindowTextW(window, text, 2048);
    return text;
}

bool HasIconControl(HWND box) {
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        ::GetClassNameW(child, className, 32);
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        // Wine keeps the icon control visible but empty in a box without icon.
        if (std::wstring(className) == L"Static" && (style & SS_TYPEMASK) == SS_ICON &&
            ::IsWindowVisible(child) && ::SendMessageW(child, STM_GETICON, 0, 0) != 0)
            return true;
    }
    return false;
}

// Records the box and closes it with OK. Runs from the box's own message
// loop: Wine activates a message box before WM_INITDIALOG fills in its text.
void CALLBACK AnswerBox(HWND window, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(window, timer);
    if (g_log)
        g_log->Add("[box] MessageBox(caption=" + Quoted(WideToUtf8(TextOf(window))) +
                   ", text=" + Quoted(WideToUtf8(TextOf(::GetDlgItem(window, 0xFFFF)))) +
                   ", icon=" + (HasIconControl(window) ? "yes" : "no") + ") -> OK");
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

LRESULT CALLBACK OnCbtEvent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[32] = {};
        ::GetClassNameW(window, className, 32);
        // A message box is a dialog with its text in the static control 0xFFFF.
        HWND text = ::GetDlgItem(window, 0xFFFF);
        if (std::wstring(className) == L"#32770" && text && g_log &&
            ::GetPropW(window, L"dockhost.answered") == nullptr) {
            ::SetPropW(window, L"dockhost.answered", reinterpret_cast<HANDLE>(1));
            ::SetTimer(window, 1, 0, AnswerBox);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(CallLog& log) : previousLog_(g_log) {
    g_log = &log;
    hook_ = ::SetWindowsHookExW(WH_CBT, OnCbtEvent, nullptr, ::GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    if (hook_) ::UnhookWindowsHookEx(hook_);
    g_log = previousLog_;
}

}  // namespace dockhost
