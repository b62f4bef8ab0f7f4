// The wallpaper snapshot: a PNG copy of the current wallpaper, 500 pixels on
// its longer side, remade when the wallpaper's path or size changes.
#pragma once

#include "host/HostInterface.h"

namespace korimbo {

void RefreshWallpaperSnapshot(DockletId id);
bool HandleTimer(DockletId id, const char* name);

}  // namespace korimbo
