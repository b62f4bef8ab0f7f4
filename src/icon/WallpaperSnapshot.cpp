#include "icon/WallpaperSnapshot.h"

#include <cstring>

#include "host/DockletLifecycle.h"

namespace korimbo {

void RefreshWallpaperSnapshot(DockletId) {
    // Empty step: the snapshot is made by the icon production subsystem.
}

bool HandleTimer(DockletId id, const char* name) {
    if (name && std::strcmp(name, kRefreshTimerName) == 0) RefreshWallpaperSnapshot(id);
    return true;
}

}  // namespace korimbo
