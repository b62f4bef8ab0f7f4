#include "dialog/SettingsDialog.h"

#include "icon/WallpaperSnapshot.h"

namespace korimbo {

void CreateFormSettings() {
    // Empty step: the dialog belongs to the settings dialog subsystem.
}

void DestroyFormSettings() noexcept {}

bool HandleConfigure(DockletId id) {
    // Empty step: showing the dialog belongs to the settings dialog subsystem.
    RefreshWallpaperSnapshot(id);
    return true;
}

}  // namespace korimbo
