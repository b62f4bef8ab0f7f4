#include "icon/PictureBytes.h"

#include <shlwapi.h>

#include "platform/ScopedWin.h"

namespace korimbo {

bool ReadFileBytes(const std::wstring& path, int64_t maxBytes, std::vector<uint8_t>& bytes) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size)) return false;
    if (size.QuadPart <= 0 || size.QuadPart > maxBytes) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return false;
    bytes.resize(read);
    return !bytes.empty();
}

UniqueGpImage DecodePictureBytes(const std::vector<uint8_t>& bytes) {
    // GDI+ may decode lazily and keep the stream; the stream holds a copy.
    UniqueStream stream(::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    UniqueGpImage decoded;
    if (stream) Gdiplus::DllExports::GdipLoadImageFromStream(stream.Get(), decoded.Receive());
    return decoded;
}

bool IsRasterPicture(Gdiplus::GpImage* image) {
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    return image && Gdiplus::DllExports::GdipGetImageType(image, &type) == Gdiplus::Ok &&
           type == Gdiplus::ImageTypeBitmap;
}

}  // namespace korimbo
