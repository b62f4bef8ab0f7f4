#include "TestPictures.h"

#include <stdexcept>

#include "HostGdiplus.h"

namespace korimbo::test {

void WriteSolidPng(const std::wstring& path, int width, int height, uint32_t argb) {
    using namespace Gdiplus::DllExports;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Gdiplus::Ok)
        throw std::runtime_error("cannot make a test picture");
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) GdipBitmapSetPixel(bitmap, x, y, argb);
    const bool saved = dockhost::SaveImageAsPng(bitmap, path);
    GdipDisposeImage(bitmap);
    if (!saved) throw std::runtime_error("cannot save a test picture");
}

}  // namespace korimbo::test
