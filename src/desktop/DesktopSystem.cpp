#include "desktop/DesktopSystem.h"

namespace korimbo {

namespace {

class WindowsDesktopSystem final : public DesktopSystem {
public:
    SHORT KeyState(int virtualKey) override { return ::GetKeyState(virtualKey); }
    UINT MapVirtualKey(UINT code, UINT mapType) override { return ::MapVirtualKeyA(code, mapType); }
    void KeyEvent(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo) override {
        ::keybd_event(virtualKey, scanCode, flags, extraInfo);
    }
    HINSTANCE ShellExecute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                           const wchar_t* folder, int show) override {
        return ::ShellExecuteW(owner, verb, file, parameters, folder, show);
    }
    int FileOperation(SHFILEOPSTRUCTW& operation) override { return ::SHFileOperationW(&operation); }
    HRESULT SpecialFolderLocation(int csidl, LPITEMIDLIST* list) override {
        return ::SHGetSpecialFolderLocation(nullptr, csidl, list);
    }
    BOOL PathFromItemList(LPCITEMIDLIST list, wchar_t* path) override {
        return ::SHGetPathFromIDListW(list, path);
    }
};

WindowsDesktopSystem& RealSystem() {
    static WindowsDesktopSystem real;
    return real;
}

DesktopSystem* g_fake = nullptr;

}  // namespace

DesktopSystem& System() { return g_fake ? *g_fake : RealSystem(); }

void SetDesktopSystemForTesting(DesktopSystem* fake) { g_fake = fake; }

bool ControlKeyHeld() {
    const auto state = static_cast<unsigned short>(System().KeyState(VK_CONTROL));
    return (state & 0x8000u) != 0;
}

}  // namespace korimbo
