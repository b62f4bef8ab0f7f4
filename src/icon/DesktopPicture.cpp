#include "icon/DesktopPicture.h"

#include <limits>

#include "icon/DecodedPictureCache.h"
#include "platform/GdiplusObjects.h"

namespace korimbo {

namespace {

using namespace Gdiplus::DllExports;

// The picture from the cache of decoded pictures; what the cache cannot hold
// (a metafile, a very large file) is loaded from the file as it is.
CachedPicture LoadImage(const std::wstring& path) {
    CachedPicture picture = LoadCachedPicture(path);
    if (!picture) GdipLoadImageFromFile(path.c_str(), picture.bitmap.Receive());
    return picture;
}

CachedPicture LoadBitmap(const std::wstring& path) {
    CachedPicture picture = LoadCachedPicture(path);
    if (!picture) {
        Gdiplus::GpBitmap* bitmap = nullptr;
        GdipCreateBitmapFromFile(path.c_str(), &bitmap);
        picture.bitmap.Reset(bitmap);
    }
    return picture;
}

void DrawInto(Gdiplus::GpGraphics* graphics, const CachedPicture& image, int32_t x, int32_t y, int32_t width,
              int32_t height) {
    if (!image) return;
    GdipDrawImageRect(graphics, image.bitmap.Get(), static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                      static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height));
}

// The bitmap, or null when GDI+ cannot make one of that size. The row stride
// 4 x width is checked before it is formed.
Gdiplus::GpBitmap* NewCanvas(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > std::numeric_limits<INT>::max() / 4) return nullptr;
    Gdiplus::GpBitmap* canvas = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 4 * width, PixelFormat32bppARGB, nullptr, &canvas) != Gdiplus::Ok)
        return nullptr;
    return canvas;
}

}  // namespace

void ComposeDesktopPicture(Gdiplus::GpBitmap** handle, int32_t width, int32_t height,
                           const DesktopPictureSources& sources) {
    Gdiplus::GpBitmap* canvas = NewCanvas(width, height);
    if (!canvas) return;
    // From here on the bitmap is the caller's, whatever happens while drawing.
    *handle = canvas;

    UniqueGpGraphics graphics;
    GdipGetImageGraphicsContext(canvas, graphics.Receive());
    if (!graphics) return;

    const CachedPicture background = LoadImage(sources.background);
    const DesktopBand band = ComputeDesktopBand(width, CurrentDesktopSize());
    GdipSetInterpolationMode(graphics.Get(), Gdiplus::InterpolationModeHighQuality);
    DrawInto(graphics.Get(), background, 0, band.top, width, band.height);

    if (sources.overlays) {
        const CachedPicture taskbar = LoadBitmap(sources.taskbar);
        const CachedPicture dock = LoadBitmap(sources.dock);
        DrawInto(graphics.Get(), taskbar, 0, band.top, width, band.taskbarHeight);
        DrawInto(graphics.Get(), dock, 0, band.dockTop, width, band.dockHeight);
    }
}

}  // namespace korimbo
