#include "icon/DetachedFileBitmap.h"

#include <new>
#include <vector>

#include "icon/DecodedPictureCache.h"
#include "icon/PictureBytes.h"
#include "icon/PictureLoader.h"

namespace korimbo {

namespace {

using namespace Gdiplus::DllExports;

// A bitmap with pixel memory of its own, holding the decoded picture's pixels
// converted to 32 bpp ARGB, and its resolution.
UniqueGpImage CopyPixels(Gdiplus::GpImage* source) {
    UniqueGpImage copy;
    if (!IsRasterPicture(source)) return copy;
    UINT width = 0, height = 0;
    GdipGetImageWidth(source, &width);
    GdipGetImageHeight(source, &height);
    if (width == 0 || height == 0 || static_cast<uint64_t>(width) * height > kMaxPicturePixels) return copy;

    Gdiplus::GpBitmap* target = nullptr;
    if (GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, PixelFormat32bppARGB,
                                  nullptr, &target) != Gdiplus::Ok)
        return copy;
    copy.Reset(target);

    const Gdiplus::GpRect whole(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData into{};
    if (GdipBitmapLockBits(target, &whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &into) !=
        Gdiplus::Ok) {
        copy.Reset();
        return copy;
    }
    // The source is read straight into the copy's pixel memory.
    Gdiplus::BitmapData from = into;
    auto* sourceBitmap = static_cast<Gdiplus::GpBitmap*>(source);
    const bool copied =
        GdipBitmapLockBits(sourceBitmap, &whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                           PixelFormat32bppARGB, &from) == Gdiplus::Ok;
    if (copied) GdipBitmapUnlockBits(sourceBitmap, &from);
    GdipBitmapUnlockBits(target, &into);
    if (!copied) {
        copy.Reset();
        return copy;
    }

    Gdiplus::REAL dpiX = 0, dpiY = 0;
    if (GdipGetImageHorizontalResolution(source, &dpiX) == Gdiplus::Ok &&
        GdipGetImageVerticalResolution(source, &dpiY) == Gdiplus::Ok && dpiX > 0 && dpiY > 0)
        GdipBitmapSetResolution(target, dpiX, dpiY);
    return copy;
}

UniqueGpImage DetachedBitmap(const std::wstring& path) {
    // Usually the pixels are at hand already, decoded from the same bytes.
    if (const CachedPicture cached = LoadCachedPicture(path)) return CopyPixels(cached.bitmap.Get());
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, kMaxIconFileBytes, bytes)) return {};
    UniqueGpImage decoded = DecodePictureBytes(bytes);
    if (!decoded) return {};
    return CopyPixels(decoded.Get());
}

}  // namespace

UniqueGpImage NewDetachedBitmapFromFile(const std::wstring& path) noexcept {
    try {
        return DetachedBitmap(path);
    } catch (const std::bad_alloc&) {
        // No memory for the copy: no picture, as when GDI+ cannot load one.
        return {};
    }
}

}  // namespace korimbo
