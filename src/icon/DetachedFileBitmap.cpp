#include "icon/DetachedFileBitmap.h"

#include <shlwapi.h>

#include <vector>

#include "icon/PictureLoader.h"
#include "platform/ScopedWin.h"

namespace korimbo {

namespace {

using namespace Gdiplus::DllExports;

// The whole file, opened so that others may still write, rename or delete it.
bool ReadFileBytes(const std::wstring& path, std::vector<BYTE>& bytes) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size)) return false;
    if (size.QuadPart <= 0 || size.QuadPart > kMaxIconFileBytes) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return false;
    bytes.resize(read);
    return !bytes.empty();
}

// GDI+ may decode lazily and keep the stream; the stream holds its own copy
// of the bytes, so `bytes` can go at once.
UniqueGpImage DecodeBytes(const std::vector<BYTE>& bytes) {
    UniqueStream stream(::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    UniqueGpImage decoded;
    if (!stream) return decoded;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromStream(stream.Get(), &bitmap) == Gdiplus::Ok) decoded.Reset(bitmap);
    return decoded;
}

// A bitmap with pixel memory of its own, holding the decoded picture's pixels
// converted to 32 bpp ARGB, and its resolution.
UniqueGpImage CopyPixels(Gdiplus::GpImage* source) {
    UniqueGpImage copy;
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

}  // namespace

UniqueGpImage NewDetachedBitmapFromFile(const std::wstring& path) {
    std::vector<BYTE> bytes;
    if (!ReadFileBytes(path, bytes)) return {};
    UniqueGpImage decoded = DecodeBytes(bytes);
    if (!decoded) return {};
    return CopyPixels(decoded.Get());
}

}  // namespace korimbo
