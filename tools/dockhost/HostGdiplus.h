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

#include <string>

namespace dockhost {

// Saves any GDI+ image as PNG with GDI+'s own encoder.
bool SaveImageAsPng(Gdiplus::GpImage* image, const std::wstring& path);

}  // namespace dockhost
