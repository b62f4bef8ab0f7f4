// Records what the desktop actions ask of Windows: key events, launches and
// shell file operations, with the operation's lists copied byte for byte.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desktop/DesktopSystem.h"
#include "platform/UserMessages.h"

namespace korimbo::test {

struct KeyEventRecord {
    BYTE virtualKey;
    BYTE scanCode;
    DWORD flags;
    ULONG_PTR extraInfo;
    bool operator==(const KeyEventRecord&) const = default;
};

struct LaunchRecord {
    HWND owner = nullptr;
    std::wstring verb, file, parameters;
    bool folderGiven = false;
    int show = 0;
};

struct FileOperationRecord {
    HWND owner = nullptr;
    UINT function = 0;
    std::wstring from;  // up to and including the NUL that ends the list
    std::wstring to;
    FILEOP_FLAGS flags = 0;
    std::wstring title;
    bool titleGiven = false;
};

// Installs itself as the desktop system and as the message sink for its life.
class FakeDesktopSystem final : public DesktopSystem {
public:
    FakeDesktopSystem();
    ~FakeDesktopSystem() override;
    FakeDesktopSystem(const FakeDesktopSystem&) = delete;
    FakeDesktopSystem& operator=(const FakeDesktopSystem&) = delete;

    // What the fake answers.
    bool controlHeld = false;
    std::optional<SHORT> controlState;  // the exact state to report, when set
    int fileOperationResult = 0;
    std::function<void()> duringFileOperation;  // runs inside the shell's call, as its nested loop would
    std::function<void()> duringLaunch;
    // The desktop path the shell names; nullopt: the real shell answers.
    std::optional<std::wstring> folderPath;
    bool folderLocationFails = false;

    // What was asked.
    std::vector<int> keyStateQueries;
    std::vector<UINT> mapTypes;
    std::vector<KeyEventRecord> keyEvents;
    std::vector<LaunchRecord> launches;
    std::vector<FileOperationRecord> operations;
    std::vector<std::string> messages;

    // The scan code the fake maps a virtual key to.
    static BYTE ScanCodeOf(UINT virtualKey) { return static_cast<BYTE>(0x40 + (virtualKey & 0x3F)); }

    SHORT KeyState(int virtualKey) override;
    UINT MapVirtualKey(UINT code, UINT mapType) override;
    void KeyEvent(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo) override;
    HINSTANCE ShellExecute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                           const wchar_t* folder, int show) override;
    int FileOperation(SHFILEOPSTRUCTW& operation) override;
    HRESULT SpecialFolderLocation(int csidl, LPITEMIDLIST* list) override;
    BOOL PathFromItemList(LPCITEMIDLIST list, wchar_t* path) override;
};

// A list of names as the shell reads it: each name, a NUL, one more NUL.
std::wstring DoubleNulList(const std::vector<std::wstring>& names);

}  // namespace korimbo::test
