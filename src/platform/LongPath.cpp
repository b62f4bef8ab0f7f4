#include "platform/LongPath.h"

#include <windows.h>

namespace korimbo {

namespace {

bool IsNormalisedAbsolute(const std::wstring& path) {
    if (path.find(L'/') != std::wstring::npos) return false;
    if (path.find(L"\\.\\") != std::wstring::npos || path.find(L"\\..\\") != std::wstring::npos) return false;
    if (path.ends_with(L"\\.") || path.ends_with(L"\\..")) return false;
    return true;
}

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path) {
    // Leave room for the 8.3 tail the API may add to a folder name.
    if (path.size() < MAX_PATH - 12 || !IsNormalisedAbsolute(path)) return path;
    if (path.starts_with(L"\\\\?\\")) return path;
    const bool drivePath = path.size() > 2 && path[1] == L':' && path[2] == L'\\';
    if (drivePath) return L"\\\\?\\" + path;
    if (path.starts_with(L"\\\\") && !path.starts_with(L"\\\\.\\")) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

}  // namespace korimbo
