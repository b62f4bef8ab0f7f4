#include "desktop/ClickAction.h"

#include "icon/WallpaperSnapshot.h"

namespace korimbo {

bool HandleClick(DockletId id) {
    // Empty step: the key chord and the launch belong to the desktop actions.
    RefreshWallpaperSnapshot(id);
    return true;
}

}  // namespace korimbo
