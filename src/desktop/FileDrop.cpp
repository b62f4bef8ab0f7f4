#include "desktop/FileDrop.h"

#include <utility>

#include "desktop/DesktopSystem.h"
#include "desktop/SpecialFolders.h"
#include "platform/Text.h"
#include "platform/UserMessages.h"

namespace korimbo {

namespace {

// The record's progress titles; the shell shows them only with
// FOF_SIMPLEPROGRESS, which is not asked for.
const wchar_t* ProgressTitle(ShellOperationKind kind) {
    switch (kind) {
        case ShellOperationKind::Move:
            return L"Dateien verschieben";
        case ShellOperationKind::Copy:
            return L"Dateien kopieren";
        case ShellOperationKind::Delete:
            return L"Dateien l\u00F6schen";
        case ShellOperationKind::Rename:
            return L"Dateien umbenennen";
    }
    return L"";
}

// The shell reads source and target as lists of names, each ended by a NUL,
// the list ended by an empty name.
void AppendListEntry(std::wstring& list, const std::wstring& name) {
    list += name;
    list.push_back(L'\0');
}

}  // namespace

std::vector<std::string>& PendingDrops() {
    static std::vector<std::string> pending;
    return pending;
}

bool ShellFileOperation(const std::vector<std::string>& names, const std::wstring& destination,
                        ShellOperationKind kind) {
    // An empty target would be taken as the host's current folder.
    if (destination.empty() && kind != ShellOperationKind::Delete) return false;

    std::wstring from;
    for (const std::string& name : names) AppendListEntry(from, NarrowToWide(name));
    from.push_back(L'\0');
    std::wstring to;
    AppendListEntry(to, destination);
    to.push_back(L'\0');

    SHFILEOPSTRUCTW operation{};
    operation.hwnd = nullptr;
    operation.wFunc = static_cast<UINT>(kind);
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_ALLOWUNDO;
    operation.lpszProgressTitle = ProgressTitle(kind);
    return System().FileOperation(operation) == 0;
}

bool HandleDropFile(DockletId, int32_t index, int32_t count, const char* path) {
    std::vector<std::string>& pending = PendingDrops();
    // Names left from a drop that never ended do not join this one.
    if (index == 0) pending.clear();
    // An empty name would end the shell's list early and hide the rest.
    if (path && *path) pending.emplace_back(path);
    if (static_cast<int64_t>(index) < static_cast<int64_t>(count) - 1) return true;

    // The shell's operation runs a nested message loop in which the host may
    // deliver another drop: that one starts its own list instead of changing
    // the names in flight.
    const std::vector<std::string> names = std::exchange(pending, {});
    if (names.empty()) return true;

    const std::wstring desktop = GetSpecialFolderPathWide(CSIDL_DESKTOP);
    const ShellOperationKind kind = ControlKeyHeld() ? ShellOperationKind::Copy : ShellOperationKind::Move;
    if (!ShellFileOperation(names, desktop, kind)) ShowMessage("File could not be moved/copied.");
    return true;
}

}  // namespace korimbo
