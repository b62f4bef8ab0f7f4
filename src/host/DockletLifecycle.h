// The plug-in's start and stop, and the creation and destruction of docklets.
#pragma once

#include <cstdint>

#include "host/HostInterface.h"

namespace korimbo {

inline constexpr uint16_t kMagicId = 1376;
inline constexpr char kPluginName[] = "Korimbo";
inline constexpr char kRefreshTimerName[] = "Korimbo_refresh";
inline constexpr uint32_t kRefreshIntervalMs = 60000;

// Zeph_Initialization and Zeph_Finalization without their boundary.
bool InitializePlugin(void* table);
bool FinalizePlugin();

bool HandleCreate(DockletId id);
bool HandleDestroy(DockletId id);
bool HandleIgnored(uint32_t, uint32_t, uint32_t);

}  // namespace korimbo
