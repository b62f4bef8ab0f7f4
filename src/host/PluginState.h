// What the plug-in keeps from Zeph_Initialization until it is unloaded.
#pragma once

#include <string>

#include "host/HostInterface.h"

namespace korimbo {

// The pictures of the asset folder "<base folder>Korimbo\".
struct AssetPaths {
    std::wstring DefaultIconFile;        // the default and fallback icon
    std::wstring WallpaperSnapshotFile;  // written by the snapshot refresh
    std::wstring TaskbarOverlayFile;
    std::wstring DockOverlayFile;
    std::wstring NotUsedImageFile;  // the dialog's picture while the wallpaper is the icon
};

// Remembers the host's table; until then Host() raises a Failure.
void AttachHost(void* table) noexcept;
bool HostAttached() noexcept;
HostInterface Host();

void SetAssetPaths(AssetPaths paths);
const AssetPaths& Assets() noexcept;

}  // namespace korimbo
