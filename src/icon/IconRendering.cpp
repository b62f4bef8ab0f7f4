#include "icon/IconRendering.h"

#include <cstdint>

#include "host/PluginState.h"
#include "icon/DesktopPicture.h"
#include "icon/DetachedFileBitmap.h"
#include "platform/UserMessages.h"
#include "settings/DockletSettings.h"

namespace korimbo {

namespace {

constexpr char kDrawFailureText[] =
    "Korimbo: Error on Draw-Icon. Some settings will be reset to prevent further damage.";

// Tested on the wide path: a narrow copy would lose characters outside the
// code page and so call an existing file missing. A folder counts as missing.
bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Mode 0. A missing icon falls back to the default one, in the record only:
// it is saved with the record's next save.
void DrawCustomIcon(TZephDockletSettings& record, Gdiplus::GpBitmap** handle) {
    if (!IsExistingFile(record.Iconsource)) record.Iconsource = Assets().DefaultIconFile;
    UniqueGpImage icon = NewDetachedBitmapFromFile(record.Iconsource);
    if (icon) *handle = static_cast<Gdiplus::GpBitmap*>(icon.Detach());
}

// Width or height of the icon rectangle; one that does not fit counts as 0,
// for which no bitmap is made.
int32_t Extent(LONG from, LONG to) {
    const int64_t extent = static_cast<int64_t>(to) - from;
    return extent > INT32_MAX || extent < INT32_MIN ? 0 : static_cast<int32_t>(extent);
}

// Mode 1.
void DrawWallpaperIcon(const TZephDockletSettings& record, const RECT& iconRect, Gdiplus::GpBitmap** handle) {
    const AssetPaths& assets = Assets();
    DesktopPictureSources sources;
    sources.background =
        IsExistingFile(assets.WallpaperSnapshotFile) ? assets.WallpaperSnapshotFile : assets.DefaultIconFile;
    sources.taskbar = assets.TaskbarOverlayFile;
    sources.dock = assets.DockOverlayFile;
    sources.overlays = record.DummyOverlay;
    ComposeDesktopPicture(handle, Extent(iconRect.left, iconRect.right), Extent(iconRect.top, iconRect.bottom),
                          sources);
}

// Tells the user and puts the docklet back on the default icon, saved. The
// message box runs a message loop in which the host may destroy the docklet,
// so the record is looked up again afterwards, and a docklet without a live
// record has nothing to reset.
void ResetAfterDrawFailure(DockletId id) noexcept {
    try {
        ShowMessage(kDrawFailureText);
    } catch (...) {
        // The reset matters more than the message.
    }
    try {
        TZephDockletSettings& record = DockletRecord(id);
        record.Iconsource = Assets().DefaultIconFile;
        record.IconMode = kIconModeCustom;
        SaveDockletSettings(id);
    } catch (...) {
        // No record left to reset.
    }
}

}  // namespace

bool HandleDrawIcon(DockletId id, Gdiplus::GpBitmap** bitmap) {
    try {
        TZephDockletSettings& record = DockletRecord(id);
        Host().SetDockletLabel(id, record.Caption.c_str());
        const RECT iconRect = Host().GetIconRect(id);
        // Without an address for the bitmap there is nowhere to put one.
        if (!bitmap) return true;
        if (record.IconMode == kIconModeCustom) {
            DrawCustomIcon(record, bitmap);
        } else if (record.IconMode == kIconModeWallpaper) {
            DrawWallpaperIcon(record, iconRect, bitmap);
        }
        return true;
    } catch (...) {
        ResetAfterDrawFailure(id);
        return false;
    }
}

}  // namespace korimbo
