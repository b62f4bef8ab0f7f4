// The one place that includes GDI+. MinGW's GDI+ headers need objidl.h (cut
// by WIN32_LEAN_AND_MEAN) and the min/max macros (cut by NOMINMAX).
#pragma once

#include <windows.h>
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
