#include "icon/WallpaperSource.h"

#include <windows.h>

#include <vector>

#include "platform/Failure.h"
#include "platform/LongPath.h"
#include "platform/ScopedWin.h"

namespace korimbo {

std::wstring ReadWallpaperPath() { return ReadWallpaperPathUnder(HKEY_CURRENT_USER); }

std::wstring ReadWallpaperPathUnder(HKEY userRoot) {
    UniqueRegKey key;
    const LSTATUS opened = ::RegOpenKeyExW(userRoot, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, key.Receive());
    if (opened == ERROR_FILE_NOT_FOUND) return {};
    if (opened != ERROR_SUCCESS) RaiseWin32Failure("RegOpenKeyExW", static_cast<DWORD>(opened));

    // The value may change between asking its size and reading it.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD type = 0;
        auto bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LSTATUS read = ::RegQueryValueExW(key.Get(), L"Wallpaper", nullptr, &type,
                                                reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        if (read == ERROR_FILE_NOT_FOUND) return {};
        if (read == ERROR_MORE_DATA) {
            buffer.resize(bytes / sizeof(wchar_t) + 2);
            continue;
        }
        if (read != ERROR_SUCCESS) RaiseWin32Failure("RegQueryValueExW", static_cast<DWORD>(read));
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw Failure("The wallpaper value is not text (registry type " + std::to_string(type) + ")");
        // A stored value need not end with a NUL; an odd last byte is dropped.
        std::wstring path(buffer.data(), bytes / sizeof(wchar_t));
        if (const size_t end = path.find(L'\0'); end != std::wstring::npos) path.resize(end);
        return path;
    }
}

uint32_t GetFileSizeLow(const std::wstring& path) {
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return 0;
    WIN32_FIND_DATAW found{};
    const UniqueFind search(::FindFirstFileW(ExtendedLengthPath(path).c_str(), &found));
    if (!search) return 0;
    return found.nFileSizeLow;
}

}  // namespace korimbo
