#include "icon/WallpaperSnapshot.h"

#include <cstring>

#include "host/DockletLifecycle.h"
#include "host/PluginState.h"
#include "icon/PictureLoader.h"
#include "icon/PictureScaling.h"
#include "icon/WallpaperSource.h"
#include "settings/DockletSettings.h"

namespace korimbo {

void WriteWallpaperSnapshot(const std::wstring& wallpaper, const std::wstring& snapshotFile,
                            const PngOptions& options) {
    PixelBitmap pixels;
    {
        const UniqueGpImage picture = LoadPicture(wallpaper);
        const PixelSize size = PictureSize(picture.Get());
        pixels = ScalePicture(picture.Get(), SnapshotSize(size.Width, size.Height));
    }
    // GDI+ keeps the picture's file open while the picture lives: it is gone
    // before the snapshot (which may be the wallpaper itself) is replaced.
    SaveBitmapAsPng(pixels, snapshotFile, options);
}

void RefreshWallpaperSnapshot(DockletId id) {
    // Nothing here runs a message loop, so the record stays live throughout.
    TZephDockletSettings& record = DockletRecord(id);
    const std::wstring path = ReadWallpaperPath();
    const auto size = static_cast<int32_t>(GetFileSizeLow(path));
    if (path == record.LastWallpaper && size == record.LastWallpaperFilesize) return;
    // Nothing is remembered until the snapshot is in place, so a failure here
    // leaves the record as it was and the next trigger tries again.
    WriteWallpaperSnapshot(path, Assets().WallpaperSnapshotFile);
    record.LastWallpaper = path;
    record.LastWallpaperFilesize = size;
    SaveDockletSettings(id);
    Host().RequestRedraw(id);
}

bool HandleTimer(DockletId id, const char* name) {
    if (name && std::strcmp(name, kRefreshTimerName) == 0) RefreshWallpaperSnapshot(id);
    return true;
}

}  // namespace korimbo
