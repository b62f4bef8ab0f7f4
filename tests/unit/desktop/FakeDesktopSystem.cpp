#include "FakeDesktopSystem.h"

#include <cwchar>

namespace korimbo::test {

namespace {

// Copies a list ended by an empty name, both NULs of its end included.
std::wstring CopyList(const wchar_t* list) {
    if (!list) return {};
    size_t length = 0;
    while (!(list[length] == L'\0' && (length == 0 || list[length - 1] == L'\0'))) ++length;
    return std::wstring(list, length + 1);
}

}  // namespace

FakeDesktopSystem::FakeDesktopSystem() {
    SetDesktopSystemForTesting(this);
    SetMessageSinkForTesting([this](const std::string& text, MessageKind) { messages.push_back(text); });
}

FakeDesktopSystem::~FakeDesktopSystem() {
    SetMessageSinkForTesting({});
    SetDesktopSystemForTesting(nullptr);
}

SHORT FakeDesktopSystem::KeyState(int virtualKey) {
    keyStateQueries.push_back(virtualKey);
    if (virtualKey == VK_CONTROL && controlState) return *controlState;
    // Down and toggled, as GetKeyState reports a held key.
    return (virtualKey == VK_CONTROL && controlHeld) ? static_cast<SHORT>(0xFF81) : static_cast<SHORT>(0);
}

UINT FakeDesktopSystem::MapVirtualKey(UINT code, UINT mapType) {
    mapTypes.push_back(mapType);
    return ScanCodeOf(code);
}

void FakeDesktopSystem::KeyEvent(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo) {
    keyEvents.push_back({virtualKey, scanCode, flags, extraInfo});
}

HINSTANCE FakeDesktopSystem::ShellExecute(HWND owner, const wchar_t* verb, const wchar_t* file,
                                          const wchar_t* parameters, const wchar_t* folder, int show) {
    launches.push_back(
        {owner, verb ? verb : L"", file ? file : L"", parameters ? parameters : L"", folder != nullptr, show});
    if (duringLaunch) duringLaunch();
    return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(42));
}

int FakeDesktopSystem::FileOperation(SHFILEOPSTRUCTW& operation) {
    FileOperationRecord record;
    record.owner = operation.hwnd;
    record.function = operation.wFunc;
    record.from = CopyList(operation.pFrom);
    record.to = CopyList(operation.pTo);
    record.flags = operation.fFlags;
    record.titleGiven = operation.lpszProgressTitle != nullptr;
    if (operation.lpszProgressTitle) record.title = operation.lpszProgressTitle;
    operations.push_back(record);
    if (duringFileOperation) duringFileOperation();
    return fileOperationResult;
}

HRESULT FakeDesktopSystem::SpecialFolderLocation(int csidl, LPITEMIDLIST* list) {
    if (folderLocationFails) {
        // A failing shell may leave anything behind; it must not be freed.
        static SHITEMID notAList{};
        *list = reinterpret_cast<LPITEMIDLIST>(&notAList);
        return E_FAIL;
    }
    return ::SHGetSpecialFolderLocation(nullptr, csidl, list);
}

BOOL FakeDesktopSystem::PathFromItemList(LPCITEMIDLIST list, wchar_t* path) {
    if (!folderPath) return ::SHGetPathFromIDListW(list, path);
    if (folderPath->empty()) return FALSE;
    std::wcsncpy(path, folderPath->c_str(), MAX_PATH - 1);
    return TRUE;
}

std::wstring DoubleNulList(const std::vector<std::wstring>& names) {
    std::wstring list;
    for (const std::wstring& name : names) {
        list += name;
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

}  // namespace korimbo::test
