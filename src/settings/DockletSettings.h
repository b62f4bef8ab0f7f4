// Each docklet's settings: one record per docklet, kept for the plug-in by
// the host (SetDockletData / GetDockletData) and persisted through the host's
// per-docklet key/value storage.
#pragma once

#include <cstdint>
#include <string>

#include "host/HostInterface.h"

namespace korimbo {

struct TZephDockletSettings {
    std::wstring Iconsource;             // custom icon (a PNG) shown in icon mode 0
    std::wstring LastWallpaper;          // wallpaper the snapshot was made from
    int32_t LastWallpaperFilesize = 0;   // low 32 bits of its size then
    int32_t IconMode = 0;                // 0 custom icon, 1 wallpaper, else nothing drawn
    std::string Caption;                 // the label, narrow text
    bool DummyOverlay = true;            // mode 1: draw taskbar and dock overlays
};

inline constexpr int32_t kIconModeCustom = 0;
inline constexpr int32_t kIconModeWallpaper = 1;
inline constexpr char kDefaultCaption[] = "Show Desktop";

// Records are allocated and released here, and only addresses of live
// records are ever used: the host hands back whatever address it kept, also
// after the record was released.
TZephDockletSettings* NewDockletRecord();
void ReleaseDockletRecord(TZephDockletSettings* record) noexcept;
bool IsLiveDockletRecord(const void* record) noexcept;

// The docklet's record as the host hands it back; a Failure when the host
// knows no live record for the id.
TZephDockletSettings& DockletRecord(DockletId id);

// Fills every field of the docklet's record from the host's storage, with the
// defaults for values the host does not have.
void LoadDockletSettings(DockletId id);

// Writes the whole record and commits; answers the host's commit result.
int32_t SaveDockletSettings(DockletId id);

}  // namespace korimbo
