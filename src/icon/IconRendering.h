// Draws the docklet's picture for the host: the custom icon or a miniature
// desktop made from the wallpaper snapshot and the overlays.
#pragma once

#include "host/HostInterface.h"
#include "platform/GdiplusApi.h"

namespace korimbo {

// Sets the label from the caption and puts the docklet's picture into
// *bitmap, which the host owns from then on: mode 0 the custom icon (the
// default icon when the file is missing), mode 1 the miniature desktop, any
// other mode nothing. Answers true, also when GDI+ could not load or make a
// picture: in mode 1 an icon rectangle of zero or less width or height, or
// one too large for memory, leaves *bitmap as it was. After a failure it tells the user, resets the docklet to
// mode 0 with the default icon, saves that and answers false.
bool HandleDrawIcon(DockletId id, Gdiplus::GpBitmap** bitmap);

}  // namespace korimbo
