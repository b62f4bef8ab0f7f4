#include "desktop/SpecialFolders.h"

#include "desktop/DesktopSystem.h"
#include "platform/ScopedWin.h"
#include "platform/Text.h"

namespace korimbo {

std::wstring GetSpecialFolderPathWide(int csidl) {
    // Only a list the shell reports as obtained goes to the owner: on failure
    // the out value may be anything, and must not reach the allocator.
    LPITEMIDLIST obtained = nullptr;
    if (FAILED(System().SpecialFolderLocation(csidl, &obtained)) || !obtained) return {};
    ShellItemList list;
    *list.Receive() = obtained;

    wchar_t path[MAX_PATH + 1] = {};
    if (!System().PathFromItemList(list.Get(), path)) return {};
    std::wstring text = TextInBuffer(path, MAX_PATH + 1);
    // Wine answers some virtual folders with a shell parsing name
    // ("::{clsid}\..."), which is no folder on disk.
    if (text.starts_with(L"::")) return {};
    return text;
}

std::string GetSpecialFolderPath(int csidl) { return WideToNarrow(GetSpecialFolderPathWide(csidl)); }

}  // namespace korimbo
