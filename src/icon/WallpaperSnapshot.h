// The wallpaper snapshot: a PNG copy of the current wallpaper, 500 pixels on
// its longer side, remade when the wallpaper's path or size changes.
#pragma once

#include <string>

#include "host/HostInterface.h"
#include "picture/PictureConvert.h"

namespace korimbo {

// Remakes the snapshot when the wallpaper's path or file size differs from
// what the docklet's record says it was made from; then records them, saves
// the settings and asks the host to redraw. Raises Failure when the
// wallpaper cannot be read or the snapshot cannot be written; the record,
// the stored settings and the old snapshot are then untouched.
void RefreshWallpaperSnapshot(DockletId id);

// Slot 308: the refresh timer "Korimbo_refresh" refreshes; any other name
// does nothing. Answers true.
bool HandleTimer(DockletId id, const char* name);

// Loads `wallpaper`, scales it to the snapshot's size and writes it as a PNG
// over `snapshotFile`. Raises Failure; `snapshotFile` is then unchanged.
void WriteWallpaperSnapshot(const std::wstring& wallpaper, const std::wstring& snapshotFile,
                            const PngOptions& options = {});

}  // namespace korimbo
