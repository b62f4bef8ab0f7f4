#include "icon/DecodedPictureCache.h"

#include <cstdint>
#include <map>
#include <new>
#include <vector>

#include "icon/PictureBytes.h"

namespace korimbo {

struct DecodedPixels {
    INT width = 0;
    INT height = 0;
    std::vector<uint32_t> argb;  // top-down, 32 bpp ARGB
    Gdiplus::REAL dpiX = 0;      // the file's resolution, 0 when it gives none
    Gdiplus::REAL dpiY = 0;
};

namespace {

using namespace Gdiplus::DllExports;

// Icons, overlays and the snapshot are small. Larger pictures are not kept
// (they go the uncached way), so that the cache never holds more than a few
// megabytes of a 32-bit host's memory.
constexpr int64_t kMaxCachedFileBytes = 4ll * 1024 * 1024;
constexpr uint64_t kMaxCachedPixels = 1024ull * 1024;
// The drawing reads four asset files and one custom icon; a few more allow
// for icons the user has switched between.
constexpr size_t kMaxCachedPictures = 8;

struct Entry {
    std::vector<uint8_t> bytes;
    std::shared_ptr<const DecodedPixels> pixels;
};

std::map<std::wstring, Entry>& Cache() {
    static std::map<std::wstring, Entry> cache;
    return cache;
}

std::shared_ptr<const DecodedPixels> Decode(const std::vector<uint8_t>& bytes) {
    const UniqueGpImage image = DecodePictureBytes(bytes);
    if (!IsRasterPicture(image.Get())) return nullptr;
    auto pixels = std::make_shared<DecodedPixels>();
    UINT width = 0, height = 0;
    GdipGetImageWidth(image.Get(), &width);
    GdipGetImageHeight(image.Get(), &height);
    if (width == 0 || height == 0 || static_cast<uint64_t>(width) * height > kMaxCachedPixels) return nullptr;
    pixels->width = static_cast<INT>(width);
    pixels->height = static_cast<INT>(height);
    pixels->argb.resize(static_cast<size_t>(width) * height);

    const Gdiplus::GpRect whole(0, 0, pixels->width, pixels->height);
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = pixels->width * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels->argb.data();
    // Straight alpha, as the decoder gives PNGs with alpha: drawn alike.
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image.Get());
    if (GdipBitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                           PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return nullptr;
    GdipBitmapUnlockBits(bitmap, &data);
    GdipGetImageHorizontalResolution(image.Get(), &pixels->dpiX);
    GdipGetImageVerticalResolution(image.Get(), &pixels->dpiY);
    return pixels;
}

CachedPicture LoadThroughCache(const std::wstring& path) {
    CachedPicture picture;
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, kMaxCachedFileBytes, bytes)) {
        Cache().erase(path);
        return picture;
    }
    if (Cache().size() >= kMaxCachedPictures && !Cache().count(path)) Cache().clear();
    Entry& entry = Cache()[path];
    if (!entry.pixels || entry.bytes != bytes) {
        entry.pixels = Decode(bytes);
        entry.bytes = entry.pixels ? std::move(bytes) : std::vector<uint8_t>{};
    }
    if (!entry.pixels) {
        Cache().erase(path);
        return picture;
    }
    picture.pixels = entry.pixels;
    // GDI+ only reads these pixels: the bitmap is drawn from, never drawn on.
    Gdiplus::GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(
        picture.pixels->width, picture.pixels->height, picture.pixels->width * 4, PixelFormat32bppARGB,
        reinterpret_cast<BYTE*>(const_cast<uint32_t*>(picture.pixels->argb.data())), &bitmap);
    picture.bitmap.Reset(bitmap);
    if (bitmap && picture.pixels->dpiX > 0 && picture.pixels->dpiY > 0)
        GdipBitmapSetResolution(bitmap, picture.pixels->dpiX, picture.pixels->dpiY);
    return picture;
}

}  // namespace

CachedPicture LoadCachedPicture(const std::wstring& path) noexcept {
    try {
        return LoadThroughCache(path);
    } catch (const std::bad_alloc&) {
        // No memory for the copies: the picture goes the uncached way.
        ClearPictureCache();
        return {};
    }
}

void ClearPictureCache() noexcept { Cache().clear(); }

}  // namespace korimbo
