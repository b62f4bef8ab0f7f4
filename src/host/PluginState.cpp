#include "host/PluginState.h"

#include <utility>

#include "platform/Failure.h"

namespace korimbo {

namespace {
void* g_table = nullptr;
AssetPaths g_assets;
}  // namespace

void AttachHost(void* table) noexcept { g_table = table; }

bool HostAttached() noexcept { return g_table != nullptr; }

HostInterface Host() {
    if (!g_table) throw Failure("The plug-in has not been initialized by its host");
    return HostInterface(g_table);
}

void SetAssetPaths(AssetPaths paths) { g_assets = std::move(paths); }

const AssetPaths& Assets() noexcept { return g_assets; }

}  // namespace korimbo
