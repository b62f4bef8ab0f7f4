// Draws the docklet's picture for the host: the custom icon or a miniature
// desktop made from the wallpaper snapshot and the overlays.
#pragma once

#include "platform/GdiplusApi.h"

#include "host/HostInterface.h"

namespace korimbo {

bool HandleDrawIcon(DockletId id, Gdiplus::GpBitmap** bitmap);

}  // namespace korimbo
