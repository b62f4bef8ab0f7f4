// The miniature desktop of icon mode 1: the wallpaper snapshot squeezed into
// a desktop-shaped band across the icon, optionally with a dummy taskbar at
// the band's top and a dummy dock on its bottom.
#pragma once

#include <cstdint>
#include <string>

#include "icon/IconGeometry.h"
#include "platform/GdiplusApi.h"

namespace korimbo {

struct DesktopPictureSources {
    std::wstring background;  // the snapshot, or the default icon before there is one
    std::wstring taskbar;
    std::wstring dock;
    bool overlays = false;
};

// Creates a width x height 32 bpp ARGB bitmap into *handle and draws on it.
// A picture that cannot be loaded is not drawn. When the bitmap cannot be
// made (a size of zero or less, or too large) *handle is left as it was and
// nothing else is done. GDI+ status results raise nothing.
// The band follows CurrentDesktopSize().
void ComposeDesktopPicture(Gdiplus::GpBitmap** handle, int32_t width, int32_t height,
                           const DesktopPictureSources& sources);

}  // namespace korimbo
