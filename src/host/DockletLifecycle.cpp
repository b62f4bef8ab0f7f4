#include "host/DockletLifecycle.h"

#include <windows.h>

#include <exception>

#include "dialog/SettingsDialog.h"
#include "host/HandlerSlots.h"
#include "host/PluginState.h"
#include "icon/WallpaperSnapshot.h"
#include "platform/Text.h"
#include "settings/DockletSettings.h"

namespace korimbo {

bool InitializePlugin(void* table) {
    AttachHost(table);
    const HostInterface host = Host();
    host.RegisterPluginName(kPluginName);
    PublishHandlers(host);
    host.HostSwitchA(0);
    host.HostSwitchC(1);
    host.HostSwitchB(1);

    // The base folder is asked anew for each path and ends with a separator.
    auto assetPath = [&](const char* name) { return NarrowToWide(host.GetBaseFolder() + "Korimbo\\" + name); };
    AssetPaths paths;
    paths.DefaultIconFile = assetPath("default.png");
    paths.WallpaperSnapshotFile = assetPath("wallpaper.png");
    paths.TaskbarOverlayFile = assetPath("taskbar.png");
    paths.DockOverlayFile = assetPath("dock.png");
    paths.NotUsedImageFile = assetPath("notused.png");
    SetAssetPaths(std::move(paths));

    CreateFormSettings();
    return true;
}

bool FinalizePlugin() {
    DestroyFormSettings();
    return true;
}

bool HandleCreate(DockletId id) {
    const HostInterface host = Host();
    // From here the host holds the record's address; HandleDestroy releases it.
    host.SetDockletData(id, NewDockletRecord());
    host.SetDockletLabel(id, kPluginName);
    LoadDockletSettings(id);
    // A wallpaper that cannot be read now must not cost the docklet its
    // timer: the refresh remembers nothing on failure, so the next minute
    // tries again, and the docklet itself was created all the same.
    try {
        RefreshWallpaperSnapshot(id);
    } catch (const std::exception& failure) {
        ::OutputDebugStringA(failure.what());
    }
    host.StartNamedTimer(id, kRefreshTimerName, kRefreshIntervalMs);
    return true;
}

bool HandleDestroy(DockletId id) {
    // The host keeps its copy of the address; it is not reset, so a second
    // destruction hands back an address that is no longer live.
    ReleaseDockletRecord(static_cast<TZephDockletSettings*>(Host().GetDockletData(id)));
    return true;
}

bool HandleIgnored(uint32_t, uint32_t, uint32_t) { return true; }

}  // namespace korimbo
