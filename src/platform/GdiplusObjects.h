// Owners for GDI+ flat-API objects. GDI+ itself is started by the host.
#pragma once

#include "platform/GdiplusApi.h"
#include "platform/ScopedWin.h"

namespace korimbo {

struct GpImageTraits {
    using Type = Gdiplus::GpImage*;
    static Type Invalid() { return nullptr; }
    static void Release(Type image) { Gdiplus::DllExports::GdipDisposeImage(image); }
};
struct GpGraphicsTraits {
    using Type = Gdiplus::GpGraphics*;
    static Type Invalid() { return nullptr; }
    static void Release(Type graphics) { Gdiplus::DllExports::GdipDeleteGraphics(graphics); }
};

using UniqueGpImage = UniqueResource<GpImageTraits>;
using UniqueGpGraphics = UniqueResource<GpGraphicsTraits>;

}  // namespace korimbo
