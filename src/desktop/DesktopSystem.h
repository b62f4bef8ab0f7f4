// The Windows calls behind the desktop actions, behind one small interface so
// that tests can record the exact key events, launches and shell operations.
#pragma once

#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shlobj.h>

namespace korimbo {

class DesktopSystem {
public:
    virtual ~DesktopSystem() = default;

    virtual SHORT KeyState(int virtualKey) = 0;
    virtual UINT MapVirtualKey(UINT code, UINT mapType) = 0;
    virtual void KeyEvent(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo) = 0;
    virtual HINSTANCE ShellExecute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                                   const wchar_t* folder, int show) = 0;
    // May run a nested message loop (progress and confirmation windows).
    virtual int FileOperation(SHFILEOPSTRUCTW& operation) = 0;
    // On success the caller owns *list and frees it through the shell's allocator.
    virtual HRESULT SpecialFolderLocation(int csidl, LPITEMIDLIST* list) = 0;
    // `path` holds MAX_PATH characters.
    virtual BOOL PathFromItemList(LPCITEMIDLIST list, wchar_t* path) = 0;
};

// The real calls, unless a test has put a fake in place.
DesktopSystem& System();

// Puts `fake` in place of the real calls; null restores them. The caller
// keeps ownership.
void SetDesktopSystemForTesting(DesktopSystem* fake);

// True when the Control key (virtual key 0x11) is down for the message being
// handled: the high bit of the thread's key state.
bool ControlKeyHeld();

}  // namespace korimbo
