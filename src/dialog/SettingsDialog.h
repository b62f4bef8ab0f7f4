// The settings dialog, one for all docklets of the plug-in.
#pragma once

#include "host/HostInterface.h"

namespace korimbo {

void CreateFormSettings();
void DestroyFormSettings() noexcept;
bool HandleConfigure(DockletId id);

}  // namespace korimbo
