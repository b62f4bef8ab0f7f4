#pragma once

#include "host/HostInterface.h"

namespace korimbo {

// Shows the desktop (Windows+D), or with Control held opens the desktop
// folder; then refreshes the wallpaper snapshot.
bool HandleClick(DockletId id);

}  // namespace korimbo
