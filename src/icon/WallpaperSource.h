// Where the current wallpaper is and how big its file is: the cheap check
// that runs every minute for every docklet.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace korimbo {

// The current user's "Control Panel\Desktop" value "Wallpaper", as stored
// (an expandable string is not expanded). The key is opened for reading
// only and never created; an absent key or value reads as the empty text.
// A value of another type raises Failure.
std::wstring ReadWallpaperPath();

// The same, below another user root (tests use a scratch key).
std::wstring ReadWallpaperPathUnder(HKEY userRoot);

// The low 32 bits of the size of the file the path names; 0 when there is
// none (or the path holds wildcards, which name no single file).
uint32_t GetFileSizeLow(const std::wstring& path);

}  // namespace korimbo
