// GDI+ for the dock host emulator. MinGW's headers need objidl.h and the
// min/max names that NOMINMAX removes.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <vector>

namespace dockhost {

// Saves any GDI+ image as PNG with GDI+'s own encoder.
bool SaveImageAsPng(Gdiplus::GpImage* image, const std::wstring& path);

// The bitmap's pixels as 32bpp ARGB, top-down rows; empty for no bitmap.
std::vector<uint32_t> ReadArgbPixels(Gdiplus::GpBitmap* bitmap);

}  // namespace dockhost
